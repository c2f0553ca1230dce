#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "graphics/Drawable.h"
#include "render3d/Camera.h"
#include "render3d/SceneContext3D.h"
#include "tests/support/CanvasTestHelpers.h"
#include "tests/support/FailureReports.h"
#include "ui/Scene.h"

namespace {

// A drawable that runs a function and counts how often it drew into a
// picking context (measuring its bounds does not count).
class CPickDrawable : public CFunctionDrawable
{
public:
    using CFunctionDrawable::CFunctionDrawable;
    void Draw(CGraphicsContext& context) override
    {
        if (dynamic_cast<CSceneContext3D*>(&context))
            ++picks;
        CFunctionDrawable::Draw(context);
    }
    int picks = 0;
};

CPickDrawable Rect(float left, float top, float right, float bottom)
{
    return CPickDrawable([=](CGraphicsContext& context) {
        context.BeginPath(false, true, 1);
        context.AddRect(CRectF(left, top, right, bottom));
        context.EndPath();
    });
}

// The camera of a map view of 200 x 100 pixels: one scene unit a pixel.
CCamera MapCamera()
{
    CCamera camera;
    camera.SetOrthographic(true);
    camera.UpdateMatrices();
    camera.SetDepthRange(-1200.0f, 120.0f);
    camera.SetViewport(200.0f, 100.0f);
    return camera;
}

const float kMargin = 0.6f;

}  // namespace

TEST(SceneContext3D, PicksTheItemUnderThePoint)
{
    CPickDrawable rect = Rect(20.0f, 20.0f, 60.0f, 50.0f);
    CScene scene(true, 2);
    scene.items[1] = &rect;
    const CCamera camera = MapCamera();

    CSceneContext3D hit(scene, camera, 30.0f, 30.0f, kMargin);
    EXPECT_TRUE(hit.HasHit());
    EXPECT_EQ(1, hit.GetHitItem());
    EXPECT_EQ(0, hit.GetHitPickId());
    EXPECT_NEAR(30.5f, hit.GetHitPoint().x, 1e-3f);
    EXPECT_NEAR(-30.5f, hit.GetHitPoint().y, 1e-3f);
    EXPECT_NEAR(0.0f, hit.GetHitPoint().z, 1e-3f);
    EXPECT_NEAR(30.5f, hit.GetPickRay().x, 1e-3f);
    EXPECT_NEAR(-30.5f, hit.GetPickRay().y, 1e-3f);

    CSceneContext3D miss(scene, camera, 100.0f, 80.0f, kMargin);
    EXPECT_FALSE(miss.HasHit());
    EXPECT_EQ(-1, miss.GetHitItem());
    // Bounds wholly outside the pick window: the item is not even drawn.
    EXPECT_EQ(1, rect.picks);

    // Within the margin of the edge still counts.
    CSceneContext3D edge(scene, camera, 60.0f, 40.0f, kMargin);
    EXPECT_TRUE(edge.HasHit());
    CSceneContext3D beyond(scene, camera, 61.0f, 40.0f, kMargin);
    EXPECT_FALSE(beyond.HasHit());
}

TEST(SceneContext3D, WithoutAMarginThePickWindowIsThePixel)
{
    CPickDrawable rect = Rect(20.0f, 20.0f, 60.0f, 50.0f);
    CScene scene(true, 1);
    scene.items[0] = &rect;
    const CCamera camera = MapCamera();
    const int reports = ReportCount();
    EXPECT_TRUE(CSceneContext3D(scene, camera, 59.0f, 40.0f, 0.0f).HasHit());
    EXPECT_FALSE(CSceneContext3D(scene, camera, 60.5f, 40.0f, 0.0f).HasHit());
    EXPECT_EQ(reports, ReportCount());
}

