#include "objects/equipment/ObstacleEnd.h"

#include <algorithm>
#include <cmath>

#include "course/CourseObject.h"
#include "foundation/CrashLog.h"
#include "foundation/Rect.h"
#include "foundation/TracePoint.h"

namespace {

// The default approach: straight along the direction of passage.
const CPoint2 kStraightApproach(0.0f, -10000.0f);

// The approach of a traversal end at the knot's first parameter, leaning
// across the entry towards -x (side -1, the first end) or +x (side 1, the
// second end). An end without an entry leaves the values as they are.
void ComputeTraversalApproach(float halfWidth, float side, const CKnotParams& knot, float approachLength,
                              float& localX, CPoint2& localDirection, float& cost)
{
    const float w = halfWidth;
    if (!(w > 0.0f))
        return;
    const float p0 = knot.params[0];
    localX = p0;
    localDirection = CPoint2(side * p0, -w);
    cost = ApproachPenalty(p0, w, 2.0f * w * w / (2.0f * w + approachLength), 0.0f);
}

}  // namespace

float ApproachPenalty(float x, float w, float s, float m)
{
    if (!(w > 0.0f) || !(m >= 0.0f)) {
        TRACE_VALUE(float, w);
        TRACE_VALUE(float, m);
        ReportFailure();
    }
    if (!(s > 0.0f)) {
        TRACE_VALUE(float, s);
        ReportFailure();
        s = 1.0f;
    }
    const float d = std::fabs(x) - m;
    if (d <= 0.0f)
        return 0.0f;
    if (d <= w)
        return d * d / (2.0f * s);
    return (2.0f * d - w) * w / (2.0f * s);
}

// ---- Knot ------------------------------------------------------------------------

float CKnotParams::Get(int index) const
{
    if (index < 0 || index > 1) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        return 0.0f;
    }
    return params[index];
}

void CKnotParams::Set(int index, float value)
{
    if (index < 0 || index > 1) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        return;
    }
    params[index] = value;
}

void CKnotParams::LimitPair(const CPoint2& from, CPoint2& inner, CPoint2& outer, const CPoint2& to)
{
    const CPoint2 chord = to - from;
    const float length = chord.Length();
    if (length == 0.0f) {
        inner = from;
        outer = from;
        return;
    }
    const CRotationFrame frame(from.x, from.y, chord.x, chord.y);
    const float along = frame.ToLocal(outer).y;
    const float limit = 0.4f * length;
    if (!(along > limit))
        return;
    const float factor = limit / along;
    inner = from + (inner - from) * factor;
    outer = from + (outer - from) * factor;
}

void CKnotParams::LimitHandles(CKnotParams& next)
{
    LimitPair(position, innerFront, outerFront, next.position);
    LimitPair(next.position, next.innerBack, next.outerBack, position);
}

// ---- End base --------------------------------------------------------------------

float CObstacleEnd::DistanceTo(float x, float y) const
{
    // The end's frame made once: a course read asks for the distances of
    // many ends.
    const CPoint2 p(x, y);
    return (p - ClosestEntryPoint(p)).Length();
}

int CObstacleEnd::GetParamCount() const
{
    return 0;
}

void CObstacleEnd::ComputeApproach(const CKnotParams& knot, float approachLength, float& localX,
                                   CPoint2& localDirection, float& innerDistance, float& cost) const
{
}

CPoint2 CObstacleEnd::ToLocal(const CPoint2& coursePoint) const
{
    return GetFrame().ToLocal(coursePoint);
}

CPoint2 CObstacleEnd::ToCourse(const CPoint2& localPoint) const
{
    return GetFrame().ToWorld(localPoint);
}

CPoint2 CObstacleEnd::IntersectEntryLine(const CPoint2& p, const CPoint2& v) const
{
    const CRotationFrame frame = GetFrame();
    CPoint2 local = frame.ToLocal(p);
    const CPoint2 along = frame.ToLocalVector(v);
    if (std::fabs(along.y) > 5.0f * std::fabs(along.x))
        local.x -= local.y * along.x / along.y;
    return frame.ToWorld(ClampAcross(local.x), 0.0f);
}

