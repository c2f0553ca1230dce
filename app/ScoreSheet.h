#pragma once

#include <cstdint>

#include "graphics/Drawable.h"

class CGraphicsContext;

// The scribe's score form drawn as a footer under the ring of organisation
// 5: a frame of five columns and five rows of labels, fill-in lines and
// rules, in course units so that it follows the ring's width on screen, in
// pictures and on paper alike. Its top-left corner is the origin.
class CScoreSheet : public CDrawable
{
public:
    // One cell of the form. A null text makes the cell a horizontal rule;
    // an empty one an empty cell.
    struct CCell
    {
        const wchar_t* text;
        bool entryLine;
        bool bold;
        // 0 left, 1 centre, 2 right.
        int32_t alignment;
        // "200" above the entry line.
        bool valueMark;
    };

    static constexpr int kColumns = 5;
    static constexpr int kRows = 5;

    // A class value outside 1..12 is reported and drawn as class 1.
    CScoreSheet(float width, int32_t ukcClass);

    void Draw(CGraphicsContext& context) override;

    // The sheet's height for a width: six lines of a font 0.018 x width
    // high, less one ascent, rounded up.
    static float GetHeight(float width);
    // The font size of a sheet of that width.
    static float GetFontSize(float width);
    // How wide a cell must be at the font size, with its own weight: a rule
    // needs nothing; a text its width and half the size on each side; an
    // entry line another 4.5 sizes.
    static float GetCellWidth(const CCell& cell, float fontSize);
    // Draws the cell between the column's edges on the baseline, in the
    // context's current font.
    static void DrawCell(const CCell& cell, CGraphicsContext& context, float left, float right,
                         float baseline);
    // The cell of the form (the class cell names this sheet's class).
    CCell GetCell(int column, int row) const;
    // The left edge of every column, column 4 last, as the sheet lays them
    // out: each column as wide as its widest cell, from the right.
    void GetColumnEdges(float edges[kColumns]) const;
    // "I", "II", ... "3oK Elite"; null for a value outside 1..12.
    static const wchar_t* GetClassText(int32_t ukcClass);

    float GetWidth() const { return m_width; }
    int32_t GetClass() const { return m_class; }

private:
    float m_width;
    int32_t m_class;
};