TEST(SceneContext3D, APointCoveredByTwoItemsPicksTheLaterOne)
{
    CPickDrawable lower = Rect(20.0f, 20.0f, 60.0f, 50.0f);
    CPickDrawable upper = Rect(40.0f, 30.0f, 80.0f, 70.0f);
    CScene scene(true, 3);
    scene.items[0] = &lower;
    scene.items[2] = &upper;
    const CCamera camera = MapCamera();
    EXPECT_EQ(2, CSceneContext3D(scene, camera, 45.0f, 35.0f, kMargin).GetHitItem());
    EXPECT_EQ(0, CSceneContext3D(scene, camera, 25.0f, 25.0f, kMargin).GetHitItem());
    EXPECT_EQ(2, CSceneContext3D(scene, camera, 70.0f, 60.0f, kMargin).GetHitItem());
    // The walk stops at the first item hit: the lower one was not drawn for
    // the first pick.
    EXPECT_EQ(1, lower.picks);
}

TEST(SceneContext3D, TheHitCarriesThePickIdOfTheInnermostDrawable)
{
    CPickDrawable a = Rect(10.0f, 10.0f, 50.0f, 50.0f);
    CPickDrawable b = Rect(40.0f, 40.0f, 90.0f, 90.0f);
    CPickDrawable plain = Rect(100.0f, 10.0f, 120.0f, 30.0f);
    CPickDrawable layer([&](CGraphicsContext& context) {
        context.DrawDrawable(a, 0, 5);
        context.DrawDrawable(b, 0, 9);
        context.DrawDrawable(plain, 0, 0);
    });
    CScene scene(true, 1);
    scene.items[0] = &layer;
    const CCamera camera = MapCamera();
    EXPECT_EQ(5, CSceneContext3D(scene, camera, 20.0f, 20.0f, kMargin).GetHitPickId());
    // Where both lie, the one drawn later is on top.
    EXPECT_EQ(9, CSceneContext3D(scene, camera, 45.0f, 45.0f, kMargin).GetHitPickId());
    CSceneContext3D unnamed(scene, camera, 110.0f, 20.0f, kMargin);
    EXPECT_TRUE(unnamed.HasHit());
    EXPECT_EQ(0, unnamed.GetHitPickId());
}

TEST(SceneContext3D, PlacedDrawablesArePickedWhereTheyArePlaced)
{
    CPickDrawable square = Rect(-5.0f, -5.0f, 5.0f, 5.0f);
    CPickDrawable layer([&](CGraphicsContext& context) {
        context.m_state.matrix.SetPosition2D(150.0f, 40.0f);
        context.m_state.matrix.RotateZ(45.0f);
        context.DrawDrawable(square, 0, 13);
    });
    CScene scene(true, 1);
    scene.items[0] = &layer;
    const CCamera camera = MapCamera();
    EXPECT_EQ(13, CSceneContext3D(scene, camera, 149.0f, 39.0f, kMargin).GetHitPickId());
    // Turned by 45 degrees the corner of the box is empty.
    EXPECT_FALSE(CSceneContext3D(scene, camera, 154.0f, 35.0f, kMargin).HasHit());
    EXPECT_EQ(13, CSceneContext3D(scene, camera, 156.0f, 39.0f, kMargin).GetHitPickId());
}

TEST(SceneContext3D, AnItemWhollyInsideThePickWindowIsAHitWithoutDrawing)
{
    CPickDrawable speck = Rect(30.6f, 30.6f, 30.8f, 30.8f);
    CScene scene(true, 1);
    scene.items[0] = &speck;
    CSceneContext3D pick(scene, MapCamera(), 30.0f, 30.0f, kMargin);
    EXPECT_TRUE(pick.HasHit());
    EXPECT_EQ(0, speck.picks);
}

TEST(SceneContext3D, TextIsPickedByItsLayoutRectangle)
{
    CPickDrawable text([](CGraphicsContext& context) {
        context.m_state.font = CFontMetrics(20.0f, false);
        context.DrawText(L"Hi", 10.0f, 50.0f);
    });
    CScene scene(true, 1);
    scene.items[0] = &text;
    const CCamera camera = MapCamera();
    const int reports = ReportCount();
    EXPECT_TRUE(CSceneContext3D(scene, camera, 12.0f, 55.0f, kMargin).HasHit());
    EXPECT_FALSE(CSceneContext3D(scene, camera, 12.0f, 45.0f, kMargin).HasHit());
    EXPECT_FALSE(CSceneContext3D(scene, camera, 60.0f, 55.0f, kMargin).HasHit());
    EXPECT_EQ(reports, ReportCount());
}

