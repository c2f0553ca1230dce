#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <thread>

#include "app/CourseScene.h"
#include "app/CourseView.h"
#include "course/CourseObject.h"
#include "course/EditSession.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "dialogs/HintDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "objects/equipment/AFrame.h"
#include "objects/equipment/DogWalk.h"
#include "objects/equipment/Tunnel.h"
#include "tests/app/ViewTestHost.h"
#include "tests/render3d/GraphicsTestSystems.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"
#include "ui/Cursors.h"

namespace {

constexpr int kAFrame = 2526;

class CourseView : public testing::Test
{
protected:
    void SetUp() override
    {
        OpenCourseTestSettings();
        // The view draws through GDI, whose pictures the tests look at.
        CSettings::SetInt(L"GraphicsClass", 0);
        CGraphicsSystemTestAccess::ResetRun();
        CSettings::SetInt(L"NeverShow2707", 1);
        SetModifierKeys(false, false);
        ParkMouse();
        reportsBefore = ReportCount();
        host = std::make_unique<CViewTestHost>();
        CDialogWatcher::TakeAnswered();
    }
    void TearDown() override
    {
        host.reset();
        SetModifierKeys(false, false);
        ParkMouse();
        DeleteTestSettingsKey();
        CGraphicsSystemTestAccess::ResetRun();
    }

    CCourse& Course() { return host->course; }
    CCourseView& View() { return host->view; }

    // The course point under a view point on the plane z = planeZ.
    CPoint2 GroundAt(float x, float y, float planeZ = 0.0f) const
    {
        const CTransform& scene = host->view.GetCourseScene()->transform;
        const CVector3 p0 = scene.TransformPoint(host->view.camera.UnprojectPoint(x, y, 0.0f));
        const CVector3 p1 = scene.TransformPoint(host->view.camera.UnprojectPoint(x, y, 1.0f));
        const float t = (p0.z - planeZ) / (p0.z - p1.z);
        return CPoint2(p0.x + (p1.x - p0.x) * t, -(p0.y + (p1.y - p0.y) * t));
    }

    void Press(const CPoint2& at, DWORD extra = 0)
    {
        const POINT screen = host->ViewScreenPoint(at.x, at.y);
        MouseInput(screen);
        MouseInput(screen, MOUSEEVENTF_LEFTDOWN | extra);
    }
    void MoveTo(const CPoint2& at) { MouseInput(host->ViewScreenPoint(at.x, at.y)); }
    void Release(const CPoint2& at) { MouseInput(host->ViewScreenPoint(at.x, at.y), MOUSEEVENTF_LEFTUP); }
    void Click(const CPoint2& at)
    {
        Press(at);
        Release(at);
    }

    // Chooses the A-frame on the shape toolbar and clicks the view where the
    // course point is seen; returns the new object.
    CCourseObject* PlaceAFrame(float x, float y)
    {
        host->ClickButton(host->shapes, kAFrame);
        EXPECT_EQ(kAFrame, host->shapes.GetCurrentTool());
        const size_t before = Course().GetObjectCount();
        Click(host->ViewPointOf(x, y));
        PumpFor(50);
        if (Course().GetObjectCount() != before + 1)
            return nullptr;
        for (CCourseObject* object : Course().GetObjects())
            if (object->IsSelected())
                return object;
        return nullptr;
    }

    // A course point given as shares of the ring's width and height.
    CPoint2 Spot(float fx, float fy) { return CPoint2(Course().GetWidth() * fx, Course().GetHeight() * fy); }
    CPoint2 SpotInView(float fx, float fy)
    {
        const CPoint2 spot = Spot(fx, fy);
        return host->ViewPointOf(spot.x, spot.y);
    }
    CCourseObject* PlaceAFrameAt(float fx, float fy)
    {
        const CPoint2 spot = Spot(fx, fy);
        return PlaceAFrame(spot.x, spot.y);
    }

    // Mouse messages sent to the view itself, carrying modifier flags that
    // input the system would take from the keyboard.
    void SendMouse(UINT message, const CPoint2& at, WPARAM flags)
    {
        SendMessageW(View().hwnd, message, flags, MAKELPARAM(int(at.x + 0.5f), int(at.y + 0.5f)));
        PumpFor(20);
    }
    void ModifiedClick(const CPoint2& at, WPARAM flags)
    {
        SendMouse(WM_MOUSEMOVE, at, flags);
        SendMouse(WM_LBUTTONDOWN, at, MK_LBUTTON | flags);
        SendMouse(WM_LBUTTONUP, at, flags);
    }
    // The view point where the cursor is now.
    CPoint2 CursorInView()
    {
        POINT cursor;
        GetCursorPos(&cursor);
        ScreenToClient(View().hwnd, &cursor);
        return CPoint2(float(cursor.x), float(cursor.y));
    }

    CCourseObject* OnlyObject()
    {
        return Course().GetObjectCount() == 1 ? *Course().GetObjects().begin() : nullptr;
    }

    std::unique_ptr<CViewTestHost> host;
    // Failure reports of this process before the test.
    int reportsBefore = 0;
};

float AngleOf(const CPoint2& v) { return std::atan2(v.y, v.x) * 57.29578f; }

float NormalizedDegrees(float a)
{
    while (a > 180.0f)
        a -= 360.0f;
    while (a <= -180.0f)
        a += 360.0f;
    return a;
}

}  // namespace

