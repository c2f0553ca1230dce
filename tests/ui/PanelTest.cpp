#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/Timer.h"
#include "render3d/Camera.h"
#include "render3d/GraphicsSystem.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TestWindows.h"
#include "tests/ui/UiTestWindows.h"
#include "ui/Command.h"
#include "ui/Cursors.h"
#include "ui/FrameWindowList.h"
#include "ui/Menu.h"
#include "ui/TimerPump.h"
#include "ui/ModalState.h"
#include "ui/Panel.h"
#include "ui/Scene.h"

namespace {

const int kHostX = 120;
const int kHostY = 90;

// Records every operation the panel calls.
class CRecordingPanel : public CPanel
{
public:
    CRecordingPanel() : CPanel(true, false) {}

    CCursors* GetCursorAt(const CMouseEvent& event) override
    {
        ++cursorQueries;
        return chosenCursor ? chosenCursor : CPanel::GetCursorAt(event);
    }
    bool WantsAllKeys(int key) override { return key == kPanelKeyUp || key == kPanelKeyPageDown; }
    void OnKeyDown(int key, bool control, bool shift) override
    {
        Log("down " + std::to_string(key) + (control ? " ctrl" : "") + (shift ? " shift" : ""));
    }
    void OnKeyUp(int key, bool control, bool shift) override { Log("up " + std::to_string(key)); }
    void OnControlLetter(int virtualKey) override { Log(std::string("letter ") + char(virtualKey)); }
    void OnChar(wchar_t ch) override { Log("char " + std::to_string(int(ch))); }
    void OnSetFocus() override { Log("focus"); }
    void OnKillFocus() override { Log("unfocus"); }
    void OnShown() override { Log("shown"); }
    void OnMouseDown(const CMouseEvent& event) override
    {
        events.push_back(event);
        Log("press");
    }
    void OnMouseUp(const CMouseEvent& event) override
    {
        events.push_back(event);
        Log("release");
        if (destroyOnRelease)
            delete this;
        else if (moveAwayOnRelease)
            SetCursorPos(awayPoint.x, awayPoint.y);
    }
    void OnRightClick(const CMouseEvent& event) override
    {
        events.push_back(event);
        Log("right");
    }
    void OnMouseMove(const CMouseEvent& event) override
    {
        events.push_back(event);
        Log("move");
    }
    void OnMouseEnter(const CMouseEvent& event) override { Log("enter"); }
    void OnMouseLeave() override { Log("leave"); }

    void Log(const std::string& entry) { calls.push_back(entry); }
    std::string Calls() const
    {
        std::string all;
        for (const std::string& call : calls)
            all += (all.empty() ? "" : ", ") + call;
        return all;
    }

    // Wine reports leaving a window from a polling timer: wait for it.
    bool WaitFor(const std::string& calls_)
    {
        return PumpUntil([&] { return Calls() == calls_; }, 3000);
    }

    std::vector<std::string> calls;
    std::vector<CMouseEvent> events;
    CCursors* chosenCursor = nullptr;
    int cursorQueries = 0;
    bool destroyOnRelease = false;
    // Moves the mouse there from OnMouseUp, as a user does while a dialog
    // the release opened is up.
    bool moveAwayOnRelease = false;
    POINT awayPoint = {};
};

// Gives the panel the scene and its native window in the host, at the host's
// origin with the size given.
void PlacePanel(CPanel& panel, CScene& scene, CNativeWindow& host, float width, float height)
{
    panel.SetScene(&scene);
    panel.Measure();
    panel.CreateNativeWindow(host);
    panel.SetBounds(CRectF(0.0f, 0.0f, width, height));
}

// A panel showing a one-slot map-mode scene in a visible host.
struct CPanelFixture
{
    explicit CPanelFixture(CPanel* panel_ = nullptr, int width = 200, int height = 120)
        : host(kHostX, kHostY, 300, 200), scene(true, 1), drawable(CRectF(10.0f, 10.0f, 60.0f, 40.0f), 0xFF0000FF),
          panel(panel_ ? panel_ : new CRecordingPanel())
    {
        scene.items[0] = &drawable;
        PlacePanel(*panel, scene, host, float(width), float(height));
        PumpUntil([this] { return drawable.draws > 0; });
        PumpFor(100);
    }
    ~CPanelFixture() { delete panel; }

    CRecordingPanel& Recording() { return *static_cast<CRecordingPanel*>(panel); }
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) { return SendMessageW(panel->hwnd, message, wParam, lParam); }
    POINT ScreenPoint(int x, int y) const { return POINT{kHostX + x, kHostY + y}; }

    CPanelTestHost host;
    CScene scene;
    CCountingDrawable drawable;
    CPanel* panel;
};

// The modifier states, with both mouse buttons up.
void SetKeys(bool control, bool shift)
{
    SetModifierKeys(control, shift);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_LBUTTON] = 0;
    keys[VK_RBUTTON] = 0;
    SetKeyboardState(keys);
}

// Parks the real mouse away from the test windows now and again at the end.
struct CParkedMouse
{
    CParkedMouse() { ParkMouse(); }
    ~CParkedMouse() { ParkMouse(); }
    CParkedMouse(const CParkedMouse&) = delete;
    CParkedMouse& operator=(const CParkedMouse&) = delete;
};

void KeyInput(WORD virtualKey, bool down)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
    PumpFor(40);
}

}  // namespace

// ---- Without windows ------------------------------------------------------------

TEST(PanelKeys, EveryNavigationKeyHasItsCode)
{
    const struct
    {
        unsigned virtualKey;
        int code;
    } table[] = {{VK_UP, 0},      {VK_DOWN, 1},  {VK_LEFT, 2},       {VK_RIGHT, 3},     {VK_CONTROL, 4},
                 {VK_SHIFT, 5},   {VK_RETURN, 6}, {VK_TAB, 7},       {VK_DELETE, 8},    {VK_BACK, 9},
                 {VK_HOME, 10},   {VK_END, 11},  {VK_PRIOR, 12},     {VK_NEXT, 13},     {VK_ADD, 14},
                 {VK_OEM_PLUS, 14}, {VK_SUBTRACT, 15}, {VK_OEM_MINUS, 15}};
    for (const auto& entry : table)
        EXPECT_EQ(entry.code, GetPanelKeyCode(entry.virtualKey)) << entry.virtualKey;
    for (unsigned other : {unsigned('A'), unsigned(VK_ESCAPE), unsigned(VK_SPACE), unsigned(VK_F1), unsigned(VK_INSERT),
                           unsigned(VK_LCONTROL), unsigned(VK_MENU), 0u, 255u})
        EXPECT_EQ(-1, GetPanelKeyCode(other)) << other;
}

