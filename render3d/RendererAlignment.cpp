#include <algorithm>
#include <cmath>

#include "foundation/CrashLog.h"
#include "render3d/Renderer.h"

// Pixel alignment of flat drawing: a path in a plane that faces the camera
// has its points moved to whole pixels (pixel centres for strokes an odd
// number of pixels wide) where the segments on both sides of a point run
// straight across the screen, and its strokes become whole pixels wide, so
// thin lines and the edges of fills stay sharp. A point that is snapped is
// held back until the next segment shows whether it may stay snapped.

namespace {

// How close to straight across the screen a segment must run, in pixels.
const float kStraightTolerance = 0.1f;
// A plane faces the camera when its normal leaves the view axis by less
// than this cosine.
const float kFacingCosine = 0.9999f;
// A quarter arc's handles change by less than this part to come out a
// whole number of pixels.
const float kArcSnapLimit = 0.2f;
// The hatch repeats every 4 * sqrt(2) pixels times the pen width: its lines
// lie 8 pixels apart along the axes, as GDI's diagonal hatch.
const float kHatchPixels = 4.0f * 1.41421356f;

}  // namespace

CTransform CRenderer::PlaneToView() const { return CTransform(m_buildTransform, m_state.matrix); }

bool CRenderer::FacesCamera() const
{
    const CVector3 normal = PlaneToView().TransformVector(CVector3(0.0f, 0.0f, 1.0f));
    const float length = normal.Length();
    return length > 0.0f && std::fabs(normal.z) >= kFacingCosine * length;
}

float CRenderer::PixelScaleAt(float z) const
{
    const CTransform toView = PlaneToView();
    const float depth = toView.TransformPoint(CVector3(0.0f, 0.0f, z)).z;
    const float scale = m_camera.ScaleAtDepth(depth) / toView.GetScale();
    return scale > 0.0f && std::isfinite(scale) ? scale : 1.0f;
}

bool CRenderer::ToWindow(const CPoint2& point, CPoint2& window) const
{
    const CVector3 view = PlaneToView().TransformPoint(CVector3(point.x, -point.y, m_align.z));
    if (-view.z < m_camera.GetNear())
        return false;
    m_camera.ProjectPoint(view, &window);
    return IsFinite(window);
}

bool CRenderer::FromWindow(const CPoint2& window, CPoint2& point) const
{
    const CTransform toView = PlaneToView();
    const CVector3 a = toView.InverseTransformPoint(m_camera.UnprojectPoint(window.x, window.y, 0.0f));
    const CVector3 b = toView.InverseTransformPoint(m_camera.UnprojectPoint(window.x, window.y, 1.0f));
    const float dz = b.z - a.z;
    if (dz == 0.0f)
        return false;
    const float t = (m_align.z - a.z) / dz;
    if (!(t >= 0.0f) || !std::isfinite(t))
        return false;
    point = CPoint2(a.x + (b.x - a.x) * t, -(a.y + (b.y - a.y) * t));
    return IsFinite(point);
}

bool CRenderer::Snap(const CPoint2& point, CPoint2& snapped)
{
    CPoint2 window;
    if (!ToWindow(point, window))
        return false;
    const float offset = m_align.pixelOffset;
    const CPoint2 pixel(std::floor(window.x - offset + 0.5f) + offset, std::floor(window.y - offset + 0.5f) + offset);
    if (!FromWindow(pixel, snapped))
        return false;
    if (m_building)
        m_building->viewDependent = true;
    return true;
}

bool CRenderer::Qualifies(const CPoint2& a, const CPoint2& b) const
{
    const float dx = std::fabs(b.x - a.x);
    const float dy = std::fabs(b.y - a.y);
    if (dx < kStraightTolerance && dy < kStraightTolerance)
        return false;
    if (m_align.mode == 2)
        return true;
    return dx < kStraightTolerance || dy < kStraightTolerance || std::fabs(dx - dy) < kStraightTolerance;
}

bool CRenderer::QualifiesDrawn(const CPoint2& a, const CPoint2& b) const
{
    CPoint2 wa, wb;
    return ToWindow(a, wa) && ToWindow(b, wb) && Qualifies(wa, wb);
}

