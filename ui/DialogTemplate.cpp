#include "ui/DialogTemplate.h"

#include "foundation/TracePoint.h"

void CDialogTemplateWriter::String(const std::wstring& text)
{
    for (wchar_t c : text)
        m_words.push_back(uint16_t(c));
    m_words.push_back(0);
}

uint32_t GetDialogTemplateStyle(bool framed, bool modal)
{
    uint32_t style = framed ? 0x80C800C4u : 0x80000044u;
    if (!modal)
        style |= 0x00000002u;
    return style;
}

std::vector<uint16_t> BuildDialogTemplate(const std::wstring& title, bool framed, bool modal,
                                          const CTemplateFont& font, uint32_t extraStyle, uint32_t extraExStyle)
{
    TRACE_POINT();
    CDialogTemplateWriter writer;
    writer.Word(1);        // dlgVer
    writer.Word(0xFFFF);   // signature: the extended form
    writer.DWord(0);       // helpID
    writer.DWord(extraExStyle);  // exStyle
    writer.DWord(GetDialogTemplateStyle(framed, modal) | extraStyle);
    writer.Word(0);        // cDlgItems
    writer.Short(0);       // x
    writer.Short(0);       // y
    writer.Short(100);     // cx
    writer.Short(100);     // cy
    writer.Word(0);        // no menu
    writer.Word(0);        // the standard dialog class
    writer.String(title);
    writer.Word(uint16_t(font.pointSize));
    writer.Word(uint16_t(font.weight));
    writer.Word(uint16_t((font.italic ? 1 : 0) | (font.charSet << 8)));
    writer.String(font.faceName);
    return writer.GetWords();
}