// ---- Placing, dragging, turning, deleting --------------------------------------------

TEST_F(CourseView, ClicksPlaceAnAFrameChosenOnTheShapeToolbar)
{
    const float x = Course().GetWidth() * 0.5f;
    const float y = Course().GetHeight() * 0.5f;
    CCourseObject* placed = PlaceAFrame(x, y);
    ASSERT_NE(nullptr, placed);
    EXPECT_NE(nullptr, dynamic_cast<CAFrame*>(placed));
    const CPoint2 at = placed->GetPlacement().GetPosition2D();
    EXPECT_NEAR(x, at.x, 4.0f);
    EXPECT_NEAR(y, at.y, 4.0f);
    EXPECT_TRUE(placed->IsSelected());
    EXPECT_EQ(Course().GetSpecList().GetTerm(kAFrame), Course().GetUndoLabel());
    EXPECT_TRUE(Course().IsModified());
    // Without Ctrl, Shift or the lock the toolbar goes back to selecting.
    EXPECT_EQ(CShapeToolbar::kNoTool, host->shapes.GetCurrentTool());
    EXPECT_EQ(nullptr, Course().GetPlacedObject());
    EXPECT_EQ(reportsBefore, ReportCount());
}

TEST_F(CourseView, APressOutsideTheGrownRingPlacesNothing)
{
    host->ClickButton(host->shapes, kAFrame);
    const CRectF area = Course().GetRingRect(true, true);
    // Far outside the ring but still in the view: the whole-course fit
    // leaves room at the sides of a wide window.
    const CPoint2 outside = host->ViewPointOf(area.left - 200.0f, area.top + 500.0f);
    ASSERT_GT(outside.x, 2.0f);
    Click(outside);
    EXPECT_EQ(0u, Course().GetObjectCount());
    EXPECT_EQ(kAFrame, host->shapes.GetCurrentTool());
    EXPECT_EQ(&CCursors::GetArrow(), View().cursor);
    MoveTo(host->ViewPointOf(area.left + 300.0f, area.top + 500.0f));
    EXPECT_EQ(&CCursors::GetPlus(), View().cursor);
}

TEST_F(CourseView, DraggingTheBodyMovesTheObjectWithThePointer)
{
    CCourseObject* placed = PlaceAFrameAt(0.4f, 0.5f);
    ASSERT_NE(nullptr, placed);
    const CPoint2 start = placed->GetPlacement().GetPosition2D();
    const CPoint2 from = host->ViewPointOf(start.x, start.y);
    MoveTo(from);
    EXPECT_EQ(&CCursors::GetSizeAll(), View().cursor);
    Press(from);
    EXPECT_EQ(CCourseView::EDragMode::kMoveSelection, View().dragMode);
    const float plane = View().dragPlaneHeight;
    const CPoint2 to(from.x + 60.0f, from.y + 25.0f);
    MoveTo(CPoint2(from.x + 20.0f, from.y + 8.0f));
    MoveTo(CPoint2(from.x + 40.0f, from.y + 17.0f));
    MoveTo(to);
    EXPECT_EQ(Course().GetMotionLabel(), Course().GetUndoLabel());
    Release(to);
    EXPECT_EQ(CCourseView::EDragMode::kNone, View().dragMode);

    // The pointer's way on the drag plane; the object may snap to a
    // neighbouring line of the ring's grid on its way.
    const CPoint2 expected = start + (GroundAt(to.x, to.y, plane) - GroundAt(from.x, from.y, plane));
    const CPoint2 moved = placed->GetPlacement().GetPosition2D();
    EXPECT_NEAR(expected.x, moved.x, 60.0f);
    EXPECT_NEAR(expected.y, moved.y, 60.0f);
    EXPECT_GT(moved.x - start.x, 600.0f);
    EXPECT_GT(moved.y - start.y, 200.0f);

    ASSERT_TRUE(Course().Undo());
    ASSERT_NE(nullptr, OnlyObject());
    const CPoint2 back = OnlyObject()->GetPlacement().GetPosition2D();
    EXPECT_NEAR(start.x, back.x, 0.5f);
    EXPECT_NEAR(start.y, back.y, 0.5f);
}

