#include "objects/equipment/TunnelGeometry.h"

#include <cmath>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"

void CTunnelGeometry::ApplyVariant(std::istream& words)
{
    TRACE_VALUE(int32_t, int32_t(GetKind()));
    ReportFailure();
}

void CTunnelGeometry::SetDiameter(float diameter)
{
    m_diameter = diameter >= kMinDiameter ? diameter : kMinDiameter;
}

void CTunnelGeometry::TakeLegacyLength()
{
    if (m_legacyLength > 0)
        m_length = float(m_legacyLength);
}

namespace {

template <typename Points>
void SegmentCurve(const Points& points, int index, CCurveGeometry& curve)
{
    const int count = int(points.size());
    if (index < 0 || index >= count - 1) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        return;
    }
    curve.p0 = points[size_t(index)];
    curve.p3 = points[size_t(index) + 1];
    curve.SetHandles(index > 0 ? &points[size_t(index) - 1] : nullptr,
                     index != count - 2 ? &points[size_t(index) + 2] : nullptr);
}

}  // namespace

void CTunnelGeometry::GetSegmentCurve(const std::deque<CPoint2>& points, int index, CCurveGeometry& curve)
{
    SegmentCurve(points, index, curve);
}

void CTunnelGeometry::GetSegmentCurve(const std::vector<CPoint2>& points, int index, CCurveGeometry& curve)
{
    SegmentCurve(points, index, curve);
}

void CTunnelGeometry::GetSegmentCurve(const CTunnelPoints& points, int index, CCurveGeometry& curve)
{
    SegmentCurve(points, index, curve);
}

void DrawTunnelMouths(CGraphicsContext& context, const CPoint2& firstLeft, const CPoint2& firstRight,
                      const CPoint2& lastLeft, const CPoint2& lastRight)
{
    const auto addMouth = [&context](const CPoint2& l, const CPoint2& r) {
        const CPoint2 e = CPoint2(r.y - l.y, l.x - r.x) / 6.0f;
        context.MoveTo(r);
        context.AddBezier(r + e, l + e, l);
        context.AddBezier(l - e, r - e, r);
    };
    context.BeginPath(true, true, 1);
    addMouth(firstLeft, firstRight);
    addMouth(lastLeft, lastRight);
    context.EndPath();
}

void SetTunnelPathHeight(CGraphicsContext& context, float height)
{
    context.m_state.fillZ = height;
    context.m_state.strokeZ = height;
}
