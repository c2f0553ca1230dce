#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <memory>
#include <random>
#include <vector>

#include "objects/annotations/LabelPlacer.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"

namespace {

// The free set as a brute-force search sees it: the area shrunk by half the
// label, minus the occupied rectangles grown by half the label (outward to
// whole units). A label centred on a point of it overlaps nothing: it may
// touch a rectangle, so a point counts as free unless it lies strictly inside
// one. Between rectangles that touch, the search may or may not take the
// line where they meet; its answer lies no nearer than the nearest free
// point, and no farther than the nearest point with free room around it.
// Edges lie on whole units, so a point has room around it when one of the
// four small squares touching it at a corner lies in no rectangle.
class CFreeSet
{
public:
    CFreeSet(const CRectF& area, float halfWidth, float halfHeight)
        : m_band(area.left + halfWidth, area.top + halfHeight, area.right - halfWidth, area.bottom - halfHeight),
          m_halfWidth(halfWidth), m_halfHeight(halfHeight)
    {
    }

    void Occupy(float left, float top, float right, float bottom)
    {
        m_taken.emplace_back(std::floor(left - m_halfWidth), std::floor(top - m_halfHeight),
                             std::ceil(m_halfWidth + right), std::ceil(m_halfHeight + bottom));
    }

    // In the band and not strictly inside a rectangle.
    bool Contains(float x, float y) const
    {
        if (!(x >= m_band.left && x <= m_band.right && y >= m_band.top && y <= m_band.bottom))
            return false;
        for (const CRectF& r : m_taken) {
            if (x > r.left && x < r.right && y > r.top && y < r.bottom)
                return false;
        }
        return true;
    }
    bool HasRoom(float x, float y) const
    {
        const float d = 0.01f;
        return Contains(x - d, y - d) || Contains(x + d, y - d) || Contains(x - d, y + d) || Contains(x + d, y + d);
    }

    // The squared distance from the target to the nearest whole-unit point
    // that is free (with room around it when asked); -1 when there is none.
    double NearestOnGrid(float x, float y, bool withRoom) const
    {
        double best = -1.0;
        for (float gy = m_band.top; gy <= m_band.bottom; gy += 1.0f) {
            for (float gx = m_band.left; gx <= m_band.right; gx += 1.0f) {
                const double d = double(gx - x) * double(gx - x) + double(gy - y) * double(gy - y);
                if ((best < 0.0 || d < best) && (withRoom ? HasRoom(gx, gy) : Contains(gx, gy)))
                    best = d;
            }
        }
        return best;
    }

    std::vector<CRectF> m_taken;

private:
    CRectF m_band;
    float m_halfWidth;
    float m_halfHeight;
};

double SquaredDistance(const CPoint2& p, float x, float y)
{
    return double(p.x - x) * double(p.x - x) + double(p.y - y) * double(p.y - y);
}

}  // namespace

TEST(LabelPlacer, FreeTargetIsItsOwnAnswer)
{
    CLabelPlacer placer(CRectF(0.0f, 0.0f, 1000.0f, 800.0f), 99.0f, 40.0f);
    EXPECT_EQ(50.0f, placer.GetHalfWidth());
    EXPECT_EQ(20.0f, placer.GetHalfHeight());
    placer.Occupy(100.0f, 100.0f, 200.0f, 200.0f, false);
    EXPECT_EQ(CPoint2(500.5f, 400.25f), placer.FindFreeSpot(500.5f, 400.25f, false));
    // Outside the area the answer is on the shrunk area's edge.
    EXPECT_EQ(CPoint2(950.0f, 780.0f), placer.FindFreeSpot(2000.0f, 900.0f, false));
}