TEST_F(CourseView, DraggingAnEndGripTurnsTheObjectAboutItsCentre)
{
    CCourseObject* placed = PlaceAFrameAt(0.4f, 0.5f);
    ASSERT_NE(nullptr, placed);
    const CPoint2 centre = placed->GetPlacement().GetPosition2D();
    CPoint2 end;
    placed->GetEnd(end, 1);
    end = placed->GetPlacement().TransformPoint2D(end);
    const CPoint2 grip = host->ViewPointOf(end.x, end.y);
    MoveTo(grip);
    EXPECT_EQ(&CCourseView::GetRotateCursor(), View().cursor);
    Press(grip);
    ASSERT_EQ(CCourseView::EDragMode::kRotateSelection, View().dragMode);
    EXPECT_EQ(&CCourseView::GetRotateCursor(), View().cursor);

    // A quarter turn round the centre, through the point where atan2 jumps
    // (straight to the left) never taken: from the east end to the south.
    const CPoint2 c = host->ViewPointOf(centre.x, centre.y);
    const float r = std::hypot(grip.x - c.x, grip.y - c.y);
    const float startAngle = std::atan2(grip.y - c.y, grip.x - c.x);
    for (int step = 1; step <= 6; ++step) {
        const float a = startAngle + 1.5707963f * float(step) / 6.0f;
        MoveTo(CPoint2(c.x + r * std::cos(a), c.y + r * std::sin(a)));
    }
    const float a = startAngle + 1.5707963f;
    const CPoint2 last(c.x + r * std::cos(a), c.y + r * std::sin(a));
    Release(last);
    EXPECT_EQ(CCourseView::EDragMode::kNone, View().dragMode);

    CPoint2 turned;
    placed->GetEnd(turned, 1);
    turned = placed->GetPlacement().TransformPoint2D(turned);
    const CPoint2 pointer = GroundAt(last.x, last.y, View().dragPlaneHeight);
    EXPECT_NEAR(0.0f, NormalizedDegrees(AngleOf(turned - centre) - AngleOf(pointer - centre)), 3.0f);
    EXPECT_NEAR(90.0f, std::fabs(NormalizedDegrees(AngleOf(turned - centre) - AngleOf(end - centre))), 3.0f);
    const CPoint2 still = placed->GetPlacement().GetPosition2D();
    EXPECT_NEAR(centre.x, still.x, 0.5f);
    EXPECT_NEAR(centre.y, still.y, 0.5f);
}

// A turn by the keys or a drag of a handle takes the selected object's
// handles along: the next press where a handle now stands grabs it rather
// than the body, without selecting the object again.
TEST_F(CourseView, HandlesAreGrabbedWhereTheLastTurnOrReshapeLeftThem)
{
    const struct {
        int typeId;
        const wchar_t* keys;
        int handle;
        CCourseView::EDragMode drag;
    } cases[] = {
        {CDogWalk::kTypeId, L"]]]", 1, CCourseView::EDragMode::kRotateSelection},
        {CAFrame::kTypeId, L"[[", 0, CCourseView::EDragMode::kRotateSelection},
        {CTunnel::kTypeId, L"", 3, CCourseView::EDragMode::kMoveHandle},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typeId);
        const CObjectType& type = *FindObjectTypeById(c.typeId);
        const std::unique_ptr<CEditSession> dialog = type.CreatePropertiesDialog(&Course(), type.GetNameTextId());
        CTransform placement;
        placement.SetPosition2D(Spot(0.5f, 0.5f).x, Spot(0.5f, 0.5f).y);
        Course().AddObject(type.CreateNew(&Course(), placement, dialog.get()));
        CCourseObject* object = OnlyObject();
        ASSERT_NE(nullptr, object);
        object->SetSelected(true);
        const auto handleInView = [&](int handle) {
            CPoint2 end;
            object->GetEnd(end, handle);
            end = object->GetPlacement().TransformPoint2D(end);
            return host->ViewPointOf(end.x, end.y);
        };
        // A drag across the line from the object's centre: a turn beyond the
        // angle snap, or a bend.
        const auto dragHandle = [&] {
            const CPoint2 from = handleInView(c.handle);
            const CPoint2 centre = host->ViewPointOf(object->GetPosition().x, object->GetPosition().y);
            const CPoint2 across(centre.y - from.y, from.x - centre.x);
            Press(from);
            const CCourseView::EDragMode mode = View().dragMode;
            MoveTo(CPoint2(from.x + across.x * 0.5f, from.y + across.y * 0.5f));
            Release(from + across);
            return mode;
        };
        // Hovering a handle measures the marks where they stand now.
        MoveTo(handleInView(c.handle));
        for (const wchar_t* key = c.keys; *key != 0; ++key)
            host->Char(*key);
        if (c.drag == CCourseView::EDragMode::kMoveHandle) {
            EXPECT_EQ(c.drag, dragHandle());
        }

        // Dragged, the handle leaves the others behind: the object did not
        // just move.
        const int other = c.handle == 0 ? 1 : 0;
        const CPoint2 before = handleInView(c.handle) - handleInView(other);
        EXPECT_EQ(c.drag, dragHandle());
        const CPoint2 after = handleInView(c.handle) - handleInView(other);
        EXPECT_GT(std::hypot(after.x - before.x, after.y - before.y), 5.0f);
        Course().SelectAll();
        Course().DeleteSelected();
    }
}

TEST_F(CourseView, DeleteKeyRemovesTheSelectionAndUndoBringsItBack)
{
    ASSERT_NE(nullptr, PlaceAFrameAt(0.5f, 0.5f));
    host->KeyDown(VK_DELETE);
    host->KeyUp(VK_DELETE);
    EXPECT_EQ(0u, Course().GetObjectCount());
    EXPECT_EQ(L"Delete", Course().GetUndoLabel());
    ASSERT_TRUE(Course().Undo());
    EXPECT_EQ(1u, Course().GetObjectCount());
    // Nothing selected: Backspace deletes nothing.
    Course().DeselectAll(false);
    host->KeyDown(VK_BACK);
    EXPECT_EQ(1u, Course().GetObjectCount());
}

