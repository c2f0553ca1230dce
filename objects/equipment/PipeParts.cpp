#include "objects/equipment/PipeParts.h"

#include <cmath>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "objects/equipment/PartDrawing.h"

namespace {

constexpr int kPipeSegments = 16;
// 2 pi / 16.
constexpr float kPipeSegmentAngle = 0.3926991f;

}  // namespace

// ---- Joint ---------------------------------------------------------------------------

CPipeJointPart::CPipeJointPart(float diameter, int color) : m_diameter(diameter), m_color(color)
{
    WriteKey();
}

CPipeJointPart::CPipeJointPart(float diameter, int color, bool side, bool both)
    : m_diameter(diameter), m_color(color), m_ball(true), m_stubBelow(both), m_sideStub(side)
{
    WriteKey();
}

CPipeJointPart::CPipeJointPart(float diameter, int color, bool stubs)
    : m_diameter(diameter),
      m_color(color),
      m_ball(true),
      m_stubBelow(true),
      m_sideStub(stubs),
      m_sideStubBoth(stubs),
      m_stubBack(!stubs)
{
    WriteKey();
}

void CPipeJointPart::WriteKey()
{
    CFieldWriter& key = BeginKey();
    key.WriteFloat16(m_diameter);
    key.WriteInt8(m_color);
    for (bool flag : {m_ball, m_stubBelow, m_sideStub, m_sideStubBoth, m_stubBack, m_hollow})
        key.WriteInt8(flag ? 1 : 0);
}

float CPipeJointPart::GetExtent() const
{
    return m_ball ? 1.5f * m_diameter : m_diameter;
}

void CPipeJointPart::DrawStub(CGraphicsContext& context, float z0) const
{
    const float outer = 0.6f * m_diameter;
    const float z1 = z0 + GetExtent();
    if (!m_hollow) {
        const bool caps = z0 != 0.0f;
        context.DrawCylinder(outer, z0, z1, kPipeSegments, caps, caps, false, 0, 0);
        return;
    }
    const float inner = 0.5f * m_diameter;
    context.DrawCylinder(outer, z0, z1, kPipeSegments, false, false, false, 0, 0);
    context.SetBrightness(0.5f);
    context.DrawCylinder(inner, z0, z1, kPipeSegments, false, false, true, 0, 0);
    context.SetBrightness(1.0f);
    context.DrawRing(inner, outer, kPipeSegments, z1, false, 0, 0);
    if (z0 < 0.0f)
        context.DrawRing(inner, outer, kPipeSegments, z0, true, 0, 0);
}

void CPipeJointPart::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    SetPaletteColor(context, m_color);
    const float extent = GetExtent();
    if (m_ball && !m_stubBelow)
        context.DrawSphere(0.6f * m_diameter, kPipeSegments, 0, 0, 0, 0, false);

    if (m_ball)
        DrawStub(context, m_stubBack ? -extent : 0.0f);
    else
        DrawStub(context, -0.1f * m_diameter);

    if (m_ball) {
        context.m_state.matrix.SetRotationY(90.0f);
        DrawStub(context, m_stubBelow ? -extent : 0.0f);
    } else if (m_stubBelow) {
        TRACE_POINT();
        ReportFailure();
    }

    if (m_sideStub) {
        context.m_state.matrix.SetRotationX(-90.0f);
        DrawStub(context, m_sideStubBoth ? -extent : 0.0f);
    } else if (m_sideStubBoth) {
        TRACE_POINT();
        ReportFailure();
    }
}

// ---- Pipe ------------------------------------------------------------------------------

CDiscPart::CDiscPart(float length, float diameter, int color, const CPipeJointPart* joint)
    : m_length(length), m_diameter(diameter), m_color(color), m_drawnLength(length)
{
    if (joint != nullptr) {
        m_cap = 0.2f * diameter;
        m_drawnLength = length - (joint->GetExtent() + m_cap);
    }
    CFieldWriter& key = BeginKey();
    key.WriteFloat16(m_diameter);
    key.WriteInt8(m_color);
    key.WriteFloat16(m_cap);
    key.WriteFloat16(m_drawnLength);
}

void CDiscPart::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    SetPaletteColor(context, m_color);
    const float r = 0.5f * m_diameter;
    context.DrawCylinder(r, 0.0f, m_drawnLength, kPipeSegments, false, false, false, 0, 0);
    if (!(m_cap > 0.0f))
        return;
    // The collar that meets the joint.
    context.BeginVertices(2, false, 2);
    for (int i = 0; i <= kPipeSegments; ++i) {
        const float a = float(i % kPipeSegments) * kPipeSegmentAngle;
        const float c = std::cos(a);
        const float s = std::sin(a);
        context.SetNormal(CVector3(c, s, 0.0f), true);
        context.AddVertex(CVector3(r * c, r * s, m_drawnLength));
        context.SetNormal(CVector3(0.0f, 0.0f, -1.0f), true);
        context.AddVertex(CVector3(r * c, r * s, m_drawnLength + m_cap));
    }
    context.EndVertices();
}
