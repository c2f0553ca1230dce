#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/ViewCamera.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "tests/support/FailureReports.h"
#include "tests/support/GeometryExpectations.h"

namespace {

// The window position of a 3D point as the camera sees it.
CPoint2 WindowPoint(const CViewCamera& camera, const CVector3& world, int* result = nullptr)
{
    const CVector3 view = camera.GetTransform().InverseTransformPoint(world);
    CPoint2 p;
    const int r = camera.GetCamera().ProjectPoint(view, &p);
    if (result)
        *result = r;
    return p;
}

// A free camera somewhere above a ring.
CViewCamera FreeCamera()
{
    CViewCamera camera(false);
    camera.SetViewportSize(800, 600);
    camera.SetCourseRect(CRectF(-10, -10, 1210, 910));
    camera.SetYaw(-30);
    camera.SetEyePosition({1234.4f, -5678.6f, 600});
    return camera;
}

std::string Write(CViewCamera& camera)
{
    CFieldWriter writer;
    writer.m_versionMajor = 4;
    writer.m_versionMinor = 33;
    camera.Serialize(writer);
    return writer.m_bytes;
}

void Read(CViewCamera& camera, const std::string& bytes)
{
    CFieldReader reader(bytes);
    reader.m_versionMajor = 4;
    reader.m_versionMinor = 33;
    camera.Serialize(reader);
}

}  // namespace

TEST(ViewCamera, Construction)
{
    CViewCamera topDown(true);
    EXPECT_EQ(CViewCamera::kWholeCourse, topDown.GetMode());
    EXPECT_EQ(0, topDown.GetPitch());
    EXPECT_EQ(0, topDown.GetYaw());
    EXPECT_EQ(CRectF(), topDown.GetCourseRect());
    EXPECT_EQ(1, topDown.GetCamera().GetNear());
    EXPECT_EQ(10, topDown.GetCamera().GetFar());
    EXPECT_FALSE(topDown.GetCamera().IsOrthographic());
    CViewCamera oblique(false);
    EXPECT_EQ(45, oblique.GetPitch());
    // Looking straight down at pitch 0; towards +y (the ring's far side)
    // at 45.
    const CVector3 down = topDown.GetTransform().TransformVector({0, 0, -1});
    ExpectNear(CVector3(0, 0, -1), down, 1e-6f);
    const CVector3 ahead = oblique.GetTransform().TransformVector({0, 0, -1});
    EXPECT_NEAR(0.7071f, ahead.y, 1e-4);
    EXPECT_NEAR(-0.7071f, ahead.z, 1e-4);
}

TEST(ViewCamera, YawIsNormalisedAndMakesTheCameraFree)
{
    CViewCamera camera(false);
    camera.SetViewportSize(400, 300);
    ASSERT_EQ(CViewCamera::kFitted, camera.GetMode());
    camera.SetYaw(360);   // the same as 0: nothing changes
    EXPECT_EQ(CViewCamera::kFitted, camera.GetMode());
    camera.SetYaw(540);
    EXPECT_EQ(180, camera.GetYaw());
    EXPECT_EQ(CViewCamera::kFree, camera.GetMode());
    camera.SetYaw(-180);
    EXPECT_EQ(180, camera.GetYaw());
    camera.SetYaw(-181);
    EXPECT_EQ(179, camera.GetYaw());
    camera.SetYaw(181);
    EXPECT_EQ(-179, camera.GetYaw());
    camera.SetYaw(-900);
    EXPECT_EQ(180, camera.GetYaw());
    // Heading 90 turns the view direction from +y to -x.
    camera.SetYaw(90);
    const CVector3 ahead = camera.GetTransform().TransformVector({0, 0, -1});
    EXPECT_NEAR(-0.7071f, ahead.x, 1e-4);
    EXPECT_NEAR(0, ahead.y, 1e-4);
}