TEST(PanelMouseEvent, MapModePointsGoThroughTheSceneTransform)
{
    CCamera camera;
    camera.SetOrthographic(true);
    camera.SetDepthRange(-10000.0f, 10000.0f);
    camera.SetViewport(200.0f, 100.0f);
    CTransform transform;
    transform.Scale(2.0f);
    transform.SetTranslation(10.0f, -20.0f, 0.0f);
    CMouseEvent event;
    event.x = 30.0f;
    event.y = 40.0f;
    CompleteMouseEvent(event, camera, transform);
    // Window (30, 40) is view (30, -40); scaled by 2 and moved by (10, -20).
    EXPECT_NEAR(70.0f, event.nearPoint.x, 1e-3f);
    EXPECT_NEAR(-100.0f, event.nearPoint.y, 1e-3f);
    EXPECT_NEAR(70.0f, event.farPoint.x, 1e-3f);
    EXPECT_GT(event.nearPoint.z * event.farPoint.z, -1e30f);
    EXPECT_LT(event.nearPoint.z * event.farPoint.z, 0.0f);
    EXPECT_NEAR(70.0f, event.groundPoint.x, 1e-3f);
    EXPECT_NEAR(100.0f, event.groundPoint.y, 1e-3f);
}

TEST(PanelMouseEvent, ARayThatMissesTheGroundUsesTheFarPoint)
{
    CCamera camera;
    camera.SetOrthographic(false);
    camera.SetDepthRange(1.0f, 100.0f);
    camera.SetViewport(100.0f, 100.0f);
    CMouseEvent event;
    event.x = 80.0f;
    event.y = 10.0f;
    // The camera looks along -z from the origin: both ends lie below z = 0.
    CompleteMouseEvent(event, camera, CTransform());
    ASSERT_LT(event.nearPoint.z, 0.0f);
    ASSERT_LT(event.farPoint.z, 0.0f);
    EXPECT_EQ(event.farPoint.x, event.groundPoint.x);
    EXPECT_EQ(-event.farPoint.y, event.groundPoint.y);

    // Lifted by 50 the ray crosses z = 0 between its ends.
    CTransform lifted;
    lifted.SetTranslation(0.0f, 0.0f, 50.0f);
    CompleteMouseEvent(event, camera, lifted);
    ASSERT_GT(event.nearPoint.z, 0.0f);
    ASSERT_LT(event.farPoint.z, 0.0f);
    const float t = event.farPoint.z / (event.farPoint.z - event.nearPoint.z);
    const float x = event.nearPoint.x * t + (1.0f - t) * event.farPoint.x;
    EXPECT_NEAR(x, event.groundPoint.x, 1e-3f);
    // On the ground the ray's point is 50 units out along it: right of the
    // centre and above it (window y up is plan y negative).
    EXPECT_GT(event.groundPoint.x, 0.0f);
    EXPECT_LT(event.groundPoint.y, 0.0f);
}

TEST(Panel, MeasureStretchesFreelyAndRoundPointRoundsHalfUp)
{
    CPanel panel(true, false);
    panel.Measure();
    EXPECT_EQ(0, panel.minWidth);
    EXPECT_EQ(0, panel.preferredWidth);
    EXPECT_EQ(0, panel.maxWidth);
    EXPECT_EQ(1, panel.widthStretch);
    EXPECT_EQ(0, panel.minHeight);
    EXPECT_EQ(0, panel.preferredHeight);
    EXPECT_EQ(0, panel.maxHeight);
    EXPECT_EQ(1, panel.heightStretch);
    const CPoint2 rounded = CPanel::RoundPoint(CPoint2(2.5f, -2.5f));
    EXPECT_EQ(3.0f, rounded.x);
    EXPECT_EQ(-2.0f, rounded.y);
    EXPECT_EQ(1.0f, CPanel::RoundPoint(CPoint2(1.49f, 0.0f)).x);
}

TEST(Panel, WithoutANativeWindowNothingIsScheduled)
{
    CPanel panel(true, false);
    CScene scene(true, 1);
    panel.SetScene(&scene);
    EXPECT_EQ(&scene, panel.GetScene());
    EXPECT_FALSE(panel.repaintTimer.IsRunning());
    EXPECT_EQ(&CCursors::GetArrow(), panel.cursor);
    EXPECT_EQ(nullptr, CPanel::GetPressedPanel());
}

TEST(Panel, SceneTransformWithoutASceneIsReported)
{
    CPanel panel(true, false);
    const int before = ReportCount();
    EXPECT_EQ(CTransform(), panel.GetSceneTransform());
    panel.SetSceneTransform(CTransform());
    EXPECT_EQ(before + 2, ReportCount());
}

// ---- Repaint ----------------------------------------------------------------------

TEST(PanelRepaint, SeveralInvalidatesGiveOnePaintFromTheTimer)
{
    CPanelFixture fixture;
    ASSERT_NE(nullptr, fixture.panel->hwnd);
    ASSERT_GT(fixture.drawable.draws, 0);
    fixture.drawable.draws = 0;

    fixture.panel->Invalidate();
    fixture.panel->Invalidate();
    fixture.panel->Invalidate();
    EXPECT_TRUE(fixture.panel->repaintTimer.IsRunning());
    // Messages alone do not paint: only the timer does.
    DispatchWaitingMessages();
    EXPECT_EQ(0, fixture.drawable.draws);
    PumpUntil([&] { return fixture.drawable.draws > 0; });
    EXPECT_EQ(1, fixture.drawable.draws);
    PumpFor(100);
    EXPECT_EQ(1, fixture.drawable.draws);
    EXPECT_FALSE(fixture.panel->repaintTimer.IsRunning());
}

