#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "objects/annotations/Polyline.h"
#include "tests/support/FailureReports.h"

namespace {

CPolyline Line(const std::vector<CPoint2>& points, const std::vector<bool>& fixed = {})
{
    CPolyline line;
    for (size_t i = 0; i < points.size(); ++i)
        line.AddPoint(points[i].x, points[i].y, i < fixed.size() && fixed[i]);
    return line;
}

std::vector<int> Kinds(const CPolyline& line)
{
    std::vector<int> kinds;
    for (int i = 0; i < line.GetCount(); ++i)
        kinds.push_back(line.GetFixedKind(i));
    return kinds;
}

}  // namespace

TEST(Polyline, LengthsAndFixedEnds)
{
    CPolyline single = Line({{5.0f, 5.0f}});
    single.UpdateLengths(1.0f, false);
    EXPECT_EQ(std::vector<int>{CPolyline::kFixedEnd}, Kinds(single));
    EXPECT_EQ(1, single.GetFixedCount());
    EXPECT_EQ(0.0f, single.GetLength(0));

    CPolyline two = Line({{0.0f, 0.0f}, {3.0f, 4.0f}});
    two.UpdateLengths(0.0f, false);
    EXPECT_EQ((std::vector<int>{2, 2}), Kinds(two));
    EXPECT_EQ(5.0f, two.GetLength(1));

    CPolyline empty;
    empty.UpdateLengths(1.0f, true);
    EXPECT_EQ(0, empty.GetFixedCount());
    EXPECT_EQ(0, empty.NextFixed(-1));
    EXPECT_EQ(-1, empty.PrevFixed(0));
}

TEST(Polyline, ThinningKeepsWhatTheShapeNeeds)
{
    // A right angle: the corner lies 50 from the chord.
    CPolyline corner = Line({{0.0f, 0.0f}, {100.0f, 0.0f}, {100.0f, 100.0f}});
    corner.UpdateLengths(10.0f, false);
    EXPECT_EQ((std::vector<int>{2, 3, 2}), Kinds(corner));
    EXPECT_EQ(3, corner.GetFixedCount());
    // Within the tolerance nothing between the ends is kept.
    CPolyline gentle = Line({{0.0f, 0.0f}, {50.0f, 3.0f}, {100.0f, 0.0f}});
    gentle.UpdateLengths(10.0f, false);
    EXPECT_EQ((std::vector<int>{2, 0, 2}), Kinds(gentle));
    EXPECT_EQ(2, gentle.NextFixed(0));
    EXPECT_EQ(3, gentle.NextFixed(2));
    EXPECT_EQ(0, gentle.PrevFixed(2));
    EXPECT_EQ(-1, gentle.PrevFixed(0));

    // A bent line keeps its ends and corners; the points next to a corner
    // on a straight run lie on the curves of the kept points.
    CPolyline zigzag = Line({{0, 0}, {25, 0}, {50, 0}, {75, 0}, {100, 0}, {100, 25}, {100, 50}, {125, 50}, {150, 50}});
    zigzag.UpdateLengths(5.0f, false);
    std::vector<int> kept;
    for (int i = zigzag.NextFixed(-1); i < zigzag.GetCount(); i = zigzag.NextFixed(i))
        kept.push_back(i);
    EXPECT_EQ(int(kept.size()), zigzag.GetFixedCount());
    for (int corner : {0, 4, 6, 8})
        EXPECT_NE(0, zigzag.GetFixedKind(corner)) << corner;
    for (int between : {1, 3, 5})
        EXPECT_EQ(0, zigzag.GetFixedKind(between)) << between;
}

TEST(Polyline, CallerFixedSpansKeepTheirMiddlePointWhenAsked)
{
    // Free points within the tolerance between two caller-fixed ends.
    const std::vector<CPoint2> points = {{0, 0}, {10, 1}, {20, 1}, {30, 1}, {40, 0}};
    CPolyline kept = Line(points, {true, false, false, false, true});
    kept.UpdateLengths(60.0f, true);
    EXPECT_EQ((std::vector<int>{1, 0, 3, 0, 1}), Kinds(kept));
    CPolyline plain = Line(points, {true, false, false, false, true});
    plain.UpdateLengths(60.0f, false);
    EXPECT_EQ((std::vector<int>{1, 0, 0, 0, 1}), Kinds(plain));
    // Two points equally near the middle: the earlier one.
    CPolyline even = Line({{0, 0}, {10, 0}, {20, 0}, {30, 0}}, {true, false, false, true});
    even.UpdateLengths(1.0f, true);
    EXPECT_EQ((std::vector<int>{1, 3, 0, 1}), Kinds(even));
}

TEST(Polyline, CoincidentPointsAreMeasuredAtTheMiddle)
{
    // A span of length 0: every inner point is tested at t = 0.5, where the
    // straight curve lies on the shared point.
    CPolyline same = Line({{7, 7}, {7, 7}, {7, 7}});
    same.UpdateLengths(0.5f, false);
    EXPECT_EQ((std::vector<int>{2, 0, 2}), Kinds(same));
    // A point away from them fails and is kept.
    CPolyline away = Line({{7, 7}, {17, 7}, {7, 7}});
    away.UpdateLengths(0.5f, false);
    EXPECT_EQ((std::vector<int>{2, 3, 2}), Kinds(away));
}

TEST(Polyline, EditingKeepsTheFixedCountAndReportsBadIndices)
{
    CPolyline line = Line({{0, 0}, {1, 0}, {2, 0}}, {true, false, false});
    EXPECT_EQ(1, line.GetFixedCount());
    line.SetFixed(2, true);
    line.SetFixed(0, true);
    EXPECT_EQ(2, line.GetFixedCount());
    line.SetFixed(0, false);
    EXPECT_EQ(1, line.GetFixedCount());
    line.SetPoint(1, 5.0f, 6.0f);
    EXPECT_EQ(CPoint2(5.0f, 6.0f), line.GetPoint(1));
    line.RemovePoint(2);
    EXPECT_EQ(0, line.GetFixedCount());
    EXPECT_EQ(2, line.GetCount());

    for (int index : {-1, 2, 100}) {
        EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(CPoint2(), line.GetPoint(index)); })) << index;
        EXPECT_EQ(1, CountReports([&] { line.SetPoint(index, 1.0f, 1.0f); }));
        EXPECT_EQ(1, CountReports([&] { line.SetFixed(index, true); }));
        EXPECT_EQ(1, CountReports([&] { line.RemovePoint(index); }));
    }
    EXPECT_EQ(2, line.GetCount());
    EXPECT_EQ(0, line.GetFixedCount());
    EXPECT_EQ(1, CountReports([&] { line.UpdateLengths(-1.0f, false); }));
}