TEST_F(CourseView, InAThreeDSceneTheObjectLandsWhereThePointerMeetsTheGround)
{
    CCourse3DScene scene3D(&Course());
    scene3D.ShowSelection(true);
    Course().Set3DCamera(true);
    CViewCamera camera = Course().GetViewCamera();
    camera.SetPitch(50);
    Course().SetViewCamera(camera);
    View().SetScene(&scene3D);
    scene3D.Rebuild();
    View().Invalidate();
    PumpFor(200);
    ASSERT_TRUE(scene3D.Has3DItems());

    const CPoint2 at = SpotInView(0.5f, 0.5f);
    const CPoint2 expected = GroundAt(at.x, at.y);
    CCourseObject* placed = PlaceAFrameAt(0.5f, 0.5f);
    ASSERT_NE(nullptr, placed);
    const CPoint2 where = placed->GetPlacement().GetPosition2D();
    EXPECT_NEAR(expected.x, where.x, 40.0f);
    EXPECT_NEAR(expected.y, where.y, 40.0f);
    Course().DeselectAll(false);
    Course().OnCourseChanged();
    ParkMouse();
    PumpFor(300);
    EXPECT_TRUE(SaveWindowPicture(View().hwnd, GetTestArtefactPath(L"CourseView3DWithAFrame.png")));
    // Held against the view's own scene: it goes before the scene does.
    View().SetScene(&host->scene);
    PumpFor(50);
}

// ---- Selecting --------------------------------------------------------------------------

TEST_F(CourseView, AClickOnEmptyGroundClearsTheSelectionButNotWithAModifier)
{
    CCourseObject* placed = PlaceAFrameAt(0.5f, 0.5f);
    ASSERT_NE(nullptr, placed);
    const CPoint2 empty = SpotInView(0.1f, 0.1f);
    ModifiedClick(empty, MK_CONTROL);
    EXPECT_TRUE(placed->IsSelected());
    ModifiedClick(empty, MK_SHIFT);
    EXPECT_TRUE(placed->IsSelected());
    Click(empty);
    EXPECT_FALSE(placed->IsSelected());
}

TEST_F(CourseView, TheRubberBandSelectsWhatLiesInsideAndTogglesWithShift)
{
    CCourseObject* a = PlaceAFrameAt(0.3f, 0.3f);
    CCourseObject* b = PlaceAFrameAt(0.7f, 0.3f);
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, b);
    Course().DeselectAll(false);
    const CPoint2 from = SpotInView(0.1f, 0.1f);
    const CPoint2 to = SpotInView(0.5f, 0.5f);
    Press(from);
    EXPECT_TRUE(host->scene.GetRubberBand().IsActive());
    EXPECT_NE(nullptr, host->scene.items[5]);
    MoveTo(CPoint2((from.x + to.x) / 2, (from.y + to.y) / 2));
    MoveTo(to);
    EXPECT_EQ(&CCursors::GetArrow(), View().cursor);
    EXPECT_TRUE(a->IsSelected());
    EXPECT_FALSE(b->IsSelected());
    Release(to);
    EXPECT_FALSE(host->scene.GetRubberBand().IsActive());
    EXPECT_TRUE(a->IsSelected());

    // With Shift the band flips what it covers and keeps the rest.
    b->SetSelected(true);
    SendMouse(WM_LBUTTONDOWN, from, MK_LBUTTON | MK_SHIFT);
    SendMouse(WM_MOUSEMOVE, to, MK_LBUTTON | MK_SHIFT);
    EXPECT_FALSE(a->IsSelected());
    EXPECT_TRUE(b->IsSelected());
    // Back out of the band: the objects return to their state at the press.
    SendMouse(WM_MOUSEMOVE, CPoint2(from.x + 2.0f, from.y + 2.0f), MK_LBUTTON | MK_SHIFT);
    EXPECT_TRUE(a->IsSelected());
    SendMouse(WM_MOUSEMOVE, to, MK_LBUTTON | MK_SHIFT);
    SendMouse(WM_LBUTTONUP, to, MK_SHIFT);
    EXPECT_FALSE(a->IsSelected());
    EXPECT_TRUE(b->IsSelected());
}

TEST_F(CourseView, ControlClickOnASelectedObjectDeselectsItAndMovesNothing)
{
    CCourseObject* placed = PlaceAFrameAt(0.5f, 0.5f);
    ASSERT_NE(nullptr, placed);
    const CPoint2 start = placed->GetPlacement().GetPosition2D();
    const CPoint2 at = host->ViewPointOf(start.x, start.y);
    SendMouse(WM_LBUTTONDOWN, at, MK_LBUTTON | MK_CONTROL);
    EXPECT_EQ(CCourseView::EDragMode::kNone, View().dragMode);
    SendMouse(WM_MOUSEMOVE, CPoint2(at.x + 40.0f, at.y), MK_LBUTTON | MK_CONTROL);
    SendMouse(WM_LBUTTONUP, CPoint2(at.x + 40.0f, at.y), MK_CONTROL);
    EXPECT_FALSE(placed->IsSelected());
    EXPECT_EQ(start, placed->GetPlacement().GetPosition2D());
}

