#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "graphics/Drawable.h"
#include "graphics/PixelBitmap.h"
#include "render3d/GraphicsContext3D.h"
#include "render3d/TessellatingGraphics3D.h"
#include "tests/support/FailureReports.h"

namespace {

// One triangle as the context stored it (vertex coordinates, y up).
struct CTriangle
{
    CGraphicsVertex a, b, c;
    bool reverse;
    const CPixelBitmap* texture;

    // Seen from +z: positive when the corners run anticlockwise.
    float SignedArea() const { return 0.5f * ((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x)); }
};

// A 3D context that keeps every triangle it is given.
class CRecording3D : public CGraphicsContext3D
{
public:
    void DrawText(const std::wstring&, float, float) override {}
    void DrawDrawable(CDrawable&, int, int) override {}
    void BeginVertices(int kind, bool reverse, int rowLength) override
    {
        CGraphicsContext3D::BeginVertices(kind, reverse, rowLength);
        ++batches;
    }
    void EndVertices() override
    {
        const std::vector<CGraphicsVertex>& v = GetVertices();
        const std::vector<uint32_t>& t = GetTriangles();
        for (size_t i = 0; i + 2 < t.size(); i += 3)
            triangles.push_back({v[t[i]], v[t[i + 1]], v[t[i + 2]], false, m_state.texture});
        vertices.insert(vertices.end(), v.begin(), v.end());
        ClearVertices();
    }

    float TotalArea() const
    {
        float sum = 0.0f;
        for (const CTriangle& t : triangles)
            sum += t.SignedArea();
        return sum;
    }
    // No triangle faces down (the tessellator may add slivers of no area).
    bool AllFaceUp() const
    {
        for (const CTriangle& t : triangles)
            if (!(t.SignedArea() >= -1e-4f))
                return false;
        return !triangles.empty();
    }
    bool HasVertex(float x, float y, float z) const
    {
        for (const CGraphicsVertex& v : vertices)
            if (std::fabs(v.x - x) < 1e-4f && std::fabs(v.y - y) < 1e-4f && v.z == z)
                return true;
        return false;
    }

    std::vector<CTriangle> triangles;
    std::vector<CGraphicsVertex> vertices;
    int batches = 0;
};

void FillPolygon(CGraphicsContext& context, const std::vector<CPoint2>& points)
{
    context.BeginPath(false, true, 1);
    context.MoveTo(points[0]);
    for (size_t i = 1; i < points.size(); ++i)
        context.LineTo(points[i]);
    context.EndPath();
}

const std::vector<CPoint2> kSquareClockwise = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
const std::vector<CPoint2> kSquareAnticlockwise = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};
// An L: 10 x 10 with the 5 x 5 quarter at the top right cut away (area 75).
const std::vector<CPoint2> kEll = {{0, 0}, {5, 0}, {5, 5}, {10, 5}, {10, 10}, {0, 10}};

}  // namespace

TEST(GraphicsContext3D, TheHatchTextureIsAGridOfOpaqueLines)
{
    const CPixelBitmap& hatch = CGraphicsContext3D::GetHatchTexture();
    ASSERT_EQ(8, hatch.GetPixelWidth());
    ASSERT_EQ(8, hatch.GetPixelHeight());
    const std::vector<uint32_t>& pixels = hatch.GetPixels();
    for (size_t i = 0; i < 64; ++i) {
        const bool line = i % 8 == 0 || i / 8 == 7;
        EXPECT_EQ(line ? 0xFFFFFFFFu : 0x00FFFFFFu, pixels[i]) << i;
    }
    EXPECT_EQ(&hatch, &CGraphicsContext3D::GetHatchTexture());
}

TEST(GraphicsContext3D, TurningTellsConvexFiguresAndTheirDirection)
{
    EXPECT_EQ(1, CGraphicsContext3D::ClassifyTurning(kSquareClockwise));
    EXPECT_EQ(-1, CGraphicsContext3D::ClassifyTurning(kSquareAnticlockwise));
    EXPECT_EQ(0, CGraphicsContext3D::ClassifyTurning(kEll));
    EXPECT_EQ(0, CGraphicsContext3D::ClassifyTurning({{0, 0}, {10, 0}}));
    EXPECT_EQ(0, CGraphicsContext3D::ClassifyTurning({{0, 0}, {5, 0}, {10, 0}}));
}

