#include "objects/equipment/TunnelBodyGeometry.h"

#include <algorithm>
#include <cmath>

#include "course/CourseObject.h"
#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"

namespace {

// Parts of the tunnel's colour set: the fabric and the bands at the hoops.
constexpr int kFabricPart = 30;
constexpr int kHoopPart = 31;

// A ring is a row of the 3D strip: 32 steps round, the first vertex again.
constexpr int kRingSteps = 32;

// The rectangle grown by d on every side.
CRectF Widened(const CRectF& r, float d) { return CRectF(r.left - d, r.top - d, r.right + d, r.bottom + d); }

}  // namespace

CTunnelBodyGeometry::CTunnelBodyGeometry(CCourseObject& owner) : CTunnelGeometry(owner)
{
    SetDiameter(m_diameter);
}

void CTunnelBodyGeometry::SetDiameter(float diameter)
{
    CTunnelGeometry::SetDiameter(diameter);
    m_radius = m_diameter / 2.0f;
    m_quarter = m_radius / 2.0f;
    m_seam = m_quarter / 6.0f;
    m_minBendRadius = 2.0f * m_radius * m_quarter / (m_quarter - m_seam);
    m_minInnerRadius = m_minBendRadius - m_radius;
}

float CTunnelBodyGeometry::GetLargestAngle(float outerLength) const
{
    return outerLength / m_minBendRadius * CTransform::kDegreesPerRadian;
}

CTunnelSection CTunnelBodyGeometry::MakeSection(float angle, float outerLength) const
{
    // The radius first, so that the angle works out the allowance once.
    CTunnelSection section;
    section.radius = m_radius;
    section.SetAngle(angle);
    section.outerLength = outerLength;
    return section;
}

const std::vector<CPoint2>& CTunnelBodyGeometry::GetLeftHoops() const
{
    LayHoops();
    return m_leftHoops;
}

const std::vector<CPoint2>& CTunnelBodyGeometry::GetRightHoops() const
{
    LayHoops();
    return m_rightHoops;
}

void CTunnelBodyGeometry::LayHoops() const
{
    if (m_hoopsValid)
        return;
    m_hoopsValid = true;
    m_leftHoops.clear();
    m_rightHoops.clear();
    // A new tunnel has no sections until a dialog, a conversion or a record
    // shapes it.
    if (m_sections.empty())
        return;
    float outerTotal = 0.0f;
    float compressedTotal = 0.0f;
    for (const CTunnelSection& section : m_sections) {
        outerTotal += section.outerLength;
        compressedTotal += section.GetInnerLength() * m_quarter / m_seam;
    }
    // A section bent as far as it may be compresses to exactly its outer
    // length; rounding must not make that a fault.
    if (!(outerTotal > 0.0f) || !(compressedTotal > 0.0f) || compressedTotal < outerTotal * 0.99999f) {
        TRACE_VALUE(float, outerTotal);
        TRACE_VALUE(float, compressedTotal);
        ReportFailure();
    }

    float innerWeight = 0.0f;
    float outerWeight = 1.0f;
    float laid = outerTotal;
    if (outerTotal < m_length) {
        if (m_length < compressedTotal) {
            innerWeight = (m_length - outerTotal) / (compressedTotal - outerTotal);
            outerWeight = 1.0f - innerWeight;
            laid = m_length;
        } else {
            innerWeight = 1.0f;
            outerWeight = 0.0f;
            laid = compressedTotal;
        }
    }
    const float wanted = std::floor(laid / m_quarter + 1.0001f);
    const int count = wanted >= float(kMaxHoops) ? kMaxHoops : (wanted > 2.0f ? int(wanted) : 2);

    m_leftHoops.reserve(size_t(count));
    m_rightHoops.reserve(size_t(count));
    m_leftHoops.emplace_back(0.0f, -m_radius);
    m_rightHoops.emplace_back(0.0f, m_radius);
    CTransform frame;
    CTunnelSection current = MakeSection(0.0f, 0.0f);
    int index = -1;
    float outerSoFar = 0.0f;
    float compressedSoFar = 0.0f;
    float blended = 0.0f;
    float previous = 0.0f;
    const int last = int(m_sections.size()) - 1;
    for (int k = 1; k < count; ++k) {
        const float target = float(k) * laid / float(count - 1);
        while (blended < target && index < last) {
            current.Advance(frame, 1.0f);
            current = m_sections[size_t(++index)];
            previous = blended;
            outerSoFar += current.outerLength;
            compressedSoFar += current.GetInnerLength() * m_quarter / m_seam;
            blended = innerWeight * compressedSoFar + outerWeight * outerSoFar;
        }
        const float t = blended != previous ? (target - previous) / (blended - previous) : 0.0f;
        CPoint2 left;
        CPoint2 right;
        current.GetAcross(t, m_radius, left, right);
        m_leftHoops.push_back(frame.TransformPoint2D(left));
        m_rightHoops.push_back(frame.TransformPoint2D(right));
    }
}

