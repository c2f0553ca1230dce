#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "foundation/Transform.h"
#include "render3d/Camera.h"
#include "tests/support/FailureReports.h"

namespace {

CCamera Perspective(float width, float height, float nearZ, float farZ)
{
    CCamera camera;
    camera.SetDepthRange(nearZ, farZ);
    camera.SetViewport(width, height);
    return camera;
}

bool AllFinite(const float* m)
{
    for (int i = 0; i < 16; ++i)
        if (!std::isfinite(m[i]))
            return false;
    return true;
}

// The product of the projection and its inverse, element by element.
void ExpectInverse(const CCamera& camera)
{
    const float* a = camera.GetProjectionMatrix();
    const float* b = camera.GetInverseProjectionMatrix();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += double(a[4 * r + k]) * b[4 * k + c];
            EXPECT_NEAR(r == c ? 1.0 : 0.0, sum, 1e-4) << r << "," << c;
        }
}

}  // namespace

TEST(Camera, Defaults)
{
    CCamera camera;
    EXPECT_EQ(100, camera.GetWindowWidth());
    EXPECT_EQ(100, camera.GetProjectionHeight());
    EXPECT_EQ(-10000, camera.GetNear());
    EXPECT_EQ(10000, camera.GetFar());
    EXPECT_FALSE(camera.IsOrthographic());
    EXPECT_EQ(CRectF(0, 0, 100, 100), camera.GetWindowRect());
    EXPECT_TRUE(AllFinite(camera.GetProjectionMatrix()));
    ExpectInverse(camera);
}

TEST(Camera, PerspectiveExtentSeesFortyFiveDegreesAcrossTheSmallerSide)
{
    CCamera square = Perspective(400, 400, 120, 120000);
    EXPECT_NEAR(99.41f, square.GetRight() - square.GetLeft(), 0.01f);
    EXPECT_NEAR(99.41f, square.GetTop() - square.GetBottom(), 0.01f);
    EXPECT_NEAR(-49.71f, square.GetLeft(), 0.01f);

    CCamera wide = Perspective(800, 400, 120, 120000);
    EXPECT_NEAR(198.82f, wide.GetRight() - wide.GetLeft(), 0.01f);
    EXPECT_NEAR(99.41f, wide.GetTop() - wide.GetBottom(), 0.01f);

    CCamera tall = Perspective(100, 1000, 120, 120000);   // a = 10: 120 degrees high
    EXPECT_NEAR(415.69f, tall.GetTop() - tall.GetBottom(), 0.01f);
    EXPECT_NEAR(41.57f, tall.GetRight() - tall.GetLeft(), 0.01f);

    CCamera flat = Perspective(1000, 100, 120, 120000);   // a = 0.1: 120 degrees wide
    EXPECT_NEAR(415.69f, flat.GetRight() - flat.GetLeft(), 0.01f);
    EXPECT_NEAR(41.57f, flat.GetTop() - flat.GetBottom(), 0.01f);

    CCamera portrait = Perspective(400, 800, 120, 120000);   // a = 2
    EXPECT_NEAR(99.41f, portrait.GetRight() - portrait.GetLeft(), 0.01f);
    EXPECT_NEAR(198.82f, portrait.GetTop() - portrait.GetBottom(), 0.01f);
    ExpectInverse(portrait);
}

TEST(Camera, MatricesAreTheFrustumForRowVectors)
{
    CCamera camera = Perspective(400, 400, 120, 1200);
    const float* m = camera.GetProjectionMatrix();
    const float l = camera.GetLeft(), r = camera.GetRight(), n = 120, f = 1200;
    EXPECT_FLOAT_EQ(2 * n / (r - l), m[0]);
    EXPECT_FLOAT_EQ(-1.0f, m[11]);
    EXPECT_FLOAT_EQ(0.0f, m[15]);
    EXPECT_FLOAT_EQ(-(f + n) / (f - n), m[10]);
    EXPECT_FLOAT_EQ(-2 * f * n / (f - n), m[14]);
    ExpectInverse(camera);

    CCamera ortho;
    ortho.SetOrthographic(true);
    ortho.SetDepthRange(-1200, 120);
    ortho.SetViewport(640, 480);
    EXPECT_EQ(0, ortho.GetLeft());
    EXPECT_EQ(640, ortho.GetRight());
    EXPECT_EQ(-480, ortho.GetBottom());
    EXPECT_EQ(0, ortho.GetTop());
    const float* o = ortho.GetProjectionMatrix();
    EXPECT_FLOAT_EQ(2.0f / 640, o[0]);
    EXPECT_FLOAT_EQ(-1.0f, o[12]);
    EXPECT_FLOAT_EQ(1.0f, o[13]);
    EXPECT_FLOAT_EQ(1.0f, o[15]);
    ExpectInverse(ortho);
}