TEST(ViewCamera, SamePitchChangesNothing)
{
    CViewCamera camera(true);
    camera.SetViewportSize(400, 300);
    camera.SetCourseRect(CRectF(-10, -10, 1210, 910));
    const CVector3 eye = camera.GetEyePosition();
    camera.SetPitch(0);
    EXPECT_EQ(CViewCamera::kFitted, camera.GetMode());
    EXPECT_EQ(eye, camera.GetEyePosition());
    CViewCamera free = FreeCamera();
    const CVector3 freeEye = free.GetEyePosition();
    free.SetPitch(45);
    EXPECT_EQ(CViewCamera::kFree, free.GetMode());
    EXPECT_EQ(freeEye, free.GetEyePosition());
}

TEST(ViewCamera, PitchOfAFittedCameraRefits)
{
    CViewCamera camera(true);
    camera.SetViewportSize(400, 300);
    camera.SetCourseRect(CRectF(-10, -10, 1210, 910));
    const CVector3 topEye = camera.GetEyePosition();
    camera.SetPitch(30);
    EXPECT_EQ(30, camera.GetPitch());
    EXPECT_EQ(CViewCamera::kFitted, camera.GetMode());
    EXPECT_FALSE(topEye == camera.GetEyePosition());
    // Out of range: reported and kept within 0..90, the eye stays finite.
    const int before = ReportCount();
    camera.SetPitch(95);
    EXPECT_EQ(before + 1, ReportCount());
    EXPECT_EQ(90, camera.GetPitch());
    camera.SetPitch(-20);
    EXPECT_EQ(before + 2, ReportCount());
    EXPECT_EQ(0, camera.GetPitch());
    const CVector3 eye = camera.GetEyePosition();
    EXPECT_TRUE(IsFinite(eye));
}

TEST(ViewCamera, FreePitchTurnsAboutTheGroundPoint)
{
    CViewCamera camera = FreeCamera();
    const CVector3 ground = camera.GetViewGroundPoint();
    const CVector3 eye = camera.GetEyePosition();
    const float distance = CVector3(eye.x - ground.x, eye.y - ground.y, eye.z - ground.z).Length();
    camera.SetPitch(60);
    EXPECT_EQ(CViewCamera::kFree, camera.GetMode());
    EXPECT_EQ(60, camera.GetPitch());
    ExpectNear(ground, camera.GetViewGroundPoint(), 0.5f);
    const CVector3 moved = camera.GetEyePosition();
    EXPECT_NEAR(distance, CVector3(moved.x - ground.x, moved.y - ground.y, moved.z - ground.z).Length(), 0.5f);
    EXPECT_LT(moved.z, eye.z);
}

TEST(ViewCamera, EyeStaysInsideItsBox)
{
    CViewCamera camera(false);
    camera.SetEyePosition({-100000, 100000, 10});
    EXPECT_EQ(CVector3(-48000, 48000, 240), camera.GetEyePosition());
    EXPECT_EQ(CViewCamera::kFree, camera.GetMode());
    camera.SetEyePosition({80000, -80000, 60000});
    EXPECT_EQ(CVector3(72000, -72000, 48000), camera.GetEyePosition());

    // A free camera at the lowest eye height, tilted down towards the ground,
    // stays at or above 240.
    CViewCamera low = FreeCamera();
    low.SetEyePosition({500, -500, 240});
    low.SetPitch(80);
    low.SetPitch(10);
    EXPECT_GE(low.GetEyePosition().z, 240);
}

TEST(ViewCamera, EyeHeightViews)
{
    CViewCamera camera = FreeCamera();
    const CVector3 ground = camera.GetViewGroundPoint();
    camera.SetEyeHeightView(true);
    EXPECT_EQ(CViewCamera::kFree, camera.GetMode());
    EXPECT_EQ(84, camera.GetPitch());
    EXPECT_EQ(240, camera.GetEyePosition().z);
    EXPECT_TRUE(camera.IsEyeHeightView(true));
    EXPECT_FALSE(camera.IsEyeHeightView(false));
    ExpectNear(ground, camera.GetViewGroundPoint(), 0.5f);

    camera.SetEyeHeightView(false);
    EXPECT_EQ(75, camera.GetPitch());
    EXPECT_EQ(600, camera.GetEyePosition().z);
    EXPECT_TRUE(camera.IsEyeHeightView(false));
    ExpectNear(ground, camera.GetViewGroundPoint(), 0.5f);

    const CVector3 eye = camera.GetEyePosition();
    camera.SetEyePosition({eye.x, eye.y, eye.z + 1});
    EXPECT_FALSE(camera.IsEyeHeightView(false));
    camera.SetEyeHeightView(false);
    camera.SetPitch(74);
    EXPECT_FALSE(camera.IsEyeHeightView(false));
}

