#include "course/ColorPalette.h"

#include "foundation/Rgba.h"
#include "foundation/TracePoint.h"

namespace {

const uint32_t kFirstLevels[5] = {0, 64, 128, 192, 255};
const uint32_t kPaleLevels[5] = {192, 208, 224, 240, 255};

uint32_t Grey(uint32_t level) { return MakeRgba(level, level, level, 255); }

// Splits a chooser cell into its cube components; false for gaps and cells
// outside the grid.
bool CellComponents(int column, int row, int& r, int& g, int& b)
{
    if (column < 0 || row < 0)
        return false;
    r = column % 6;
    b = column / 6;
    g = row;
    return r <= 4 && g <= 4 && b <= 4;
}

}  // namespace

CColorPalette::CColorPalette() : CColorTable(256)
{
    TRACE_POINT();
    for (int r = 0; r < 5; ++r)
        for (int g = 0; g < 5; ++g)
            for (int b = 0; b < 5; ++b)
                Add(r + g + b > 8 ? Grey(63)
                                  : MakeRgba(kFirstLevels[r], kFirstLevels[g], kFirstLevels[b], 255));
    for (uint32_t level : {32u, 96u, 1u, 1u, 160u, 224u})
        Add(Grey(level));
    for (int r = 0; r < 5; ++r)
        for (int g = 0; g < 5; ++g)
            for (int b = 0; b < 5; ++b) {
                const bool firstLevels = r + g + b > 8 && (r < 3 || g < 3 || b < 3);
                const uint32_t* levels = firstLevels ? kFirstLevels : kPaleLevels;
                Add(MakeRgba(levels[r], levels[g], levels[b], 255));
            }

    for (int column = 0; column < kColumns; ++column)
        for (int row = 0; row < kRows; ++row) {
            const int index = CellToIndex(column, row, false);
            if (index <= 0)
                continue;
            m_chooser.set(size_t(index));
            if (index >= 131)
                m_paleChooser.set(size_t(index));
        }
}

const CColorPalette& CColorPalette::GetInstance()
{
    static const CColorPalette palette;
    return palette;
}

int CColorPalette::GetPaleIndex(int index)
{
    return index >= 0 && index <= 120 ? index + 131 : 255;
}

int CColorPalette::CellToIndex(int column, int row, bool strict)
{
    int r, g, b;
    if (!CellComponents(column, row, r, g, b))
        return -1;
    if (r + g + b < 9)
        return 25 * r + 5 * g + b;
    if (strict)
        return -1;
    if (r >= 3 && g >= 3 && b >= 3) {
        // The pale cells beyond the first cube: a component of 3 stands for 0.
        r = r == 3 ? 0 : r;
        g = g == 3 ? 0 : g;
        b = b == 3 ? 0 : b;
    }
    return 131 + 25 * r + 5 * g + b;
}

int CColorPalette::GetCellKind(int column, int row)
{
    int r, g, b;
    if (!CellComponents(column, row, r, g, b))
        return 0;
    return r + g + b < 9 ? 1 : 2;
}

bool CColorPalette::IsChooserIndex(int index) const
{
    return index >= 0 && index < 256 && m_chooser.test(size_t(index));
}

bool CColorPalette::IsPaleChooserIndex(int index) const
{
    return index >= 0 && index < 256 && m_paleChooser.test(size_t(index));
}
