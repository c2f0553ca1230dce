#include <gtest/gtest.h>

#include "objects/annotations/IntervalList.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"

TEST(NearestSpot, StartsAtTheTargetAndKeepsTheFirstOfEqualCandidates)
{
    CNearestSpot spot(10.0f, 20.0f);
    EXPECT_FALSE(spot.found);
    EXPECT_EQ(10.0f, spot.bestX);
    EXPECT_EQ(20.0f, spot.bestY);
    EXPECT_FALSE(spot.IsFarther(1000.0f));
    spot.ConsiderPoint(13.0f, 24.0f);
    spot.ConsiderPoint(7.0f, 16.0f);
    EXPECT_EQ(13.0f, spot.bestX);
    EXPECT_EQ(25.0, spot.bestDistance);
    EXPECT_TRUE(spot.IsFarther(26.0f));
    EXPECT_FALSE(spot.IsFarther(25.0f));
    // Segments answer their point nearest the target, ends included.
    spot.ConsiderHorizontalSegment(22.0f, 0.0f, 50.0f);
    EXPECT_EQ(10.0f, spot.bestX);
    EXPECT_EQ(22.0f, spot.bestY);
    spot.ConsiderVerticalSegment(11.0f, 40.0f, 19.0f);
    EXPECT_EQ(11.0f, spot.bestX);
    EXPECT_EQ(20.0f, spot.bestY);
}

TEST(IntervalList, CountsMergeAndOutsideCountsAsCovered)
{
    CIntervalList list;
    EXPECT_EQ(1, list.GetCountAt(0.0f));
    list.AddInterval(0.0f, 10.0f);
    list.AddInterval(10.0f, 20.0f);
    // The two spans join: the breakpoint at 10 separates equal counts.
    EXPECT_EQ(2u, list.GetBreakpointCount());
    EXPECT_EQ(1, list.GetCountAt(-1.0f));
    EXPECT_EQ(2, list.GetCountAt(0.0f));
    EXPECT_EQ(2, list.GetCountAt(19.9f));
    EXPECT_EQ(1, list.GetCountAt(20.0f));

    CIntervalList copy;
    copy.SetAllFreeSince(7.0f);
    copy.Assign(list);
    EXPECT_EQ(2, copy.GetCountAt(5.0f));
    EXPECT_EQ(0.0f, copy.GetY());
}

CHILD_TEST(IntervalList, EmptySpansAndUnknownColumnStartsAreReported)
{
    CIntervalList list;
    list.AddInterval(5.0f, 5.0f);
    if (ReportCount() != 1 || list.GetBreakpointCount() != 0)
        return 1;
    CNearestSpot spot(0.0f, 0.0f);
    list.ApplyRow(spot, 3.0f, 8.0f, 2.0f, true);
    if (ReportCount() != 2 || list.GetBreakpointCount() != 0 || list.GetY() != 3.0f)
        return 2;
    // Coverage added between searches leaves boundaries whose start is not
    // known: each closes as the single point where it ends.
    CIntervalList band;
    band.ApplyRow(spot, 4.0f, 0.0f, 10.0f, false);
    band.AddInterval(2.0f, 4.0f);
    band.Finish(spot, 6.0f);
    if (ReportCount() != 4)
        return 3;
    return spot.found && spot.bestX == 0.0f && spot.bestY == 4.0f ? 0 : 4;
}
