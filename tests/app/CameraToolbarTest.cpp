#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "app/CameraToolbar.h"
#include "dialogs/HintDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "tests/app/ViewTestHost.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"
#include "ui/TimerPump.h"

namespace {

using C = CCameraToolbar;

// A course and its camera toolbar, without windows.
class CameraToolbar : public testing::Test
{
protected:
    void SetUp() override
    {
        OpenCourseTestSettings();
        course = std::make_unique<CCourse>(L"Camera test", L"");
        // A free camera a little above the ground, looking ahead.
        CViewCamera camera = course->GetViewCamera();
        camera.SetViewportSize(600.0f, 400.0f);
        camera.SetPitch(60);
        camera.SetEyePosition(CVector3(600.0f, -1500.0f, 400.0f));
        course->SetViewCamera(camera);
        reportsBefore = ReportCount();
        toolbar = std::make_unique<CCameraToolbar>(course.get());
        CDialogWatcher::TakeAnswered();
    }
    void TearDown() override
    {
        toolbar.reset();
        course.reset();
        DeleteTestSettingsKey();
    }

    CViewCamera& Camera() { return course->GetViewCamera(); }
    CVector3 Eye() { return Camera().GetEyePosition(); }
    // Presses and releases a key the way the view forwards it, without the
    // repeat going on.
    void Tap(int key, bool control, bool shift)
    {
        toolbar->OnKey(key, true, control, shift);
        toolbar->repeatTimer.Stop();
        toolbar->OnKey(key, false, control, shift);
        toolbar->repeatTimer.Stop();
    }

    std::unique_ptr<CCourse> course;
    std::unique_ptr<CCameraToolbar> toolbar;
    // Failure reports of this process before the test.
    int reportsBefore = 0;
};

float Distance(const CVector3& a, const CVector3& b)
{
    return CVector3(a.x - b.x, a.y - b.y, a.z - b.z).Length();
}

struct CExpectedButton
{
    int id;
    int key;
    int pattern;
    bool only3D;
};

}  // namespace

TEST_F(CameraToolbar, ButtonsInOrderWithTheirKeysAndGroups)
{
    const CExpectedButton expected[] = {
        {C::kZoomIn, kPanelKeyPlus, 3, false},          {C::kZoomOut, kPanelKeyMinus, 3, false},
        {0, 0, 0, false},                               {C::kWholeCourseDown, 0, 0, false},
        {C::kWholeCourseAngled, 0, 0, true},            {0, 0, 0, false},
        {C::kRotateLeft, kPanelKeyLeft, 3, true},       {C::kForward, kPanelKeyUp, 3, true},
        {C::kRotateRight, kPanelKeyRight, 3, true},     {0, 0, 0, false},
        {C::kMoveLeft, kPanelKeyLeft, 4, true},         {C::kBackward, kPanelKeyDown, 3, true},
        {C::kMoveRight, kPanelKeyRight, 4, true},       {0, 0, 0, false},
        {0, 0, 0, false},                               {C::kHumanEyeHeight, 0, 0, true},
        {C::kRaise, kPanelKeyPageUp, 3, true},          {C::kTiltUp, kPanelKeyPageUp, 4, true},
        {0, 0, 0, false},                               {C::kDogEyeHeight, 0, 0, true},
        {C::kLower, kPanelKeyPageDown, 3, true},        {C::kTiltDown, kPanelKeyPageDown, 4, true},
        {0, 0, 0, false},
    };
    ASSERT_EQ(std::size(expected), toolbar->items.size());
    for (size_t i = 0; i < std::size(expected); ++i) {
        const CToolbarItem* item = toolbar->items[i];
        if (expected[i].id == 0) {
            EXPECT_EQ(nullptr, item) << i;
            continue;
        }
        ASSERT_NE(nullptr, item) << i;
        EXPECT_EQ(expected[i].id, item->id);
        EXPECT_EQ(expected[i].id + 1, item->helpTextId);
        EXPECT_EQ(expected[i].pattern, item->shortcutKind) << item->id;
        if (expected[i].pattern != 0) {
            EXPECT_EQ(expected[i].key, item->shortcutKey) << item->id;
        }
        EXPECT_NE(nullptr, item->icon) << item->id;
        // The course's "3DCamera" is off: only the map camera's buttons show.
        EXPECT_EQ(!expected[i].only3D, item->visible) << item->id;
    }
    EXPECT_EQ(GetString(C::kMoveLeft) + L" (" + GetStringWithArg(2044, GetString(2049)) + L")",
              toolbar->FindItem(C::kMoveLeft)->GetTooltipText());
    EXPECT_EQ(3, toolbar->rowLength);
    EXPECT_EQ(1, toolbar->rowExtra);
}

