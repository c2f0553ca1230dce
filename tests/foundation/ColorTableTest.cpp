#include <gtest/gtest.h>

#include <vector>

#include "foundation/ColorTable.h"
#include "foundation/Rgba.h"
#include "tests/support/FailureReports.h"

namespace {

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b, uint32_t a = 255) { return MakeRgba(r, g, b, a); }

}  // namespace

TEST(ColorTable, NearestOfBlackAndWhiteWithTheLowerIndexOnATie)
{
    CColorTable table(2);
    table.Add(Rgb(0, 0, 0));
    table.Add(Rgb(255, 255, 255));
    EXPECT_EQ(0, table.FindNearest(Rgb(60, 60, 60)));
    EXPECT_EQ(1, table.FindNearest(Rgb(200, 200, 200)));
    EXPECT_EQ(0, table.FindNearest(Rgb(127, 127, 127)));
    EXPECT_EQ(1, table.FindNearest(Rgb(128, 128, 128)));
}

TEST(ColorTable, EqualDistancesGoToTheLowerIndex)
{
    // No whole grey lies exactly between black and white; one lies between
    // black and (254, 254, 254).
    CColorTable table;
    table.Add(Rgb(0, 0, 0));
    table.Add(Rgb(254, 254, 254));
    EXPECT_EQ(ColorDistanceSquared(Rgb(127, 127, 127), Rgb(0, 0, 0)),
              ColorDistanceSquared(Rgb(127, 127, 127), Rgb(254, 254, 254)));
    EXPECT_EQ(0, table.FindNearest(Rgb(127, 127, 127)));
    CColorTable reversed;
    reversed.Add(Rgb(254, 254, 254));
    reversed.Add(Rgb(0, 0, 0));
    EXPECT_EQ(0, reversed.FindNearest(Rgb(127, 127, 127)));
}

TEST(ColorTable, AlphaCountsInTheDistance)
{
    CColorTable table;
    table.Add(Rgb(100, 100, 100, 255));
    table.Add(Rgb(100, 100, 100, 0));
    EXPECT_EQ(1, table.FindNearest(Rgb(100, 100, 100, 10)));
    EXPECT_EQ(0, table.FindNearest(Rgb(100, 100, 100, 250)));
}

TEST(ColorTable, ADuplicateColourIsFoundAtItsFirstIndex)
{
    CColorTable table;
    for (uint32_t i = 0; i < 8; ++i)
        table.Add(i == 3 || i == 7 ? Rgb(10, 20, 30) : Rgb(200, i * 20, 0));
    EXPECT_EQ(8, table.GetCount());
    EXPECT_EQ(3, table.FindNearest(Rgb(10, 20, 30)));
    EXPECT_EQ(3, table.FindNearest(Rgb(12, 20, 30)));
}

TEST(ColorTable, ColoursAreCoarsenedOnceTheCacheIsFull)
{
    CColorTable table;
    table.Add(Rgb(15, 0, 195));       // the coarse form of the query below
    table.Add(Rgb(7, 6, 201, 0));     // next to the query itself
    table.Add(Rgb(255, 255, 255));
    // Remember more than 10000 distinct colours.
    for (uint32_t i = 0; i < 10001; ++i)
        table.FindNearest(Rgb(i & 0xFF, (i >> 8) & 0xFF, 100, 128));
    // The query is answered as its coarse colour (15, 0, 195, 255), which is
    // entry 0, not by its own nearest entry 1.
    EXPECT_EQ(0, table.FindNearest(Rgb(7, 6, 200, 0)));

    CColorTable fresh;
    fresh.Add(Rgb(15, 0, 195));
    fresh.Add(Rgb(7, 6, 201, 0));
    EXPECT_EQ(1, fresh.FindNearest(Rgb(7, 6, 200, 0)));
}

TEST(ColorTable, CoarseningLevels)
{
    EXPECT_EQ(Rgb(15, 0, 195, 255), CColorTable::Coarsen(Rgb(7, 6, 200, 0)));
    EXPECT_EQ(Rgb(0, 255, 255, 255), CColorTable::Coarsen(Rgb(6, 255, 248, 17)));
    EXPECT_EQ(Rgb(30, 255, 240, 255), CColorTable::Coarsen(Rgb(22, 247, 240)));
}

TEST(ColorTable, ColoursAlreadyCachedKeepTheirExactAnswer)
{
    CColorTable table;
    table.Add(Rgb(0, 0, 0));
    table.Add(Rgb(20, 0, 0));
    EXPECT_EQ(1, table.FindNearest(Rgb(12, 0, 0)));
    for (uint32_t i = 0; i < 10001; ++i)
        table.FindNearest(Rgb(i & 0xFF, (i >> 8) & 0xFF, 77));
    // Red 12 was remembered exactly. Red 9 is nearer to black, but it is now
    // looked up as red 15, nearer to entry 1.
    EXPECT_EQ(1, table.FindNearest(Rgb(12, 0, 0)));
    EXPECT_EQ(1, table.FindNearest(Rgb(9, 0, 0)));
}

TEST(ColorTable, AddingAfterALookupIsReportedButAppends)
{
    CColorTable table;
    table.Add(Rgb(0, 0, 0));
    EXPECT_EQ(0, table.FindNearest(Rgb(1, 1, 1)));
    EXPECT_EQ(1, CountReports([&] { table.Add(Rgb(255, 0, 0)); }));
    EXPECT_EQ(2, table.GetCount());
    EXPECT_EQ(Rgb(255, 0, 0), table.GetColor(1));
}

TEST(ColorTable, EmptyTableAndBadIndexAreReported)
{
    CColorTable table;
    const int before = ReportCount();
    EXPECT_EQ(0, table.FindNearest(Rgb(1, 2, 3)));
    EXPECT_EQ(0xFF000000u, table.GetColor(0));
    EXPECT_EQ(before + 2, ReportCount());
}

TEST(ColorTable, FromPixelsKeepsFirstAppearanceOrderUpTo255Colours)
{
    const std::vector<uint32_t> pixels = {Rgb(1, 2, 3), Rgb(9, 9, 9), Rgb(1, 2, 3), Rgb(0, 0, 0)};
    auto table = CColorTable::FromPixels(pixels.data(), pixels.size());
    ASSERT_TRUE(table);
    EXPECT_EQ((std::vector<uint32_t>{Rgb(1, 2, 3), Rgb(9, 9, 9), Rgb(0, 0, 0)}), table->GetColors());
    EXPECT_EQ(1, table->FindNearest(Rgb(9, 9, 9)));
    EXPECT_EQ(2, table->FindNearest(Rgb(1, 1, 1)));

    std::vector<uint32_t> many;
    for (uint32_t i = 0; i < 255; ++i)
        many.insert(many.end(), 3, Rgb(i, 255 - i, 7));
    table = CColorTable::FromPixels(many.data(), many.size());
    ASSERT_TRUE(table);
    EXPECT_EQ(255, table->GetCount());
    many.push_back(Rgb(0, 0, 0));
    EXPECT_FALSE(CColorTable::FromPixels(many.data(), many.size()));
}

TEST(ColorTable, FromMissingPixelsIsReported)
{
    EXPECT_EQ(1, CountReports([&] { EXPECT_FALSE(CColorTable::FromPixels(nullptr, 4)); }));
}
