#include "objects/annotations/Polyline.h"

#include <algorithm>
#include <cmath>

#include "foundation/CrashLog.h"
#include "foundation/Curve.h"
#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"

void CPolyline::AddPoint(float x, float y, bool fixed)
{
    CPointRecord point;
    point.x = x;
    point.y = y;
    m_points.push_back(point);
    if (fixed)
        SetKind(m_points.back(), kFixedByCaller);
}

bool CPolyline::IsValidIndex(int index) const
{
    if (index >= 0 && index < GetCount())
        return true;
    TRACE_VALUE(int32_t, index);
    ReportFailure();
    return false;
}

void CPolyline::SetKind(CPointRecord& point, EFixedKind kind)
{
    m_fixedCount += (kind != kFree ? 1 : 0) - (point.kind != kFree ? 1 : 0);
    point.kind = kind;
}

void CPolyline::RemovePoint(int index)
{
    if (!IsValidIndex(index))
        return;
    SetKind(m_points[size_t(index)], kFree);
    m_points.erase(m_points.begin() + index);
}

CPoint2 CPolyline::GetPoint(int index) const
{
    if (!IsValidIndex(index))
        return CPoint2();
    const CPointRecord& point = m_points[size_t(index)];
    return CPoint2(point.x, point.y);
}

CPolyline::EFixedKind CPolyline::GetFixedKind(int index) const
{
    return IsValidIndex(index) ? m_points[size_t(index)].kind : kFree;
}

void CPolyline::SetPoint(int index, float x, float y)
{
    if (!IsValidIndex(index))
        return;
    m_points[size_t(index)].x = x;
    m_points[size_t(index)].y = y;
}

void CPolyline::SetFixed(int index, bool fixed)
{
    if (IsValidIndex(index))
        SetKind(m_points[size_t(index)], fixed ? kFixedByCaller : kFree);
}

float CPolyline::GetLength(int index) const
{
    return IsValidIndex(index) ? m_points[size_t(index)].length : 0.0f;
}

int CPolyline::NextFixed(int index) const
{
    for (int i = std::max(index, -1) + 1; i < GetCount(); ++i) {
        if (m_points[size_t(i)].kind != kFree)
            return i;
    }
    return GetCount();
}

int CPolyline::PrevFixed(int index) const
{
    for (int i = std::min(index, GetCount()) - 1; i >= 0; --i) {
        if (m_points[size_t(i)].kind != kFree)
            return i;
    }
    return -1;
}

void CPolyline::UpdateLengths(float tolerance, bool keepBetweenFixed)
{
    if (!(tolerance >= 0.0f)) {
        TRACE_VALUE(float, tolerance);
        ReportFailure();
    }
    if (m_points.empty())
        return;
    float length = 0.0f;
    for (size_t i = 0; i < m_points.size(); ++i) {
        if (i > 0) {
            const float step = Hypot(m_points[i].x - m_points[i - 1].x, m_points[i].y - m_points[i - 1].y);
            length += step;
            if (!(step >= 0.0f) || !(length >= 0.0f)) {
                TRACE_VALUE(float, step);
                ReportFailure();
            }
        }
        m_points[i].length = length;
    }
    for (CPointRecord* end : {&m_points.front(), &m_points.back()}) {
        if (end->kind == kFree)
            SetKind(*end, kFixedEnd);
    }
    // Every pass that changes something fixes one more free point, so the
    // loop ends.
    if (!ThinPass(tolerance, keepBetweenFixed))
        return;
    while (ThinPass(tolerance, false)) {
    }
}

bool CPolyline::ThinPass(float tolerance, bool keepBetweenFixed)
{
    bool changed = false;
    int before = -1;
    int a = 0;
    int b = NextFixed(0);
    int after = NextFixed(b);
    while (b < GetCount()) {
        int candidate = -1;
        int next = a;
        if (b - a >= 2) {
            const bool fits = SpanFits(before, a, b, after, tolerance, candidate);
            const bool keep = keepBetweenFixed && m_points[size_t(a)].kind == kFixedByCaller &&
                              m_points[size_t(b)].kind == kFixedByCaller;
            if (!fits || keep) {
                SetKind(m_points[size_t(candidate)], kKeptByThinning);
                next = candidate;
                changed = changed || !fits;
            }
        }
        before = next;
        a = b;
        b = after;
        after = NextFixed(after);
    }
    return changed;
}

bool CPolyline::SpanFits(int before, int a, int b, int after, float tolerance, int& candidate) const
{
    const CPointRecord& start = m_points[size_t(a)];
    const CPointRecord& end = m_points[size_t(b)];
    CCurveGeometry curve;
    curve.p0 = CPoint2(start.x, start.y);
    curve.p3 = CPoint2(end.x, end.y);
    CPoint2 beforePoint;
    CPoint2 afterPoint;
    if (before >= 0)
        beforePoint = CPoint2(m_points[size_t(before)].x, m_points[size_t(before)].y);
    if (after < GetCount())
        afterPoint = CPoint2(m_points[size_t(after)].x, m_points[size_t(after)].y);
    curve.SetHandles(before >= 0 ? &beforePoint : nullptr, after < GetCount() ? &afterPoint : nullptr);

    const float mid = (start.length + end.length) * 0.5f;
    const float span = end.length - start.length;
    float best = span + 1.0f;
    bool fits = true;
    for (int j = a + 1; j < b; ++j) {
        const CPointRecord& point = m_points[size_t(j)];
        const float d = std::fabs(point.length - mid);
        if (d < best) {
            best = d;
            candidate = j;
        }
        if (!fits)
            continue;
        const float t = span > 0.0f ? (point.length - start.length) / span : 0.5f;
        CPoint2 onCurve;
        CPoint2 tangent;
        curve.Evaluate(t, &onCurve, &tangent, nullptr);
        float error;
        if (tangent.Length() >= 2.0f)
            error = std::fabs(CRotationFrame(onCurve.x, onCurve.y, tangent.x, tangent.y).ToLocal(point.x, point.y).x);
        else
            error = Hypot(point.x - onCurve.x, point.y - onCurve.y);
        if (error > tolerance)
            fits = false;
    }
    // A span whose lengths are no numbers finds no nearer point: its first
    // free point stands in.
    if (candidate < 0)
        candidate = a + 1;
    return fits;
}