TEST_F(CourseView, ClickingAnUnselectedObjectOutsideTheAreaSelectsItRatherThanDeletingIt)
{
    // An object outside the ring and its margins (as a file may hold one):
    // deselecting the others must keep the one clicked.
    const CRectF area = Course().GetRingRect(false, false);
    const CPoint2 outside(area.left - 700.0f, area.top + 2000.0f);
    CTransform placement;
    placement.SetPosition2D(outside.x, outside.y);
    std::unique_ptr<CCourseObject> made = FindObjectTypeById(CAFrame::kTypeId)->CreateNew(&Course(), placement, nullptr);
    ASSERT_NE(nullptr, made);
    CCourseObject* object = made.get();
    Course().AddObject(std::move(made));
    Course().OnCourseChanged();
    PumpFor(100);
    const CPoint2 at = host->ViewPointOf(outside.x, outside.y);
    ASSERT_GT(at.x, 0.0f);
    Click(at);
    ASSERT_EQ(1u, Course().GetObjectCount());
    EXPECT_EQ(object, OnlyObject());
    EXPECT_TRUE(object->IsSelected());
}

TEST_F(CourseView, APressStopsHeldCameraKeysSoThePlacementIsAStepOfItsOwn)
{
    host->ClickButton(host->shapes, kAFrame);
    host->KeyDown(VK_ADD);
    ASSERT_TRUE(host->cameraBar.repeatTimer.IsRunning());
    const CPoint2 at = SpotInView(0.5f, 0.5f);
    Press(at);
    EXPECT_FALSE(host->cameraBar.keys[kPanelKeyPlus]);
    EXPECT_TRUE(PumpUntil([this] { return !host->cameraBar.repeatTimer.IsRunning(); }, 1000));
    const CVector3 eye = Course().GetViewCamera().GetEyePosition();
    MoveTo(CPoint2(at.x + 5.0f, at.y));
    PumpFor(100);
    EXPECT_TRUE(eye == Course().GetViewCamera().GetEyePosition());
    Release(CPoint2(at.x + 5.0f, at.y));
    host->KeyUp(VK_ADD);
    ASSERT_EQ(1u, Course().GetObjectCount());
    EXPECT_EQ(reportsBefore, ReportCount());
    EXPECT_EQ(Course().GetSpecList().GetTerm(kAFrame), Course().GetUndoLabel());
    ASSERT_TRUE(Course().Undo());
    EXPECT_EQ(0u, Course().GetObjectCount());
    EXPECT_EQ(GetString(2022), Course().GetUndoLabel());
}

TEST_F(CourseView, ARightClickSelectsTheObjectUnderThePointer)
{
    CCourseObject* a = PlaceAFrameAt(0.3f, 0.3f);
    CCourseObject* b = PlaceAFrameAt(0.7f, 0.3f);
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, b);
    const CPoint2 onA = SpotInView(0.3f, 0.3f);
    const POINT screen = host->ViewScreenPoint(onA.x, onA.y);
    MouseInput(screen);
    MouseInput(screen, MOUSEEVENTF_RIGHTDOWN);
    MouseInput(screen, MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(a->IsSelected());
    EXPECT_FALSE(b->IsSelected());
    const CPoint2 empty = SpotInView(0.1f, 0.1f);
    const POINT emptyScreen = host->ViewScreenPoint(empty.x, empty.y);
    MouseInput(emptyScreen);
    MouseInput(emptyScreen, MOUSEEVENTF_RIGHTDOWN);
    MouseInput(emptyScreen, MOUSEEVENTF_RIGHTUP);
    EXPECT_FALSE(a->IsSelected());
}

// ---- Placing several --------------------------------------------------------------------

TEST_F(CourseView, TheFourthPlacementInARowShowsTheHintAndAModifierResetsItsCount)
{
    CSettings::SetInt(L"NeverShow2707", 0);
    GetShownHints().erase(2707);
    GetHintCounts()[2707] = 0;
    CHintAnswerer answerer;
    ASSERT_NE(nullptr, PlaceAFrameAt(0.2f, 0.2f));
    ASSERT_NE(nullptr, PlaceAFrameAt(0.4f, 0.2f));
    EXPECT_EQ(1, GetHintCounts()[2707]);
    ASSERT_NE(nullptr, PlaceAFrameAt(0.6f, 0.2f));
    ASSERT_NE(nullptr, PlaceAFrameAt(0.8f, 0.2f));
    EXPECT_EQ(3, GetHintCounts()[2707]);
    EXPECT_TRUE(answerer.TakeAnswered().empty());
    ASSERT_NE(nullptr, PlaceAFrameAt(0.2f, 0.5f));
    PumpFor(200);
    const std::vector<std::wstring> shown = answerer.TakeAnswered();
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(GetString(2707), shown[0]);

    // Placing with Shift held keeps the tool and starts the count again.
    host->ClickButton(host->shapes, kAFrame);
    ModifiedClick(SpotInView(0.4f, 0.5f), MK_SHIFT);
    EXPECT_EQ(kAFrame, host->shapes.GetCurrentTool());
    EXPECT_EQ(0, GetHintCounts()[2707]);
    ModifiedClick(SpotInView(0.6f, 0.5f), MK_SHIFT);
    EXPECT_EQ(7u, Course().GetObjectCount());
    EXPECT_EQ(kAFrame, host->shapes.GetCurrentTool());
    // Letting go of Shift returns to selecting.
    host->KeyUp(VK_SHIFT, false, false);
    EXPECT_EQ(CShapeToolbar::kNoTool, host->shapes.GetCurrentTool());
}

