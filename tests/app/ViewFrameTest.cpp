#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>

#include "app/CourseWindow.h"
#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "tests/app/CourseWindowTestSupport.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"
#include "ui/UIFontMetrics.h"

using namespace cwtest;

// The view frame and the tool column inside a real course window; each
// scenario runs in a process of its own.

namespace {

// The course's camera with the eye at the given fraction of its height, so
// the view is that much closer than the whole course.
void MoveEyeCloser(CCourse& course, float fraction, int yaw = 0)
{
    CViewCamera camera = course.GetViewCamera();
    if (yaw != 0)
        camera.SetYaw(yaw);
    const CVector3 eye = camera.GetEyePosition();
    camera.SetEyePosition(CVector3(eye.x, eye.y, eye.z * fraction));
    course.SetViewCamera(camera);
    course.OnCourseChanged();
}

CVector3 Eye(CCourse& course) { return course.GetViewCamera().GetEyePosition(); }

}  // namespace

CHILD_TEST(ViewFrame, TheWholeCourseLeavesNothingToScroll)
{
    PrepareWindowTest();
    CCourseWindow* window = OpenNewCourseWindow();
    const CViewFrame& frame = window->viewFrame;
    if (frame.horizontalBar.min != frame.horizontalBar.max || frame.verticalBar.min != frame.verticalBar.max)
        return 1;
    const CRectF ring = window->GetCourse()->GetRingRect(true, true);
    if (frame.horizontalBar.page < int(ring.Width()) - 1 || frame.verticalBar.page < int(ring.Height()) - 1)
        return 2;
    // The bars sit beside and below the view.
    if (frame.verticalBar.bounds.left != window->view.bounds.right ||
        frame.horizontalBar.bounds.top != window->view.bounds.bottom)
        return 3;
    return ReportCount() == 0 ? 0 : 4;
}

CHILD_TEST(ViewFrame, ACloserViewScrollsWithinTheRing)
{
    PrepareWindowTest();
    CCourseWindow* window = OpenNewCourseWindow();
    CCourse* course = window->GetCourse();
    CViewFrame& frame = window->viewFrame;
    const CRectF ring = course->GetRingRect(true, true);
    MoveEyeCloser(*course, 0.5f);
    const float ratio = 2.0f;
    if (frame.horizontalBar.page != int(ring.Width() / ratio) || frame.verticalBar.page != int(ring.Height() / ratio))
        return 1;
    if (frame.lineStep != std::floor(ring.Width() / (ratio * 8.0f)) || frame.pageStep != 8.0f * frame.lineStep)
        return 2;
    const CScrollBar& bar = frame.horizontalBar;
    if (!(bar.min < bar.position && bar.position < bar.max))
        return 3;
    // Half the ring is in view: the eye moves over the other half.
    const float span = float(bar.max - bar.min);
    if (std::fabs(span - ring.Width() / 2.0f) > ring.Width() * 0.05f)
        return 4;

    // A thumb dragged to the end takes the eye to the edge of the range.
    SendMessageW(bar.hwnd, SBM_SETPOS, bar.max, TRUE);
    frame.horizontalBar.position = bar.max;
    frame.ScrollBy(0.0f, 0.0f);
    if (Eye(*course).x != float(bar.max))
        return 5;
    frame.ScrollBy(5000.0f, 0.0f);
    if (Eye(*course).x != float(bar.max) || course->GetUndoLabel() != GetString(2022))
        return 6;

    // A line down moves the eye down the ring (course y grows, 3D y falls).
    const CVector3 before = Eye(*course);
    SendMessageW(window->hwnd, WM_VSCROLL, SB_LINEDOWN, LPARAM(frame.verticalBar.hwnd));
    const CVector3 after = Eye(*course);
    if (!(after.y < before.y) || std::fabs(before.y - after.y) > frame.lineStep + 1.0f || after.x != before.x)
        return 7;

    // A scroll that rounds back to where the bars are moves nothing.
    const int history = int(course->GetUndoHistory().GetEntryCount());
    frame.ScrollBy(0.3f, -0.3f);
    if (Eye(*course).x != after.x || Eye(*course).y != after.y ||
        int(course->GetUndoHistory().GetEntryCount()) != history)
        return 8;
    return ReportCount() == 0 ? 0 : 9;
}

CHILD_TEST(ViewFrame, TheHorizontalBarMovesAlongTheScreenWhateverTheHeading)
{
    PrepareWindowTest();
    CCourseWindow* window = OpenNewCourseWindow();
    CCourse* course = window->GetCourse();
    MoveEyeCloser(*course, 0.4f, 90);
    CViewFrame& frame = window->viewFrame;
    if (frame.lineStep < 1.0f)
        return 1;
    const CVector3 before = Eye(*course);
    frame.ScrollBy(frame.pageStep, 0.0f);
    const CVector3 after = Eye(*course);
    // Turned by 90 degrees, the screen's x runs along the course's y.
    if (std::fabs(after.x - before.x) > 1.0f || !(std::fabs(after.y - before.y) > frame.lineStep))
        return 2;
    return ReportCount() == 0 ? 0 : 3;
}

// ---- Tool column ---------------------------------------------------------------------------

CHILD_TEST(ToolColumn, StacksItsToolsWithFixedGapsAndKeepsItsMinimumHeight)
{
    PrepareWindowTest();
    CCourseWindow* window = OpenNewCourseWindow();
    const CToolColumn& column = window->toolColumn;
    const int gap4 = DluToPixelsY(4);
    const int gap14 = DluToPixelsY(14);
    const CRectF& chooser = window->organisationChooser.bounds;
    const CRectF& shapes = window->shapeToolbar.bounds;
    const CRectF& properties = window->propertiesButton.bounds;
    const CRectF& colors = window->colorsButton.bounds;
    const CRectF& camera = window->cameraToolbar.bounds;
    if (chooser.top != column.bounds.top || int(shapes.top - chooser.bottom) != gap4 ||
        int(properties.top - shapes.bottom) != gap14 || int(colors.top - properties.bottom) != gap4 ||
        int(camera.top - colors.bottom) != gap14)
        return 1;
    if (column.bounds.left != 0.0f || column.bounds.right > window->view.bounds.left)
        return 2;

    // A window too short for the column leaves its end below the client area.
    RECT frame;
    GetWindowRect(window->hwnd, &frame);
    MoveWindow(window->hwnd, frame.left, frame.top, frame.right - frame.left, 160, TRUE);
    PumpFor(50);
    RECT client;
    GetClientRect(window->hwnd, &client);
    if (!(column.bounds.Height() >= float(column.minHeight)) || !(column.bounds.bottom > float(client.bottom)))
        return 3;
    return ReportCount() == 0 ? 0 : 4;
}
