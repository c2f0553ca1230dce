#include "objects/equipment/BarrelJumpType.h"

#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/CupParts.h"
#include "objects/equipment/Jump.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/StripedBarPart.h"

namespace {

constexpr int kBarrelPart = 0;
constexpr float kBarrelRadius = 120.0f;
constexpr float kHalfBar = 270.0f;
constexpr float kBarrelX = kHalfBar + kBarrelRadius;

}  // namespace

CBarrelJumpType::CBarrelPart::CBarrelPart(int color) : m_color(color)
{
    BeginKey().WriteInt8(m_color);
}

void CBarrelJumpType::CBarrelPart::Draw(CGraphicsContext& context)
{
    SetPaletteColor(context, m_color);
    context.DrawCylinder(kBarrelRadius, 0.0f, 335.0f, 48, false, false, false, 0, 0);
    CTransform& matrix = context.m_state.matrix;
    for (float z : {117.0f, 217.0f}) {
        matrix.SetTranslation(0.0f, 0.0f, z);
        context.DrawTorus(5.0f, 16, kBarrelRadius, 48, 0, 0);
    }
    matrix.ClearTranslation();
}

CBarrelJumpType::CBarrelJumpType()
    : CJumpType(30, 2530, {jumpparts::kBars, jumpparts::kStripes, kBarrelPart}, false, false)
{
    SetNameId(2530);
}

const CBarrelJumpType& CBarrelJumpType::GetType()
{
    static const CBarrelJumpType* type = new CBarrelJumpType();
    return *type;
}

CPoint2 CBarrelJumpType::GetEnd(int index, const CJump& jump) const
{
    return EndAt(index, 510.0f);
}

void CBarrelJumpType::Draw2D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    context.BeginLine(1);
    context.MoveTo(-kHalfBar, 0.0f);
    context.LineTo(kHalfBar, 0.0f);
    context.EndPath();
    context.BeginPath(true, true, 0);
    context.AddCircle(-kBarrelX, 0.0f, kBarrelRadius);
    context.AddCircle(kBarrelX, 0.0f, kBarrelRadius);
    context.EndPath();
}

void CBarrelJumpType::Build3D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    const float h = jump.GetJumpHeight();
    const int bars = jump.GetPartColorIndex(jumpparts::kBars);
    CStripedBarPart bar(2.0f * kHalfBar, bars, jump.GetPartColorIndex(jumpparts::kStripes), 15.0f);
    const CCupRowPart row(bars, 0.0f, 1.0f, 0.0f);
    row.PlaceOnCups(context, bar, h, false, false);
    row.PlaceOnCups(context, bar, h, true, false);
    CBarrelPart barrel(jump.GetPartColorIndex(kBarrelPart));
    DrawPartTurnedAt(context, barrel, -kBarrelX, 0.0f, 0.0f, 0.0f);
    DrawPartTurnedAt(context, barrel, kBarrelX, 0.0f, 0.0f, 0.0f);
    CCupRowPart cups(row);
    DrawPartTurnedAt(context, cups, -kHalfBar, 0.0f, 0.0f, 0.0f);
    DrawPartTurnedAt(context, cups, kHalfBar, 0.0f, 0.0f, 180.0f);
}