TEST(GraphicsContext3D, AConvexFigureIsOneFlatPolygonFacingUpEitherWayRound)
{
    for (const auto* square : {&kSquareClockwise, &kSquareAnticlockwise}) {
        CRecording3D context;
        context.m_state.fillColor = 0xFF336699;
        context.m_state.fillZ = 2.5f;
        FillPolygon(context, *square);
        EXPECT_EQ(1, context.batches);
        ASSERT_EQ(2u, context.triangles.size());
        EXPECT_TRUE(context.AllFaceUp());
        EXPECT_FLOAT_EQ(100.0f, context.TotalArea());
        for (const CGraphicsVertex& v : context.vertices) {
            EXPECT_EQ(2.5f, v.z);
            EXPECT_EQ(0xFF336699u, v.color);
        }
        // Path y runs down, vertex y up.
        EXPECT_TRUE(context.HasVertex(10.0f, -10.0f, 2.5f));
    }
}

TEST(GraphicsContext3D, AConcaveFigureIsTessellatedIntoPolygonsCoveringIt)
{
    CRecording3D context;
    context.m_state.fillColor = 0xFF00FF00;
    FillPolygon(context, kEll);
    EXPECT_GE(context.triangles.size(), 4u);
    EXPECT_TRUE(context.AllFaceUp());
    EXPECT_NEAR(75.0f, context.TotalArea(), 1e-3f);

    // The same outline the other way round gives the same cover.
    std::vector<CPoint2> reversed(kEll.rbegin(), kEll.rend());
    CRecording3D other;
    FillPolygon(other, reversed);
    EXPECT_TRUE(other.AllFaceUp());
    EXPECT_NEAR(75.0f, other.TotalArea(), 1e-3f);
}

TEST(GraphicsContext3D, ASelfCrossingFigureFillsByTheOddRule)
{
    // A bow tie: two triangles of area 25 each.
    CRecording3D context;
    FillPolygon(context, {{0, 0}, {10, 10}, {10, 0}, {0, 10}});
    EXPECT_TRUE(context.AllFaceUp());
    EXPECT_NEAR(50.0f, context.TotalArea(), 1e-3f);
}

TEST(GraphicsContext3D, AHatchedFillIsWhiteBelowAndTexturedAbove)
{
    CRecording3D context;
    const CPixelBitmap image(2.0f, 2.0f);
    context.m_state.texture = &image;
    context.m_state.color = 0xFF123456;
    context.m_state.fillColor = 0xFF0000FF;
    context.m_state.fillZ = 1.0f;
    context.m_state.strokeZ = 2.0f;
    context.SetFillPattern(1);
    FillPolygon(context, kSquareClockwise);
    ASSERT_EQ(4u, context.triangles.size());
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(nullptr, context.triangles[i].texture);
        EXPECT_EQ(0xFFFFFFFFu, context.triangles[i].a.color);
        EXPECT_EQ(1.0f, context.triangles[i].a.z);
    }
    for (size_t i = 2; i < 4; ++i) {
        EXPECT_EQ(&CGraphicsContext3D::GetHatchTexture(), context.triangles[i].texture);
        EXPECT_EQ(0xFF0000FFu, context.triangles[i].a.color);
        EXPECT_EQ(2.0f, context.triangles[i].a.z);
    }
    // The texture repeats every 8 * sqrt(2) units of the plan.
    bool found = false;
    for (const CGraphicsVertex& v : context.vertices)
        if (v.x == 10.0f && v.y == -10.0f)
            found = found || std::fabs(v.u - 10.0f / 11.3137085f) < 1e-5f;
    EXPECT_TRUE(found);
    EXPECT_EQ(&image, context.m_state.texture);
    EXPECT_EQ(0xFF123456u, context.m_state.color);
}

TEST(GraphicsContext3D, AnUnknownFillPatternIsReportedAndFilledPlain)
{
    CRecording3D context;
    context.m_state.fillColor = 0xFF00FF00;
    context.SetFillPattern(2);
    EXPECT_EQ(1, CountReports([&] { FillPolygon(context, kSquareClockwise); }));
    ASSERT_EQ(2u, context.triangles.size());
    EXPECT_EQ(nullptr, context.triangles[0].texture);
    EXPECT_EQ(0xFF00FF00u, context.triangles[0].a.color);
}

TEST(GraphicsContext3D, AFigureOfFewerThanTwoPointsDrawsNothing)
{
    CRecording3D context;
    context.BeginPath(true, true, 1);
    context.MoveTo(5.0f, 5.0f);
    context.LineTo(5.0f, 5.0f);
    context.EndPath();
    context.BeginLine(1);
    context.MoveTo(1.0f, 1.0f);
    context.EndPath();
    EXPECT_TRUE(context.triangles.empty());
    EXPECT_EQ(0, context.batches);
}

