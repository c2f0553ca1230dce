#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "app/GridElements.h"
#include "app/RingFence.h"
#include "app/SceneElements.h"
#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "objects/equipment/PipeParts.h"
#include "objects/equipment/TextLabelPart.h"
#include "tests/support/FailureReports.h"
#include "tests/support/RecordingContext.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WorldRecorder.h"

namespace {

using SceneElements = CCourseSettingsTest;

std::string SurroundLog(float w, float h, const CRectF& surround)
{
    CRecordingContext context;
    CSurroundOutline outline(w, h, surround, 255);
    outline.Draw(context);
    return context.Log();
}

bool Near(float a, float b, float tolerance = 0.01f)
{
    return std::fabs(a - b) <= tolerance;
}

}  // namespace

// ---- Outlines -------------------------------------------------------------------------

TEST(SurroundOutline, MarginsOnAllSides)
{
    EXPECT_EQ("B1,0 M1200,400 L1200,900 L-100,900 L-100,-50 L1200,-50 L1200,400 E",
              SurroundLog(1000.0f, 800.0f, CRectF(-100.0f, -50.0f, 1200.0f, 900.0f)));
}

TEST(SurroundOutline, NoStrokeAlongARingEdgeWithoutMargin)
{
    // Bottom only.
    EXPECT_EQ("B1,0 M1000,800 L1000,900 L0,900 L0,800 E",
              SurroundLog(1000.0f, 800.0f, CRectF(0.0f, 0.0f, 1000.0f, 900.0f)));
    // Left only.
    EXPECT_EQ("B1,0 M0,800 L-100,800 L-100,0 L0,0 E",
              SurroundLog(1000.0f, 800.0f, CRectF(-100.0f, 0.0f, 1000.0f, 800.0f)));
    // Top only.
    EXPECT_EQ("B1,0 M0,0 L0,-50 L1000,-50 L1000,0 E",
              SurroundLog(1000.0f, 800.0f, CRectF(0.0f, -50.0f, 1000.0f, 800.0f)));
    // Right and bottom: two pieces.
    EXPECT_EQ("B1,0 M1200,400 L1200,900 L0,900 L0,800 M1000,0 L1200,0 L1200,400 E",
              SurroundLog(1000.0f, 800.0f, CRectF(0.0f, 0.0f, 1200.0f, 900.0f)));
    // Left and right: two pieces.
    EXPECT_EQ("B1,0 M1200,400 L1200,800 L1000,800 M0,800 L-100,800 L-100,0 L0,0 M1000,0 L1200,0 L1200,400 E",
              SurroundLog(1000.0f, 800.0f, CRectF(-100.0f, 0.0f, 1200.0f, 800.0f)));
}

TEST(SurroundOutline, NoMarginsDrawNothing)
{
    const std::string log = SurroundLog(1000.0f, 800.0f, CRectF(0.0f, 0.0f, 1000.0f, 800.0f));
    EXPECT_EQ(std::string::npos, log.find('L'));
}

TEST(SurroundOutline, StyleAndKey)
{
    CRecordingContext context;
    CSurroundOutline outline(1000.0f, 800.0f, CRectF(-100.0f, -50.0f, 1200.0f, 900.0f), 64);
    outline.Draw(context);
    ASSERT_FALSE(context.calls.empty());
    EXPECT_EQ(20.0f, context.calls[0].state.penWidth);
    EXPECT_EQ(0x40000000u, context.calls[0].state.penColor);
    EXPECT_EQ(0u, context.calls[0].state.dashStyle);

    CSurroundOutline same(1000.0f, 800.0f, CRectF(-100.0f, -50.0f, 1200.0f, 900.0f), 64);
    CSurroundOutline wider(1000.0f, 800.0f, CRectF(-200.0f, -50.0f, 1200.0f, 900.0f), 64);
    CSurroundOutline opaque(1000.0f, 800.0f, CRectF(-100.0f, -50.0f, 1200.0f, 900.0f), 255);
    EXPECT_EQ(outline.GetKey(), same.GetKey());
    EXPECT_NE(outline.GetKey(), wider.GetKey());
    EXPECT_NE(outline.GetKey(), opaque.GetKey());
}