CCurveGeometry CTunnelBodyGeometry::GetSeamCurve(const std::vector<CPoint2>& hoops, int index) const
{
    CCurveGeometry curve;
    curve.p0 = hoops[size_t(index)];
    curve.p3 = hoops[size_t(index) + 1];
    const CPoint2 d = curve.p3 - curve.p0;
    const float length = d.Length();
    if (2.0f * length < 0.0001f) {
        curve.p1 = curve.p0;
        curve.p2 = curve.p3;
    } else {
        const CPoint2 halfSeam = d * (m_seam / (2.0f * length));
        curve.p1 = curve.p0 + halfSeam;
        curve.p2 = curve.p3 - halfSeam;
    }
    return curve;
}

bool CTunnelBodyGeometry::MissesClip(const CGraphicsContext& context) const
{
    if (!m_reachValid) {
        m_reachValid = true;
        m_reach.clear();
        CTransform frame;
        float outerTotal = 0.0f;
        for (const CTunnelSection& section : m_sections) {
            outerTotal += section.outerLength;
            const CPoint2 start = frame.GetPosition2D();
            section.Advance(frame, 1.0f);
            const CPoint2 end = frame.GetPosition2D();
            // An arc of length l over a chord c lies within the ellipse on
            // the chord's ends with major axis l, which lies within
            // sqrt(l^2 - c^2) / 2 of the chord.
            const float length = std::fabs(section.GetCentreLength());
            const float chord = (end - start).Length();
            const float bulge = 0.5f * std::sqrt(std::max(length * length - chord * chord, 0.0f));
            if (!std::isfinite(start.x) || !std::isfinite(start.y) || !std::isfinite(end.x) ||
                !std::isfinite(end.y) || !std::isfinite(bulge)) {
                // A body that is no number is never passed over.
                m_reach.clear();
                break;
            }
            m_reach.push_back(CRectF(std::min(start.x, end.x) - bulge, std::min(start.y, end.y) - bulge,
                                     std::max(start.x, end.x) + bulge, std::max(start.y, end.y) + bulge));
        }
        // A quad, its seams and a mouth lie within the radius of the straight
        // line between the centres of two neighbouring hoops, which lie no
        // farther apart along the centre line than the hoops are spaced: at
        // most two quarters, or the fabric spread over kMaxHoops. Far apart
        // (a body much longer than its fabric), a quad cuts across a bend
        // well away from the sections' boxes.
        const float spacing = std::max(2.0f * m_quarter, std::max(outerTotal, m_length) / float(kMaxHoops - 1));
        for (CRectF& box : m_reach)
            box = Widened(box, m_radius + 0.5f * spacing);
    }
    if (m_reach.empty())
        return false;
    // The boxes widened by the pen, a stretch at a time.
    const float reach = std::max(context.m_state.penWidth, 0.0f);
    CRectF drawn[kStretchQuads];
    for (size_t first = 0; first < m_reach.size(); first += kStretchQuads) {
        const size_t count = std::min(m_reach.size() - first, size_t(kStretchQuads));
        for (size_t i = 0; i < count; ++i)
            drawn[i] = Widened(m_reach[first + i], reach);
        if (!context.MissesClip(drawn, count))
            return false;
    }
    return true;
}

