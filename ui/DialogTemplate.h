#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The font a dialog template names (the dialog's own font for its caption
// and dialog-unit arithmetic).
struct CTemplateFont
{
    int pointSize = 0;
    int weight = 0;
    bool italic = false;
    uint8_t charSet = 0;
    std::wstring faceName;
};

// Writes an in-memory dialog template in 16-bit units, little-endian, the
// way DialogBoxIndirectParamW reads it. The buffer grows as it is written, so
// nothing is ever patched by pointer or written past its end.
class CDialogTemplateWriter
{
public:
    void Word(uint16_t value) { m_words.push_back(value); }
    void Short(int16_t value) { m_words.push_back(uint16_t(value)); }
    void DWord(uint32_t value)
    {
        m_words.push_back(uint16_t(value & 0xFFFF));
        m_words.push_back(uint16_t(value >> 16));
    }
    // The characters and a terminating 0.
    void String(const std::wstring& text);

    const std::vector<uint16_t>& GetWords() const { return m_words; }
    // The template as DialogBoxIndirectParamW takes it (the storage of a
    // vector is aligned for the DWORD fields).
    const void* GetData() const { return m_words.data(); }

private:
    std::vector<uint16_t> m_words;
};

// Window styles of the program's dialogs (WS_POPUP | DS_SETFONT | DS_3DLOOK,
// plus WS_CAPTION | WS_SYSMENU | DS_MODALFRAME when framed, plus DS_SYSMODAL
// when modeless).
uint32_t GetDialogTemplateStyle(bool framed, bool modal);

// An extended dialog template with no items: 100 x 100 dialog units at 0, 0
// (the dialog places itself when it starts), the title and the font. The
// extra styles are added to the template's own.
std::vector<uint16_t> BuildDialogTemplate(const std::wstring& title, bool framed, bool modal,
                                          const CTemplateFont& font, uint32_t extraStyle = 0,
                                          uint32_t extraExStyle = 0);
