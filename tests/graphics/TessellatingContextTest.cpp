#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "foundation/CrashLog.h"
#include "graphics/PolygonOutline.h"
#include "graphics/TessellatingContext.h"
#include "tests/support/CanvasTestHelpers.h"
#include "tests/support/FailureReports.h"
#include "tests/support/RecordingContext.h"

namespace {

using CPolygon = std::vector<CPoint2>;

// Twice the signed area by the shoelace formula, in path coordinates (y
// down): clockwise on the plan is positive.
float SignedArea(const CPolygon& polygon)
{
    double sum = 0.0;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const CPoint2& a = polygon[i];
        const CPoint2& b = polygon[(i + 1) % polygon.size()];
        sum += double(a.x) * b.y - double(b.x) * a.y;
    }
    return float(sum / 2.0);
}

std::vector<CPolygon> Loops(const CPolygonOutline& outline)
{
    std::vector<CPolygon> loops;
    for (size_t i = 0; i < outline.points.size(); ++i) {
        if (outline.starts[i] || loops.empty())
            loops.emplace_back();
        loops.back().push_back(outline.points[i]);
    }
    return loops;
}

bool HasPoint(const CPolygon& polygon, float x, float y)
{
    for (const CPoint2& p : polygon)
        if (std::fabs(p.x - x) < 1e-3f && std::fabs(p.y - y) < 1e-3f)
            return true;
    return false;
}

// Adds a square figure to an open path, clockwise on the plan or not.
void Square(CGraphicsContext& gc, float left, float top, float size, bool reversed = false)
{
    if (!reversed) {
        gc.AddRect(CRectF(left, top, left + size, top + size));
        return;
    }
    gc.MoveTo(left, top);
    gc.LineTo(left + size, top);
    gc.LineTo(left + size, top + size);
    gc.LineTo(left, top + size);
}

// The triangle mode, collecting every output polygon.
class CTriangleTessellator : public CTessellatingContext
{
public:
    CTriangleTessellator() : CTessellatingContext(false) {}

    void Run(const std::function<void(CGraphicsContext&)>& draw)
    {
        BeginTessPolygon();
        draw(*this);
        EndTessPolygon();
    }

    float TotalArea() const
    {
        float sum = 0.0f;
        for (const CPolygon& polygon : polygons)
            sum += std::fabs(SignedArea(polygon));
        return sum;
    }

    std::vector<CPolygon> polygons;

protected:
    void StartPolygonAt(const CPoint2& point) override { polygons.push_back({point}); }
    void ContinuePolygonTo(const CPoint2& point) override { polygons.back().push_back(point); }
};

CPolygonOutline OutlineOf(const std::vector<CDrawable*>& drawables)
{
    CPolygonOutline outline;
    CTessellatingContextEx& tess = CTessellatingContextEx::Instance();
    tess.BeginPolygon(outline);
    for (CDrawable* drawable : drawables)
        tess.TessellateDrawable(*drawable);
    tess.EndPolygon();
    return outline;
}

}  // namespace

TEST(TessellatingContext, OverlappingSquaresGiveOneOutlineOfTheirUnion)
{
    CFunctionDrawable first([](CGraphicsContext& gc) {
        gc.BeginPath(false, true, 1);
        Square(gc, 0.0f, 0.0f, 10.0f);
        gc.EndPath();
    });
    CFunctionDrawable second([](CGraphicsContext& gc) {
        gc.BeginPath(true, true, 1);
        Square(gc, 5.0f, 5.0f, 10.0f);
        gc.EndPath();
    });
    int reports = -1;
    CPolygonOutline outline;
    reports = CountReports([&] { outline = OutlineOf({&first, &second}); });
    EXPECT_EQ(0, reports);
    const std::vector<CPolygon> loops = Loops(outline);
    ASSERT_EQ(1u, loops.size());
    EXPECT_EQ(1u, outline.GetLoopCount());
    EXPECT_NEAR(175.0f, std::fabs(SignedArea(loops[0])), 1e-3f);
    // The corners where the squares cross are made by the tessellator.
    EXPECT_TRUE(HasPoint(loops[0], 10.0f, 5.0f));
    EXPECT_TRUE(HasPoint(loops[0], 5.0f, 10.0f));
    EXPECT_TRUE(HasPoint(loops[0], 15.0f, 15.0f));
    EXPECT_FALSE(HasPoint(loops[0], 10.0f, 10.0f));
    EXPECT_FALSE(HasPoint(loops[0], 5.0f, 5.0f));
}