void CTunnelBodyGeometry::FindDrawnStretches(const CGraphicsContext& context, bool* drawn) const
{
    // A quad lies within the bounds of its four hoop points; its seams and
    // their joins within a pen's width of them.
    const float reach = std::max(context.m_state.penWidth, 0.0f);
    const size_t quads = m_leftHoops.size() - 1;
    CRectF bounds[kStretchQuads];
    for (size_t first = 0; first < quads; first += kStretchQuads) {
        const size_t count = std::min(quads - first, size_t(kStretchQuads));
        // A point that is no number could lie anywhere.
        bool finite = true;
        for (size_t i = 0; i < count; ++i) {
            const size_t q = first + i;
            const CPoint2 corners[4] = {m_leftHoops[q], m_rightHoops[q], m_leftHoops[q + 1], m_rightHoops[q + 1]};
            CRectF quad(corners[0].x, corners[0].y, corners[0].x, corners[0].y);
            for (const CPoint2& p : corners) {
                finite = finite && std::isfinite(p.x) && std::isfinite(p.y);
                quad.Include(p);
            }
            bounds[i] = Widened(quad, reach);
        }
        drawn[first / kStretchQuads] = !finite || !context.MissesClip(bounds, count);
    }
}

void CTunnelBodyGeometry::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    if (MissesClip(context))
        return;
    LayHoops();
    if (m_leftHoops.size() < 2)
        return;
    // Quad i lies between hoops i and i + 1; a stretch of quads none of
    // which reaches the clip box changes no pixel there, and the seams
    // broken within it leave their ends and joins as far away.
    bool drawn[(kMaxHoops + kStretchQuads - 1) / kStretchQuads];
    FindDrawnStretches(context, drawn);
    const auto isDrawn = [&drawn](size_t quad) { return drawn[quad / kStretchQuads]; };

    SetTunnelPathHeight(context, 0.0f);
    context.m_state.fillColor = m_owner.GetPrimaryColor();
    context.BeginPath(false, true, 0);
    for (size_t i = 1; i < m_leftHoops.size(); ++i) {
        if (!isDrawn(i - 1))
            continue;
        context.MoveTo(m_leftHoops[i - 1]);
        context.LineTo(m_rightHoops[i - 1]);
        context.LineTo(m_rightHoops[i]);
        context.LineTo(m_leftHoops[i]);
    }
    context.EndPath();

    SetTunnelPathHeight(context, 0.2f);
    context.BeginLine(1);
    for (const std::vector<CPoint2>* side : {&m_leftHoops, &m_rightHoops}) {
        bool open = false;
        for (size_t i = 1; i < side->size(); ++i) {
            if (!isDrawn(i - 1)) {
                open = false;
                continue;
            }
            if (!open)
                context.MoveTo((*side)[i - 1]);
            open = true;
            context.LineTo((*side)[i]);
        }
    }
    context.EndPath();

    context.m_state.fillColor = m_owner.GetSecondaryColor();
    DrawTunnelMouths(context, m_leftHoops.front(), m_rightHoops.front(), m_leftHoops.back(), m_rightHoops.back());
}

void CTunnelBodyGeometry::Build3D(CGraphicsContext& context)
{
    TRACE_POINT();
    LayHoops();
    const int count = int(m_leftHoops.size());
    if (count < 2)
        return;
    const uint32_t fabric = m_owner.GetPartColor(kFabricPart);
    const uint32_t band = m_owner.GetPartColor(kHoopPart);

    context.BeginVertices(2, false, kRingSteps + 1);
    for (int i = 0; i <= count - 2; ++i) {
        const CCurveGeometry l = GetSeamCurve(m_leftHoops, i);
        const CCurveGeometry r = GetSeamCurve(m_rightHoops, i);
        if (i > 0)
            AddRing(context, l.p1, r.p1, band, false);
        AddRing(context, i == 0 ? l.p0 : l.p1, i == 0 ? r.p0 : r.p1, fabric, false);
        if (i < count - 2) {
            AddRing(context, l.p2, r.p2, fabric, false);
            AddRing(context, l.p2, r.p2, band, false);
        } else {
            AddRing(context, l.p3, r.p3, fabric, false);
        }
    }
    context.EndVertices();

    context.BeginVertices(2, true, kRingSteps + 1);
    for (int i = 0; i <= count - 2; ++i) {
        const CCurveGeometry l = GetSeamCurve(m_leftHoops, i);
        const CCurveGeometry r = GetSeamCurve(m_rightHoops, i);
        AddRing(context, i == 0 ? l.p0 : l.p1, i == 0 ? r.p0 : r.p1, fabric, true);
        AddRing(context, i == count - 2 ? l.p3 : l.p2, i == count - 2 ? r.p3 : r.p2, fabric, true);
    }
    context.EndVertices();
}