// ---- The path ----------------------------------------------------------------------

void CRenderer::EmitBeginPath(bool stroke, bool fill)
{
    m_align = CAlignment();
    m_align.state = EAlign::kNoPoint;
    m_align.mode = GetPathMode();
    m_align.z = fill ? m_state.fillZ : m_state.strokeZ;
    m_align.pixelScale = PixelScaleAt(m_align.z);
    if (fill && m_state.fillPattern == 1) {
        const float span = m_state.penWidth * kHatchPixels * m_align.pixelScale;
        m_align.hatch = span > 0.0f && std::isfinite(span);
        m_align.hatchScale = m_align.hatch ? 1.0f / span : 1.0f;
    }
    if (m_align.mode < 0 || m_align.mode > 2) {
        TRACE_VALUE(int32_t, m_align.mode);
        ReportFailure();
        m_align.mode = 1;
    }
    if (m_align.mode == 0 || !FacesCamera()) {
        m_align.state = EAlign::kOff;
    } else if (stroke) {
        const float pixels = std::max(1.0f, std::round(m_state.penWidth / m_align.pixelScale));
        m_align.penWidthChanged = true;
        m_align.penWidth = m_state.penWidth;
        m_state.penWidth = (pixels - 0.01f) * m_align.pixelScale;
        if (std::fmod(pixels, 2.0f) == 1.0f)
            m_align.pixelOffset = 0.5f;
    }
    CGraphicsContext3D::EmitBeginPath(stroke, fill);
}

bool CRenderer::EmitHeldPoint(const CPoint2& point)
{
    switch (m_align.state) {
    case EAlign::kMovePending: CGraphicsContext3D::EmitMoveTo(point.x, point.y); return true;
    case EAlign::kLinePending:
    case EAlign::kAligned: CGraphicsContext3D::EmitLineTo(point.x, point.y); return true;
    default: return false;
    }
}

void CRenderer::EmitPending()
{
    if (EmitHeldPoint(m_align.pending))
        m_align.state = EAlign::kNoPoint;
}

void CRenderer::GiveUp()
{
    EmitHeldPoint(m_align.last);
    if (m_align.state != EAlign::kOff)
        m_align.state = EAlign::kGivenUp;
}

void CRenderer::EmitMoveTo(float x, float y)
{
    const CPoint2 point(x, y);
    if (m_align.state == EAlign::kOff) {
        CGraphicsContext3D::EmitMoveTo(x, y);
        return;
    }
    EmitPending();
    m_align.last = point;
    if (Snap(point, m_align.pending)) {
        m_align.state = EAlign::kMovePending;
    } else {
        CGraphicsContext3D::EmitMoveTo(x, y);
        m_align.state = EAlign::kGivenUp;
    }
}

void CRenderer::EmitLineTo(float x, float y)
{
    const CPoint2 point(x, y);
    if (m_flattening) {
        // Inside a curve: every point but the last goes out as it is.
        if (m_heldPointSet)
            CGraphicsContext3D::EmitLineTo(m_heldPoint.x, m_heldPoint.y);
        m_heldPoint = point;
        m_heldPointSet = true;
        return;
    }
    const EAlign state = m_align.state;
    if (state != EAlign::kMovePending && state != EAlign::kLinePending && state != EAlign::kAligned) {
        CGraphicsContext3D::EmitLineTo(x, y);
        return;
    }
    CPoint2 snapped;
    if (QualifiesDrawn(m_align.last, point) && Snap(point, snapped)) {
        EmitPending();
        m_align.pending = snapped;
        m_align.last = point;
        m_align.state = state == EAlign::kMovePending ? EAlign::kLinePending : EAlign::kAligned;
    } else {
        GiveUp();
        CGraphicsContext3D::EmitLineTo(x, y);
    }
}