TEST(LabelPlacer, NoFreePointAnswersTheTarget)
{
    CLabelPlacer covered(CRectF(0.0f, 0.0f, 100.0f, 100.0f), 10.0f, 10.0f);
    covered.Occupy(0.0f, 0.0f, 100.0f, 100.0f, false);
    EXPECT_EQ(CPoint2(30.0f, 40.0f), covered.FindFreeSpot(30.0f, 40.0f, false));
    // A label larger than the area leaves no band and no rows.
    CLabelPlacer tooSmall(CRectF(0.0f, 0.0f, 100.0f, 100.0f), 120.0f, 10.0f);
    EXPECT_TRUE(tooSmall.GetRows().empty());
    EXPECT_EQ(CPoint2(-5.0f, 7.0f), tooSmall.FindFreeSpot(-5.0f, 7.0f, true));
    EXPECT_EQ(CPoint2(-5.0f, 7.0f), tooSmall.FindFreeSpot(-5.0f, 7.0f, false));
}

TEST(LabelPlacer, RowsOfEqualYKeepTheOrderOfOccupying)
{
    CLabelPlacer placer(CRectF(0.0f, 0.0f, 1000.0f, 1000.0f), 10.0f, 10.0f);
    placer.Occupy(300.0f, 100.0f, 400.0f, 200.0f, false);
    placer.Occupy(100.0f, 100.0f, 200.0f, 150.0f, true);
    std::vector<CLabelPlacer::CRowPosition> atTop;
    for (auto it = placer.GetRows().begin(); it != placer.GetRows().end(); ++it) {
        if (it->y == 95.0f)
            atTop.push_back(it);
    }
    ASSERT_EQ(2u, atTop.size());
    EXPECT_EQ(295.0f, atTop[0]->xFrom);
    EXPECT_EQ(95.0f, atTop[1]->xFrom);
    EXPECT_TRUE(atTop[1]->temporary);
    EXPECT_TRUE(placer.IsBefore(atTop[0], atTop[1]));
    EXPECT_FALSE(placer.IsBefore(atTop[1], atTop[0]));
    EXPECT_FALSE(placer.IsBefore(atTop[0], atTop[0]));
    EXPECT_TRUE(placer.IsBefore(atTop[1], placer.GetRows().end()));
    placer.RemoveTemporary();
    EXPECT_EQ(4u, placer.GetRows().size());
}

TEST(LabelPlacer, AnswersTheNearestFreePointAmongManyRectangles)
{
    const CRectF area(0.0f, 0.0f, 240.0f, 180.0f);
    std::mt19937 random(7);
    auto uniform = [&](int low, int high) { return float(std::uniform_int_distribution<int>(low, high)(random)); };
    for (int round = 0; round < 6; ++round) {
        CLabelPlacer placer(area, 12.0f, 8.0f);
        CFreeSet free(area, 6.0f, 4.0f);
        for (int i = 0; i < 9; ++i) {
            const float left = uniform(-20, 230);
            const float top = uniform(-20, 170);
            const float right = left + uniform(0, 40);
            const float bottom = top + uniform(0, 30);
            placer.Occupy(left, top, right, bottom, false);
            free.Occupy(left, top, right, bottom);
        }
        // Searches in turn, far apart and close together, some taking their
        // answer as a label, so that the kept sweeps are put to use.
        for (int search = 0; search < 24; ++search) {
            const float x = uniform(-30, 270);
            const float y = uniform(-30, 210);
            const bool occupy = search % 3 == 0;
            const double nearest = free.NearestOnGrid(x, y, false);
            const double roomy = free.NearestOnGrid(x, y, true);
            const CPoint2 answer = placer.FindFreeSpot(x, y, occupy);
            if (nearest < 0.0) {
                EXPECT_EQ(CPoint2(x, y), answer);
            } else {
                const double got = SquaredDistance(answer, x, y);
                EXPECT_TRUE(free.Contains(answer.x, answer.y)) << answer.x << ", " << answer.y;
                EXPECT_GE(got, nearest - 1e-6) << "round " << round << " search " << search;
                if (roomy >= 0.0) {
                    EXPECT_LE(got, roomy + 1e-6) << "round " << round << " search " << search;
                }
            }
            if (occupy)
                free.Occupy(answer.x - 6.0f, answer.y - 4.0f, answer.x + 6.0f, answer.y + 4.0f);
        }
        // Without the temporary labels the first free set holds again.
        placer.RemoveTemporary();
        free.m_taken.resize(9);
        const CPoint2 again = placer.FindFreeSpot(120.0f, 90.0f, false);
        const double got = SquaredDistance(again, 120.0f, 90.0f);
        EXPECT_TRUE(free.Contains(again.x, again.y));
        EXPECT_GE(got, free.NearestOnGrid(120.0f, 90.0f, false) - 1e-6);
        EXPECT_LE(got, free.NearestOnGrid(120.0f, 90.0f, true) + 1e-6);
    }
}