TEST(PanelRepaint, ThePaintShowsTheSceneInTheWindow)
{
    CPanelFixture fixture;
    const HWND window = fixture.panel->hwnd;
    // Drawable red inside (10, 10)-(60, 40), white background elsewhere.
    EXPECT_EQ(RGB(255, 0, 0), ReadClientPixel(window, 30, 20));
    EXPECT_EQ(RGB(255, 255, 255), ReadClientPixel(window, 100, 80));
    EXPECT_EQ(RGB(255, 255, 255), ReadClientPixel(window, 5, 5));

    // A changed scene shows after the timer, not before.
    fixture.scene.background = 0xFF00FF00;
    fixture.panel->Invalidate();
    EXPECT_EQ(RGB(255, 255, 255), ReadClientPixel(window, 100, 80));
    PumpUntil([&] { return !fixture.panel->repaintTimer.IsRunning(); });
    EXPECT_EQ(RGB(0, 255, 0), ReadClientPixel(window, 100, 80));
    EXPECT_EQ(RGB(255, 0, 0), ReadClientPixel(window, 30, 20));
}

TEST(PanelRepaint, WmPaintPaintsAtOnce)
{
    CPanelFixture fixture;
    fixture.drawable.draws = 0;
    InvalidateRect(fixture.panel->hwnd, nullptr, FALSE);
    UpdateWindow(fixture.panel->hwnd);
    EXPECT_EQ(1, fixture.drawable.draws);
    EXPECT_FALSE(fixture.panel->repaintTimer.IsRunning());
    RECT update;
    EXPECT_FALSE(GetUpdateRect(fixture.panel->hwnd, &update, FALSE));
}

TEST(PanelRepaint, ATimerPaintLeavesNoWmPaintBehind)
{
    CPanelFixture fixture;
    fixture.drawable.draws = 0;
    InvalidateRect(fixture.panel->hwnd, nullptr, FALSE);
    fixture.panel->Invalidate();
    PumpTimers();
    EXPECT_EQ(1, fixture.drawable.draws);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(fixture.panel->hwnd, &update, FALSE));
    DispatchWaitingMessages();
    EXPECT_EQ(1, fixture.drawable.draws);
}

TEST(PanelRepaint, AHiddenPanelIsNotPaintedUntilShown)
{
    CPanelTestHost host(kHostX, kHostY, 300, 200);
    CScene scene(true, 1);
    CCountingDrawable drawable(CRectF(0.0f, 0.0f, 10.0f, 10.0f), 0xFF000000);
    scene.items[0] = &drawable;
    CRecordingPanel panel;
    panel.SetVisible(false);
    PlacePanel(panel, scene, host, 50.0f, 50.0f);
    EXPECT_FALSE(IsWindowVisible(panel.hwnd));
    panel.Invalidate();
    EXPECT_FALSE(panel.repaintTimer.IsRunning());
    PumpFor(150);
    EXPECT_EQ(0, drawable.draws);

    panel.calls.clear();
    panel.SetVisible(true);
    EXPECT_EQ("shown", panel.Calls());
    EXPECT_TRUE(IsWindowVisible(panel.hwnd));
    EXPECT_TRUE(PumpUntil([&] { return drawable.draws > 0; }));

    // Hiding drops a pending repaint.
    panel.Invalidate();
    EXPECT_TRUE(panel.repaintTimer.IsRunning());
    panel.SetVisible(false);
    EXPECT_FALSE(panel.repaintTimer.IsRunning());
}

TEST(PanelRepaint, SetSceneTransformRepaintsOnlyForAnotherMatrix)
{
    CPanelFixture fixture;
    CTransform same = fixture.scene.transform;
    fixture.panel->SetSceneTransform(same);
    EXPECT_FALSE(fixture.panel->repaintTimer.IsRunning());
    CTransform moved;
    moved.SetPosition2D(-20.0f, 0.0f);
    fixture.panel->SetSceneTransform(moved);
    EXPECT_TRUE(fixture.panel->repaintTimer.IsRunning());
    EXPECT_EQ(moved, fixture.panel->GetSceneTransform());
    PumpUntil([&] { return !fixture.panel->repaintTimer.IsRunning(); });
    // The scene moved 20 pixels right: the red box now spans 30..80.
    EXPECT_EQ(RGB(255, 0, 0), ReadClientPixel(fixture.panel->hwnd, 75, 20));
    EXPECT_EQ(RGB(255, 255, 255), ReadClientPixel(fixture.panel->hwnd, 20, 20));
}

namespace {

// Draws, and on its first drawing makes the window paint again from inside,
// as a message box shown during a paint would.
class CReentrantDrawable : public CCountingDrawable
{
public:
    CReentrantDrawable() : CCountingDrawable(CRectF(0.0f, 0.0f, 20.0f, 20.0f), 0xFF000000) {}
    void Draw(CGraphicsContext& context) override
    {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        CCountingDrawable::Draw(context);
        if (window && draws == 1) {
            InvalidateRect(window, nullptr, FALSE);
            UpdateWindow(window);
        }
        --depth;
    }
    HWND window = nullptr;
    int depth = 0;
    int maxDepth = 0;
};

}  // namespace

TEST(PanelRepaint, APaintRequestedDuringAPaintFollowsIt)
{
    CPanelTestHost host(kHostX, kHostY, 300, 200);
    CScene scene(true, 1);
    CReentrantDrawable drawable;
    scene.items[0] = &drawable;
    CPanel panel(true, false);
    panel.SetScene(&scene);
    panel.Measure();
    panel.CreateNativeWindow(host);
    drawable.window = panel.hwnd;
    panel.SetBounds(CRectF(0.0f, 0.0f, 100.0f, 100.0f));
    ASSERT_TRUE(PumpUntil([&] { return drawable.draws >= 2; }));
    PumpFor(100);
    EXPECT_EQ(1, drawable.maxDepth);
    EXPECT_EQ(2, drawable.draws);
    EXPECT_FALSE(panel.repaintTimer.IsRunning());
}

