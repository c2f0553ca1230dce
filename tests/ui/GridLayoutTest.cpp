#include <gtest/gtest.h>

#include <array>
#include <initializer_list>

#include "foundation/CrashLog.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestWindows.h"
#include "tests/ui/UiTestWindows.h"
#include "ui/GridLayout.h"

namespace {

std::deque<CGridSpec> MakeSpecs(std::initializer_list<std::array<int, 4>> values)
{
    // {min, preferred, max, stretch}
    std::deque<CGridSpec> specs;
    for (const auto& v : values) {
        CGridSpec spec;
        spec.min = v[0];
        spec.preferred = v[1];
        spec.max = v[2];
        spec.stretch = v[3];
        specs.push_back(spec);
    }
    return specs;
}

// Distributes the total over the specs; the sizes they were given.
std::vector<int> DistributeSizes(int total, std::deque<CGridSpec>& specs)
{
    CGridLayout::Distribute(total, specs);
    std::vector<int> sizes;
    for (const CGridSpec& spec : specs)
        sizes.push_back(spec.size);
    return sizes;
}

std::vector<int> DistributeSizes(int total, std::initializer_list<std::array<int, 4>> values)
{
    std::deque<CGridSpec> specs = MakeSpecs(values);
    return DistributeSizes(total, specs);
}

void AddCells(CGridLayout& grid, std::initializer_list<CObject*> cells)
{
    for (CObject* cell : cells)
        grid.Add(cell);
}

}  // namespace

TEST(GridLayout, ExtraPixelsGoByStretchWithoutRoundingLoss)
{
    EXPECT_EQ((std::vector<int>{13, 13, 14}), DistributeSizes(40, {{0, 10, 0, 1}, {0, 10, 0, 1}, {0, 10, 0, 1}}));
}

TEST(GridLayout, WithoutStretchExtraGoesByPreferredSize)
{
    EXPECT_EQ((std::vector<int>{22, 66}), DistributeSizes(88, {{0, 20, 0, 0}, {0, 60, 0, 0}}));
}

TEST(GridLayout, WithNeitherExtraIsSharedEqually)
{
    EXPECT_EQ((std::vector<int>{2, 2, 3, 3}),
              DistributeSizes(10, {{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}));
}

TEST(GridLayout, NoExtraKeepsPreferredSizes)
{
    EXPECT_EQ((std::vector<int>{20, 30}), DistributeSizes(50, {{0, 20, 0, 1}, {0, 30, 0, 1}}));
}

TEST(GridLayout, ASpecAtItsMaximumIsFrozenAndTheRestSharedAgain)
{
    std::deque<CGridSpec> specs = MakeSpecs({{0, 10, 12, 1}, {0, 10, 0, 1}, {0, 10, 0, 1}});
    // First pass: 10 each, the first held at 12; second pass: 28 shared by two.
    EXPECT_EQ((std::vector<int>{12, 24, 24}), DistributeSizes(60, specs));
    EXPECT_TRUE(specs[0].frozen);
    EXPECT_FALSE(specs[1].frozen);
}

TEST(GridLayout, ShrinkingHoldsASpecAtItsMinimum)
{
    EXPECT_EQ((std::vector<int>{45, 35}), DistributeSizes(80, {{45, 50, 0, 0}, {0, 50, 0, 0}}));
}

TEST(GridLayout, AllSpecsFrozenWithSpaceLeftIsReportedAndLeftUnplaced)
{
    std::deque<CGridSpec> specs = MakeSpecs({{0, 10, 11, 1}, {0, 10, 12, 1}});
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ((std::vector<int>{11, 12}), DistributeSizes(100, specs)); }));
}