TEST(GraphicsContext3D, ARightAngleIsMitred)
{
    CRecording3D context;
    context.m_state.penWidth = 2.0f;
    context.m_state.penColor = 0xFFFF0000;
    context.m_state.strokeZ = 3.0f;
    context.BeginLine(1);
    context.MoveTo(0.0f, 0.0f);
    context.LineTo(10.0f, 0.0f);
    context.LineTo(10.0f, 10.0f);
    context.EndPath();
    // Two segments: a strip of three pairs, four triangles, facing up.
    ASSERT_EQ(4u, context.triangles.size());
    EXPECT_TRUE(context.AllFaceUp());
    EXPECT_NEAR(40.0f, context.TotalArea(), 1e-3f);
    // The outer corner lies sqrt(2) half widths from the corner (10, 0).
    EXPECT_TRUE(context.HasVertex(11.0f, 1.0f, 3.0f));
    EXPECT_TRUE(context.HasVertex(9.0f, -1.0f, 3.0f));
    // The ends are square.
    EXPECT_TRUE(context.HasVertex(0.0f, 1.0f, 3.0f));
    EXPECT_TRUE(context.HasVertex(0.0f, -1.0f, 3.0f));
    EXPECT_TRUE(context.HasVertex(11.0f, -10.0f, 3.0f));
    for (const CGraphicsVertex& v : context.vertices)
        EXPECT_EQ(0xFFFF0000u, v.color);
}

TEST(GraphicsContext3D, AHairpinIsNotMitred)
{
    std::vector<CPoint2> points = {{0, 0}, {10, 0}, {0, 1}};
    CPoint2 left, right;
    CGraphicsContext3D::OffsetPoint(points, 1, false, 1.0f, left, right);
    EXPECT_NEAR(1.0f, (left - points[1]).Length(), 1e-5f);
    EXPECT_NEAR(1.0f, (right - points[1]).Length(), 1e-5f);
    // A turn of 110 degrees still is: 1 / cos 55 degrees half widths.
    points = {{0, 0}, {10, 0}, {10.0f - 3.4202014f, 9.3969262f}};
    CGraphicsContext3D::OffsetPoint(points, 1, false, 1.0f, left, right);
    EXPECT_NEAR(1.7434468f, (left - points[1]).Length(), 1e-4f);
    // Left of the way along +x on the plan (y down) is -y.
    points = {{0, 0}, {10, 0}};
    CGraphicsContext3D::OffsetPoint(points, 0, false, 1.0f, left, right);
    EXPECT_FLOAT_EQ(-1.0f, left.y);
    EXPECT_FLOAT_EQ(1.0f, right.y);
}

TEST(GraphicsContext3D, AClosedStrokeWrapsAroundAndRepeatsItsFirstPair)
{
    CRecording3D context;
    context.m_state.penWidth = 2.0f;
    context.BeginPath(true, false, 1);
    context.AddRect(CRectF(0.0f, 0.0f, 10.0f, 10.0f));
    context.EndPath();
    // Four sides: five pairs, eight triangles; every corner mitred.
    ASSERT_EQ(8u, context.triangles.size());
    EXPECT_TRUE(context.AllFaceUp());
    EXPECT_NEAR(12.0f * 12.0f - 8.0f * 8.0f, context.TotalArea(), 1e-3f);
    EXPECT_TRUE(context.HasVertex(-1.0f, 1.0f, 0.0f));
    EXPECT_TRUE(context.HasVertex(1.0f, -1.0f, 0.0f));
}

TEST(GraphicsContext3D, AFilledAndStrokedPathDoesBothPerFigure)
{
    CRecording3D context;
    context.m_state.fillZ = 1.0f;
    context.m_state.strokeZ = 2.0f;
    context.BeginPath(true, true, 1);
    context.AddRect(CRectF(0.0f, 0.0f, 10.0f, 10.0f));
    context.AddRect(CRectF(20.0f, 0.0f, 30.0f, 10.0f));
    context.EndPath();
    EXPECT_EQ(4, context.batches);
    ASSERT_EQ(2u + 8u + 2u + 8u, context.triangles.size());
    EXPECT_EQ(1.0f, context.triangles[0].a.z);
    EXPECT_EQ(2.0f, context.triangles[2].a.z);
}

TEST(TessellatingGraphics3D, HandsEveryOutputPolygonToTheTarget)
{
    CRecording3D target;
    CTessellatingGraphics3D::Instance().Tessellate(kEll, target, 4.0f);
    EXPECT_NEAR(75.0f, target.TotalArea(), 1e-3f);
    EXPECT_TRUE(target.AllFaceUp());
    for (const CGraphicsVertex& v : target.vertices)
        EXPECT_EQ(4.0f, v.z);
    // The buffers are reused: a second run gives the same cover.
    CRecording3D again;
    CTessellatingGraphics3D::Instance().Tessellate(kEll, again, 4.0f);
    EXPECT_EQ(target.triangles.size(), again.triangles.size());
}