TEST(Camera, ProjectPointInsideOnTheEdgeAndBehind)
{
    CCamera camera = Perspective(400, 400, 120, 1200);
    CPoint2 p;
    EXPECT_EQ(2, camera.ProjectPoint({0, 0, -500}, &p));
    EXPECT_FLOAT_EQ(200, p.x);
    EXPECT_FLOAT_EQ(200, p.y);
    // Near the right edge at depth 120 (the near plane's half width).
    const float edge = camera.GetRight();
    EXPECT_EQ(2, camera.ProjectPoint({edge * 0.999f, 0, -120}, &p));
    EXPECT_NEAR(400, p.x, 0.5);
    EXPECT_EQ(0, camera.ProjectPoint({edge * 1.001f, 0, -120}, &p));
    // Up is up: a point above the axis lies in the window's upper half.
    EXPECT_EQ(2, camera.ProjectPoint({0, 100, -500}, &p));
    EXPECT_LT(p.y, 200);
    // Behind the near plane: projected as if on it, result 0.
    EXPECT_EQ(0, camera.ProjectPoint({10, 0, -60}, &p));
    CPoint2 onNear;
    camera.ProjectPoint({10, 0, -120}, &onNear);
    EXPECT_EQ(onNear, p);
    EXPECT_EQ(0, camera.ProjectPoint({0, 0, -1300}, nullptr));
    EXPECT_EQ(1, camera.ProjectPoint({0, 0, -1200}, nullptr));
}

TEST(Camera, ProjectPointExactlyOnTheEdge)
{
    CCamera camera;
    camera.SetOrthographic(true);
    camera.SetDepthRange(-1200, 120);
    camera.SetViewport(512, 512);   // sizes whose scale is exact in floats
    CPoint2 p;
    EXPECT_EQ(1, camera.ProjectPoint({512, -256, 0}, &p));
    EXPECT_EQ(CPoint2(512, 256), p);
    EXPECT_EQ(2, camera.ProjectPoint({511.5f, -256, 0}, &p));
    EXPECT_EQ(0, camera.ProjectPoint({512.5f, -256, 0}, &p));
    EXPECT_EQ(1, camera.ProjectPoint({0, 0, 0}, &p));
    EXPECT_EQ(CPoint2(0, 0), p);
    EXPECT_EQ(1, camera.ProjectPoint({256, -256, -120}, nullptr));   // on the far plane
    EXPECT_EQ(0, camera.ProjectPoint({256, -256, -121}, nullptr));
    EXPECT_EQ(0, camera.ProjectPoint({256, -256, 1201}, nullptr));   // behind the near plane
}

TEST(Camera, UnprojectIsTheInverseOfProject)
{
    CCamera camera = Perspective(640, 480, 120, 12000);
    const CVector3 nearPoint = camera.UnprojectPoint(320, 240, 0);
    EXPECT_NEAR(0, nearPoint.x, 1e-3);
    EXPECT_NEAR(-120, nearPoint.z, 1e-2);
    const CVector3 farPoint = camera.UnprojectPoint(320, 240, 1);
    EXPECT_NEAR(-12000, farPoint.z, 1.0);
    const CVector3 corner = camera.UnprojectPoint(640, 0, 0);
    EXPECT_NEAR(camera.GetRight(), corner.x, 1e-3);
    EXPECT_NEAR(camera.GetTop(), corner.y, 1e-3);
    const CVector3 mid = camera.UnprojectPoint(100, 400, 0.5f);
    CPoint2 back;
    EXPECT_EQ(2, camera.ProjectPoint(mid, &back));
    EXPECT_NEAR(100, back.x, 0.01);
    EXPECT_NEAR(400, back.y, 0.01);
}

TEST(Camera, ScaleAtDepthIsOnePixelInViewUnits)
{
    CCamera camera = Perspective(400, 400, 120, 12000);
    // The near plane is 99.41 units across 400 pixels.
    EXPECT_NEAR(99.41f / 400, camera.ScaleAtDepth(120), 1e-4);
    EXPECT_NEAR(99.41f / 400 * 10, camera.ScaleAtDepth(-1200), 1e-3);
    CCamera ortho;
    ortho.SetOrthographic(true);
    ortho.SetDepthRange(-1200, 120);
    ortho.SetViewport(300, 200);
    EXPECT_FLOAT_EQ(1.0f, ortho.ScaleAtDepth(5000));
    // A tile of a picture twice the size: the same scale.
    ortho.SetViewport(150, 100, 300, 200, 150, 100);
    EXPECT_FLOAT_EQ(1.0f, ortho.ScaleAtDepth(0));
}