void CObstacleEnd::SetUpKnot(CKnotParams& knot) const
{
    TRACE_VALUE(int32_t, GetEndKind());
    // A knot of no size would put its handles at NaN, which the path would
    // then draw and store.
    if (!(knot.size > 0.0f) || !std::isfinite(knot.size)) {
        TRACE_VALUE(float, knot.size);
        ReportFailure();
        knot.size = kMinKnotSize;
    }
    const float approach = 2.8f * knot.size;
    float localX = 0.0f;
    CPoint2 localDirection = kStraightApproach;
    float innerDistance = 0.0f;
    float cost = 0.0f;
    ComputeApproach(knot, approach, localX, localDirection, innerDistance, cost);
    knot.cost = cost;

    const CRotationFrame frame = GetFrame();
    const CPoint2 p = frame.ToWorld(localX, 0.0f);
    CPoint2 u = frame.RotateVector(localDirection);
    float length = u.Length();
    if (!(length > 0.0f) || !std::isfinite(length) || !IsFinite(p)) {
        TRACE_VALUE(CPoint2, localDirection);
        ReportFailure();
        u = frame.RotateVector(kStraightApproach);
        length = u.Length();
    }
    u = u / length;
    knot.outerBack = p - u * (innerDistance + approach);
    knot.innerBack = p - u * innerDistance;
    knot.position = p;
    knot.innerFront = p + u * innerDistance;
    knot.outerFront = p + u * (innerDistance + approach);
}

// ---- First and second ends -----------------------------------------------------

int CFirstObstacleEnd::GetParamCount() const
{
    return halfWidth > 0.0f ? 1 : 0;
}

void CFirstObstacleEnd::ComputeApproach(const CKnotParams& knot, float approachLength, float& localX,
                                        CPoint2& localDirection, float& innerDistance, float& cost) const
{
    ComputeTraversalApproach(halfWidth, -1.0f, knot, approachLength, localX, localDirection, cost);
}

int CSecondObstacleEnd::GetParamCount() const
{
    return halfWidth > 0.0f ? 1 : 0;
}

void CSecondObstacleEnd::ComputeApproach(const CKnotParams& knot, float approachLength, float& localX,
                                         CPoint2& localDirection, float& innerDistance, float& cost) const
{
    ComputeTraversalApproach(halfWidth, 1.0f, knot, approachLength, localX, localDirection, cost);
}

// ---- Jump end ----------------------------------------------------------------------

float CJumpEnd::DistanceTo(float x, float y) const
{
    const CPoint2 local = ToLocal(CPoint2(x, y));
    if (local.x >= -halfWidth && local.x < halfWidth && local.y >= -halfDepth && local.y < halfDepth)
        return 0.0f;
    const CRectF rect(-halfWidth, -halfDepth, halfWidth, halfDepth);
    return (local - rect.ClampPoint(local)).Length();
}

int CJumpEnd::GetParamCount() const
{
    return halfWidth > 0.0f ? 2 : 0;
}

void CJumpEnd::ComputeApproach(const CKnotParams& knot, float approachLength, float& localX,
                               CPoint2& localDirection, float& innerDistance, float& cost) const
{
    const float inner = 1.6f * knot.size;
    innerDistance = inner;
    const float w = halfWidth;
    const float t = inner + approachLength;
    if (!(w > 0.0f))
        return;
    if (!(t > 0.0f)) {
        TRACE_VALUE(float, t);
        ReportFailure();
        return;
    }
    const float p0 = knot.params[0];
    const float p1 = knot.params[1];
    const float d = halfDepth;
    localX = p0;
    localDirection = CPoint2(p1, -t);
    cost = ApproachPenalty(p0, w, w * 0.25f, 0.0f) + ApproachPenalty(d * p1 / t, w, d * w / (2.0f * t), 0.0f);
}

// ---- Start and finish line end ---------------------------------------------------

CEndLineObstacleEnd::CEndLineObstacleEnd(CCourseObject* owner_, bool flag_)
    : CObstacleEnd(owner_, CPoint2(), CPoint2(1.0f, 0.0f), 0.0f), flag(flag_)
{
    if (owner != nullptr)
        owner->RegisterEnd(this, true);
}

int CEndLineObstacleEnd::GetParamCount() const
{
    return halfWidth > kMinApproachHalfWidth ? 2 : 0;
}

void CEndLineObstacleEnd::ComputeApproach(const CKnotParams& knot, float approachLength, float& localX,
                                          CPoint2& localDirection, float& innerDistance, float& cost) const
{
    const float w = halfWidth;
    if (!(w > kMinApproachHalfWidth))
        return;
    const float p0 = knot.params[0];
    const float p1 = knot.params[1];
    localX = p0;
    localDirection = CPoint2(p1, -approachLength);
    cost = ApproachPenalty(p1, approachLength, approachLength * 0.5f, 0.0f) +
           ApproachPenalty(p0, kMinApproachHalfWidth, 80.0f, w - kMinApproachHalfWidth);
}

void CEndLineObstacleEnd::SetFromVector(const CPoint2& v)
{
    const float length = v.Length();
    halfWidth = length - 400.0f > 0.0f ? length - 400.0f : 0.0f;
    direction = length >= 1.0f ? CPoint2(v.y, -v.x) : CPoint2(1.0f, 0.0f);
}
