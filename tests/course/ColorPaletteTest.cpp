#include <gtest/gtest.h>

#include <set>

#include "course/ColorPalette.h"
#include "foundation/Rgba.h"

namespace {

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return MakeRgba(r, g, b, 255); }

}  // namespace

TEST(ColorPalette, FirstCubeGreysAndSecondCube)
{
    const CColorPalette& palette = CColorPalette::GetInstance();
    ASSERT_EQ(256, palette.GetCount());
    EXPECT_EQ(Rgb(0, 0, 0), palette.GetColor(0));
    EXPECT_EQ(Rgb(255, 0, 0), palette.GetColor(100));        // r 4
    EXPECT_EQ(Rgb(0, 255, 0), palette.GetColor(20));         // g 4
    EXPECT_EQ(Rgb(0, 0, 255), palette.GetColor(4));          // b 4
    EXPECT_EQ(Rgb(192, 64, 128), palette.GetColor(82));      // 3, 1, 2
    EXPECT_EQ(Rgb(255, 255, 0), palette.GetColor(120));      // 4, 4, 0: sum 8
    EXPECT_EQ(Rgb(63, 63, 63), palette.GetColor(121));       // 4, 4, 1: sum 9
    EXPECT_EQ(Rgb(63, 63, 63), palette.GetColor(124));       // 4, 4, 4
    EXPECT_EQ(Rgb(63, 63, 63), palette.GetColor(93));        // 3, 3, 3
    EXPECT_EQ(Rgb(32, 32, 32), palette.GetColor(125));
    EXPECT_EQ(Rgb(96, 96, 96), palette.GetColor(126));
    EXPECT_EQ(Rgb(1, 1, 1), palette.GetColor(127));
    EXPECT_EQ(Rgb(1, 1, 1), palette.GetColor(128));
    EXPECT_EQ(Rgb(160, 160, 160), palette.GetColor(129));
    EXPECT_EQ(Rgb(224, 224, 224), palette.GetColor(130));
    EXPECT_EQ(Rgb(192, 192, 192), palette.GetColor(131));    // pale 0, 0, 0
    EXPECT_EQ(Rgb(255, 208, 240), palette.GetColor(131 + 100 + 5 + 3));   // pale 4, 1, 3
    EXPECT_EQ(Rgb(255, 255, 64), palette.GetColor(131 + 100 + 20 + 1));   // 4, 4, 1: first levels
    EXPECT_EQ(Rgb(128, 255, 255), palette.GetColor(131 + 50 + 20 + 4));   // 2, 4, 4: first levels
    EXPECT_EQ(Rgb(240, 255, 240), palette.GetColor(131 + 75 + 20 + 3));   // 3, 4, 3: pale
    EXPECT_EQ(Rgb(255, 255, 255), palette.GetColor(255));
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(255u, GetAlpha(palette.GetColor(i))) << i;
}

TEST(ColorPalette, NearestEntries)
{
    const CColorPalette& palette = CColorPalette::GetInstance();
    EXPECT_EQ(100, palette.FindNearest(Rgb(250, 3, 0)));
    EXPECT_EQ(255, palette.FindNearest(Rgb(255, 255, 255)));
    EXPECT_EQ(131, palette.FindNearest(Rgb(192, 192, 192)));
    EXPECT_EQ(49, palette.FindNearest(Rgb(63, 63, 63)));   // 1, 4, 4: the first grey
}

TEST(ColorPalette, PaleIndex)
{
    EXPECT_EQ(131, CColorPalette::GetPaleIndex(0));
    EXPECT_EQ(251, CColorPalette::GetPaleIndex(120));
    EXPECT_EQ(255, CColorPalette::GetPaleIndex(121));
    EXPECT_EQ(255, CColorPalette::GetPaleIndex(200));
    EXPECT_EQ(255, CColorPalette::GetPaleIndex(-1));
}