TEST(RingOutline, StrokedRectangle)
{
    CRecordingContext context;
    CRingOutline ring(1000.0f, 800.0f, 255);
    ring.Draw(context);
    EXPECT_EQ("B1,0 M0,0 L0,800 L1000,800 L1000,0 Z E", context.Log());
    EXPECT_EQ(20.0f, context.calls[0].state.penWidth);
    EXPECT_EQ(0xFF000000u, context.calls[0].state.penColor);
    CRingOutline pale(1000.0f, 800.0f, 64);
    CRingOutline same(1000.0f, 800.0f, 255);
    EXPECT_NE(ring.GetKey(), pale.GetKey());
    EXPECT_EQ(ring.GetKey(), same.GetKey());
}

TEST(GrassGround, TexturedSquareAroundItsOrigin)
{
    CWorldRecorder context;
    CGrassGround::Instance().Draw(context);
    ASSERT_EQ(4u, context.vertices.size());
    EXPECT_EQ(CVector3(-150000.0f, 150000.0f, 0.0f), context.vertices[0]);
    EXPECT_EQ(CVector3(150000.0f, 150000.0f, 0.0f), context.vertices[1]);
    EXPECT_EQ(CVector3(-150000.0f, -150000.0f, 0.0f), context.vertices[2]);
    EXPECT_EQ(CVector3(150000.0f, -150000.0f, 0.0f), context.vertices[3]);
    EXPECT_EQ(&CGrassGround::Instance(), &CGrassGround::Instance());
}

TEST(GrassGround, TextureRepeatsEvery230Units)
{
    CRecordingContext context;
    CGrassGround::Instance().Draw(context);
    const auto& vertices = context.GetVertices();
    ASSERT_EQ(4u, vertices.size());
    const float k = CGrassGround::Instance().GetTextureRepeats();
    EXPECT_NEAR(300000.0 / 230.0, k, 0.001);
    EXPECT_EQ(0.0f, vertices[0].u);
    EXPECT_EQ(0.0f, vertices[0].v);
    EXPECT_EQ(k, vertices[1].u);
    EXPECT_EQ(0.0f, vertices[1].v);
    EXPECT_EQ(0.0f, vertices[2].u);
    EXPECT_EQ(k, vertices[2].v);
    EXPECT_EQ(k, vertices[3].u);
    EXPECT_EQ(k, vertices[3].v);
    EXPECT_EQ(0xFFFFFFFFu, vertices[0].color);
    EXPECT_EQ(nullptr, context.m_state.texture);
}

// ---- Grid geometry ----------------------------------------------------------------------

TEST(GridGeometry, DefaultImperialRing)
{
    // 120 by 100 feet, origin at the middle of the bottom edge, 10 feet.
    const CGridGeometry grid(14400.0f, 12000.0f, 1, 2, false, 10, 3);
    EXPECT_EQ(10, grid.count);
    EXPECT_EQ(1200.0f, grid.spacing);
    EXPECT_EQ(-5, grid.iMin);
    EXPECT_EQ(5, grid.iMax);
    EXPECT_EQ(1, grid.jMin);
    EXPECT_EQ(9, grid.jMax);
    EXPECT_EQ(7200.0f, grid.X(0));
    EXPECT_EQ(1200.0f, grid.X(-5));
    EXPECT_EQ(13200.0f, grid.X(5));
    EXPECT_EQ(10800.0f, grid.Y(1));
    EXPECT_EQ(1200.0f, grid.Y(9));
}

TEST(GridGeometry, MetricSpacing)
{
    const CGridGeometry grid(12000.0f, 9000.0f, 0, 0, true, 10, 3);
    EXPECT_EQ(3, grid.count);
    EXPECT_FLOAT_EQ(3000.0f / 2.54f, grid.spacing);
    EXPECT_EQ(1, grid.iMin);
    EXPECT_EQ(int(std::floor((12000.0f - 390.0f) / grid.spacing)), grid.iMax);
}