TEST(Camera, TileOfALargerPicture)
{
    CCamera whole = Perspective(800, 600, 120, 12000);
    CCamera tile = Perspective(400, 300, 120, 12000);
    tile.SetViewport(400, 300, 800, 600, 400, 300);   // the lower right quarter
    EXPECT_EQ(400, tile.GetWindowWidth());
    EXPECT_EQ(800, tile.GetProjectionWidth());
    EXPECT_NEAR(0, tile.GetLeft(), 1e-4);
    EXPECT_NEAR(whole.GetRight(), tile.GetRight(), 1e-4);
    EXPECT_NEAR(whole.GetBottom(), tile.GetBottom(), 1e-4);
    EXPECT_NEAR(0, tile.GetTop(), 1e-4);
    // A point of the whole picture's pixel (600, 450) is the tile's (200, 150).
    const CVector3 p = whole.UnprojectPoint(600, 450, 0.3f);
    CPoint2 inTile;
    EXPECT_EQ(2, tile.ProjectPoint(p, &inTile));
    EXPECT_NEAR(200, inTile.x, 0.01);
    EXPECT_NEAR(150, inTile.y, 0.01);
}

TEST(Camera, WindowRectNarrowsThePicking)
{
    CCamera camera = Perspective(400, 400, 120, 12000);
    const CRectF around(190, 190, 210, 210);
    camera.SetWindowRect(&around, 0.6f);
    EXPECT_EQ(CRectF(189.4f, 189.4f, 210.6f, 210.6f), camera.GetWindowRect());
    EXPECT_EQ(2, camera.ProjectPoint({0, 0, -500}, nullptr));
    EXPECT_EQ(0, camera.ProjectPoint({30, 0, -500}, nullptr));
    camera.SetWindowRect(nullptr, 0);
    EXPECT_EQ(CRectF(0, 0, 400, 400), camera.GetWindowRect());
    EXPECT_EQ(2, camera.ProjectPoint({30, 0, -500}, nullptr));
}

TEST(Camera, ZeroWidthWindowRectCountsAsOnePixel)
{
    CCamera camera = Perspective(400, 400, 120, 12000);
    const CRectF line(200, 200, 200, 200);
    camera.SetWindowRect(&line, 0);
    EXPECT_TRUE(AllFinite(camera.GetProjectionMatrix()));
    EXPECT_TRUE(AllFinite(camera.GetInverseProjectionMatrix()));
    EXPECT_NEAR(99.41f / 400, camera.GetRight() - camera.GetLeft(), 1e-4);
    const CVector3 p = camera.UnprojectPoint(200, 200, 0);
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
    EXPECT_EQ(1, CountReports([&] { EXPECT_TRUE(std::isfinite(camera.ScaleAtDepth(500))); }));
}

TEST(Camera, EqualDepthRangeIsReportedStoredAndStillFinite)
{
    CCamera camera;
    const int before = ReportCount();
    camera.SetDepthRange(10, 10);
    EXPECT_EQ(before + 1, ReportCount());
    EXPECT_EQ(10, camera.GetNear());
    EXPECT_EQ(10, camera.GetFar());
    EXPECT_TRUE(AllFinite(camera.GetProjectionMatrix()));
    EXPECT_TRUE(AllFinite(camera.GetInverseProjectionMatrix()));
    camera.SetOrthographic(true);
    camera.UpdateMatrices();
    EXPECT_TRUE(AllFinite(camera.GetProjectionMatrix()));
    camera.SetDepthRange(20, 5);
    EXPECT_EQ(before + 2, ReportCount());
    EXPECT_TRUE(AllFinite(camera.GetProjectionMatrix()));
    // A perspective from the eye itself.
    camera.SetOrthographic(false);
    camera.SetDepthRange(0, 100);
    EXPECT_EQ(before + 2, ReportCount());
    EXPECT_TRUE(AllFinite(camera.GetProjectionMatrix()));
    EXPECT_TRUE(AllFinite(camera.GetInverseProjectionMatrix()));
}