TEST(GridLayout, ArrangingTwiceWithoutMeasuringGivesTheSameSizes)
{
    // Frozen flags of the first arrangement must not leak into the second.
    std::deque<CGridSpec> specs = MakeSpecs({{0, 10, 12, 1}, {0, 10, 0, 1}});
    EXPECT_EQ((std::vector<int>{12, 28}), DistributeSizes(40, specs));
    EXPECT_EQ((std::vector<int>{12, 28}), DistributeSizes(40, specs));
    EXPECT_EQ((std::vector<int>{12, 18}), DistributeSizes(30, specs));
}

TEST(GridLayout, MeasureMergesCellsIntoColumnsAndRows)
{
    CFixedWindow a(10, 20, 0, 0, 5, 8, 8, 0);
    CFixedWindow b(15, 18, 30, 1, 6, 6, 9, 0);
    CFixedWindow c(4, 4, 4, 0, 10, 12, 20, 1);
    CGridLayout grid(2, 2);
    grid.SetCell(0, 0, &a);
    grid.SetCell(0, 1, &b);
    grid.SetCell(1, 0, &c);
    grid.SetCell(1, 1, CSpacer::NullCell());
    grid.Measure();

    // Column 0: min 15, preferred 20, max 30, stretch min(0, 1) = 0.
    EXPECT_EQ(15, grid.columnSpecs[0].min);
    EXPECT_EQ(20, grid.columnSpecs[0].preferred);
    EXPECT_EQ(30, grid.columnSpecs[0].max);
    EXPECT_EQ(0, grid.columnSpecs[0].stretch);
    // A cell without a maximum leaves the set maximum of its column alone.
    EXPECT_EQ(4, grid.columnSpecs[1].max);
    EXPECT_EQ(19, grid.minWidth);
    EXPECT_EQ(24, grid.preferredWidth);
    EXPECT_EQ(34, grid.maxWidth);
    // Row 0: min 10, preferred 12; the smallest maximum, 8, is below the
    // minimum and rises to it; preferred lowered to that.
    EXPECT_EQ(10, grid.rowSpecs[0].max);
    EXPECT_EQ(10, grid.rowSpecs[0].preferred);
    EXPECT_EQ(9, grid.rowSpecs[1].max);
    EXPECT_EQ(19, grid.maxHeight);
}

TEST(GridLayout, ALabelBesideATallerControlIsCentredInTheRow)
{
    // Both fixed in height: the label at one line, the edit taller.
    CFixedWindow label(40, 40, 0, 0, 13, 13, 13, 0);
    CFixedWindow edit(80, 80, 0, 0, 22, 22, 22, 0);
    CGridLayout grid(false);
    AddCells(grid, {&label, &edit});
    const int before = ReportCount();
    grid.Measure();
    EXPECT_EQ(22, grid.minHeight);
    EXPECT_EQ(22, grid.preferredHeight);
    EXPECT_EQ(22, grid.maxHeight);
    grid.SetBounds(CRectF(0.0f, 10.0f, 120.0f, 32.0f));
    EXPECT_EQ(CRectF(40.0f, 10.0f, 120.0f, 32.0f), edit.bounds);
    EXPECT_EQ(CRectF(0.0f, 14.0f, 40.0f, 27.0f), label.bounds);
    EXPECT_EQ(before, ReportCount());
}

TEST(GridLayout, AStretchingBoxBesideATallerCellTakesItsMaximumCentred)
{
    // Stretches up to 20 high; its neighbour needs 40, so the row is 40.
    CFixedWindow box(30, 30, 0, 0, 10, 10, 20, 1);
    CFixedWindow tall(50, 50, 0, 0, 40, 40, 40, 0);
    CGridLayout grid(false);
    AddCells(grid, {&box, &tall});
    const int before = ReportCount();
    grid.Measure();
    EXPECT_EQ(40, grid.rowSpecs[0].min);
    grid.SetBounds(CRectF(0.0f, 0.0f, 80.0f, 40.0f));
    EXPECT_EQ(CRectF(0.0f, 10.0f, 30.0f, 30.0f), box.bounds);
    EXPECT_EQ(CRectF(30.0f, 0.0f, 80.0f, 40.0f), tall.bounds);
    EXPECT_EQ(before, ReportCount());
}

