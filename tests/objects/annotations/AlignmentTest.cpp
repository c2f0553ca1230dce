#include <gtest/gtest.h>

#include "objects/annotations/Alignment.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"

TEST(Alignment, OriginCodes)
{
    const CAlignment start(1000.0f, 800.0f, 0, 0);
    EXPECT_EQ(0.0f, start.offsetX);
    EXPECT_EQ(0.0f, start.offsetY);
    EXPECT_EQ(1.0f, start.signX);
    EXPECT_EQ(1.0f, start.signY);
    // The middle: x grows to the right, y upwards.
    const CAlignment middle(1000.0f, 800.0f, 1, 1);
    EXPECT_EQ(500.0f, middle.offsetX);
    EXPECT_EQ(400.0f, middle.offsetY);
    EXPECT_EQ(1.0f, middle.signX);
    EXPECT_EQ(-1.0f, middle.signY);
    const CAlignment end(1000.0f, 800.0f, 2, 2);
    EXPECT_EQ(1000.0f, end.offsetX);
    EXPECT_EQ(800.0f, end.offsetY);
    EXPECT_EQ(-1.0f, end.signX);
    EXPECT_EQ(-1.0f, end.signY);
}

CHILD_TEST(Alignment, CodeOutsideTheThreeIsReportedAndCountsAsStart)
{
    const CAlignment x(1000.0f, 800.0f, 3, 2);
    if (ReportCount() != 1)
        return 1;
    if (x.offsetX != 0.0f || x.signX != 1.0f || x.offsetY != 800.0f || x.signY != -1.0f)
        return 2;
    const CAlignment y(1000.0f, 800.0f, 1, -1);
    if (ReportCount() != 2)
        return 3;
    return y.offsetY == 0.0f && y.signY == 1.0f && y.offsetX == 500.0f ? 0 : 4;
}
