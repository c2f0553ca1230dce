#include <gtest/gtest.h>

#include "objects/annotations/Arrow.h"
#include "tests/support/RecordingContext.h"

TEST(Arrow, EightyUnitsOrLessDrawNothing)
{
    CArrow arrow(1000.0f, 500.0f);
    CRecordingContext context;
    arrow.Draw(context);
    EXPECT_TRUE(context.calls.empty());
    arrow.SetTail(1048.0f, 564.0f);
    arrow.Draw(context);
    EXPECT_TRUE(context.calls.empty());
    arrow.SetTail(1048.0f, 564.4f);
    EXPECT_EQ(CPoint2(1048.0f, 564.0f), arrow.GetTail());
}

TEST(Arrow, LongerOneDrawsALineShortOfTheSpotAndAHead)
{
    CArrow arrow(1000.4f, 499.5f);
    EXPECT_EQ(CPoint2(1000.0f, 500.0f), arrow.GetTip());
    arrow.SetTail(1300.0f, 900.0f);
    CRecordingContext context;
    context.m_state.penColor = 0xFF0000FF;
    context.m_state.penWidth = 3.0f;
    context.SetDashStyle(2);
    arrow.Draw(context);
    // The line stops 80 units before the tip, which the head (150 long)
    // covers; the head is a filled triangle with its point on the spot.
    const std::string log = context.Log();
    EXPECT_EQ(0u, log.find("B1,0 M1300,900 L1048,564 E B0,1 M1000,500 "));
    EXPECT_EQ(2, context.Count('B'));
    const CRecordingContext::CCall& line = context.calls.front();
    EXPECT_EQ(0xFF000000u, line.state.penColor);
    EXPECT_EQ(30.0f, line.state.penWidth);
    EXPECT_EQ(0u, line.state.dashStyle);
    EXPECT_EQ(0.1f, line.state.strokeZ);
}

TEST(Arrow, KeyFollowsTipAndTail)
{
    CArrow a(10.0f, 20.0f);
    CArrow b(10.0f, 20.0f);
    EXPECT_EQ(a.GetKey(), b.GetKey());
    a.SetTail(30.0f, 40.0f);
    EXPECT_NE(a.GetKey(), b.GetKey());
    b.SetTail(29.6f, 40.4f);
    EXPECT_EQ(a.GetKey(), b.GetKey());
    // Tip first: swapping the ends is another arrow.
    CArrow c(30.0f, 40.0f);
    c.SetTail(10.0f, 20.0f);
    EXPECT_NE(a.GetKey(), c.GetKey());
}