void CTunnelBodyGeometry::AddRing(CGraphicsContext& context, const CPoint2& left, const CPoint2& right,
                                  uint32_t color, bool inside) const
{
    const CPoint2 c = (left + right) * 0.5f;
    context.SetColor(color);
    if (inside) {
        // The inside is brightest at the mouths and darkens towards the
        // middle.
        const float d0 = (c - (m_leftHoops.front() + m_rightHoops.front()) * 0.5f).Length();
        const float dn = (c - (m_leftHoops.back() + m_rightHoops.back()) * 0.5f).Length();
        const auto light = [this](float d) { return m_radius * m_radius / ((m_radius + d) * 2.0f * (m_radius + d)); };
        context.SetBrightness((light(d0) + light(dn)) * 0.9f + 0.1f);
    }
    const CPoint2 h = (right - left) * 0.5f;
    const float s = inside ? -1.0f : 1.0f;
    const float halfWidth = h.Length();
    const CPoint2 u = halfWidth > 0.0f ? h * (s / halfWidth) : CPoint2();
    const float step = 2.0f * 3.1415925f / float(kRingSteps);
    for (int k = 0; k <= kRingSteps; ++k) {
        const float a = float(k % kRingSteps) * step;
        const float cosA = std::cos(a);
        const float sinA = std::sin(a);
        context.SetNormal(CVector3(u.x * cosA, -u.y * cosA, s * sinA), false);
        context.AddVertex(CVector3(c.x + h.x * cosA, -(c.y + h.y * cosA), (sinA + 1.0f) * m_radius));
    }
    context.SetBrightness(1.0f);
}

void CTunnelBodyGeometry::Flip()
{
    for (CTunnelSection& section : m_sections)
        section.SetAngle(-section.angle);
    InvalidateOutline();
    CTransform placement = m_owner.GetPlacement();
    placement.SetRotationZ(placement.GetRotation() - 180.0f);
    m_owner.SetPlacement(placement);
}

void CTunnelBodyGeometry::ResetShape()
{
    for (CTunnelSection& section : m_sections)
        section.SetAngle(0.0f);
    InvalidateOutline();
    m_owner.Invalidate();
}

void CTunnelBodyGeometry::GetEnd(CPoint2& point, int index) const
{
    if (index < 0 || index > int(m_sections.size())) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        return;
    }
    CTransform frame;
    for (int i = 0; i < index; ++i)
        m_sections[size_t(i)].Advance(frame, 1.0f);
    point = frame.GetPosition2D();
}

void CTunnelBodyGeometry::GetAnchor(CPoint2& point, int index) const
{
    if (index > 0)
        GetEnd(point, int(m_sections.size()));
    else
        point = CPoint2();
}

void CTunnelBodyGeometry::GetFarEnd(CPoint2& point, CPoint2& direction) const
{
    CTransform frame;
    for (const CTunnelSection& section : m_sections)
        section.Advance(frame, 1.0f);
    point = frame.GetPosition2D();
    direction = frame.TransformVector2D(10000.0f, 0.0f);
}

float CTunnelBodyGeometry::GetLength() const
{
    float length = 0.0f;
    for (const CTunnelSection& section : m_sections)
        length += section.GetCentreLength();
    return length;
}
