#include "objects/equipment/WindowJumpType.h"

#include <algorithm>

#include "foundation/Box.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/FrameParts.h"
#include "objects/equipment/Jump.h"
#include "objects/equipment/PartDrawing.h"

namespace {

constexpr float kHalfWidth = 240.0f;
constexpr float kHalfOpening = 120.0f;

// A flat panel across the jump (y = 0).
void DrawPanel(CGraphicsContext& context, float x0, float x1, float z0, float z1)
{
    context.DrawBox(CBox3(x0, x1, 0.0f, 0.0f, z0, z1), 0);
}

}  // namespace

CWindowJumpType::CWindowJumpType()
    : CJumpType(380, 2612, {jumpparts::kWindow, jumpparts::kWindowLining, jumpparts::kBars}, false, false)
{
    SetNameId(2612);
    AddVariantName("WindowJump");
}

const CWindowJumpType& CWindowJumpType::GetType()
{
    static const CWindowJumpType* type = new CWindowJumpType();
    return *type;
}

CPoint2 CWindowJumpType::GetEnd(int index, const CJump& jump) const
{
    return EndAt(index, kHalfWidth);
}

void CWindowJumpType::Draw2D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    context.m_state.fillColor = jump.GetOutlineColor();
    context.BeginPath(false, true, 0);
    context.AddRect(CRectF(-kHalfWidth, -kHalfOpening, kHalfWidth, kHalfOpening));
    context.EndPath();
    context.BeginLine(1);
    for (float x : {-kHalfWidth, kHalfWidth}) {
        context.MoveTo(x, kHalfOpening);
        context.LineTo(x, -kHalfOpening);
        context.MoveTo(x, 0.0f);
        context.LineTo(x < 0.0f ? -kHalfOpening : kHalfOpening, 0.0f);
    }
    context.EndPath();
    context.BeginPath(true, false, 0);
    context.AddRect(CRectF(-kHalfOpening, -kHalfOpening, kHalfOpening, kHalfOpening));
    context.EndPath();
}

void CWindowJumpType::Build3D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    const float h = jump.GetJumpHeight();
    CTireWindowPart frame(2.0f * kHalfWidth, std::max(h, 240.0f) + 380.0f, jump.GetPartColorIndex(jumpparts::kBars));
    DrawPart(context, frame);

    CTransform& matrix = context.m_state.matrix;
    context.SetColor(jump.GetPartColor(jumpparts::kWindow));
    static const float sleeveX = 240.0f;
    for (float x : {sleeveX, -sleeveX}) {
        matrix.SetTranslation(x, 0.0f, 0.0f);
        context.DrawCylinder(8.5f, 35.0f, h + 360.0f, 16, false, false, false, 0, 0);
    }
    matrix.ClearTranslation();
    DrawPanel(context, -kHalfWidth, kHalfWidth, h + 250.0f, h + 360.0f);
    if (h - 10.0f > 35.0f)
        DrawPanel(context, -kHalfWidth, kHalfWidth, 35.0f, h - 10.0f);
    DrawPanel(context, -kHalfWidth, -130.0f, h - 10.0f, h + 250.0f);
    DrawPanel(context, 130.0f, kHalfWidth, h - 10.0f, h + 250.0f);

    context.SetColor(jump.GetPartColor(jumpparts::kWindowLining));
    DrawPanel(context, -130.0f, 130.0f, h + 240.0f, h + 250.0f);
    DrawPanel(context, -130.0f, 130.0f, h - 10.0f, h);
    DrawPanel(context, -130.0f, -kHalfOpening, h, h + 240.0f);
    DrawPanel(context, kHalfOpening, 130.0f, h, h + 240.0f);
}