TEST(TessellatingContext, SquareWithAHoleGivesTwoLoops)
{
    CFunctionDrawable ring([](CGraphicsContext& gc) {
        gc.BeginPath(false, true, 1);
        Square(gc, 0.0f, 0.0f, 10.0f);
        Square(gc, 3.0f, 3.0f, 4.0f, true);
        gc.EndPath();
    });
    const CPolygonOutline outline = OutlineOf({&ring});
    const std::vector<CPolygon> loops = Loops(outline);
    ASSERT_EQ(2u, loops.size());
    const float a = SignedArea(loops[0]);
    const float b = SignedArea(loops[1]);
    EXPECT_NEAR(116.0f, std::fabs(a) + std::fabs(b), 1e-3f);
    EXPECT_NEAR(84.0f, std::fabs(a + b), 1e-3f);
}

TEST(TessellatingContext, SquareWithAHoleBecomesTrianglesCoveringTheRing)
{
    CTriangleTessellator tess;
    tess.Run([](CGraphicsContext& gc) {
        gc.BeginPath(false, true, 1);
        Square(gc, 0.0f, 0.0f, 10.0f);
        Square(gc, 3.0f, 3.0f, 4.0f);
        gc.EndPath();
    });
    ASSERT_FALSE(tess.polygons.empty());
    EXPECT_NEAR(84.0f, tess.TotalArea(), 1e-3f);
    for (const CPolygon& polygon : tess.polygons) {
        ASSERT_GE(polygon.size(), 3u);
        for (const CPoint2& p : polygon) {
            EXPECT_GE(p.x, 0.0f);
            EXPECT_LE(p.x, 10.0f);
        }
        // Nothing of the hole is covered: every triangle's centre lies outside.
        if (polygon.size() == 3) {
            const float cx = (polygon[0].x + polygon[1].x + polygon[2].x) / 3.0f;
            const float cy = (polygon[0].y + polygon[1].y + polygon[2].y) / 3.0f;
            EXPECT_FALSE(cx > 3.0f && cx < 7.0f && cy > 3.0f && cy < 7.0f);
        }
    }
}

TEST(TessellatingContext, CurvesArriveAsSegments)
{
    CTriangleTessellator tess;
    tess.Run([](CGraphicsContext& gc) {
        gc.BeginPath(false, true, 1);
        gc.AddCircle(0.0f, 0.0f, 100.0f);
        gc.EndPath();
    });
    // A fan passes on as one polygon; either way the curve is many points.
    size_t points = 0;
    for (const CPolygon& polygon : tess.polygons)
        points += polygon.size();
    EXPECT_GT(points, 16u);
    // The two cubics of a circle enclose a little more than a true circle.
    EXPECT_NEAR(3.14159f * 100.0f * 100.0f, tess.TotalArea(), 0.02f * 3.14159f * 100.0f * 100.0f);
}

TEST(TessellatingContext, BatchTrianglesFacingDownAreSkipped)
{
    CTriangleTessellator tess;
    const int reports = CountReports([&] {
        tess.Run([](CGraphicsContext& gc) {
            gc.BeginVertices(0, false, 2);
            // Counter-clockwise in vertex coordinates (y up): facing up.
            gc.AddVertex(CVector3(0.0f, 0.0f, 0.0f));
            gc.AddVertex(CVector3(4.0f, 0.0f, 0.0f));
            gc.AddVertex(CVector3(0.0f, 4.0f, 0.0f));
            // Clockwise: facing down.
            gc.AddVertex(CVector3(10.0f, 0.0f, 0.0f));
            gc.AddVertex(CVector3(10.0f, 6.0f, 0.0f));
            gc.AddVertex(CVector3(16.0f, 0.0f, 0.0f));
            gc.EndVertices();
        });
    });
    EXPECT_EQ(0, reports);
    ASSERT_EQ(1u, tess.polygons.size());
    EXPECT_NEAR(8.0f, tess.TotalArea(), 1e-4f);
    // Vertex y up is path y down.
    EXPECT_TRUE(HasPoint(tess.polygons[0], 0.0f, -4.0f));
    EXPECT_TRUE(tess.GetVertices().empty());
}

