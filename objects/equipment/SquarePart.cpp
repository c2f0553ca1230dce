#include "objects/equipment/SquarePart.h"

#include "course/ColorPalette.h"
#include "course/CourseObject.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"

CSquarePart::CSquarePart(const CCourseObject& object, float size)
    : m_halfSize(0.5f * size),
      m_fillIndex(object.GetOutlineColorIndex()),
      m_penIndex(object.GetPrimaryColorIndex()),
      m_greyed(object.GetDisplayState() == CCourseObject::kGrey)
{
    CFieldWriter& key = BeginKey();
    key.WriteFloat16(m_halfSize);
    key.WriteInt8(m_fillIndex);
    key.WriteInt8(m_penIndex);
    key.WriteInt8(m_greyed ? 1 : 0);
}

void CSquarePart::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    const CColorPalette& palette = CColorPalette::GetInstance();
    CGraphicsState& state = context.m_state;
    context.SetDashStyle(0);
    state.penColor = palette.GetColor(m_penIndex);
    state.penWidth = 30.0f;
    state.hatchScale = 10.0f;
    context.SetFillPattern(m_greyed ? 1 : 0);
    state.fillColor = palette.GetColor(m_fillIndex);
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(-m_halfSize, -m_halfSize, m_halfSize, m_halfSize));
    context.EndPath();
}
