#include "app/ViewFrame.h"

#include <algorithm>
#include <cmath>

#include "app/CourseView.h"
#include "app/ViewCamera.h"
#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Numeric.h"

namespace {

using CBarHandler = void (CViewFrame::*)(CScrollBar*);

CDelegate<CScrollBar*> Bind(CViewFrame* frame, CBarHandler handler)
{
    return CMemberDelegate<CScrollBar*, CViewFrame>::Make(frame, handler);
}

// Where the ray of the camera through a window point meets the ground (3D
// coordinates); false for a ray that never comes down.
bool GetGroundPointAt(const CViewCamera& camera, float x, float y, CVector3& point)
{
    const CVector3 eye = camera.GetEyePosition();
    const CVector3 d = camera.GetTransform().TransformVector(camera.GetCamera().UnprojectPoint(x, y, 0.0f));
    if (!(d.z < 0.0f))
        return false;
    const float f = eye.z / d.z;
    point = CVector3(eye.x - d.x * f, eye.y - d.y * f, 0.0f);
    return true;
}

}  // namespace

CViewFrame::CViewFrame(CCourseView* view_) : CGridLayout(2, 2), view(view_)
{
    TRACE_POINT();
    SetCell(0, 0, view);
    SetCell(1, 0, &verticalBar);
    SetCell(0, 1, &horizontalBar);
    horizontalBar.SetOnLineUp(Bind(this, &CViewFrame::OnLineLeft));
    horizontalBar.SetOnLineDown(Bind(this, &CViewFrame::OnLineRight));
    horizontalBar.SetOnPageUp(Bind(this, &CViewFrame::OnPageLeft));
    horizontalBar.SetOnPageDown(Bind(this, &CViewFrame::OnPageRight));
    horizontalBar.SetOnPositionChanged(Bind(this, &CViewFrame::OnPositionChanged));
    verticalBar.SetOnLineUp(Bind(this, &CViewFrame::OnLineUp));
    verticalBar.SetOnLineDown(Bind(this, &CViewFrame::OnLineDown));
    verticalBar.SetOnPageUp(Bind(this, &CViewFrame::OnPageUp));
    verticalBar.SetOnPageDown(Bind(this, &CViewFrame::OnPageDown));
    verticalBar.SetOnPositionChanged(Bind(this, &CViewFrame::OnPositionChanged));
}

void CViewFrame::ScrollBy(float dx, float dy)
{
    CCourse* course = view ? view->GetCourse() : nullptr;
    if (!course)
        return;
    TRACE_VALUE(float, dx);
    TRACE_VALUE(float, dy);
    CPoint2 point = range.ClampPoint(float(horizontalBar.GetPosition()) + dx, float(verticalBar.GetPosition()) + dy);
    point = CPoint2(RoundHalfUp(point.x), RoundHalfUp(point.y));
    if (int(point.x) != horizontalBar.GetPosition())
        horizontalBar.SetPosition(int(point.x));
    if (int(point.y) != verticalBar.GetPosition())
        verticalBar.SetPosition(int(point.y));

    CViewCamera camera = course->GetViewCamera();
    const CVector3 eye = camera.GetEyePosition();
    // The eye as the bars show it: a point the rounding keeps where it was
    // is no move at all.
    const CPoint2 shown = transform.TransformPoint2D(eye.x, -eye.y);
    if (RoundHalfUp(shown.x) == point.x && RoundHalfUp(shown.y) == point.y)
        return;
    const CPoint2 target = transform.InverseTransformPoint2D(point);
    if (target.x == eye.x && -target.y == eye.y)
        return;
    camera.SetEyePosition(CVector3(target.x, -target.y, eye.z));
    applying = true;
    course->SetViewCamera(camera);
    course->OnCourseChanged();
    applying = false;
}

void CViewFrame::UpdateScrollExtents()
{
    CCourse* course = view ? view->GetCourse() : nullptr;
    if (applying || !course)
        return;
    const CViewCamera camera = course->GetViewCamera();
    transform.SetIdentity();
    transform.SetRotationZ(-float(camera.GetYaw()));
    const CRectF ring = transform.TransformRect2D(course->GetRingRect(true, true));
    const float W = ring.Width();
    const float H = ring.Height();
    const CVector3 eye3 = camera.GetEyePosition();
    const CPoint2 eye = transform.TransformPoint2D(eye3.x, -eye3.y);

    CViewCamera fitted = camera;
    fitted.SetCourseRect(ring);
    fitted.SetFitted(camera.GetPitch() == 0);
    fitted.SetPitch(camera.GetPitch());
    const CVector3 fittedEye = fitted.GetEyePosition();
    float ratio = eye3.z > 0.0f ? fittedEye.z / eye3.z : 1.0f;
    if (!std::isfinite(ratio) || !(ratio > 0.0f)) {
        TRACE_VALUE(float, ratio);
        ratio = 1.0f;
    }
    const CVector3 ground = fitted.GetViewGroundPoint();
    // Scroll y is course y: the negative of 3D y.
    const float bottom = -((fittedEye.y - ground.y) / ratio + ground.y);

    // The whole course in view: a single point, where the rounded eye of
    // the whole-course view stands, leaves the bars nothing to scroll.
    const float centreX = RoundHalfUp(fittedEye.x);
    range = CRectF(centreX, RoundHalfUp(bottom), centreX, RoundHalfUp(bottom));
    if (ratio > 1.0f) {
        // The ground the fitted camera sees across the middle of the window.
        const float viewWidth = fitted.GetViewportWidth();
        const float middle = fitted.GetViewportHeight() / 2.0f;
        CVector3 leftPoint;
        CVector3 rightPoint;
        float seen = W;
        if (GetGroundPointAt(fitted, 0.0f, middle, leftPoint) && GetGroundPointAt(fitted, viewWidth, middle, rightPoint))
            seen = std::fabs(rightPoint.x - leftPoint.x);
        const float half = 0.5f * (1.0f - 1.0f / ratio) * seen;
        range.left = fittedEye.x - half;
        range.right = fittedEye.x + half;
        range.top = ring.top - (ring.top + fittedEye.y) / ratio;
    }
    range.Normalize();
    range.Include(RoundHalfUp(eye.x), RoundHalfUp(eye.y));
    range.RoundOutward();

    const int x = int(RoundHalfUp(eye.x));
    const int y = int(RoundHalfUp(eye.y));
    horizontalBar.SetRange(int(range.left), int(range.right), x, std::max(int(W / ratio), 0));
    verticalBar.SetRange(int(range.top), int(range.bottom), y, std::max(int(H / ratio), 0));
    lineStep = std::floor(W / (ratio * 8.0f));
    if (!(lineStep >= 0.0f))
        lineStep = 0.0f;
    pageStep = 8.0f * lineStep;
}