TEST(GridGeometry, LinesKeepClearOfTheEdgesWhateverTheOrigin)
{
    for (int originX = 0; originX <= 2; ++originX) {
        for (int originY = 0; originY <= 2; ++originY) {
            for (bool metric : {false, true}) {
                const CGridGeometry grid(13000.0f, 9700.0f, originX, originY, metric, 7, 2);
                SCOPED_TRACE(testing::Message() << originX << originY << metric);
                ASSERT_LE(grid.iMin, grid.iMax);
                ASSERT_LE(grid.jMin, grid.jMax);
                for (int i = grid.iMin; i <= grid.iMax; ++i) {
                    EXPECT_GE(grid.X(i), 390.0f - 0.01f);
                    EXPECT_LE(grid.X(i), 13000.0f - 390.0f + 0.01f);
                }
                for (int j = grid.jMin; j <= grid.jMax; ++j) {
                    EXPECT_GE(grid.Y(j), 350.0f - 0.01f);
                    EXPECT_LE(grid.Y(j), 9700.0f - 350.0f + 0.01f);
                }
                // The next index on either side lies outside: nothing is left out.
                for (int i : {grid.iMin - 1, grid.iMax + 1})
                    EXPECT_TRUE(grid.X(i) < 390.0f || grid.X(i) > 13000.0f - 390.0f) << i;
                for (int j : {grid.jMin - 1, grid.jMax + 1})
                    EXPECT_TRUE(grid.Y(j) < 350.0f || grid.Y(j) > 9700.0f - 350.0f) << j;
            }
        }
    }
}

TEST(GridGeometry, SpacingNotAboveZeroUsesTheDefault)
{
    for (int32_t bad : {0, -10}) {
        const CGridGeometry imperial(14400.0f, 12000.0f, 1, 2, false, bad, 3);
        EXPECT_EQ(10, imperial.count);
        EXPECT_EQ(1200.0f, imperial.spacing);
        EXPECT_EQ(-5, imperial.iMin);
        EXPECT_EQ(5, imperial.iMax);
        const CGridGeometry metric(14400.0f, 12000.0f, 1, 2, true, 10, bad);
        EXPECT_EQ(3, metric.count);
        EXPECT_FLOAT_EQ(3000.0f / 2.54f, metric.spacing);
    }
}

TEST(GridGeometry, RingTooSmallForTheMarginsHasNoLines)
{
    // Narrower than 780 and lower than 700: the bands from 390 and from 350
    // to the far edges overlap. With the origin in the middle, index 0 would
    // otherwise fall within the margins (350 from the left edge).
    for (int origin = 0; origin <= 2; ++origin) {
        const CGridGeometry grid(700.0f, 600.0f, origin, origin, false, 1, 1);
        EXPECT_GT(grid.iMin, grid.iMax) << origin;
        EXPECT_GT(grid.jMin, grid.jMax) << origin;
    }
    // Just wide and high enough: the one position at the middle remains.
    const CGridGeometry exact(780.0f, 700.0f, 1, 1, false, 1, 1);
    EXPECT_EQ(0, exact.iMin);
    EXPECT_EQ(0, exact.iMax);
    EXPECT_EQ(0, exact.jMin);
    EXPECT_EQ(0, exact.jMax);
}

CHILD_TEST(GridGeometry, BadOriginCodeIsReportedAndCountsAsStart)
{
    const CGridGeometry grid(14400.0f, 12000.0f, 7, 2, false, 10, 3);
    if (ReportCount() != 1)
        return 1;
    // Counted as code 0: the origin is the left edge.
    return grid.originX == 0.0f && grid.signX == 1.0f && grid.iMin == 1 ? 0 : 2;
}

// ---- Grid lines and labels ------------------------------------------------------------

TEST_F(SceneElements, GridLinesAcrossAndDown)
{
    CCourse course(L"", L"");
    CGridLines lines(course, 255);
    CWorldRecorder context;
    lines.Draw(context);
    const CGridGeometry& g = lines.GetGrid();
    ASSERT_EQ(size_t(g.jMax - g.jMin + 1 + g.iMax - g.iMin + 1), context.items.size());

    // Each line is one segment; its pen says thick or thin.
    ASSERT_EQ(2 * context.items.size(), context.points.size());
    size_t n = 0;
    for (int j = g.jMin; j <= g.jMax; ++j, n += 2) {
        const auto& a = context.points[n];
        const auto& b = context.points[n + 1];
        EXPECT_EQ(CVector3(0.0f, -g.Y(j), 0.0f), a.world);
        EXPECT_EQ(CVector3(14400.0f, -g.Y(j), 0.0f), b.world);
        EXPECT_EQ(j == 0 ? 30.0f : 10.0f, a.penWidth);
        EXPECT_EQ(0xFF000000u, a.penColor);
    }
    int thick = 0;
    for (int i = g.iMin; i <= g.iMax; ++i, n += 2) {
        const auto& a = context.points[n];
        const auto& b = context.points[n + 1];
        EXPECT_TRUE(Near(g.X(i), a.world.x) && Near(0.0f, a.world.y)) << i;
        EXPECT_TRUE(Near(g.X(i), b.world.x) && Near(-12000.0f, b.world.y)) << i;
        EXPECT_EQ(i == 0 ? 30.0f : 10.0f, a.penWidth);
        thick += a.penWidth == 30.0f ? 1 : 0;
    }
    // The default origin lies on the bottom edge: only the line across
    // through it is missing, the one down through it is thick.
    EXPECT_EQ(1, thick);
}

