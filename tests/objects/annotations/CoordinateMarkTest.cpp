#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "course/Course.h"
#include "foundation/FontMetrics.h"
#include "foundation/Settings.h"
#include "objects/annotations/CoordinateMark.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"

namespace {

using CoordinateMark = CCourseSettingsTest;

std::wstring Pair(const std::wstring& first, const std::wstring& second)
{
    return L"(" + first + CLocaleDefaults().listSeparator + second + L")";
}

std::wstring TextAt(CCourse& course, float x, float y)
{
    return CCoordinateMark(x, y, &course).GetText();
}

}  // namespace

TEST_F(CoordinateMark, TextFollowsTheDisplayOriginsAndTheOrder)
{
    // A 14400 x 12000 ring: 120 ft by 100 ft.
    CCourse course(L"", L"");
    ASSERT_EQ(1, course.GetDisplayOriginX());
    ASSERT_EQ(2, course.GetDisplayOriginY());
    ASSERT_TRUE(course.GetBaselineCoordFirst());
    const float x = 7200.0f + 240.0f;
    const float y = 12000.0f - 360.0f;
    // From the middle of the bottom edge the distance from it comes first.
    EXPECT_EQ(Pair(L"3 ft", L"2 ft"), TextAt(course, x, y));
    course.SetBaselineCoordFirst(false);
    EXPECT_EQ(Pair(L"2 ft", L"3 ft"), TextAt(course, x, y));
    course.SetBaselineCoordFirst(true);
    course.SetDisplayOriginX(0);
    course.SetDisplayOriginY(0);
    EXPECT_EQ(Pair(L"62 ft", L"97 ft"), TextAt(course, x, y));
    course.SetDisplayOriginX(1);
    course.SetDisplayOriginY(1);
    EXPECT_EQ(Pair(L"2 ft", L"-47 ft"), TextAt(course, x, y));
    course.SetDisplayOriginX(2);
    course.SetDisplayOriginY(2);
    EXPECT_EQ(Pair(L"58 ft", L"3 ft"), TextAt(course, x, y));
}

TEST_F(CoordinateMark, TextInTheCoursesUnits)
{
    CCourse course(L"", L"");
    course.SetBaselineCoordFirst(false);
    course.SetUSCoordUnitsX(2);
    course.SetUSCoordUnitsY(5);
    const float x = 7200.0f + 246.0f;
    const float y = 12000.0f - 366.0f;
    const wchar_t point = CLocaleDefaults().decimalSeparator;
    EXPECT_EQ(Pair(L"2 ft 1 in", std::wstring(L"3") + point + L"1 ft"), TextAt(course, x, y));
    // Metric courses give both in metres, whatever the US units.
    course.SetMetric(true);
    course.SetBaselineCoordFirst(true);
    EXPECT_EQ(Pair(std::wstring(L"0") + point + L"9 m", std::wstring(L"0") + point + L"6 m"), TextAt(course, x, y));
}

TEST_F(CoordinateMark, LabelIsACourseLabelMeasuredOnce)
{
    CCourse course(L"", L"");
    CCoordinateMark mark(1000.4f, 2000.0f, &course);
    EXPECT_EQ(CPoint2(1000.0f, 2000.0f), mark.GetSpot());
    EXPECT_EQ(CPoint2(1003.0f, 2003.0f), mark.GetLabelAnchor());
    const CTextLabelPart* label = mark.GetLabel(0);
    EXPECT_EQ(2, label->GetStyle());
    EXPECT_EQ(255, label->GetFillColorIndex());
    // The box is the text's width plus 60 on either side, about the centre.
    const CRectF extent = mark.GetLabelExtent();
    const float textWidth = CFontMetrics(CTextLabelPart::kFontSize, false).GetStringWidth(mark.GetText());
    EXPECT_NEAR(textWidth + 120.0f, extent.Width(), 0.01f);
    EXPECT_NEAR(-extent.top, extent.bottom, 0.01f);
    mark.SetLabelPosition(1500.0f, 2500.0f, true);
    const CRectF bounds = mark.GetLabelBounds();
    EXPECT_NEAR(1500.0f + extent.left, bounds.left, 0.01f);
    EXPECT_NEAR(2500.0f + extent.bottom, bounds.bottom, 0.01f);
    EXPECT_EQ(3, mark.GetLabel(3)->GetStyle());
    EXPECT_EQ(3, mark.GetLabel(0)->GetStyle());
}