TEST(ColorPalette, ChooserCells)
{
    EXPECT_EQ(90, CColorPalette::CellToIndex(3, 3));           // r 3, g 3, b 0
    EXPECT_EQ(90, CColorPalette::CellToIndex(3, 3, true));
    EXPECT_EQ(155, CColorPalette::CellToIndex(27, 4));         // r 3 -> 0, g 4, b 4
    EXPECT_EQ(-1, CColorPalette::CellToIndex(27, 4, true));
    EXPECT_EQ(131 + 100 + 20 + 1, CColorPalette::CellToIndex(10, 4));   // r 4, g 4, b 1
    EXPECT_EQ(131, CColorPalette::CellToIndex(21, 3));         // 3, 3, 3 -> 0, 0, 0
    EXPECT_EQ(255, CColorPalette::CellToIndex(28, 4));         // 4, 4, 4
    EXPECT_EQ(0, CColorPalette::CellToIndex(0, 0));
    EXPECT_EQ(4, CColorPalette::CellToIndex(24, 0));           // b 4
    // Gaps and cells outside the grid.
    for (int gap : {5, 11, 17, 23, 29, 30, -1})
        EXPECT_EQ(-1, CColorPalette::CellToIndex(gap, 0)) << gap;
    EXPECT_EQ(-1, CColorPalette::CellToIndex(0, 5));
    EXPECT_EQ(-1, CColorPalette::CellToIndex(0, -1));

    EXPECT_EQ(1, CColorPalette::GetCellKind(3, 3));
    EXPECT_EQ(2, CColorPalette::GetCellKind(27, 4));
    EXPECT_EQ(2, CColorPalette::GetCellKind(21, 3));
    EXPECT_EQ(0, CColorPalette::GetCellKind(5, 2));
    EXPECT_EQ(0, CColorPalette::GetCellKind(29, 0));
    EXPECT_EQ(0, CColorPalette::GetCellKind(2, 5));
    int first = 0, second = 0;
    for (int c = 0; c < CColorPalette::kColumns; ++c)
        for (int r = 0; r < CColorPalette::kRows; ++r) {
            const int kind = CColorPalette::GetCellKind(c, r);
            first += kind == 1;
            second += kind == 2;
            EXPECT_EQ(kind == 0, CColorPalette::CellToIndex(c, r) < 0);
            EXPECT_EQ(kind == 1, CColorPalette::CellToIndex(c, r, true) >= 0);
        }
    EXPECT_EQ(125, first + second);
    EXPECT_EQ(20, second);   // r + g + b of 9 to 12
}

TEST(ColorPalette, ChooserAndPaleChooserIndices)
{
    const CColorPalette& palette = CColorPalette::GetInstance();
    std::set<int> chooser, pale;
    for (int i = 0; i < 256; ++i) {
        if (palette.IsChooserIndex(i))
            chooser.insert(i);
        if (palette.IsPaleChooserIndex(i))
            pale.insert(i);
    }
    EXPECT_FALSE(palette.IsChooserIndex(0));
    EXPECT_FALSE(palette.IsPaleChooserIndex(0));
    // 105 first-cube cells, 104 without black; 20 second-cube cells, of
    // which 12 have a component below 3 and 8 show the pale corners {0, 4}^3.
    EXPECT_EQ(124u, chooser.size());
    EXPECT_EQ(20u, pale.size());
    for (int i : pale) {
        EXPECT_GE(i, 131);
        EXPECT_TRUE(chooser.count(i)) << i;
    }
    for (int i : chooser)
        EXPECT_EQ(i >= 131, pale.count(i) == 1) << i;
    EXPECT_TRUE(palette.IsChooserIndex(90));
    EXPECT_FALSE(palette.IsPaleChooserIndex(90));
    EXPECT_TRUE(palette.IsPaleChooserIndex(155));
    EXPECT_TRUE(palette.IsPaleChooserIndex(131));
    EXPECT_FALSE(palette.IsChooserIndex(124));    // a grey of the first cube
    EXPECT_FALSE(palette.IsChooserIndex(127));    // the greys between the cubes
    EXPECT_FALSE(palette.IsChooserIndex(131 + 75 + 15 + 3));   // pale 3, 3, 3: no cell
    EXPECT_FALSE(palette.IsChooserIndex(256));
    EXPECT_FALSE(palette.IsPaleChooserIndex(-1));
}