TEST(GridLayout, AColumnWithoutAMaximumMakesTheGridUnlimited)
{
    CFixedWindow limited(10, 10);
    CFixedWindow open(5, 5, 0, 0, 5, 5, 5, 0);
    CGridLayout grid(false);
    AddCells(grid, {&limited, &open});
    grid.Measure();
    EXPECT_EQ(0, grid.maxWidth);
    EXPECT_EQ(15, grid.preferredWidth);
    EXPECT_EQ(10, grid.maxHeight);
}

TEST(GridLayout, SetBoundsPlacesEveryWindowCell)
{
    CFixedWindow a(10, 20, 0, 1, 10, 10, 0, 1);
    CFixedWindow b(10, 20, 0, 0, 10, 10, 0, 1);
    CGridLayout grid(3, 1);
    grid.SetCell(0, 0, &a);
    grid.SetCell(1, 0, CSpacer::NullCell());
    grid.SetCell(2, 0, &b);
    grid.Measure();
    grid.SetBounds(CRectF(5.0f, 7.0f, 65.0f, 30.0f));
    EXPECT_EQ(CRectF(5.0f, 7.0f, 45.0f, 30.0f), a.bounds);
    EXPECT_EQ(CRectF(45.0f, 7.0f, 65.0f, 30.0f), b.bounds);
    EXPECT_EQ(1, a.applyCount);
    // The same rectangle again moves nothing.
    grid.SetBounds(CRectF(5.0f, 7.0f, 65.0f, 30.0f));
    EXPECT_EQ(1, a.applyCount);
}

TEST(GridLayout, NestedGridsAreMeasuredAndPlaced)
{
    CFixedWindow inner1(10, 10);
    CFixedWindow inner2(10, 10);
    CGridLayout inner(true);
    AddCells(inner, {&inner1, &inner2});
    CFixedWindow side(30, 20);
    CGridLayout outer(false);
    AddCells(outer, {&inner, &side});
    outer.Measure();
    EXPECT_EQ(40, outer.preferredWidth);
    EXPECT_EQ(20, outer.preferredHeight);
    outer.SetBounds(CRectF(0.0f, 0.0f, 40.0f, 20.0f));
    EXPECT_EQ(CRectF(0.0f, 10.0f, 10.0f, 20.0f), inner2.bounds);
    EXPECT_EQ(CRectF(10.0f, 0.0f, 40.0f, 20.0f), side.bounds);
}

TEST(GridLayout, TheDependentCellGetsWhatTheStretchingColumnsLeaveAtTheirMinimum)
{
    CFixedWindow label(30, 50, 0, 1, 10, 10, 10, 0);
    CWrappingWindow text(1000);
    CGridLayout grid(false);
    AddCells(grid, {&label, &text});
    EXPECT_TRUE(grid.DependsOnAvailableSize());
    grid.MeasureWithin(200.0f, 100.0f);
    EXPECT_FLOAT_EQ(170.0f, text.offeredWidth);
    // The label's row is at most 10 high: no more height is offered.
    EXPECT_FLOAT_EQ(10.0f, text.offeredHeight);
    EXPECT_EQ(50 + 170, grid.preferredWidth);
    EXPECT_EQ(6, text.minHeight);   // 1000 / 170 rounded up
    EXPECT_EQ(10, grid.preferredHeight);
}

TEST(GridLayout, TheDependentCellGetsWhatFixedColumnsLeaveAtTheirPreferredSize)
{
    CFixedWindow label(30, 50, 0, 0, 10, 10, 10, 0);
    CWrappingWindow text(1000);
    CGridLayout grid(false);
    AddCells(grid, {&label, &text});
    grid.MeasureWithin(200.0f, 100.0f);
    EXPECT_FLOAT_EQ(150.0f, text.offeredWidth);
}