TEST(LabelPlacer, ALimitedSearchStopsWithWhatItFound)
{
    // A column of rectangles over the target: the free points lie beside it.
    const CRectF area(0.0f, 0.0f, 10000.0f, 10000.0f);
    auto makePlacer = [&] {
        auto placer = std::make_unique<CLabelPlacer>(area, 100.0f, 40.0f);
        for (int i = 0; i < 200; ++i)
            placer->Occupy(4900.0f, 40.0f * float(i) + 1000.0f, 5100.0f + float(i % 7), 40.0f * float(i) + 1040.0f,
                           false);
        return placer;
    };
    CFreeSet free(area, 50.0f, 20.0f);
    for (int i = 0; i < 200; ++i)
        free.Occupy(4900.0f, 40.0f * float(i) + 1000.0f, 5100.0f + float(i % 7), 40.0f * float(i) + 1040.0f);
    auto unlimited = makePlacer();
    const CPoint2 nearest = unlimited->FindFreeSpot(5000.0f, 5000.0f, false);
    EXPECT_TRUE(free.Contains(nearest.x, nearest.y));
    EXPECT_NE(CPoint2(5000.0f, 5000.0f), nearest);

    for (uint64_t limit : {1, 20, 200, 2000}) {
        auto limited = makePlacer();
        const uint64_t before = limited->GetWork();
        const CPoint2 answer = limited->FindFreeSpot(5000.0f, 5000.0f, false, limit);
        // One step more than the limit, and finishing both sweeps.
        EXPECT_LE(limited->GetWork() - before, limit + 60) << limit;
        EXPECT_TRUE(answer == CPoint2(5000.0f, 5000.0f) || free.Contains(answer.x, answer.y)) << limit;
        EXPECT_GE(SquaredDistance(answer, 5000.0f, 5000.0f), SquaredDistance(nearest, 5000.0f, 5000.0f) - 1e-6);
    }
    // A generous limit finds what an unlimited search finds.
    EXPECT_EQ(nearest, makePlacer()->FindFreeSpot(5000.0f, 5000.0f, false, 1000000));
}

CHILD_TEST(LabelPlacer, BadAreasSizesRectanglesAndTargetsAreReported)
{
    CLabelPlacer inverted(CRectF(100.0f, 0.0f, 0.0f, 100.0f), 10.0f, 10.0f);
    if (ReportCount() != 1 || !inverted.GetRows().empty())
        return 1;
    CLabelPlacer sized(CRectF(0.0f, 0.0f, 100.0f, 100.0f), 0.0f, NAN);
    if (ReportCount() != 3 || sized.GetHalfWidth() != 1.0f || sized.GetHalfHeight() != 1.0f)
        return 2;
    sized.Occupy(NAN, 0.0f, 10.0f, 10.0f, false);
    sized.Occupy(50.0f, 0.0f, 10.0f, 10.0f, false);
    if (ReportCount() != 5 || sized.GetRows().size() != 2)
        return 3;
    const CPoint2 spot = sized.FindFreeSpot(NAN, 50.0f, false);
    return ReportCount() == 6 && spot == CPoint2(1.0f, 50.0f) ? 0 : 4;
}
