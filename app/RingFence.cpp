#include "app/RingFence.h"

#include <cstdint>

#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/PipeParts.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;

// Draws an item through the context's matrix followed by a placement.
void DrawPlaced(CGraphicsContext& context, CDrawable& item, const CTransform& place)
{
    CTransform& matrix = context.m_state.matrix;
    const CTransform saved = matrix;
    matrix = CTransform(saved, place);
    context.DrawDrawable(item, 0, 0);
    matrix = saved;
}

CTransform At(float x, float y, float z, float turnZ)
{
    CTransform place;
    place.RotateZ(turnZ);
    place.SetTranslation(x, y, z);
    return place;
}

}  // namespace

// ---- Fence ------------------------------------------------------------------------

float CRingFence::GetPostSpacing(bool metric, int32_t metricGridSpacing)
{
    if (!metric)
        return 1200.0f;
    const int32_t metres = metricGridSpacing < 3 || metricGridSpacing > 5 ? 4 : metricGridSpacing;
    return float(metres) * 1000.0f / 2.54f;
}

float CRingFence::GetLinePostStart(float length, int originCode)
{
    switch (originCode) {
    case 0:
        return 0.0f;
    case 1:
        return length / 2.0f;
    case 2:
        return length;
    default:
        TRACE_VALUE(int32_t, originCode);
        ReportFailure();
        return 0.0f;
    }
}

CRingFence::CRingFence(CCourse& course)
    : m_width(course.GetWidth()),
      m_height(course.GetHeight()),
      m_originCodeX(course.GetDisplayOriginX()),
      m_originCodeY(course.GetDisplayOriginY()),
      m_postSpacing(GetPostSpacing(course.IsMetric(), course.GetMetricGridSpacing()))
{
    CFieldWriter& key = BeginKey();
    key.WriteFloat16(m_width);
    key.WriteFloat16(m_height);
    key.WriteInt8(m_originCodeX);
    key.WriteInt8(m_originCodeY);
    key.WriteFloat16(m_postSpacing);
}

void CRingFence::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    const float w = m_width;
    const float h = m_height;

    CRope across(w);
    CRope down(h);
    for (float z : {kRopeLow, kRopeHigh}) {
        DrawPlaced(context, across, At(0.0f, 0.0f, z, 0.0f));
        DrawPlaced(context, across, At(0.0f, -h, z, 0.0f));
        DrawPlaced(context, down, At(0.0f, 0.0f, z, -90.0f));
        DrawPlaced(context, down, At(w, 0.0f, z, -90.0f));
    }

    CPost corner(true);
    DrawPlaced(context, corner, At(0.0f, 0.0f, 0.0f, 0.0f));
    DrawPlaced(context, corner, At(w, 0.0f, 0.0f, -90.0f));
    DrawPlaced(context, corner, At(w, -h, 0.0f, 180.0f));
    DrawPlaced(context, corner, At(0.0f, -h, 0.0f, 90.0f));

    CPost line(false);
    ForEachLinePost(w, m_originCodeX, m_postSpacing, [&](float x) {
        DrawPlaced(context, line, At(x, 0.0f, 0.0f, 0.0f));
        DrawPlaced(context, line, At(x, -h, 0.0f, 0.0f));
    });
    ForEachLinePost(h, m_originCodeY, m_postSpacing, [&](float y) {
        DrawPlaced(context, line, At(0.0f, -y, 0.0f, 90.0f));
        DrawPlaced(context, line, At(w, -y, 0.0f, 90.0f));
    });
}

// ---- Rope -------------------------------------------------------------------------

CRope::CRope(float length) : m_length(length)
{
    CFieldWriter& key = BeginKey();
    key.WriteFloat16(m_length);
}

void CRope::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    constexpr float kRadius = 5.0f;
    CGraphicsState& state = context.m_state;
    CTransform& matrix = state.matrix;
    const CTransform saved = matrix;

    context.SetColor(kWhite);
    // The tube runs along the cylinder's z, turned onto +x.
    CTransform tube;
    tube.RotateY(90.0f);
    matrix = CTransform(saved, tube);
    context.DrawCylinder(kRadius, 0.0f, m_length, 8, false, false, false, 0, 0);

    context.SetDashStyle(0);
    state.penColor = kWhite;
    state.penWidth = 4.0f;
    state.strokeZ = kRadius;
    for (float turn : {-30.0f, 30.0f}) {
        CTransform strand;
        strand.RotateX(turn);
        matrix = CTransform(saved, strand);
        context.BeginLine(1);
        context.MoveTo(0.0f, 0.0f);
        context.LineTo(m_length, 0.0f);
        context.EndPath();
    }
    matrix = saved;
}

// ---- Post -------------------------------------------------------------------------

CPost::CPost(bool corner) : m_corner(corner)
{
    CFieldWriter& key = BeginKey();
    key.WriteInt8(m_corner ? 1 : 0);
}

void CPost::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    CPipeJointPart holder =
        m_corner ? CPipeJointPart(kDiameter, kColor, true, true) : CPipeJointPart(kDiameter, kColor, false);
    CPipeJointPart plain(kDiameter, kColor);
    const float e = holder.GetExtent();
    const float p = plain.GetExtent();
    const float low = CRingFence::kRopeLow;
    const float high = CRingFence::kRopeHigh;

    CDiscPart lowerPipe(low, kDiameter, kColor, &holder);
    CDiscPart upperPipe(high - (low + e), kDiameter, kColor, &holder);

    DrawPlaced(context, plain, At(0.0f, 0.0f, 0.0f, 0.0f));
    DrawPlaced(context, lowerPipe, At(0.0f, 0.0f, 0.0f, 0.0f));
    DrawPlaced(context, upperPipe, At(0.0f, 0.0f, low + e, 0.0f));

    CTransform cap;
    cap.RotateX(180.0f);
    cap.SetTranslation(0.0f, 0.0f, high + e + p);
    DrawPlaced(context, plain, cap);

    for (float z : {low, high}) {
        CTransform hold;
        hold.RotateY(90.0f);
        hold.RotateZ(180.0f);
        hold.SetTranslation(0.0f, 0.0f, z);
        DrawPlaced(context, holder, hold);
    }
}