TEST(Camera, ZeroAndBadViewportsKeepTheMatricesFinite)
{
    CCamera camera = Perspective(0, 0, 120, 12000);
    EXPECT_EQ(0, camera.GetWindowWidth());
    EXPECT_TRUE(AllFinite(camera.GetProjectionMatrix()));
    EXPECT_TRUE(AllFinite(camera.GetInverseProjectionMatrix()));
    CPoint2 p;
    camera.ProjectPoint({0, 0, -500}, &p);
    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    const CVector3 v = camera.UnprojectPoint(0, 0, 0.5f);
    EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
    camera.SetViewport(0, 300);
    EXPECT_TRUE(AllFinite(camera.GetProjectionMatrix()));

    const int before = ReportCount();
    camera.SetViewport(-5, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(before + 2, ReportCount());
    EXPECT_EQ(0, camera.GetWindowWidth());
    EXPECT_EQ(0, camera.GetWindowHeight());
    EXPECT_TRUE(AllFinite(camera.GetProjectionMatrix()));
    camera.SetDepthRange(std::numeric_limits<float>::infinity(), 5);
    EXPECT_EQ(before + 3, ReportCount());
    EXPECT_EQ(120, camera.GetNear());
}

TEST(Camera, ClassifyBox)
{
    CCamera camera = Perspective(400, 400, 120, 12000);
    CTransform placement;
    placement.SetTranslation(0, 0, -1000);
    CRectF rect;
    EXPECT_EQ(2, camera.ClassifyBox(CBox3(-10, 10, -10, 10, -10, 10), placement, &rect));
    EXPECT_GT(rect.left, 190);
    EXPECT_LT(rect.right, 210);
    EXPECT_LT(rect.top, rect.bottom);
    // Straddling the side of the view.
    EXPECT_EQ(1, camera.ClassifyBox(CBox3(0, 1000, -10, 10, 0, 0), placement, &rect));
    // Beside the view, behind the eye and beyond far.
    EXPECT_EQ(0, camera.ClassifyBox(CBox3(2000, 3000, -10, 10, 0, 0), placement, &rect));
    CTransform behind;
    behind.SetTranslation(0, 0, 50);
    EXPECT_EQ(0, camera.ClassifyBox(CBox3(-10, 10, -10, 10, -10, 10), behind, &rect));
    EXPECT_EQ(CRectF(), rect);
    CTransform beyond;
    beyond.SetTranslation(0, 0, -20000);
    EXPECT_EQ(0, camera.ClassifyBox(CBox3(-10, 10, -10, 10, -10, 10), beyond, &rect));
    // Across the near plane: partly in view.
    CTransform across;
    across.SetTranslation(0, 0, -120);
    EXPECT_EQ(1, camera.ClassifyBox(CBox3(-1, 1, -1, 1, -50, 50), across, nullptr));

    CCamera ortho;
    ortho.SetOrthographic(true);
    ortho.SetDepthRange(-1200, 120);
    ortho.SetViewport(400, 300);
    CTransform none;
    EXPECT_EQ(2, ortho.ClassifyBox(CBox3(10, 20, -40, -30, 0, 0), none, &rect));
    EXPECT_NEAR(10, rect.left, 1e-3);
    EXPECT_NEAR(20, rect.right, 1e-3);
    EXPECT_NEAR(30, rect.top, 1e-3);
    EXPECT_NEAR(40, rect.bottom, 1e-3);
    EXPECT_EQ(0, ortho.ClassifyBox(CBox3(10, 20, 30, 40, 0, 0), none, &rect));
}

TEST(Camera, ClipPolygon)
{
    CCamera camera = Perspective(400, 400, 120, 12000);
    const float h = camera.GetRight() * 1000 / 120;   // half width at depth 1000
    std::vector<CVector3> inside = {{-10, -10, -1000}, {10, -10, -1000}, {0, 10, -1000}};
    const auto copy = inside;
    EXPECT_EQ(2, camera.ClipPolygon(inside));
    EXPECT_EQ(copy.size(), inside.size());

    std::vector<CVector3> outside = {{h + 10, 0, -1000}, {h + 50, 0, -1000}, {h + 20, 30, -1000}};
    EXPECT_EQ(0, camera.ClipPolygon(outside));
    EXPECT_TRUE(outside.empty());

    // A square twice the width of the view is cut at both side planes.
    std::vector<CVector3> wide = {{-2 * h, -10, -1000}, {2 * h, -10, -1000}, {2 * h, 10, -1000}, {-2 * h, 10, -1000}};
    EXPECT_EQ(1, camera.ClipPolygon(wide));
    ASSERT_EQ(4u, wide.size());
    for (const CVector3& p : wide) {
        EXPECT_LE(std::fabs(p.x), h + 0.01f);
        EXPECT_NEAR(-1000, p.z, 1e-3);
    }
    // Beyond the top right corner: no side plane has every point outside,
    // yet clipping leaves nothing.
    std::vector<CVector3> corner = {{h + 3, h - 1, -1000}, {h - 1, h + 3, -1000}, {h + 5, h + 5, -1000}};
    EXPECT_EQ(0, camera.ClipPolygon(corner));
    EXPECT_TRUE(corner.empty());
}