TEST(TessellatingContext, PathsFollowTheDrawingMatrix)
{
    CFunctionDrawable moved([](CGraphicsContext& gc) {
        gc.m_state.matrix.SetPosition2D(100.0f, 50.0f);
        gc.m_state.matrix.Scale(2.0f);
        gc.BeginPath(false, true, 1);
        Square(gc, 0.0f, 0.0f, 10.0f);
        gc.EndPath();
    });
    const std::vector<CPolygon> loops = Loops(OutlineOf({&moved}));
    ASSERT_EQ(1u, loops.size());
    EXPECT_NEAR(400.0f, std::fabs(SignedArea(loops[0])), 1e-3f);
    EXPECT_TRUE(HasPoint(loops[0], 100.0f, 50.0f));
    EXPECT_TRUE(HasPoint(loops[0], 120.0f, 70.0f));
}

TEST(TessellatingContext, PointThatIsNotANumberIsLeftOut)
{
    CTriangleTessellator tess;
    const int reports = CountReports([&] {
        tess.Run([](CGraphicsContext& gc) {
            gc.BeginPath(false, true, 1);
            gc.MoveTo(0.0f, 0.0f);
            gc.LineTo(10.0f, 0.0f);
            gc.LineTo(std::nanf(""), 5.0f);
            gc.LineTo(10.0f, 10.0f);
            gc.LineTo(0.0f, 10.0f);
            gc.EndPath();
        });
    });
    EXPECT_EQ(1, reports);
    EXPECT_NEAR(100.0f, tess.TotalArea(), 1e-3f);
}

TEST(TessellatingContext, TextNestedDrawablesAndStrokedPathsAreReportedAndIgnored)
{
    CFunctionDrawable inner([](CGraphicsContext& gc) {
        gc.BeginPath(false, true, 1);
        Square(gc, 0.0f, 0.0f, 10.0f);
        gc.EndPath();
    });
    CFunctionDrawable other([&](CGraphicsContext& gc) {
        gc.m_state.font = CFontMetrics(10.0f, false);
        gc.DrawText(L"x", 0.0f, 0.0f);
        gc.DrawDrawable(inner, 0, 0);
        gc.BeginLine(1);
        gc.MoveTo(0.0f, 0.0f);
        gc.LineTo(50.0f, 50.0f);
        gc.LineTo(0.0f, 50.0f);
        gc.EndPath();
    });
    CPolygonOutline outline;
    EXPECT_EQ(3, CountReports([&] { outline = OutlineOf({&other}); }));
    EXPECT_TRUE(outline.IsEmpty());
}

TEST(TessellatingContext, FilledPathOutsideAPolygonIsReported)
{
    CTriangleTessellator tess;
    EXPECT_EQ(1, CountReports([&] {
        tess.BeginPath(false, true, 1);
        Square(tess, 0.0f, 0.0f, 10.0f);
        tess.EndPath();
    }));
    EXPECT_TRUE(tess.polygons.empty());
    CTessellatingContextEx& ex = CTessellatingContextEx::Instance();
    EXPECT_EQ(1, CountReports([&] { ex.EndPolygon(); }));
}