TEST_F(CourseView, WithTheLockOnPlacingKeepsTheTool)
{
    host->ClickButton(host->shapes, CShapeToolbar::kLockId);
    ASSERT_NE(nullptr, PlaceAFrameAt(0.3f, 0.3f));
    EXPECT_EQ(kAFrame, host->shapes.GetCurrentTool());
    Click(SpotInView(0.6f, 0.3f));
    // Releasing a modifier does not end a locked tool.
    host->KeyUp(VK_CONTROL, false, false);
    EXPECT_EQ(kAFrame, host->shapes.GetCurrentTool());
    EXPECT_EQ(2u, Course().GetObjectCount());
    EXPECT_TRUE(host->shapes.IsLocked());
}

// ---- Keys -------------------------------------------------------------------------------------

TEST_F(CourseView, ArrowKeysWithoutShiftMoveOnlyTheCamera)
{
    CCourseObject* placed = PlaceAFrameAt(0.5f, 0.5f);
    ASSERT_NE(nullptr, placed);
    const CPoint2 start = placed->GetPlacement().GetPosition2D();
    const CVector3 eye = Course().GetViewCamera().GetEyePosition();
    host->KeyDown(VK_UP);
    host->KeyUp(VK_UP);
    EXPECT_EQ(start, placed->GetPlacement().GetPosition2D());
    EXPECT_FALSE(eye == Course().GetViewCamera().GetEyePosition());
}

TEST_F(CourseView, ShiftControlRightNudgesTheFineStepAlongTheScreenWhateverTheYaw)
{
    CCourseObject* placed = PlaceAFrameAt(0.5f, 0.5f);
    ASSERT_NE(nullptr, placed);
    CViewCamera turned = Course().GetViewCamera();
    turned.SetYaw(90);
    Course().SetViewCamera(turned);
    Course().OnCourseChanged();
    PumpFor(60);
    const CPoint2 start = placed->GetPlacement().GetPosition2D();
    const CVector3 eye = Course().GetViewCamera().GetEyePosition();
    host->KeyDown(VK_RIGHT, true, true);
    host->KeyUp(VK_RIGHT, true, true);
    const CPoint2 moved = placed->GetPlacement().GetPosition2D();
    const CPoint2 step = moved - start;
    EXPECT_NEAR(10.0f, step.Length(), 0.01f);
    // Along the screen's right: the ground's direction under a step of the
    // pointer to the right.
    const CPoint2 seen = host->ViewPointOf(start.x, start.y);
    CPoint2 right = GroundAt(seen.x + 50.0f, seen.y) - GroundAt(seen.x, seen.y);
    right = right / right.Length();
    EXPECT_NEAR(1.0f, (step.x * right.x + step.y * right.y) / 10.0f, 0.001f);
    // Shift + arrows never drive the camera.
    EXPECT_TRUE(eye == Course().GetViewCamera().GetEyePosition());
    EXPECT_EQ(90, Course().GetViewCamera().GetYaw());

    host->KeyDown(VK_DOWN, false, true);
    const CPoint2 coarse = placed->GetPlacement().GetPosition2D() - moved;
    EXPECT_NEAR(120.0f, coarse.Length(), 0.01f);
    CPoint2 down = GroundAt(seen.x, seen.y + 50.0f) - GroundAt(seen.x, seen.y);
    down = down / down.Length();
    EXPECT_NEAR(1.0f, (coarse.x * down.x + coarse.y * down.y) / 120.0f, 0.001f);
}

TEST_F(CourseView, MetricCoursesNudgeByFourAndForty)
{
    Course().SetMetric(true);
    CCourseObject* placed = PlaceAFrameAt(0.5f, 0.5f);
    ASSERT_NE(nullptr, placed);
    const CPoint2 start = placed->GetPlacement().GetPosition2D();
    host->KeyDown(VK_LEFT, true, true);
    EXPECT_NEAR(start.x - 4.0f, placed->GetPlacement().GetPosition2D().x, 0.01f);
    host->KeyDown(VK_UP, false, true);
    EXPECT_NEAR(start.y - 40.0f, placed->GetPlacement().GetPosition2D().y, 0.01f);
}

TEST_F(CourseView, BracketsTurnTheSelection)
{
    CCourseObject* placed = PlaceAFrameAt(0.5f, 0.5f);
    ASSERT_NE(nullptr, placed);
    const float start = placed->GetPlacement().GetRotation();
    host->Char(L']');
    EXPECT_NEAR(15.0f, std::fabs(NormalizedDegrees(placed->GetPlacement().GetRotation() - start)), 0.01f);
    host->Char(L'[');
    host->Char(L'}');
    EXPECT_NEAR(1.0f, std::fabs(NormalizedDegrees(placed->GetPlacement().GetRotation() - start)), 0.01f);
    // Nothing selected: nothing turns.
    Course().DeselectAll(false);
    const float now = placed->GetPlacement().GetRotation();
    host->Char(L']');
    EXPECT_EQ(now, placed->GetPlacement().GetRotation());
}