TEST_F(CoordinateMark, LabelPositionChangeAndItsAverage)
{
    CCourse course(L"", L"");
    CCoordinateMark mark(1000.0f, 1000.0f, &course);
    mark.SetLabelPosition(1000.4f, 1299.6f, true);
    EXPECT_EQ(CPoint2(1000.4f, 1299.6f), mark.GetLabelPosition());
    EXPECT_EQ(CPoint2(1000.0f, 1300.0f), mark.GetArrow()->GetTail());
    EXPECT_EQ(300.0f, mark.GetReferenceDistance());
    EXPECT_EQ(0.0f, mark.GetChange());
    EXPECT_EQ(-1.0f, mark.GetAverageChange());
    EXPECT_FALSE(mark.HasMoved());

    mark.SetLabelPosition(1000.0f, 1400.0f, false);
    EXPECT_EQ(10000.0f, mark.GetChange());
    EXPECT_EQ(10000.0f, mark.GetAverageChange());
    EXPECT_TRUE(mark.HasMoved());
    // The reference stays: the same place twice is the same change, and the
    // average closes in on it.
    mark.SetLabelPosition(1000.0f, 1500.0f, false);
    EXPECT_EQ(40000.0f, mark.GetChange());
    EXPECT_EQ(17500.0f, mark.GetAverageChange());
    for (int i = 0; i < 40; ++i)
        mark.SetLabelPosition(1000.0f, 1500.0f, false);
    EXPECT_EQ(40000.0f, mark.GetChange());
    EXPECT_NEAR(40000.0f, mark.GetAverageChange(), 1.0f);

    mark.SetLabelPosition(1000.0f, 900.0f, true);
    EXPECT_EQ(100.0f, mark.GetReferenceDistance());
    EXPECT_EQ(0.0f, mark.GetChange());
    EXPECT_EQ(-1.0f, mark.GetAverageChange());
    EXPECT_TRUE(mark.HasMoved());
}

TEST_F(CoordinateMark, CourseLabelsDoNotOverlapAfterTheLayout)
{
    CCourse course(L"", L"");
    // A tight cluster, a row and two corners of the ring.
    for (int i = 0; i < 9; ++i)
        course.AddMarkedPoint(CPoint2(7000.0f + 40.0f * float(i % 3), 6000.0f + 40.0f * float(i / 3)));
    for (int i = 0; i < 6; ++i)
        course.AddMarkedPoint(CPoint2(2000.0f + 300.0f * float(i), 3000.0f));
    course.AddMarkedPoint(CPoint2(0.0f, 0.0f));
    course.AddMarkedPoint(CPoint2(14400.0f, 12000.0f));
    course.SetShowObsCoords(true);
    const auto* marks = course.GetCoordinateMarks();
    ASSERT_NE(nullptr, marks);
    ASSERT_EQ(17u, marks->size());

    const CRectF ring = course.GetRingRect(false, false);
    int withArrow = 0;
    for (size_t i = 0; i < marks->size(); ++i) {
        const auto& mark = static_cast<const CCoordinateMark&>(*marks->at(i));
        const CRectF a = mark.GetLabelBounds();
        ASSERT_FALSE(a.IsEmpty());
        EXPECT_GE(a.left, ring.left - 0.01f) << i;
        EXPECT_GE(a.top, ring.top - 0.01f) << i;
        EXPECT_LE(a.right, ring.right + 0.01f) << i;
        EXPECT_LE(a.bottom, ring.bottom + 0.01f) << i;
        for (size_t j = 0; j < i; ++j) {
            CRectF overlap;
            overlap.Intersect(a, marks->at(j)->GetLabelBounds());
            EXPECT_TRUE(overlap.Width() < 0.01f || overlap.Height() < 0.01f) << i << " and " << j;
        }
        const CPoint2 tail = mark.GetArrow()->GetTail();
        const CPoint2 offset = tail - mark.GetSpot();
        withArrow += offset.Length() > 80.0f ? 1 : 0;
    }
    // The cluster cannot keep all its labels at their spots.
    EXPECT_GT(withArrow, 4);
}

CHILD_TEST(CoordinateMarkFaults, CoordinatesThatAreNoNumberAreReportedAndReplaced)
{
    OpenCourseTestSettings();
    CCourse course(L"", L"");
    CCoordinateMark mark(NAN, 300.0f, &course);
    if (ReportCount() != 1 || !(mark.GetSpot() == CPoint2(0.0f, 300.0f)))
        return 1;
    mark.SetLabelPosition(500.0f, 600.0f, true);
    mark.SetLabelPosition(INFINITY, 700.0f, false);
    if (ReportCount() != 2 || !(mark.GetLabelPosition() == CPoint2(500.0f, 600.0f)) || mark.GetChange() != 0.0f)
        return 2;
    CCoordinateMark lost(10.0f, 20.0f, nullptr);
    DeleteTestSettingsKey();
    return ReportCount() == 3 && lost.GetText().empty() ? 0 : 3;
}
