#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "course/SnapAxis.h"
#include "tests/support/FailureReports.h"

TEST(SnapAxis, WithoutPositionsEveryCoordinateStays)
{
    CSnapAxis axis(15.0f);
    for (float x : {-5000.0f, -1.5f, 0.0f, 7.25f, 12345.0f})
        EXPECT_EQ(x, axis.Apply(x));
}

TEST(SnapAxis, HoldsNearPositionsAndHurriesBeforeThem)
{
    CSnapAxis axis(15.0f);
    axis.AddPosition(0.0f);
    axis.AddPosition(100.0f);
    EXPECT_FLOAT_EQ(100.0f, axis.Apply(95.0f));
    EXPECT_FLOAT_EQ(100.0f - (92.5f - 90.0f) * 1.5f, axis.Apply(90.0f));
    EXPECT_FLOAT_EQ(70.0f, axis.Apply(70.0f));
    EXPECT_FLOAT_EQ(0.0f, axis.Apply(3.0f));
    EXPECT_FLOAT_EQ(3.75f, axis.Apply(10.0f));
    EXPECT_FLOAT_EQ(100.0f, axis.Apply(100.0f));
    // The mapping is continuous where the hurried part meets the identity.
    EXPECT_NEAR(axis.Apply(77.5f), 77.5f, 1e-4f);
    EXPECT_NEAR(axis.Apply(77.5001f), 77.5001f, 1e-3f);
}

TEST(SnapAxis, CloseNeighboursShrinkTheZone)
{
    CSnapAxis axis(15.0f);
    axis.AddPosition(0.0f);
    axis.AddPosition(30.0f);
    // Zone 10 now: hold within 5 of each position, identity at 15.
    EXPECT_FLOAT_EQ(15.0f, axis.Apply(15.0f));
    EXPECT_FLOAT_EQ(30.0f, axis.Apply(25.0f));
    EXPECT_FLOAT_EQ(30.0f - (25.0f - 20.0f) * 1.5f, axis.Apply(20.0f));
    EXPECT_FLOAT_EQ(0.0f, axis.Apply(5.0f));
}

TEST(SnapAxis, PositionsFarBehindAreNotTakenAsPrevious)
{
    CSnapAxis axis(10.0f);
    axis.AddPosition(0.0f);
    // 0 lies exactly 1.5 zones behind 15: the walk starts after it.
    EXPECT_FLOAT_EQ(15.0f, axis.Apply(15.0f));
    // Just inside 1.5 zones it is the previous position: hurried towards it.
    EXPECT_FLOAT_EQ((14.0f - 5.0f) * 1.5f, axis.Apply(14.0f));
}

TEST(SnapAxis, AnchoredDragStartsWithoutAJump)
{
    CSnapAxis axis(15.0f);
    axis.AddPosition(0.0f);
    axis.AddPosition(100.0f);
    for (float x0 : {91.0f, 88.0f, 99.0f, 4.0f, 50.0f}) {
        axis.Anchor(x0);
        EXPECT_NEAR(x0, axis.Apply(x0), 1e-4f) << x0;
    }
    axis.Clear();
    EXPECT_EQ(42.0f, axis.Apply(42.0f));
}

TEST(SnapAxis, ZoneNotAboveZeroIsReportedAndKept)
{
    CSnapAxis axis(15.0f);
    EXPECT_EQ(2, CountReports([&] { axis.SetZone(0.0f); axis.SetZone(-3.0f); }));
    EXPECT_EQ(15.0f, axis.GetZone());
    axis.SetZone(40.0f);
    EXPECT_EQ(40.0f, axis.GetZone());
}

TEST(SnapAxis, PositionsThatAreNotNumbersAreReportedAndLeftOut)
{
    CSnapAxis axis(15.0f);
    axis.AddPosition(0.0f);
    axis.AddPosition(100.0f);
    const int before = ReportCount();
    axis.AddPosition(std::nanf(""));
    axis.AddPosition(std::numeric_limits<float>::infinity());
    EXPECT_EQ(before + 2, ReportCount());
    EXPECT_EQ(2u, axis.GetPositions().size());
    EXPECT_FLOAT_EQ(100.0f, axis.Apply(95.0f));
    EXPECT_FLOAT_EQ(0.0f, axis.Apply(3.0f));
}