TEST(PanelRepaint, ScreenshotOfAPanelWithASimpleScene)
{
    CPanelTestHost host(kHostX, kHostY, 300, 200);
    CScene scene(true, 3);
    scene.background = 0xFFF0E8E0;
    CCountingDrawable box(CRectF(20.0f, 20.0f, 140.0f, 100.0f), 0xFF3060D0);
    CCountingDrawable bar(CRectF(160.0f, 40.0f, 260.0f, 60.0f), 0xFF20A040);
    CCountingDrawable square(CRectF(60.0f, 120.0f, 120.0f, 180.0f), 0xFFC03010);
    scene.items[0] = &box;
    scene.items[1] = &bar;
    scene.items[2] = &square;
    CPanel panel(true, false);
    PlacePanel(panel, scene, host, 300.0f, 200.0f);
    ASSERT_TRUE(PumpUntil([&] { return square.draws > 0; }));
    EXPECT_EQ(RGB(0xD0, 0x60, 0x30), ReadClientPixel(panel.hwnd, 80, 60));
    EXPECT_EQ(RGB(0x40, 0xA0, 0x20), ReadClientPixel(panel.hwnd, 200, 50));
    EXPECT_EQ(RGB(0x10, 0x30, 0xC0), ReadClientPixel(panel.hwnd, 90, 150));
    EXPECT_EQ(RGB(0xE0, 0xE8, 0xF0), ReadClientPixel(panel.hwnd, 280, 180));
    const std::wstring path = GetTestArtefactPath(L"PanelScene.png");
    EXPECT_TRUE(SaveWindowPicture(panel.hwnd, path));
    printf("Panel screenshot: %ls\n", path.c_str());
}

// ---- Mouse -------------------------------------------------------------------------

// A recording panel driven by real mouse input, given in panel points.
class PanelMouse : public ::testing::Test
{
protected:
    void MouseAt(int x, int y, DWORD buttons = 0) { MouseInput(fixture.ScreenPoint(x, y), buttons); }
    // Moves the mouse to the point and presses the left button there.
    void PressAt(int x, int y)
    {
        MouseAt(x, y);
        MouseAt(x, y, MOUSEEVENTF_LEFTDOWN);
    }
    void ForgetCalls()
    {
        panel.calls.clear();
        panel.events.clear();
    }

    CParkedMouse parkedMouse;
    CPanelFixture fixture;
    CRecordingPanel& panel = fixture.Recording();
};

TEST_F(PanelMouse, EnterMoveAndLeaveFromRealMouseInput)
{
    panel.calls.clear();
    MouseAt(50, 30);
    EXPECT_EQ("enter, move", panel.Calls());
    EXPECT_TRUE(panel.mouseInside);
    ASSERT_EQ(1u, panel.events.size());
    const CMouseEvent& event = panel.events[0];
    EXPECT_EQ(50.0f, event.x);
    EXPECT_EQ(30.0f, event.y);
    // Map mode with an identity transform: scene points are window points.
    EXPECT_NEAR(50.0f, event.groundPoint.x, 1e-3f);
    EXPECT_NEAR(30.0f, event.groundPoint.y, 1e-3f);
    EXPECT_FALSE(event.left);

    panel.calls.clear();
    MouseAt(60, 35);
    EXPECT_EQ("move", panel.Calls());

    // Out of the panel, still over the host: leave tracking reports it.
    panel.calls.clear();
    MouseAt(250, 170);
    EXPECT_TRUE(panel.WaitFor("leave")) << panel.Calls();
    EXPECT_FALSE(panel.mouseInside);
}

TEST_F(PanelMouse, DraggingOutKeepsTheMovesComingAndReleasesTheCapture)
{
    MouseAt(40, 40);
    ForgetCalls();

    MouseAt(40, 40, MOUSEEVENTF_LEFTDOWN);
    EXPECT_EQ("press", panel.Calls());
    EXPECT_EQ(CPanel::EPressState::kHeld, panel.pressState);
    EXPECT_EQ(panel.hwnd, GetCapture());
    EXPECT_EQ(&panel, CPanel::GetPressedPanel());
    ASSERT_FALSE(panel.events.empty());
    EXPECT_TRUE(panel.events.back().left);

    ForgetCalls();
    MouseAt(250, 150);
    MouseAt(-20, -10);
    EXPECT_EQ("leave, move, move", panel.Calls());
    ASSERT_EQ(2u, panel.events.size());
    EXPECT_EQ(250.0f, panel.events[0].x);
    EXPECT_EQ(-20.0f, panel.events[1].x);
    EXPECT_EQ(-10.0f, panel.events[1].y);
    EXPECT_TRUE(panel.events[1].left);

    panel.calls.clear();
    MouseAt(30, 20);
    EXPECT_EQ("enter, move", panel.Calls());

    panel.calls.clear();
    MouseAt(250, 150);
    MouseAt(250, 150, MOUSEEVENTF_LEFTUP);
    EXPECT_EQ("leave, move, release", panel.Calls());
    EXPECT_EQ(CPanel::EPressState::kIdle, panel.pressState);
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(nullptr, CPanel::GetPressedPanel());
    EXPECT_FALSE(panel.mouseInside);
}