TEST(SceneContext3D, ManyTrianglesArePrunedByTheirBounds)
{
    CPickDrawable disc([](CGraphicsContext& context) {
        context.m_state.matrix.SetPosition2D(100.0f, 50.0f);
        context.DrawDisc(20.0f, 64, 0.0f, false, 0, 0);
    });
    CScene scene(true, 1);
    scene.items[0] = &disc;
    const CCamera camera = MapCamera();
    EXPECT_TRUE(CSceneContext3D(scene, camera, 99.0f, 49.0f, kMargin).HasHit());
    EXPECT_TRUE(CSceneContext3D(scene, camera, 116.0f, 49.0f, kMargin).HasHit());
    EXPECT_TRUE(CSceneContext3D(scene, camera, 99.0f, 31.0f, kMargin).HasHit());
    // Inside the disc's square but outside the disc.
    EXPECT_FALSE(CSceneContext3D(scene, camera, 116.0f, 34.0f, kMargin).HasHit());
    EXPECT_FALSE(CSceneContext3D(scene, camera, 99.0f, 75.0f, kMargin).HasHit());
}

TEST(SceneContext3D, InA3DItemTheNearerHitWins)
{
    // The eye 1000 units above the ground, looking straight down.
    CCamera camera;
    camera.SetDepthRange(1.0f, 10000.0f);
    camera.SetViewport(200.0f, 200.0f);
    CPickDrawable boxes([](CGraphicsContext& context) {
        context.DrawBox(CBox3(-20.0f, 20.0f, -20.0f, 20.0f, 100.0f, 100.0f), 0);
        context.DrawBox(CBox3(-50.0f, 50.0f, -50.0f, 50.0f, 0.0f, 0.0f), 0);
    });
    CScene scene(false, 1);
    scene.items[0] = &boxes;
    scene.is3D[0] = true;
    scene.transform.SetTranslation(0.0f, 0.0f, 1000.0f);

    CSceneContext3D centre(scene, camera, 99.5f, 99.5f, kMargin);
    ASSERT_TRUE(centre.HasHit());
    EXPECT_NEAR(0.0f, centre.GetHitPoint().x, 1e-2f);
    EXPECT_NEAR(100.0f, centre.GetHitPoint().z, 1e-2f);

    // A flat item keeps the later hit instead.
    scene.is3D[0] = false;
    EXPECT_NEAR(0.0f, CSceneContext3D(scene, camera, 99.5f, 99.5f, kMargin).GetHitPoint().z, 1e-2f);
    scene.is3D[0] = true;

    // Beside the raised box only the ground is hit: 8 pixels off the
    // centre is 8 / 100 * 1000 * tan 22.5 degrees = 33.1 units out.
    CSceneContext3D side(scene, camera, 107.5f, 99.5f, kMargin);
    ASSERT_TRUE(side.HasHit());
    EXPECT_NEAR(0.0f, side.GetHitPoint().z, 1e-2f);
    EXPECT_NEAR(33.137f, side.GetHitPoint().x, 0.05f);
    EXPECT_FALSE(CSceneContext3D(scene, camera, 150.0f, 99.5f, kMargin).HasHit());
}

TEST(SceneContext3D, ItemsBehindTheEyeAreNotHit)
{
    CCamera camera;
    camera.SetDepthRange(1.0f, 10000.0f);
    camera.SetViewport(200.0f, 200.0f);
    CPickDrawable above([](CGraphicsContext& context) {
        context.DrawBox(CBox3(-50.0f, 50.0f, -50.0f, 50.0f, 2000.0f, 2000.0f), 0);
    });
    CScene scene(false, 1);
    scene.items[0] = &above;
    scene.is3D[0] = true;
    scene.transform.SetTranslation(0.0f, 0.0f, 1000.0f);
    EXPECT_FALSE(CSceneContext3D(scene, camera, 99.5f, 99.5f, kMargin).HasHit());
}