TEST(ViewCamera, FittingFramesTheCourse)
{
    for (bool topDown : {true, false}) {
        SCOPED_TRACE(topDown);
        CViewCamera camera(topDown);
        camera.SetViewportSize(800, 600);
        const CRectF ring(-10, -10, 3010, 1510);
        camera.SetCourseRect(ring);
        camera.SetFitted(topDown);
        EXPECT_EQ(CViewCamera::kFitted, camera.GetMode());
        EXPECT_EQ(0, camera.GetYaw());
        EXPECT_EQ(topDown ? 0 : 45, camera.GetPitch());
        // Every ground corner of the ring is in view, and the ring is as
        // large as the window allows: one pair of edges reaches the border.
        float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
        for (float x : {ring.left, ring.right})
            for (float y : {ring.top, ring.bottom}) {
                const CPoint2 p = WindowPoint(camera, {x, -y, 0});
                minX = std::min(minX, p.x);
                maxX = std::max(maxX, p.x);
                minY = std::min(minY, p.y);
                maxY = std::max(maxY, p.y);
            }
        EXPECT_GE(minX, -0.5f);
        EXPECT_LE(maxX, 800.5f);
        EXPECT_GE(minY, -0.5f);
        EXPECT_LE(maxY, 600.5f);
        EXPECT_TRUE(maxX > 790 || minY < 10 || maxY > 590) << minX << " " << maxX << " " << minY << " " << maxY;
        // The near edge at the chosen height lies on the bottom of the window.
        const float nearHeight = topDown ? 360.0f : 0.0f;
        const CPoint2 nearPoint = WindowPoint(camera, {(ring.left + ring.right) / 2, -ring.bottom, nearHeight});
        EXPECT_NEAR(600, nearPoint.y, 0.5f);
        EXPECT_NEAR(400, nearPoint.x, 0.5f);
    }
}

TEST(ViewCamera, WholeCourseSearchFindsTheCoursesAspect)
{
    CViewCamera camera(true);
    camera.SetCourseRect(CRectF(-10, -10, 3010, 1510));
    camera.FitWholeCourse(true);
    EXPECT_EQ(CViewCamera::kWholeCourse, camera.GetMode());
    const float w = camera.GetViewportWidth();
    const float h = camera.GetViewportHeight();
    EXPECT_EQ(10000, std::max(w, h));
    EXPECT_GT(w, h);   // a wide ring
    EXPECT_EQ(std::floor(w), w);
    EXPECT_EQ(std::floor(h), h);
    // In that viewport both the side and the far edge reach the border.
    const CPoint2 right = WindowPoint(camera, {3010, -750, 0});
    const CPoint2 farEdge = WindowPoint(camera, {1500, 10, 0});
    EXPECT_NEAR(w, right.x, w * 0.002f);
    EXPECT_NEAR(0, farEdge.y, h * 0.002f);
    EXPECT_GT(camera.GetWholeCourseDistance(), 0);
    EXPECT_EQ(camera.GetEyePosition().z, camera.GetWholeCourseDistance());

    // A tall and a very wide ring: the aspect stays within 1:4 and 4:1.
    CViewCamera tall(true);
    tall.SetCourseRect(CRectF(0, 0, 500, 3000));
    EXPECT_EQ(2500, tall.GetViewportWidth());
    EXPECT_EQ(10000, tall.GetViewportHeight());
    CViewCamera wide(false);
    wide.SetCourseRect(CRectF(0, 0, 30000, 300));
    EXPECT_EQ(10000, wide.GetViewportWidth());
    EXPECT_EQ(2500, wide.GetViewportHeight());
    EXPECT_EQ(CViewCamera::kWholeCourse, wide.GetMode());
}