TEST_F(SceneElements, GridLinesKeyFollowsTheSettings)
{
    CCourse course(L"", L"");
    CGridLines a(course, 255);
    CGridLines b(course, 255);
    CGridLines pale(course, 64);
    EXPECT_EQ(a.GetKey(), b.GetKey());
    EXPECT_NE(a.GetKey(), pale.GetKey());
    course.SetUsGridSpacing(5);
    CGridLines finer(course, 255);
    EXPECT_NE(a.GetKey(), finer.GetKey());
    course.SetDisplayOriginX(0);
    CGridLines moved(course, 255);
    EXPECT_NE(finer.GetKey(), moved.GetKey());
    CGridLabels labels(course, 2);
    CGridLabels labels3D(course, 3);
    EXPECT_NE(labels.GetKey(), labels3D.GetKey());
}

TEST_F(SceneElements, GridLabelsBesideBothEndsOfEveryLine)
{
    CCourse course(L"", L"");
    CGridLabels labels(course, 2);
    CWorldRecorder context;
    labels.Draw(context);
    const CGridGeometry& g = labels.GetGrid();

    const auto items = context.ItemsOf<CTextLabelPart>();
    ASSERT_EQ(size_t(2 * (g.jMax - g.jMin + 1) + 2 * (g.iMax - g.iMin + 1)), items.size());
    size_t n = 0;
    for (int j = g.jMin; j <= g.jMax; ++j) {
        const CTextLabelPart& label = CGridLabels::GetLabel(10 * j);
        EXPECT_EQ(std::to_wstring(10 * j), label.GetText());
        const CBox3 box = label.GetBounds().At(0.0f);
        const float w = box.maxX - box.minX;
        const float h = box.maxY - box.minY;
        for (float x : {w / 2.0f + 15.0f, 14400.0f - (w / 2.0f + 15.0f)}) {
            const CVector3 at = items[n].world.GetTranslation();
            EXPECT_EQ(&label, items[n].drawable);
            EXPECT_EQ(3, items[n].mode);
            EXPECT_TRUE(Near(x, at.x) && Near(-(g.Y(j) + 15.0f + h / 2.0f), at.y)) << j;
            ++n;
        }
    }
    for (int i = g.iMin; i <= g.iMax; ++i) {
        const CTextLabelPart& label = CGridLabels::GetLabel(10 * i);
        const CBox3 box = label.GetBounds().At(0.0f);
        const float w = box.maxX - box.minX;
        const float h = box.maxY - box.minY;
        for (float y : {h / 2.0f + 15.0f, 12000.0f - (h / 2.0f + 15.0f)}) {
            const CVector3 at = items[n].world.GetTranslation();
            EXPECT_TRUE(Near(g.X(i) - (w / 2.0f + 15.0f), at.x) && Near(-y, at.y)) << i;
            ++n;
        }
    }
    // Map labels: black numbers on white boxes, the box padded by 60.
    const CTextLabelPart& ten = CGridLabels::GetLabel(10);
    EXPECT_EQ(2, ten.GetStyle());
    EXPECT_EQ(0, ten.GetTextColorIndex());
    EXPECT_EQ(255, ten.GetFillColorIndex());
    const CBox3 box = ten.GetBounds().At(0.0f);
    EXPECT_NEAR(CFontMetrics(240.0f, false).GetStringWidth(L"10") + 120.0f, box.maxX - box.minX, 0.01);
    // Negative values for lines left of the origin.
    bool negative = false;
    for (const auto& text : context.texts)
        negative |= text.text == L"-50";
    EXPECT_TRUE(negative);
}