void CRenderer::EmitBezierTo(const CCurveGeometry& curve)
{
    const EAlign state = m_align.state;
    if (state != EAlign::kMovePending && state != EAlign::kLinePending && state != EAlign::kAligned) {
        CGraphicsContext3D::EmitBezierTo(curve);
        return;
    }
    CPoint2 w0, w1, w2, w3, end;
    if (!ToWindow(curve.p0, w0) || !ToWindow(curve.p1, w1) || !ToWindow(curve.p2, w2) || !ToWindow(curve.p3, w3) ||
        !Snap(curve.p3, end)) {
        GiveUp();
        CGraphicsContext3D::EmitBezierTo(curve);
        return;
    }
    CCurveGeometry aligned = curve;
    const bool startQualifies = Qualifies(w0, w1);
    const bool endQualifies = Qualifies(w2, w3);
    if (startQualifies) {
        const CPoint2 offset = m_align.pending - curve.p0;
        aligned.p0 = m_align.pending;
        aligned.p1 = curve.p1 + offset;
        EmitPending();
    } else {
        GiveUp();
    }
    if (endQualifies) {
        const CPoint2 offset = end - curve.p3;
        aligned.p3 = end;
        aligned.p2 = curve.p2 + offset;
    }
    const CPoint2 t0 = curve.p1 - curve.p0;
    const CPoint2 t1 = curve.p3 - curve.p2;
    const bool quarterArc = t0.x * t1.x + t0.y * t1.y == 0.0f && t0.Length() > 0.0f && t1.Length() > 0.0f;
    if (startQualifies && endQualifies && quarterArc) {
        // The arc's size in pixels becomes whole when that is a small change.
        const float size = ((w1 - w0).Length() + (w3 - w2).Length()) * 0.375f;
        const float whole = std::round(size);
        if (whole > 0.0f && std::fabs(whole - size) < kArcSnapLimit * size) {
            const float k = whole / size;
            aligned.p1 = aligned.p0 + (aligned.p1 - aligned.p0) * k;
            aligned.p2 = aligned.p3 + (aligned.p2 - aligned.p3) * k;
        }
    }
    m_flattening = true;
    m_heldPointSet = false;
    CGraphicsContext3D::EmitBezierTo(aligned);
    m_flattening = false;
    if (endQualifies && m_heldPointSet) {
        m_align.pending = m_heldPoint;
        m_align.last = curve.p3;
        m_align.state = EAlign::kAligned;
    } else {
        if (m_heldPointSet)
            CGraphicsContext3D::EmitLineTo(m_heldPoint.x, m_heldPoint.y);
        m_align.state = EAlign::kGivenUp;
    }
    m_heldPointSet = false;
}

void CRenderer::EmitCloseFigure()
{
    EmitPending();
    if (m_align.state != EAlign::kOff)
        m_align.state = EAlign::kNoPoint;
    CGraphicsContext3D::EmitCloseFigure();
}

void CRenderer::EmitEndPath()
{
    EmitPending();
    CGraphicsContext3D::EmitEndPath();
    if (m_align.penWidthChanged)
        m_state.penWidth = m_align.penWidth;
    m_align = CAlignment();
}

// ---- Text ----------------------------------------------------------------------------

int CRenderer::PixelTextSize(const CPoint2& start, float width, CPoint2& snappedStart)
{
    m_align = CAlignment();
    m_align.mode = GetPathMode();
    m_align.z = m_state.textZ;
    if (m_align.mode < 1 || m_align.mode > 2 || !FacesCamera())
        return 0;
    m_align.pixelScale = PixelScaleAt(m_align.z);
    const CPoint2 end(start.x + width, start.y);
    CPoint2 ws, we, snappedEnd;
    if (!ToWindow(start, ws) || !ToWindow(end, we) || !(we.x > ws.x) ||
        !(std::fabs(we.y - ws.y) < kStraightTolerance) || !Qualifies(ws, we))
        return 0;
    const int pixels = int(std::lround(m_state.font.size / m_align.pixelScale));
    if (pixels < kSmallestPixelText || pixels > kLargestPixelText)
        return 0;
    if (!Snap(start, snappedStart) || !Snap(end, snappedEnd))
        return 0;
    return pixels;
}