TEST(ViewCamera, ViewportAndCourseRectChanges)
{
    CViewCamera camera(true);
    camera.SetCourseRect(CRectF(-10, -10, 1210, 910));
    EXPECT_EQ(CViewCamera::kWholeCourse, camera.GetMode());
    camera.SetViewportSize(640, 480);
    EXPECT_EQ(CViewCamera::kFitted, camera.GetMode());
    EXPECT_EQ(640, camera.GetViewportWidth());
    const CVector3 fitted = camera.GetEyePosition();
    camera.SetCourseRect(CRectF(-10, -10, 1210, 910));   // unchanged
    EXPECT_EQ(fitted, camera.GetEyePosition());
    camera.SetCourseRect(CRectF(-10, -10, 2410, 1810));
    EXPECT_EQ(CViewCamera::kFitted, camera.GetMode());
    EXPECT_GT(camera.GetEyePosition().z, fitted.z);

    CViewCamera free = FreeCamera();
    const CVector3 eye = free.GetEyePosition();
    free.SetViewportSize(300, 200);
    free.SetCourseRect(CRectF(0, 0, 100, 100));
    EXPECT_EQ(CViewCamera::kFree, free.GetMode());
    EXPECT_EQ(eye, free.GetEyePosition());
    EXPECT_EQ(CRectF(0, 0, 100, 100), free.GetCourseRect());
    EXPECT_EQ(300, free.GetViewportWidth());
}

TEST(ViewCamera, WholeCourseDistanceLeavesTheCameraAsItWas)
{
    CViewCamera camera = FreeCamera();
    camera.SetPitch(50);
    const CVector3 eye = camera.GetEyePosition();
    const float distance = camera.ComputeWholeCourseDistance();
    EXPECT_GT(distance, 0);
    EXPECT_EQ(distance, camera.GetWholeCourseDistance());
    EXPECT_EQ(CViewCamera::kFree, camera.GetMode());
    EXPECT_EQ(50, camera.GetPitch());
    EXPECT_EQ(-30, camera.GetYaw());
    EXPECT_EQ(eye, camera.GetEyePosition());
    EXPECT_EQ(800, camera.GetViewportWidth());
    EXPECT_EQ(600, camera.GetViewportHeight());

    CViewCamera whole(true);
    whole.SetCourseRect(CRectF(-10, -10, 1210, 910));
    EXPECT_NEAR(whole.GetEyePosition().z, distance, 0.01f);
}

TEST(ViewCamera, SerialisedFreeCameraBytes)
{
    CViewCamera camera = FreeCamera();
    ASSERT_EQ(CViewCamera::kFree, camera.GetMode());
    // mode 0; 800, 600; pitch 45; yaw -30; eye x 1234, y -5679, z 600 - 32000.
    const std::string expected("\x00"
                               "\x20\x03"
                               "\x58\x02"
                               "\x2D"
                               "\xE2\xFF"
                               "\xD2\x04\x00"
                               "\xD1\xE9\xFF"
                               "\x58\x85",
                               16);
    EXPECT_EQ(expected, Write(camera));

    CViewCamera read(true);
    read.SetCourseRect(CRectF(0, 0, 10, 10));
    Read(read, expected);
    EXPECT_EQ(CViewCamera::kFree, read.GetMode());
    EXPECT_EQ(45, read.GetPitch());
    EXPECT_EQ(-30, read.GetYaw());
    EXPECT_EQ(CVector3(1234, -5679, 600), read.GetEyePosition());
    EXPECT_EQ(800, read.GetViewportWidth());
    EXPECT_EQ(600, read.GetViewportHeight());
    EXPECT_EQ(CRectF(), read.GetCourseRect());
    // The rotation follows yaw and pitch.
    CViewCamera reference = FreeCamera();
    ExpectNear(reference.GetTransform().TransformVector({0, 0, -1}),
               read.GetTransform().TransformVector({0, 0, -1}), 1e-6f);
    EXPECT_EQ(expected, Write(read));
}