TEST_F(SceneElements, GridLabelsAreSharedPerValue)
{
    EXPECT_EQ(&CGridLabels::GetLabel(30), &CGridLabels::GetLabel(30));
    EXPECT_NE(&CGridLabels::GetLabel(30), &CGridLabels::GetLabel(40));
    EXPECT_EQ(L"-20", CGridLabels::GetLabel(-20).GetText());
}

// ---- Ring fence ---------------------------------------------------------------------------

TEST(RingFence, PostSpacing)
{
    EXPECT_EQ(1200.0f, CRingFence::GetPostSpacing(false, 7));
    EXPECT_FLOAT_EQ(4000.0f / 2.54f, CRingFence::GetPostSpacing(true, 7));
    EXPECT_FLOAT_EQ(4000.0f / 2.54f, CRingFence::GetPostSpacing(true, 2));
    EXPECT_FLOAT_EQ(3000.0f / 2.54f, CRingFence::GetPostSpacing(true, 3));
    EXPECT_FLOAT_EQ(5000.0f / 2.54f, CRingFence::GetPostSpacing(true, 5));
}

TEST(RingFence, LinePostPositions)
{
    std::vector<float> found;
    auto collect = [&found](float x) { found.push_back(x); };
    CRingFence::ForEachLinePost(14400.0f, 1, 1200.0f, collect);
    EXPECT_EQ((std::vector<float>{7200, 6000, 8400, 4800, 9600, 3600, 10800, 2400, 12000, 1200, 13200}), found);
    found.clear();
    CRingFence::ForEachLinePost(14400.0f, 0, 1200.0f, collect);
    EXPECT_EQ(11u, found.size());
    EXPECT_EQ(1200.0f, found.front());
    EXPECT_EQ(13200.0f, found.back());
    found.clear();
    CRingFence::ForEachLinePost(12000.0f, 2, 1200.0f, collect);
    EXPECT_EQ((std::vector<float>{10800, 9600, 8400, 7200, 6000, 4800, 3600, 2400, 1200}), found);
    // Narrower than 720: none.
    found.clear();
    CRingFence::ForEachLinePost(719.0f, 1, 1200.0f, collect);
    CRingFence::ForEachLinePost(719.0f, 0, 100.0f, collect);
    EXPECT_TRUE(found.empty());
    // Strictly between 360 and length - 360.
    CRingFence::ForEachLinePost(1560.0f, 0, 400.0f, collect);
    EXPECT_EQ((std::vector<float>{400, 800}), found);
    // The first round outside ends the side.
    found.clear();
    CRingFence::ForEachLinePost(1560.0f, 0, 360.0f, collect);
    EXPECT_TRUE(found.empty());
}

TEST(RingFence, RopeIsATubeAlongX)
{
    CRope rope(1000.0f);
    CWorldRecorder context;
    rope.Draw(context);
    ASSERT_FALSE(context.vertices.empty());
    float minX = 1e9f;
    float maxX = -1e9f;
    for (const CVector3& v : context.vertices) {
        minX = std::min(minX, v.x);
        maxX = std::max(maxX, v.x);
        EXPECT_LE(std::hypot(v.y, v.z), 5.01f);
    }
    EXPECT_NEAR(0.0f, minX, 0.01f);
    EXPECT_NEAR(1000.0f, maxX, 0.01f);
    // Two strands lying on the tube, 30 degrees either side of its top.
    ASSERT_EQ(4u, context.points.size());
    for (const auto& point : context.points) {
        EXPECT_NEAR(5.0f, std::hypot(point.world.y, point.world.z), 0.01f);
        EXPECT_NEAR(2.5f, std::fabs(point.world.y), 0.01f);
        EXPECT_EQ(4.0f, point.penWidth);
        EXPECT_EQ(0xFFFFFFFFu, point.penColor);
    }
    EXPECT_NEAR(1000.0f, context.points[1].world.x, 0.01f);
}