TEST_F(PanelMouse, AReleaseInsideArmsLeaveTrackingAgain)
{
    PressAt(40, 40);
    MouseAt(40, 40, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(panel.mouseInside);
    panel.calls.clear();
    MouseAt(250, 150);
    EXPECT_TRUE(panel.WaitFor("leave")) << panel.Calls();
}

TEST_F(PanelMouse, AMouseThatWentAwayDuringTheReleaseHandlerHasLeft)
{
    PressAt(40, 40);
    panel.moveAwayOnRelease = true;
    panel.awayPoint = fixture.ScreenPoint(250, 150);
    panel.calls.clear();
    MouseAt(40, 40, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(panel.WaitFor("release, leave")) << panel.Calls();
    EXPECT_FALSE(panel.mouseInside);
}

TEST_F(PanelMouse, ARightClickWhileTheLeftButtonIsHeldIsNotPassedOn)
{
    PressAt(40, 40);
    panel.calls.clear();
    MouseAt(40, 40, MOUSEEVENTF_RIGHTDOWN);
    MouseAt(40, 40, MOUSEEVENTF_RIGHTUP);
    EXPECT_EQ("", panel.Calls());
    MouseAt(40, 40, MOUSEEVENTF_LEFTUP);

    ForgetCalls();
    MouseAt(70, 50, MOUSEEVENTF_RIGHTDOWN);
    MouseAt(70, 50, MOUSEEVENTF_RIGHTUP);
    EXPECT_EQ("move, right", panel.Calls());
    EXPECT_EQ(70.0f, panel.menuPoint.x);
    EXPECT_EQ(50.0f, panel.menuPoint.y);
    ASSERT_EQ(2u, panel.events.size());
    EXPECT_TRUE(panel.events[1].right);
}

TEST_F(PanelMouse, APanelDestroyedByItsMouseUpIsNotTouchedAgain)
{
    PressAt(40, 40);
    panel.destroyOnRelease = true;
    fixture.panel = nullptr;
    const int reports = ReportCount();
    MouseAt(40, 40, MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(nullptr, CPanel::GetPressedPanel());
    EXPECT_EQ(reports, ReportCount());
    // The orphaned window goes with the host and answers through the
    // default procedure meanwhile.
    MouseAt(45, 40);
}

TEST_F(PanelMouse, LosingTheCaptureEndsThePressWithoutButtons)
{
    PressAt(40, 40);
    ASSERT_EQ(CPanel::EPressState::kHeld, panel.pressState);
    ForgetCalls();
    SetCapture(fixture.host.hwnd);
    EXPECT_EQ("release", panel.Calls());
    ASSERT_EQ(1u, panel.events.size());
    EXPECT_FALSE(panel.events[0].left);
    EXPECT_FALSE(panel.events[0].control);
    EXPECT_EQ(40.0f, panel.events[0].x);
    EXPECT_EQ(CPanel::EPressState::kIdle, panel.pressState);
    EXPECT_EQ(nullptr, CPanel::GetPressedPanel());
    ReleaseCapture();
    MouseAt(40, 40, MOUSEEVENTF_LEFTUP);
}

TEST_F(PanelMouse, EventsSoonAfterAPressAreQuickUntilAKeyArrives)
{
    MouseAt(40, 40);
    ASSERT_FALSE(panel.events.empty());
    EXPECT_FALSE(panel.events.back().quick);
    MouseAt(40, 40, MOUSEEVENTF_LEFTDOWN);
    MouseAt(40, 40, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(panel.events.back().quick);
    MouseAt(42, 40, MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(panel.events.back().quick);
    MouseAt(42, 40, MOUSEEVENTF_LEFTUP);
    fixture.Send(WM_KEYUP, VK_SHIFT, 0xC0000001);
    MouseAt(44, 40);
    EXPECT_FALSE(panel.events.back().quick);
}

TEST_F(PanelMouse, TheCursorComesFromGetCursorAt)
{
    panel.chosenCursor = &CCursors::GetPlus();
    MouseAt(40, 40);
    EXPECT_EQ(&CCursors::GetPlus(), panel.cursor);
    EXPECT_EQ(CCursors::GetPlus().GetHandle(), GetCursor());
    EXPECT_EQ(TRUE, fixture.Send(WM_SETCURSOR, WPARAM(panel.hwnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));

    panel.chosenCursor = &CCursors::GetSizeAll();
    const int queries = panel.cursorQueries;
    panel.UpdateCursor();
    EXPECT_EQ(queries + 1, panel.cursorQueries);
    EXPECT_EQ(CCursors::GetSizeAll().GetHandle(), GetCursor());

    panel.SetCursor(&CCursors::GetIBeam());
    EXPECT_EQ(CCursors::GetIBeam().GetHandle(), GetCursor());
}

TEST_F(PanelMouse, AMovedSceneGivesTheMouseAFreshMove)
{
    MouseAt(40, 40);
    ForgetCalls();
    CTransform moved;
    moved.SetPosition2D(100.0f, 0.0f);
    panel.SetSceneTransform(moved);
    EXPECT_EQ("move", panel.Calls());
    ASSERT_EQ(1u, panel.events.size());
    EXPECT_NEAR(140.0f, panel.events[0].groundPoint.x, 1e-3f);
    EXPECT_NEAR(40.0f, panel.events[0].groundPoint.y, 1e-3f);
}

// ---- Keys ---------------------------------------------------------------------------

TEST(PanelKeyboard, KeysArriveAsPanelCodesWithTheirModifiers)
{
    CPanelFixture fixture;
    CRecordingPanel& panel = fixture.Recording();
    panel.calls.clear();
    SetKeys(false, false);
    fixture.Send(WM_KEYDOWN, VK_UP, 1);
    fixture.Send(WM_KEYUP, VK_DOWN, 0xC0000001);
    SetKeys(true, false);
    fixture.Send(WM_KEYDOWN, VK_NEXT, 1);
    SetKeys(false, true);
    fixture.Send(WM_KEYDOWN, VK_OEM_MINUS, 1);
    SetKeys(false, false);
    fixture.Send(WM_KEYDOWN, VK_F5, 1);
    EXPECT_EQ("down 0, up 1, down 13 ctrl, down 15 shift", panel.Calls());
}

TEST(PanelKeyboard, ControlLettersWithoutShiftOnly)
{
    CPanelFixture fixture;
    CRecordingPanel& panel = fixture.Recording();
    panel.calls.clear();
    SetKeys(true, false);
    fixture.Send(WM_KEYDOWN, 'A', 1);
    fixture.Send(WM_KEYUP, 'A', 0xC0000001);
    fixture.Send(WM_KEYDOWN, 'Z', 1);
    fixture.Send(WM_KEYDOWN, '1', 1);
    SetKeys(true, true);
    fixture.Send(WM_KEYDOWN, 'A', 1);
    SetKeys(false, false);
    fixture.Send(WM_KEYDOWN, 'B', 1);
    EXPECT_EQ("letter A, letter Z", panel.Calls());
}

TEST(PanelKeyboard, ControlCharactersNeverReachOnChar)
{
    CPanelFixture fixture;
    CRecordingPanel& panel = fixture.Recording();
    panel.calls.clear();
    for (WPARAM ch : {WPARAM(0), WPARAM(9), WPARAM(13), WPARAM(27), WPARAM(31), WPARAM(127)})
        fixture.Send(WM_CHAR, ch, 1);
    fixture.Send(WM_CHAR, ' ', 1);
    fixture.Send(WM_CHAR, 'x', 1);
    fixture.Send(WM_CHAR, 0x80, 1);
    fixture.Send(WM_CHAR, 0x6771, 1);
    EXPECT_EQ("char 32, char 120, char 128, char 26481", panel.Calls());
}

TEST(PanelKeyboard, TheDialogManagerIsAskedForWantedKeysOnly)
{
    CPanelFixture fixture;
    EXPECT_EQ(DLGC_WANTCHARS | DLGC_WANTARROWS, fixture.Send(WM_GETDLGCODE, VK_UP, 0));
    EXPECT_EQ(DLGC_WANTCHARS | DLGC_WANTARROWS, fixture.Send(WM_GETDLGCODE, VK_NEXT, 0));
    EXPECT_EQ(DLGC_WANTCHARS, fixture.Send(WM_GETDLGCODE, VK_DOWN, 0));
    EXPECT_EQ(DLGC_WANTCHARS, fixture.Send(WM_GETDLGCODE, 'A', 0));
    CPanelTestHost host(kHostX, kHostY, 100, 100);
    CPanel plain(true, false);
    plain.CreateNativeWindow(host);
    EXPECT_EQ(DLGC_WANTCHARS, SendMessageW(plain.hwnd, WM_GETDLGCODE, VK_UP, 0));
}

TEST(PanelKeyboard, RealKeysReachTheFocusedPanel)
{
    CRecordingPanel* panel = new CRecordingPanel();
    panel->takesFocus = true;
    CPanelFixture fixture(panel);
    const LONG style = GetWindowLongW(panel->hwnd, GWL_STYLE);
    EXPECT_EQ(LONG(WS_TABSTOP | WS_GROUP), style & (WS_TABSTOP | WS_GROUP));
    SetForegroundWindow(fixture.host.hwnd);
    panel->SetFocus();
    ASSERT_EQ(panel->hwnd, GetFocus());
    EXPECT_TRUE(panel->hasFocus);
    panel->calls.clear();
    // Modifiers are left to the tests above: Wine resets injected modifier
    // keys to the X server's state when the focus moves.
    KeyInput(VK_HOME, true);
    KeyInput(VK_HOME, false);
    KeyInput('X', true);
    KeyInput('X', false);
    KeyInput(VK_DOWN, true);
    KeyInput(VK_DOWN, false);
    EXPECT_EQ("down 10, up 10, char 120, down 1, up 1", panel->Calls());
}

TEST(PanelKeyboard, APressTakesTheFocusAndATakenDownPanelHearsNoFocusLoss)
{
    CParkedMouse parkedMouse;
    CRecordingPanel* panel = new CRecordingPanel();
    panel->takesFocus = true;
    CPanelFixture fixture(panel);
    SetForegroundWindow(fixture.host.hwnd);
    MouseInput(fixture.ScreenPoint(40, 40));
    MouseInput(fixture.ScreenPoint(40, 40), MOUSEEVENTF_LEFTDOWN);
    MouseInput(fixture.ScreenPoint(40, 40), MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(panel->hwnd, GetFocus());
    EXPECT_NE(std::string::npos, panel->Calls().find("focus"));

    panel->calls.clear();
    SetFocus(fixture.host.hwnd);
    EXPECT_EQ("unfocus", panel->Calls());
    EXPECT_FALSE(panel->hasFocus);

    SetFocus(panel->hwnd);
    panel->SetDirty();
    panel->calls.clear();
    SetFocus(fixture.host.hwnd);
    EXPECT_EQ("", panel->Calls());
}

// ---- Tool tip -------------------------------------------------------------------------

namespace {

std::wstring StatusText(HWND statusBar)
{
    wchar_t text[200] = {};
    GetWindowTextW(statusBar, text, 200);
    return text;
}

TOOLINFOW ReadTool(const CPanel& panel)
{
    TOOLINFOW info = {};
    info.cbSize = sizeof info;
    info.hwnd = panel.hwnd;
    info.uId = UINT_PTR(GetWindowLongW(panel.hwnd, GWL_ID));
    SendMessageW(panel.tipWindow, TTM_GETTOOLINFOW, 0, LPARAM(&info));
    return info;
}

}  // namespace

TEST(PanelTooltip, AStoredTipIsMadeWithTheWindowAndShowsItsStatusText)
{
    CParkedMouse parkedMouse;
    CPanelTestHost host(kHostX, kHostY, 300, 200);
    host.statusBar = CreateWindowExW(0, L"STATIC", L"idle", WS_CHILD | WS_VISIBLE, 0, 180, 300, 20, host.hwnd,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
    CScene scene(true, 1);
    CRecordingPanel panel;
    panel.SetScene(&scene);
    std::wstring longText;
    for (int i = 0; i < 100; ++i)
        longText += wchar_t(L'a' + i % 26);
    panel.SetTooltip(CRectF(5.5f, 6.9f, 120.2f, 90.8f), longText, L"Status words", true);
    EXPECT_EQ(nullptr, panel.tipWindow);
    panel.Measure();
    panel.CreateNativeWindow(host);
    panel.SetBounds(CRectF(0.0f, 0.0f, 200.0f, 150.0f));
    ASSERT_NE(nullptr, panel.tipWindow);
    EXPECT_EQ(host.hwnd, GetWindow(panel.tipWindow, GW_OWNER));
    EXPECT_EQ(1, SendMessageW(panel.tipWindow, TTM_GETTOOLCOUNT, 0, 0));
    const TOOLINFOW tool = ReadTool(panel);
    EXPECT_EQ(UINT(TTF_SUBCLASS), tool.uFlags & TTF_SUBCLASS);
    EXPECT_EQ(5, tool.rect.left);
    EXPECT_EQ(6, tool.rect.top);
    EXPECT_EQ(120, tool.rect.right);
    EXPECT_EQ(90, tool.rect.bottom);
    // Made again with the window, a quick tip keeps its short delay.
    EXPECT_EQ(100, SendMessageW(panel.tipWindow, TTM_GETDELAYTIME, TTDT_INITIAL, 0));

    // The mouse rests in the tool's rectangle: the tip comes up with the
    // panel's text, and the status bar shows the status text meanwhile.
    MouseInput(POINT{kHostX + 40, kHostY + 40});
    MouseInput(POINT{kHostX + 41, kHostY + 40});
    EXPECT_TRUE(PumpUntil([&] { return StatusText(host.statusBar) == L"Status words"; }, 4000))
        << StatusText(host.statusBar);
    EXPECT_TRUE(IsWindowVisible(panel.tipWindow));
    wchar_t shown[100] = {};
    GetWindowTextW(panel.tipWindow, shown, 100);
    EXPECT_EQ(longText.substr(0, 79), std::wstring(shown));

    MouseInput(POINT{kHostX + 250, kHostY + 170});
    EXPECT_TRUE(PumpUntil([&] { return StatusText(host.statusBar).empty(); }, 4000));
}

TEST(PanelTooltip, TheTextNotificationIsCutTo79Characters)
{
    CPanelFixture fixture;
    CPanel& panel = *fixture.panel;
    const std::wstring longText(120, L'q');
    panel.SetTooltip(CRectF(0.0f, 0.0f, 50.0f, 50.0f), longText, L"", false);
    ASSERT_NE(nullptr, panel.tipWindow);
    NMTTDISPINFOW info = {};
    info.hdr.hwndFrom = panel.tipWindow;
    info.hdr.idFrom = UINT_PTR(GetWindowLongW(panel.hwnd, GWL_ID));
    info.hdr.code = TTN_GETDISPINFOW;
    info.uFlags = TTF_DI_SETITEM;
    info.lParam = 77;
    info.lpszText = const_cast<wchar_t*>(L"stale");
    fixture.Send(WM_NOTIFY, info.hdr.idFrom, LPARAM(&info));
    EXPECT_EQ(info.szText, info.lpszText);
    EXPECT_EQ(std::wstring(79, L'q'), std::wstring(info.szText));
    EXPECT_EQ(0u, info.uFlags);
    EXPECT_EQ(0, info.lParam);
    EXPECT_EQ(UINT(TTN_GETDISPINFOW), info.hdr.code);

    // A notification from another window is not the panel's to answer.
    NMTTDISPINFOW foreign = info;
    foreign.hdr.hwndFrom = fixture.host.hwnd;
    foreign.lpszText = const_cast<wchar_t*>(L"stale");
    foreign.lParam = 5;
    fixture.Send(WM_NOTIFY, foreign.hdr.idFrom, LPARAM(&foreign));
    EXPECT_EQ(5, foreign.lParam);
    EXPECT_EQ(std::wstring(L"stale"), foreign.lpszText);

    // The same through the tool tip itself.
    wchar_t buffer[100] = {};
    TOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = panel.hwnd;
    tool.uId = info.hdr.idFrom;
    tool.lpszText = buffer;
    SendMessageW(panel.tipWindow, TTM_GETTEXTW, 100, LPARAM(&tool));
    EXPECT_EQ(std::wstring(79, L'q'), std::wstring(buffer));
}

TEST(PanelTooltip, MovingAndClearingTheArea)
{
    CPanelFixture fixture;
    CPanel& panel = *fixture.panel;
    panel.ClearTooltip();
    EXPECT_EQ(nullptr, panel.tipWindow);
    panel.SetTooltip(CRectF(0.0f, 0.0f, 50.0f, 50.0f), L"one", L"", false);
    ASSERT_NE(nullptr, panel.tipWindow);
    EXPECT_EQ(500, SendMessageW(panel.tipWindow, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
    panel.SetTooltip(CRectF(10.0f, 20.0f, 30.0f, 40.0f), L"two", L"", true);
    EXPECT_EQ(100, SendMessageW(panel.tipWindow, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
    TOOLINFOW tool = ReadTool(panel);
    EXPECT_EQ(10, tool.rect.left);
    EXPECT_EQ(40, tool.rect.bottom);
    EXPECT_EQ(L"two", panel.tipText);

    panel.ClearTooltip();
    EXPECT_TRUE(panel.tipRect.IsEmpty());
    EXPECT_TRUE(panel.tipText.empty());
    EXPECT_TRUE(panel.quickTip);
    tool = ReadTool(panel);
    EXPECT_EQ(0, tool.rect.right);
}

// ---- Native window lifetime ----------------------------------------------------------------

TEST(PanelLifetime, APanelOutlivesItsWindowAndMakesANewOne)
{
    CScene scene(true, 1);
    CCountingDrawable drawable(CRectF(0.0f, 0.0f, 40.0f, 40.0f), 0xFF0000FF);
    scene.items[0] = &drawable;
    CRecordingPanel panel;
    panel.SetScene(&scene);
    panel.Measure();
    panel.SetTooltip(CRectF(0.0f, 0.0f, 20.0f, 20.0f), L"tip", L"", false);
    {
        CPanelTestHost host(kHostX, kHostY, 300, 200);
        panel.CreateNativeWindow(host);
        panel.SetBounds(CRectF(0.0f, 0.0f, 100.0f, 80.0f));
        ASSERT_TRUE(PumpUntil([&] { return drawable.draws > 0; }));
        EXPECT_NE(nullptr, panel.renderTarget);
        panel.Invalidate();
    }
    EXPECT_EQ(nullptr, panel.hwnd);
    EXPECT_EQ(nullptr, panel.renderTarget);
    EXPECT_EQ(nullptr, panel.tipWindow);
    EXPECT_FALSE(panel.repaintTimer.IsRunning());
    panel.Invalidate();
    EXPECT_FALSE(panel.repaintTimer.IsRunning());

    drawable.draws = 0;
    const int reports = ReportCount();
    CPanelTestHost host(kHostX, kHostY, 300, 200);
    panel.CreateNativeWindow(host);
    EXPECT_EQ(reports, ReportCount());
    ASSERT_NE(nullptr, panel.hwnd);
    EXPECT_NE(nullptr, panel.tipWindow);
    ASSERT_TRUE(PumpUntil([&] { return drawable.draws > 0; }));
    EXPECT_EQ(RGB(255, 0, 0), ReadClientPixel(panel.hwnd, 20, 20));
    EXPECT_EQ(RGB(255, 255, 255), ReadClientPixel(panel.hwnd, 60, 60));
}

TEST(PanelLifetime, SetDirtyStopsRepaintsAndDropsTheTarget)
{
    CPanelFixture fixture;
    CPanel& panel = *fixture.panel;
    ASSERT_NE(nullptr, panel.renderTarget);
    panel.Invalidate();
    panel.SetDirty();
    EXPECT_TRUE(panel.closed);
    EXPECT_FALSE(panel.repaintTimer.IsRunning());
    EXPECT_EQ(nullptr, panel.renderTarget);
}

// ---- Render targets -------------------------------------------------------------------------

namespace {

// A listed frame window with a visible popup of its own.
class CPopupFrame : public CFrameListEntry
{
public:
    explicit CPopupFrame(int x) : CFrameListEntry(true)
    {
        hwnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"STATIC", L"", WS_POPUP | WS_VISIBLE, x, 50, 80,
                               80, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~CPopupFrame() override { DestroyWindow(hwnd); }
};

struct CFramePanel
{
    explicit CFramePanel(CFrameListEntry& frame) : scene(true, 1), panel(true, false)
    {
        panel.SetScene(&scene);
        panel.Measure();
        panel.CreateNativeWindow(frame);
        panel.SetBounds(CRectF(0.0f, 0.0f, 60.0f, 60.0f));
    }
    void Paint()
    {
        panel.Invalidate();
        panel.PaintIfPending();
    }
    bool HasTarget() const { return panel.renderTarget != nullptr; }

    CScene scene;
    CPanel panel;
};

}  // namespace

CHILD_TEST(PanelTargets, OnlyTheFrontFramesAndModalLoopsKeepRenderTargets)
{
    OpenTestSettingsKey();
    CPopupFrame a(10), b(100), c(200);
    CFramePanel pa(a), pb(b), pc(c);
    DispatchWaitingMessages();
    // Frames, most recent first: c, b, a; two keep their targets.
    pa.Paint();
    if (!pa.HasTarget())
        return 1;
    pb.Paint();
    if (pa.HasTarget() || !pb.HasTarget())
        return 2;
    pc.Paint();
    pa.Paint();
    if (!pb.HasTarget() || !pc.HasTarget() || !pa.HasTarget())
        return 3;
    pc.Paint();
    if (pa.HasTarget() || !pb.HasTarget() || !pc.HasTarget())
        return 4;
    CFrameWindowList::Activate(&a);  // a, c, b
    pa.Paint();
    if (!pa.HasTarget() || pb.HasTarget() || !pc.HasTarget())
        return 5;
    {
        // Under a modal loop every target stays.
        CModalScope modal;
        pb.Paint();
        pc.Paint();
        if (!pa.HasTarget() || !pb.HasTarget() || !pc.HasTarget())
            return 6;
    }
    // Once the crash log has given its reserve away (a graphics system ran
    // out of memory), only the front frame keeps its targets.
    CGraphicsSystem other(L"PanelTestOther");
    other.ReportFailure(2);
    if (GetCrashLog().HoldsReserve())
        return 7;
    pa.Paint();
    if (!pa.HasTarget() || pb.HasTarget() || pc.HasTarget())
        return 8;
    return 0;
}

CHILD_TEST(PanelTargets, AFailedGraphicsSystemCostsThePanelsTheirTargets)
{
    OpenTestSettingsKey();
    CPopupFrame a(10);
    CFramePanel first(a), second(a);
    CCountingDrawable drawable(CRectF(0.0f, 0.0f, 10.0f, 10.0f), 0xFF000000);
    second.scene.items[0] = &drawable;
    DispatchWaitingMessages();
    first.Paint();
    second.Paint();
    const int draws = drawable.draws;
    if (!first.HasTarget() || !second.HasTarget() || draws == 0)
        return 1;
    CGdiGraphicsSystem::Instance().ReportFailure(3);
    // The paint still draws, then lets the target go; so does every other
    // panel whose target came from the failed system.
    second.Paint();
    if (drawable.draws != draws + 1 || first.HasTarget() || second.HasTarget())
        return 2;
    second.Paint();
    if (drawable.draws != draws + 2 || second.HasTarget())
        return 3;
    return 0;
}

// ---- Context menu ---------------------------------------------------------------------------

namespace {

struct CMenuRecord
{
    void OnExecute(int id)
    {
        executed.push_back(id);
        nativeMenuGone = menu && !menu->menuHandle;
    }
    void OnUpdate(CCommand* command) { ++updates; }
    std::vector<int> executed;
    int updates = 0;
    CMenu* menu = nullptr;
    bool nativeMenuGone = false;
};

int RunContextMenu(CPanel& panel, CMenu& menu, const std::vector<WPARAM>& keys)
{
    return RunPopupMenu([&] { panel.ShowContextMenu(menu); }, keys);
}

}  // namespace

TEST(PanelContextMenu, TheChosenCommandRunsAfterTheStatesAreRefreshed)
{
    CPanelFixture fixture;
    CMenuRecord record;
    CMenu menu(2000, 2000, nullptr, CMenu::kContextMenu);
    record.menu = &menu;
    for (int id : {2001, 2002}) {
        auto* item = new CCommandMenuItem(id, 2000, &menu, 0, 0, false);
        item->onExecute = CMemberDelegate<int, CMenuRecord>::Make(&record, &CMenuRecord::OnExecute);
        item->onUpdateState = CMemberDelegate<CCommand*, CMenuRecord>::Make(&record, &CMenuRecord::OnUpdate);
        menu.AddItem(item);
    }
    fixture.Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 20));
    EXPECT_EQ(0, RunContextMenu(*fixture.panel, menu, {VK_DOWN, VK_DOWN, VK_RETURN}));
    EXPECT_EQ(std::vector<int>{2002}, record.executed);
    EXPECT_EQ(2, record.updates);
    // The native menu is gone before the command runs: a command may close
    // the window that owns the menu.
    EXPECT_TRUE(record.nativeMenuGone);
    EXPECT_EQ(nullptr, menu.menuHandle);

    EXPECT_EQ(0, RunContextMenu(*fixture.panel, menu, {VK_ESCAPE}));
    EXPECT_EQ(std::vector<int>{2002}, record.executed);
    EXPECT_EQ(4, record.updates);
}
