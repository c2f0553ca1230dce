#pragma once

#include <bitset>
#include <cstdint>

#include "foundation/ColorTable.h"

// The program-wide palette of 256 opaque colours that every part colour of
// every object indexes:
//   0-124    a 5x5x5 cube, index 25 r + 5 g + b, channel levels 0, 64, 128,
//            192, 255; entries with r + g + b > 8 are the grey (63, 63, 63);
//   125-130  six greys;
//   131-255  a second cube, index 131 + 25 r + 5 g + b, in pale levels 192,
//            208, 224, 240, 255, except that entries with r + g + b > 8 and a
//            component below 3 take the levels of the first cube.
//
// The colour chooser shows the palette as a grid of 29 columns by 5 rows:
// cell (column, row) stands for r = column % 6, b = column / 6, g = row, and
// every sixth column is a gap. Cells with r + g + b < 9 show the first cube,
// the others the second one.
class CColorPalette : public CColorTable
{
public:
    static const CColorPalette& GetInstance();

    // index + 131 for 0..120 (the pale entry of the same cube cell), else 255.
    static int GetPaleIndex(int index);

    // The palette index of a chooser cell, or -1 for a gap or a cell outside
    // the grid. With strict set, the cells of the second cube give -1 too.
    static int CellToIndex(int column, int row, bool strict = false);
    // 0 outside the grid (gaps included), 1 first cube, 2 second cube.
    static int GetCellKind(int column, int row);

    static constexpr int kColumns = 29;
    static constexpr int kRows = 5;

    // Whether some chooser cell shows the index (index 0 never counts).
    bool IsChooserIndex(int index) const;
    // Whether the index is a chooser index of the pale second cube.
    bool IsPaleChooserIndex(int index) const;

private:
    CColorPalette();

    std::bitset<256> m_chooser;
    std::bitset<256> m_paleChooser;
};