TEST_F(CameraToolbar, TheThreeDCameraSettingShowsTheOtherButtons)
{
    course->Set3DCamera(true);
    toolbar->Refresh3DCamera();
    for (const CToolbarItem* item : toolbar->items) {
        if (item) {
            EXPECT_TRUE(item->visible) << item->id;
        }
    }
    course->Set3DCamera(false);
    toolbar->Refresh3DCamera();
    EXPECT_FALSE(toolbar->FindItem(C::kRotateLeft)->visible);
    EXPECT_TRUE(toolbar->FindItem(C::kWholeCourseDown)->visible);
}

TEST_F(CameraToolbar, LeftTurnsControlLeftMovesSidewaysShiftLeftDoesNeither)
{
    const CVector3 eye = Eye();
    Tap(kPanelKeyLeft, false, false);
    EXPECT_EQ(3, Camera().GetYaw());
    EXPECT_TRUE(eye == Eye());

    Tap(kPanelKeyLeft, true, false);
    EXPECT_EQ(3, Camera().GetYaw());
    // 33 ms at 0.704 per ms, to the left of the heading (yaw 3).
    const CVector3 moved = Eye();
    EXPECT_NEAR(33.0f * 0.704f, Distance(eye, moved), 0.01f);
    EXPECT_LT(moved.x, eye.x);
    EXPECT_EQ(eye.z, moved.z);

    toolbar->OnKey(kPanelKeyLeft, true, false, true);
    EXPECT_FALSE(toolbar->repeatTimer.IsRunning());
    toolbar->OnKey(kPanelKeyLeft, false, false, true);
    EXPECT_EQ(3, Camera().GetYaw());
    EXPECT_TRUE(moved == Eye());
}

TEST_F(CameraToolbar, PlusZoomsEvenWithShiftHeld)
{
    const CVector3 eye = Eye();
    const CVector3 back = Camera().GetTransform().TransformVector(CVector3(0.0f, 0.0f, 1.0f));
    Tap(kPanelKeyPlus, false, true);
    const CVector3 moved = Eye();
    EXPECT_NEAR(eye.x - back.x * 33.0f * 0.704f, moved.x, 0.05f);
    EXPECT_NEAR(eye.y - back.y * 33.0f * 0.704f, moved.y, 0.05f);
    EXPECT_NEAR(eye.z - back.z * 33.0f * 0.704f, moved.z, 0.05f);
    EXPECT_EQ(CViewCamera::kFree, Camera().GetMode());
}

TEST_F(CameraToolbar, ForwardIgnoresControlAndFasterHighUp)
{
    Tap(kPanelKeyUp, true, false);
    const CVector3 first = Eye();
    EXPECT_NEAR(-1500.0f + 33.0f * 0.704f, first.y, 0.05f);
    CViewCamera high = Camera();
    high.SetEyePosition(CVector3(600.0f, -1500.0f, 1200.0f));
    course->SetViewCamera(high);
    Tap(kPanelKeyDown, false, false);
    // Twice as fast at twice the height of 600.
    EXPECT_NEAR(-1500.0f - 2.0f * 33.0f * 0.704f, Eye().y, 0.05f);
}

TEST_F(CameraToolbar, TiltStaysWithinZeroToNinetyWithoutAReport)
{
    CViewCamera camera = Camera();
    camera.SetPitch(88);
    course->SetViewCamera(camera);
    Tap(kPanelKeyPageDown, true, false);
    EXPECT_EQ(90, Camera().GetPitch());
    Tap(kPanelKeyPageDown, true, false);
    EXPECT_EQ(90, Camera().GetPitch());
    camera = Camera();
    camera.SetPitch(2);
    course->SetViewCamera(camera);
    Tap(kPanelKeyPageUp, true, false);
    EXPECT_EQ(0, Camera().GetPitch());
    EXPECT_EQ(reportsBefore, ReportCount());
}

TEST_F(CameraToolbar, AStalledLoopMakesAStepOfAtMostHalfASecond)
{
    toolbar->OnKey(kPanelKeyPageUp, true, false, false);
    ASSERT_TRUE(toolbar->repeatTimer.IsRunning());
    const float z = Eye().z;
    Sleep(1500);
    PumpTimers();
    // One firing: 500 ms at 0.704 per ms, faster in proportion above 600.
    EXPECT_NEAR(z + 500.0f * 0.704f * std::max(1.0f, z / 600.0f), Eye().z, 0.5f);
    toolbar->OnKey(kPanelKeyPageUp, false, false, false);
    Sleep(40);
    PumpTimers();
    EXPECT_FALSE(toolbar->repeatTimer.IsRunning());
}

