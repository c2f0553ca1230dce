#pragma once

#include <cstdint>
#include <vector>

#include "graphics/Drawable.h"
#include "graphics/TextFormat.h"

namespace FmtText {

// One laid-out line of a paragraph: its cells, the part of them that is
// selected, and what line breaking, alignment and tabs made of them. Lines
// are filled in order; each takes what fits of the cells of the line after
// it and hands the rest back.
class CTextPiece : public CDrawable
{
public:
    CTextPiece(uint32_t textColor, uint32_t backgroundColor);

    // The highlight box, then the cells in runs of equal attributes and
    // selection, cut at tabs and at the paragraph mark, each at the line's
    // baseline; trailing spaces of a run are not drawn.
    void Draw(CGraphicsContext& context) override;

    // Takes every cell of the next line, breaks, and hands the cells from the
    // break on back to it (marking it dirty when that changed it); then
    // aligns, places the highlight box and measures the height. The line is
    // clean afterwards and has a new cache key.
    void Fill(const CParagraphFormat& format, CTextPiece& next);

    // The offset (0 to the cell count) nearest to x: before the first cell
    // whose right edge lies beyond x when x is nearer its left edge, else
    // after it; never just after the paragraph mark.
    int HitTest(float x) const;
    // The left and right edge of the cell at the offset; at the cell count,
    // both are the line's end.
    void GetCharExtent(int offset, float& left, float& right) const;
    float GetNaturalWidth() const { return visibleWidth; }

    // Each marks the line dirty when the value changes.
    void SetTextColor(uint32_t color);
    void SetBackgroundColor(uint32_t color);
    void SetSelectedRange(int start, int end);

    // The x of every cell's left edge and, last, of the end of the line.
    std::vector<float> GetPositions() const;

    Cells cells;
    // Selected cells [selectionStart, selectionEnd).
    int selectionStart = 0;
    int selectionEnd = 0;
    uint32_t textColor;
    uint32_t backgroundColor;
    bool dirty = true;
    // The line spacing of the largest size in the line.
    float height = 0.0f;
    // Up to the break, trailing blanks included (and the alignment offset).
    float fullWidth = 0.0f;
    // Up to the last visible cell.
    float visibleWidth = 0.0f;
    float highlightLeft = 0.0f;
    float highlightRight = 0.0f;
    // Where the first cell starts.
    float alignmentOffset = 0.0f;
    // The advance of every tab of the line, in order.
    std::vector<float> tabAdvances;
    // The ascent of the largest size: the baseline below the line's top.
    float baseline = 0.0f;

private:
    // Scans the cells for the break and returns how many stay; sets the
    // widths and the tab advances of those that stay.
    size_t FindBreak(const CParagraphFormat& format);
    void Align(const CParagraphFormat& format);
    void MeasureHeight();
};

// The advance of a cell that is not a tab: its character's in its own
// attributes; a paragraph mark is as wide as a space.
float GetCellAdvance(Cell cell);

}  // namespace FmtText