TEST_F(CourseView, TypingSThen3MarksTheOlderFormatAndAnotherCharacterCancels)
{
    host->Char(L's');
    host->Char(L'x');
    host->Char(L'3');
    EXPECT_FALSE(Course().GetWriteVersion3());
    EXPECT_TRUE(CDialogWatcher::TakeAnswered().empty());
    host->Char(L's');
    host->Char(L'3');
    EXPECT_TRUE(Course().GetWriteVersion3());
    std::vector<CSeenDialog> shown = CDialogWatcher::TakeAnswered();
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(L"This file will be saved in TRIV3 format", shown[0].text);
    host->Char(L's');
    host->Char(L'4');
    EXPECT_FALSE(Course().GetWriteVersion3());
    shown = CDialogWatcher::TakeAnswered();
    ASSERT_EQ(1u, shown.size());
    EXPECT_EQ(L"This file will be saved in TRIV4 format", shown[0].text);
}

TEST_F(CourseView, TypingALetterThenROpensItsDialog)
{
    const std::pair<wchar_t, std::wstring> sequences[] = {
        {L't', L"Troubleshooting"}, {L'g', GetString(2384)}, {L'c', L"Brisklane features"}};
    for (const auto& sequence : sequences) {
        CDialogWatcherPause pause;
        std::wstring caption;
        std::thread driver([&caption] {
            const HWND dialog = WaitForDialog(5000);
            if (!dialog)
                return;
            caption = GetWindowTextString(dialog);
            PressDialogButton(dialog, IDCANCEL);
        });
        host->Char(sequence.first);
        host->Char(L'r');
        driver.join();
        EXPECT_EQ(sequence.second, caption);
    }
}

TEST_F(CourseView, TheViewClaimsItsNavigationKeys)
{
    for (int key = 0; key < 16; ++key) {
        const bool claimed = key <= 5 || key == 8 || key == 9 || key >= 12;
        EXPECT_EQ(claimed, View().WantsAllKeys(key)) << key;
    }
}

// ---- Held camera keys (mended: released when the view loses the focus) ------------

TEST_F(CourseView, LosingTheFocusLetsGoOfHeldCameraKeys)
{
    host->KeyDown(VK_LEFT);
    EXPECT_TRUE(host->cameraBar.keys[kPanelKeyLeft]);
    EXPECT_TRUE(host->cameraBar.repeatTimer.IsRunning());
    // The release goes to whatever has the focus now, never to the view.
    SendMessageW(View().hwnd, WM_KILLFOCUS, WPARAM(host->shapes.hwnd), 0);
    EXPECT_FALSE(host->cameraBar.keys[kPanelKeyLeft]);
    EXPECT_TRUE(PumpUntil([this] { return !host->cameraBar.repeatTimer.IsRunning(); }, 1000));
    const int yaw = Course().GetViewCamera().GetYaw();
    PumpFor(150);
    EXPECT_EQ(yaw, Course().GetViewCamera().GetYaw());
}

TEST_F(CourseView, APressInTheViewLetsGoOfHeldCameraKeysUntilTheyRepeat)
{
    host->KeyDown(VK_LEFT);
    ASSERT_TRUE(host->cameraBar.keys[kPanelKeyLeft]);
    const CPoint2 empty = SpotInView(0.1f, 0.1f);
    Press(empty);
    EXPECT_FALSE(host->cameraBar.keys[kPanelKeyLeft]);
    EXPECT_TRUE(PumpUntil([this] { return !host->cameraBar.repeatTimer.IsRunning(); }, 1000));
    const int yaw = Course().GetViewCamera().GetYaw();
    MoveTo(CPoint2(empty.x + 30.0f, empty.y + 30.0f));
    PumpFor(100);
    EXPECT_EQ(yaw, Course().GetViewCamera().GetYaw());
    // Keys go nowhere while the button is held.
    host->KeyDown(VK_LEFT);
    EXPECT_FALSE(host->cameraBar.keys[kPanelKeyLeft]);
    Release(CPoint2(empty.x + 30.0f, empty.y + 30.0f));
    // The key's next repetition drives the camera again.
    host->KeyDown(VK_LEFT);
    EXPECT_EQ(yaw + 3, Course().GetViewCamera().GetYaw());
    host->KeyUp(VK_LEFT);
}

// ---- Pointer details ------------------------------------------------------------------------

TEST_F(CourseView, TheSameGroundPointTwiceChangesNothing)
{
    CCourseObject* placed = PlaceAFrameAt(0.5f, 0.5f);
    ASSERT_NE(nullptr, placed);
    const CPoint2 start = placed->GetPlacement().GetPosition2D();
    const CPoint2 at = host->ViewPointOf(start.x, start.y);
    Press(at);
    ASSERT_EQ(CCourseView::EDragMode::kMoveSelection, View().dragMode);
    const int changes = host->courseChanges;
    // A move message to the point of the press.
    SendMouse(WM_MOUSEMOVE, CursorInView(), MK_LBUTTON);
    EXPECT_EQ(changes, host->courseChanges);
    EXPECT_EQ(0, Course().GetMotion());
    SendMouse(WM_MOUSEMOVE, CPoint2(CursorInView().x + 3.0f, CursorInView().y), MK_LBUTTON);
    EXPECT_EQ(changes + 1, host->courseChanges);
    EXPECT_EQ(1, Course().GetMotion());
    Release(at);
}

