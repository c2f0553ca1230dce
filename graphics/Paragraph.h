#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Rect.h"
#include "graphics/Drawable.h"
#include "graphics/TextFormat.h"
#include "graphics/TextPiece.h"

namespace FmtText {

// A paragraph of formatted text: its characters, ending with the paragraph
// mark, held in laid-out lines; its format and colours; the marked range
// (the selected characters, also what EraseMarked removes). Edits mark the
// lines they touch; the layout is brought up to date before any geometry is
// answered or the paragraph is drawn, and every layout that changes
// something renews the cache key and grows the changed rectangle.
//
// Offsets run from 0 to the length; a character offset lies below it.
class CParagraph : public CDrawable
{
public:
    // One line holding the paragraph mark with the attributes given.
    CParagraph(const CParagraphFormat& format, const CFontMetrics& markAttributes, uint32_t textColor,
               uint32_t backgroundColor);

    // The lines one below the other, each as a cached item.
    void Draw(CGraphicsContext& context) override;

    int GetLength() const { return m_length; }
    // Character offsets outside the paragraph are reported (answer 0, or the
    // default attributes; the setter then changes nothing).
    wchar_t GetCharAt(int offset) const;
    CFontMetrics GetAttributesAt(int offset) const;
    void SetAttributesAt(const CFontMetrics& attributes, int offset);

    // Inserting goes before a character offset (never after the mark); a
    // bad offset is reported and inserts nothing.
    void InsertChar(wchar_t ch, const CFontMetrics& attributes, int offset);
    void InsertText(const std::wstring& text, const CFontMetrics& attributes, int offset);
    void InsertCells(const Cells& cells, int offset);
    // Copies of the cells or characters [from, to); a bad range is reported
    // and cut to the paragraph.
    Cells ExtractCells(int from, int to) const;
    std::wstring GetText(int from, int to) const;

    // The selected characters [from, to), cut to the paragraph.
    void SetMarkedRange(int from, int to);
    int GetMarkedStart() const { return m_markedStart; }
    int GetMarkedEnd() const { return m_markedEnd; }
    // Removes the marked characters; the mark itself is never removed (a
    // range holding it is reported and stops before it).
    void EraseMarked();

    const CParagraphFormat& GetFormat() const { return m_format; }
    void SetFormat(const CParagraphFormat& format);
    // Only centred and right-aligned lines depend on the layout width.
    void SetLayoutWidth(float width);
    void SetTextColor(uint32_t color);
    void SetBackgroundColor(uint32_t color);

    float GetHeight();
    float GetWidth();
    float GetNaturalWidth();
    int GetLineCount();
    // The cell of the character at the offset across its line's height; at
    // the length, the end of the last line.
    CRectF GetCharRect(int offset);
    // The offset nearest to (x, y); atLineEnd tells that it ends a line that
    // has another line after it (the caret belongs at that line's end). A y
    // outside the paragraph is reported and taken as its nearest line.
    int HitTest(float x, float y, bool& atLineEnd);
    // What changed since the last call (paragraph coordinates); empties it.
    CRectF TakeChangedRect();

private:
    void Layout();
    // Refills the line from the lines after it, dropping those it empties
    // and adding one for cells that no longer fit.
    void Reflow(size_t index);
    // The line holding the character at the offset (the last line for the
    // length) and the offset inside it.
    size_t FindLine(int offset, int& inLine) const;
    // Whenever lines change what they hold.
    void ForgetFoundLine() const
    {
        m_foundLine = 0;
        m_foundStart = 0;
    }
    bool IsCharOffset(int offset) const;
    // Hands each line its part of the marked range.
    void DistributeMarkedRange();
    void AddChange(const CRectF& rect);

    std::vector<std::unique_ptr<CTextPiece>> m_lines;
    // The line FindLine found last and the offset it starts at.
    mutable size_t m_foundLine = 0;
    mutable int m_foundStart = 0;
    bool m_needsLayout = true;
    bool m_allLinesDirty = true;
    int m_length = 1;
    int m_markedStart = 0;
    int m_markedEnd = 0;
    uint32_t m_textColor;
    uint32_t m_backgroundColor;
    CParagraphFormat m_format;
    float m_height = 0.0f;
    float m_width = 0.0f;
    float m_naturalWidth = 0.0f;
    CRectF m_changed;
};

}  // namespace FmtText
