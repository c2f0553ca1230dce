#include "objects/annotations/DogPathDrawable.h"

#include <cmath>

#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/annotations/PathColorPalette.h"

namespace {

// cos 45 degrees, and the handle lengths of a quarter-turn arc as a cubic
// (the lobe's a little longer).
const float kS = std::sqrt(0.5f);
const float kC = (1.0f - kS) * 4.0f / 3.0f;
const float kLobeC = (1.0f - kS) * 4.3f / 3.0f;

// The arc of radius r from (r s, r s) to (r s, -r s) through the x axis.
void AddArc(CGraphicsContext& context, float r, float c)
{
    context.AddBezier(CPoint2((kS + c) * r, (kS - c) * r), CPoint2((kS + c) * r, -(kS - c) * r),
                      CPoint2(r * kS, -r * kS));
}

}  // namespace

CDogPathDrawable::CDogPathDrawable()
{
    WriteKey();
}

void CDogPathDrawable::WriteKey()
{
    CFieldWriter& key = BeginKey();
    key.WriteInt16(m_colorIndex);
    key.WriteBool(m_secondLobe);
}

void CDogPathDrawable::ChooseNextColor()
{
    m_colorIndex = CPathColorPalette::GetInstance().NextIndex(m_colorIndex);
    WriteKey();
}

void CDogPathDrawable::SetSecondLobe(bool on)
{
    m_secondLobe = on;
    WriteKey();
}

void CDogPathDrawable::Draw(CGraphicsContext& context)
{
    TRACE_VALUE(int32_t, m_colorIndex);
    // A marker whose colour was never chosen draws in the first colour,
    // never in the entry before the palette.
    const int index = m_colorIndex < 0 ? 0 : m_colorIndex;
    context.m_state.penWidth = kPenWidth;
    context.m_state.penColor = CPathColorPalette::GetInstance().GetColor(index);

    const float r = kSectorRadius;
    context.BeginPath(true, false, 1);
    context.MoveTo(0.0f, 0.0f);
    context.LineTo(r * kS, r * kS);
    AddArc(context, r, kC);
    context.CloseFigure();
    context.EndPath();

    if (m_secondLobe) {
        const float l = kLobeRadius;
        context.BeginPath(true, false, 1);
        context.MoveTo(0.0f, 0.0f);
        context.LineTo(l, 0.56f * l * kS);
        context.AddBezier(CPoint2((kS + kLobeC) * l, (kS - kLobeC) * l),
                          CPoint2((kS + kLobeC) * l, -(kS - kLobeC) * l), CPoint2(l, -0.56f * l * kS));
        context.CloseFigure();
        context.EndPath();
    }

    const float inner = kInnerRadius;
    context.BeginLine(1);
    context.MoveTo(inner * kS, inner * kS);
    AddArc(context, inner, kC);
    context.EndPath();
}
