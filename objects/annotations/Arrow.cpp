#include "objects/annotations/Arrow.h"

#include <cmath>

#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"

CArrow::CArrow(float x, float y) : m_tip(RoundHalfUp(x), RoundHalfUp(y)), m_tail(m_tip)
{
    UpdateKey();
}

void CArrow::UpdateKey()
{
    CFieldWriter& key = BeginKey();
    key.WritePoint(m_tip);
    key.WritePoint(m_tail);
}

void CArrow::SetTail(float x, float y)
{
    m_tail = CPoint2(RoundHalfUp(x), RoundHalfUp(y));
    UpdateKey();
}

void CArrow::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    const CPoint2 v = m_tip - m_tail;
    const float length = v.Length();
    if (!(length > kShortest) || !std::isfinite(length))
        return;
    CGraphicsState& state = context.m_state;
    state.strokeZ = 0.1f;
    state.penColor = 0xFF000000;
    context.SetDashStyle(0);
    state.penWidth = 30.0f;
    context.BeginLine(1);
    context.MoveTo(m_tail);
    context.LineTo(m_tip - v * (kShortest / length));
    context.EndPath();
    context.DrawArrowHead(m_tip.x, m_tip.y, v.x, v.y, kHeadLength);
}