TEST_F(SceneElements, RingFenceOfTheDefaultRing)
{
    CCourse course(L"", L"");
    CRingFence fence(course);
    CWorldRecorder context;
    fence.Draw(context);
    EXPECT_TRUE(context.AllFinite());

    const auto ropes = context.ItemsOf<CRope>();
    ASSERT_EQ(8u, ropes.size());
    std::set<std::pair<float, float>> ropeStarts;
    for (const auto& rope : ropes) {
        const CVector3 at = rope.world.GetTranslation();
        EXPECT_TRUE(at.z == 100.0f || at.z == 335.0f);
        ropeStarts.insert({at.x, at.y});
    }
    EXPECT_EQ((std::set<std::pair<float, float>>{{0.0f, 0.0f}, {0.0f, -12000.0f}, {14400.0f, 0.0f}}), ropeStarts);
    // The ropes along the short sides run down the ring (to -y in 3D).
    for (const auto& rope : ropes) {
        const CVector3 dir = rope.world.TransformVector(CVector3(1.0f, 0.0f, 0.0f));
        if (rope.world.GetTranslation().x == 14400.0f || (rope.world.GetTranslation().y == 0.0f && dir.y < -0.5f))
            EXPECT_TRUE(Near(0.0f, dir.x) && Near(-1.0f, dir.y));
        else
            EXPECT_TRUE(Near(1.0f, dir.x) && Near(0.0f, dir.y));
    }

    const auto posts = context.ItemsOf<CPost>();
    // 4 corners, 11 positions along each long side, 9 along each short one.
    ASSERT_EQ(4u + 22u + 18u, posts.size());
    std::set<std::pair<float, float>> corners;
    for (size_t n = 0; n < 4; ++n)
        corners.insert({posts[n].world.GetTranslation().x, posts[n].world.GetTranslation().y});
    EXPECT_EQ((std::set<std::pair<float, float>>{{0, 0}, {14400, 0}, {14400, -12000}, {0, -12000}}), corners);
    for (size_t n = 4; n < posts.size(); ++n) {
        const CVector3 at = posts[n].world.GetTranslation();
        const bool alongWidth = at.y == 0.0f || at.y == -12000.0f;
        const bool alongHeight = at.x == 0.0f || at.x == 14400.0f;
        EXPECT_TRUE(alongWidth != alongHeight) << at.x << "," << at.y;
        if (alongWidth)
            EXPECT_EQ(0.0f, std::fmod(at.x, 1200.0f));
        else
            EXPECT_EQ(0.0f, std::fmod(-at.y, 1200.0f));
    }
    // Every post is a column of pipe pieces standing on the ground.
    const auto pipes = context.ItemsOf<CDiscPart>();
    EXPECT_EQ(2 * posts.size(), pipes.size());
    EXPECT_EQ(4 * posts.size(), context.ItemsOf<CPipeJointPart>().size());
    for (const CVector3& v : context.vertices)
        EXPECT_GE(v.z, -15.1f);
}

TEST_F(SceneElements, MetricFencePostsEveryFourMetresWhateverTheGrid)
{
    CSettings::SetInt(L"Metric", 1);
    CCourse course(L"", L"");
    course.SetMetricGridSpacing(7);
    ASSERT_TRUE(course.IsMetric());
    CRingFence fence(course);
    CWorldRecorder context;
    fence.Draw(context);
    const float spacing = 4000.0f / 2.54f;
    std::vector<float> xs;
    for (const auto& post : context.ItemsOf<CPost>()) {
        const CVector3 at = post.world.GetTranslation();
        if (at.y == 0.0f && at.x > 0.0f && at.x < course.GetWidth())
            xs.push_back(at.x);
    }
    ASSERT_GE(xs.size(), 2u);
    std::sort(xs.begin(), xs.end());
    for (size_t n = 1; n < xs.size(); ++n)
        EXPECT_NEAR(spacing, xs[n] - xs[n - 1], 0.05f);
    // The grid keeps its own 7 metres.
    CGridLines grid(course, 255);
    EXPECT_EQ(7, grid.GetGrid().count);
}

TEST_F(SceneElements, NarrowRingHasNoLinePostsAlongItsWidth)
{
    CCourse course(L"", L"");
    course.SetSize(700.0f, 3000.0f);
    CRingFence fence(course);
    CWorldRecorder context;
    fence.Draw(context);
    for (const auto& post : context.ItemsOf<CPost>()) {
        const CVector3 at = post.world.GetTranslation();
        EXPECT_TRUE(at.x == 0.0f || at.x == 700.0f) << at.x;
    }
}