TEST_F(CourseView, AGrabbedPointAboveTheEyeLimitLowersThePlaneAndKeepsThePointerOnIt)
{
    // A view from straight above: the eye is far higher than anything.
    const float eyeZ = Course().GetViewCamera().GetEyePosition().z;
    const float y = 300.0f;
    View().SetDragPlane(CVector3(500.0f, -400.0f, eyeZ + 50.0f), y);
    EXPECT_FLOAT_EQ(eyeZ - CCourseView::kEyeClearance, View().dragPlaneHeight);
    EXPECT_GT(View().verticalFactor, 0.0f);
    EXPECT_LE(View().verticalFactor, 1.0f);
    View().SetDragPlane(CVector3(500.0f, -400.0f, 12.0f), y);
    EXPECT_FLOAT_EQ(12.0f, View().dragPlaneHeight);
    EXPECT_FLOAT_EQ(1.0f, View().verticalFactor);
}

TEST_F(CourseView, TheGroundPointIsCutAtTheDragPlane)
{
    CMouseEvent event;
    event.x = 320.0f;
    event.y = 200.0f;
    event.nearPoint = host->scene.transform.TransformPoint(View().camera.UnprojectPoint(event.x, event.y, 0.0f));
    event.farPoint = host->scene.transform.TransformPoint(View().camera.UnprojectPoint(event.x, event.y, 1.0f));
    View().dragPlaneHeight = 0.0f;
    const CPoint2 ground = View().PickGroundPoint(event);
    const CPoint2 expected = GroundAt(event.x, event.y);
    EXPECT_NEAR(expected.x, ground.x, 0.05f);
    EXPECT_NEAR(expected.y, ground.y, 0.05f);
    View().dragPlaneHeight = 100.0f;
    const CPoint2 raised = View().PickGroundPoint(event);
    const CPoint2 expectedRaised = GroundAt(event.x, event.y, 100.0f);
    EXPECT_NEAR(expectedRaised.x, raised.x, 0.05f);
    EXPECT_NEAR(expectedRaised.y, raised.y, 0.05f);
    View().dragPlaneHeight = 0.0f;
}

// ---- Size ----------------------------------------------------------------------------------

TEST_F(CourseView, MeasuringFitsTheCameraSizeIntoTheSpaceOffered)
{
    CViewCamera camera = Course().GetViewCamera();
    camera.SetViewportSize(800.0f, 400.0f);
    Course().SetViewCamera(camera);
    View().MeasureWithin(300.0f, 300.0f);
    EXPECT_EQ(300, View().preferredWidth);
    EXPECT_EQ(150, View().preferredHeight);
    EXPECT_EQ(10, View().minWidth);
    EXPECT_EQ(10, View().minHeight);
    View().MeasureWithin(1000.0f, 1000.0f);
    EXPECT_EQ(800, View().preferredWidth);
    EXPECT_EQ(400, View().preferredHeight);
    // A side below 10 becomes 10 and the other keeps the aspect.
    View().MeasureWithin(15.0f, 100.0f);
    EXPECT_EQ(20, View().preferredWidth);
    EXPECT_EQ(10, View().preferredHeight);
}

TEST_F(CourseView, ANewSizeBecomesTheCameraViewportAndAnUnchangedOneDoesNot)
{
    const int changes = host->settingsChanges;
    View().SetBounds(CRectF(float(CViewTestHost::kViewX), 0.0f, float(CViewTestHost::kViewX + 500), 300.0f));
    EXPECT_EQ(500.0f, Course().GetViewCamera().GetViewportWidth());
    EXPECT_EQ(300.0f, Course().GetViewCamera().GetViewportHeight());
    EXPECT_EQ(CViewCamera::kFitted, Course().GetViewCamera().GetMode());
    EXPECT_EQ(changes + 1, host->settingsChanges);
    View().SetBounds(CRectF(float(CViewTestHost::kViewX), 0.0f, float(CViewTestHost::kViewX + 500), 300.0f));
    EXPECT_EQ(changes + 1, host->settingsChanges);
    EXPECT_EQ(reportsBefore, ReportCount());
}

// ---- The picture ----------------------------------------------------------------------------

TEST_F(CourseView, APictureOfTheViewWithAFewAFrames)
{
    ASSERT_NE(nullptr, PlaceAFrameAt(0.25f, 0.3f));
    ASSERT_NE(nullptr, PlaceAFrameAt(0.6f, 0.4f));
    host->Char(L']');
    host->Char(L']');
    host->Char(L']');
    ASSERT_NE(nullptr, PlaceAFrameAt(0.75f, 0.75f));
    Course().DeselectAll(false);
    Course().OnCourseChanged();
    ParkMouse();
    PumpFor(300);
    EXPECT_TRUE(SaveWindowPicture(View().hwnd, GetTestArtefactPath(L"CourseViewWithAFrames.png")));
    // Each A-frame is drawn where it stands; between them the ring is white.
    for (const CCourseObject* object : Course().GetObjects()) {
        const CPoint2 at = object->GetPlacement().GetPosition2D();
        const CPoint2 window = host->ViewPointOf(at.x, at.y);
        int drawn = 0;
        for (int dy = -20; dy <= 20; ++dy)
            for (int dx = -20; dx <= 20; ++dx)
                drawn += ReadClientPixel(View().hwnd, int(window.x) + dx, int(window.y) + dy) != RGB(255, 255, 255);
        EXPECT_GT(drawn, 60);
    }
    const CPoint2 empty = SpotInView(0.42f, 0.62f);
    EXPECT_EQ(RGB(255, 255, 255), ReadClientPixel(View().hwnd, int(empty.x), int(empty.y)));
}