TEST(TessellatingContext, OutlineReplaysAsMovesAndLines)
{
    CPolygonOutline outline;
    outline.points = {{0, 0}, {4, 0}, {4, 4}, {10, 10}, {12, 10}, {12, 12}};
    outline.starts = {true, false, false, true, false, false};
    CRecordingContext recorder;
    recorder.BeginPath(false, true, 1);
    outline.DrawTo(recorder);
    recorder.EndPath();
    EXPECT_EQ("B0,1 M0,0 L4,0 L4,4 Z M10,10 L12,10 L12,12 Z E", recorder.Log());
    EXPECT_EQ(2u, outline.GetLoopCount());
    outline.Clear();
    EXPECT_TRUE(outline.IsEmpty());
}

TEST(TessellatingContext, OutlineFillsTheUnionOnTheCanvas)
{
    CFunctionDrawable first([](CGraphicsContext& gc) {
        gc.BeginPath(false, true, 1);
        Square(gc, 2.0f, 2.0f, 12.0f);
        gc.EndPath();
    });
    CFunctionDrawable second([](CGraphicsContext& gc) {
        gc.BeginPath(false, true, 1);
        Square(gc, 8.0f, 8.0f, 12.0f);
        gc.EndPath();
    });
    const CPolygonOutline outline = OutlineOf({&first, &second});
    CDibCanvas target(24, 24);
    target.canvas.m_state.fillColor = 0xFF0000FF;
    target.canvas.BeginPath(false, true, 1);
    outline.DrawTo(target.canvas);
    target.canvas.EndPath();
    EXPECT_EQ(12 * 12 * 2 - 6 * 6, target.CountColor(0, 0, 24, 24, 0xFF0000FF));
}

TEST(PolygonOutline, SimplifiedLoopsStayWithinTheTolerance)
{
    // A circle of 400 points, a square with points along its sides and a
    // loop smaller than the tolerance.
    CPolygonOutline outline;
    const auto add = [&outline](float x, float y, bool start) {
        outline.points.push_back(CPoint2(x, y));
        outline.starts.push_back(start);
    };
    for (int i = 0; i < 400; ++i) {
        const float a = float(i) * 6.2831853f / 400.0f;
        add(100.0f * std::cos(a), 100.0f * std::sin(a), i == 0);
    }
    for (int i = 0; i < 40; ++i) {
        const float s = float(i % 10) * 5.0f;
        const CPoint2 corners[] = {{300.0f + s, 0.0f}, {350.0f, s}, {350.0f - s, 50.0f}, {300.0f, 50.0f - s}};
        add(corners[i / 10].x, corners[i / 10].y, i == 0);
    }
    add(500.0f, 0.0f, true);
    add(500.3f, 0.1f, false);
    add(500.2f, 0.4f, false);
    add(500.0f, 0.3f, false);
    const std::vector<CPolygon> before = Loops(outline);
    const float tolerance = 1.0f;
    outline.Simplify(tolerance);
    const std::vector<CPolygon> after = Loops(outline);
    ASSERT_EQ(3u, after.size());
    EXPECT_EQ(3u, outline.GetLoopCount());
    // A circle of radius 100 within 1: a chord of about 28.
    EXPECT_GE(after[0].size(), 16u);
    EXPECT_LE(after[0].size(), 40u);
    EXPECT_EQ(4u, after[1].size());
    EXPECT_EQ(3u, after[2].size());
    for (size_t loop = 0; loop < before.size(); ++loop) {
        const CPolygon& kept = after[loop];
        EXPECT_EQ(before[loop].front(), kept.front());
        // Every point left out lies within the tolerance of the loop left.
        for (const CPoint2& p : before[loop]) {
            float nearest = 1e9f;
            for (size_t i = 0; i < kept.size(); ++i) {
                const CPoint2 a = kept[i], b = kept[(i + 1) % kept.size()];
                const CPoint2 ab = b - a;
                const float t = std::max(0.0f, std::min(1.0f, ((p.x - a.x) * ab.x + (p.y - a.y) * ab.y) /
                                                                  (ab.x * ab.x + ab.y * ab.y)));
                nearest = std::min(nearest, (p - (a + ab * t)).Length());
            }
            EXPECT_LE(nearest, tolerance * 1.001f) << loop;
        }
    }
}