TEST(GridLayout, TheDependentCellIsHeldToItsColumnMaximum)
{
    CFixedWindow above(10, 40, 60, 0, 5, 5, 5, 0);
    CWrappingWindow text(1000);
    CGridLayout grid(true);
    AddCells(grid, {&above, &text});
    grid.MeasureWithin(500.0f, 100.0f);
    EXPECT_FLOAT_EQ(60.0f, text.offeredWidth);
    EXPECT_FLOAT_EQ(95.0f, text.offeredHeight);
}

TEST(GridLayout, TwoDependentCellsAreReported)
{
    CWrappingWindow one(100);
    CWrappingWindow two(100);
    CGridLayout grid(false);
    AddCells(grid, {&one, &two});
    const int before = ReportCount();
    EXPECT_TRUE(grid.DependsOnAvailableSize());
    EXPECT_GT(ReportCount(), before);
}

TEST(GridLayout, PositionsOutsideTheGridAreReportedAndNothingIsWritten)
{
    CFixedWindow window(10, 10);
    CGridLayout grid(2, 2);
    const int before = ReportCount();
    grid.SetCell(2, 0, &window);
    grid.SetCell(0, -1, &window);
    grid.SetItem(0, &window);   // a table is no line
    EXPECT_EQ(before + 3, ReportCount());
    for (CObject* cell : grid.cells)
        EXPECT_EQ(CSpacer::EmptyCell(), cell);
    EXPECT_EQ(CSpacer::NullCell(), grid.GetCell(5, 5));
    EXPECT_EQ(4u, grid.cells.size());
}

TEST(GridLayout, AddingToATableIsRefused)
{
    CFixedWindow window(10, 10);
    CGridLayout grid(2, 2);
    EXPECT_EQ(1, CountReports([&] { grid.Add(&window); }));
    EXPECT_EQ(4u, grid.cells.size());
    EXPECT_EQ(2, grid.GetRowCount());
}

TEST(GridLayout, SetSizeOnlyOnAnEmptyGrid)
{
    CGridLayout grid(true);
    grid.SetSize(3, 2);
    EXPECT_EQ(6u, grid.cells.size());
    EXPECT_EQ(3, grid.GetColumnCount());
    const int before = ReportCount();
    grid.SetSize(1, 1);
    CGridLayout empty(true);
    empty.SetSize(0, 3);
    EXPECT_EQ(before + 2, ReportCount());
    EXPECT_EQ(6u, grid.cells.size());
    EXPECT_TRUE(empty.cells.empty());
}

TEST(GridLayout, FixedColumnStretchSurvivesMeasuring)
{
    CFixedWindow a(10, 10, 0, 0, 5, 5, 5, 0);
    CFixedWindow b(10, 10, 0, 0, 5, 5, 5, 0);
    CGridLayout grid(false);
    AddCells(grid, {&a, &b});
    grid.SetColumnStretch(1, 3);
    grid.Measure();
    EXPECT_EQ(3, grid.widthStretch);
    grid.SetBounds(CRectF(0.0f, 0.0f, 50.0f, 5.0f));
    EXPECT_EQ(CRectF(0.0f, 0.0f, 10.0f, 5.0f), a.bounds);
    EXPECT_EQ(CRectF(10.0f, 0.0f, 50.0f, 5.0f), b.bounds);
}

TEST(GridLayout, ForwardsVisibilityCreationAndDirtyToWindowCellsOnly)
{
    CFixedWindow a(10, 10);
    CGridLayout grid(true);
    grid.Add(&a);
    grid.Add(CSpacer::GapV4());
    CTestHost host;
    grid.CreateNativeWindow(host);
    EXPECT_EQ(1, a.createCount);
    EXPECT_TRUE(grid.HasNativeWindow());
    grid.SetVisible(false);
    EXPECT_FALSE(a.visible);
    grid.SetDirty();
    EXPECT_TRUE(a.closed);
    EXPECT_TRUE(grid.closed);
}