TEST_F(CameraToolbar, WholeCourseAndEyeHeightButtonsAndTheirChecks)
{
    EXPECT_FALSE(toolbar->FindItem(C::kWholeCourseDown)->checked);
    toolbar->FindItem(C::kWholeCourseDown)->Execute();
    EXPECT_EQ(CViewCamera::kWholeCourse, Camera().GetMode());
    EXPECT_EQ(0, Camera().GetPitch());
    toolbar->UpdateChecks();
    EXPECT_TRUE(toolbar->FindItem(C::kWholeCourseDown)->checked);
    EXPECT_FALSE(toolbar->FindItem(C::kWholeCourseAngled)->checked);

    toolbar->FindItem(C::kWholeCourseAngled)->Execute();
    toolbar->UpdateChecks();
    EXPECT_FALSE(toolbar->FindItem(C::kWholeCourseDown)->checked);
    EXPECT_TRUE(toolbar->FindItem(C::kWholeCourseAngled)->checked);

    toolbar->FindItem(C::kDogEyeHeight)->Execute();
    toolbar->UpdateChecks();
    EXPECT_TRUE(Camera().IsEyeHeightView(true));
    EXPECT_TRUE(toolbar->FindItem(C::kDogEyeHeight)->checked);
    EXPECT_FALSE(toolbar->FindItem(C::kHumanEyeHeight)->checked);
    EXPECT_FALSE(toolbar->FindItem(C::kWholeCourseAngled)->checked);
    EXPECT_EQ(course->GetMotionLabel(), course->GetUndoLabel());
}

// ---- Held buttons in a window -------------------------------------------------------

class CameraToolbarButtons : public testing::Test
{
protected:
    void SetUp() override
    {
        OpenCourseTestSettings();
        ParkMouse();
        host = std::make_unique<CViewTestHost>();
        CDialogWatcher::TakeAnswered();
    }
    void TearDown() override
    {
        host.reset();
        ParkMouse();
        DeleteTestSettingsKey();
    }
    std::unique_ptr<CViewTestHost> host;
};

TEST_F(CameraToolbarButtons, AHeldButtonRepeatsUntilReleased)
{
    const POINT button = host->ButtonScreenPoint(host->cameraBar, C::kZoomIn);
    MouseInput(button);
    const float z = host->course.GetViewCamera().GetEyePosition().z;
    MouseInput(button, MOUSEEVENTF_LEFTDOWN);
    EXPECT_EQ(host->cameraBar.FindItem(C::kZoomIn), host->cameraBar.pressedItem);
    EXPECT_TRUE(host->cameraBar.repeatTimer.IsRunning());
    const float afterFirst = host->course.GetViewCamera().GetEyePosition().z;
    PumpFor(300);
    const float held = host->course.GetViewCamera().GetEyePosition().z;
    EXPECT_LT(afterFirst, z);
    // Several more steps of about 23 units (faster high up) went by.
    EXPECT_LT(held, afterFirst - 100.0f);
    MouseInput(button, MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(nullptr, host->cameraBar.pressedItem);
    EXPECT_TRUE(PumpUntil([this] { return !host->cameraBar.repeatTimer.IsRunning(); }, 1000));
    const float released = host->course.GetViewCamera().GetEyePosition().z;
    PumpFor(150);
    EXPECT_EQ(released, host->course.GetViewCamera().GetEyePosition().z);
}

TEST_F(CameraToolbarButtons, LosingTheCaptureLetsGoOfAHeldButton)
{
    const POINT button = host->ButtonScreenPoint(host->cameraBar, C::kZoomOut);
    MouseInput(button);
    MouseInput(button, MOUSEEVENTF_LEFTDOWN);
    ASSERT_TRUE(host->cameraBar.repeatTimer.IsRunning());
    SetCapture(host->hwnd);
    PumpFor(30);
    EXPECT_EQ(nullptr, host->cameraBar.pressedItem);
    EXPECT_TRUE(PumpUntil([this] { return !host->cameraBar.repeatTimer.IsRunning(); }, 1000));
    ReleaseCapture();
    MouseInput(button, MOUSEEVENTF_LEFTUP);
}

TEST_F(CameraToolbarButtons, TenQuickClicksOnOneButtonShowTheCameraHint)
{
    GetShownHints().erase(2716);
    CSettings::SetInt(L"NeverShow2716", 0);
    CHintAnswerer answerer;
    for (int i = 0; i < 9; ++i)
        host->ClickButton(host->cameraBar, C::kZoomOut);
    // Another button starts the count again.
    host->ClickButton(host->cameraBar, C::kZoomIn);
    for (int i = 0; i < 9; ++i)
        host->ClickButton(host->cameraBar, C::kZoomOut);
    EXPECT_TRUE(answerer.TakeAnswered().empty());
    host->ClickButton(host->cameraBar, C::kZoomOut);
    PumpFor(200);
    const std::vector<std::wstring> shown = answerer.TakeAnswered();
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(GetString(2716), shown[0]);
}