TEST(ViewCamera, SerialisedFittedAndWholeCourseCameras)
{
    CViewCamera whole(false);
    whole.SetCourseRect(CRectF(-10, -10, 1210, 910));
    EXPECT_EQ(std::string("\x02\x2D", 2), Write(whole));

    CViewCamera fitted(true);
    fitted.SetViewportSize(1024, 768);
    EXPECT_EQ(std::string("\x01\x00\x04\x00\x03\x00", 6), Write(fitted));

    // Reading leaves the eye to the next fit, which the next course
    // rectangle triggers.
    CViewCamera read(true);
    read.SetViewportSize(300, 300);
    read.SetCourseRect(CRectF(-10, -10, 1210, 910));
    Read(read, std::string("\x02\x2D", 2));
    EXPECT_EQ(CViewCamera::kWholeCourse, read.GetMode());
    EXPECT_EQ(45, read.GetPitch());
    EXPECT_EQ(CRectF(), read.GetCourseRect());
    read.SetCourseRect(CRectF(-10, -10, 1210, 910));
    EXPECT_EQ(whole.GetEyePosition(), read.GetEyePosition());
    EXPECT_EQ(whole.GetViewportWidth(), read.GetViewportWidth());

    CViewCamera readFitted(false);
    Read(readFitted, Write(fitted));
    EXPECT_EQ(CViewCamera::kFitted, readFitted.GetMode());
    EXPECT_EQ(0, readFitted.GetPitch());
    EXPECT_EQ(1024, readFitted.GetViewportWidth());
    EXPECT_EQ(768, readFitted.GetViewportHeight());
}

TEST(ViewCamera, DamagedRecordsGiveASaneCamera)
{
    const int before = ReportCount();
    // An unknown mode reads as a whole-course camera; a pitch beyond 90 is
    // kept to 90.
    CViewCamera a(true);
    Read(a, std::string("\x07\x7F", 2));
    EXPECT_EQ(CViewCamera::kWholeCourse, a.GetMode());
    EXPECT_EQ(90, a.GetPitch());
    // Nothing at all: a free camera of zeros, the eye at the stored offset.
    CViewCamera b(false);
    Read(b, std::string());
    EXPECT_EQ(CViewCamera::kFree, b.GetMode());
    EXPECT_EQ(0, b.GetPitch());
    EXPECT_EQ(CVector3(0, 0, 32000), b.GetEyePosition());
    EXPECT_GE(b.GetViewportWidth(), 1);
    const CVector3 ground = b.GetViewGroundPoint();
    EXPECT_TRUE(std::isfinite(ground.x) && std::isfinite(ground.y));
    // Negative sizes and a yaw beyond a turn.
    CViewCamera c(false);
    CFieldWriter writer;
    writer.WriteInt8(0);
    writer.WriteFloat16(-50);
    writer.WriteFloat16(0);
    writer.WriteInt8(-20);
    writer.WriteInt16(900);
    writer.WriteFloat24(9000000);
    writer.WriteFloat24(-100);
    writer.WriteFloat16(20000);
    Read(c, writer.m_bytes);
    EXPECT_EQ(1, c.GetViewportWidth());
    EXPECT_EQ(1, c.GetViewportHeight());
    EXPECT_EQ(0, c.GetPitch());
    EXPECT_EQ(180, c.GetYaw());
    EXPECT_EQ(CVector3(-48000, -100, 48000), c.GetEyePosition());
    EXPECT_EQ(before, ReportCount());
}

TEST(ViewCamera, CopiesAreIndependent)
{
    CViewCamera a = FreeCamera();
    CViewCamera b(true);
    b = a;
    b.SetYaw(10);
    b.SetEyePosition({0, 0, 1000});
    EXPECT_EQ(-30, a.GetYaw());
    EXPECT_EQ(CVector3(1234.4f, -5678.6f, 600), a.GetEyePosition());
    EXPECT_EQ(a.GetViewportWidth(), b.GetViewportWidth());
}
