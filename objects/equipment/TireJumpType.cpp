#include "objects/equipment/TireJumpType.h"

#include <algorithm>
#include <cmath>

#include "dialogs/PropertyBinding.h"
#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"
#include "foundation/Transform.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/FrameParts.h"
#include "objects/equipment/Jump.h"
#include "objects/equipment/PartDrawing.h"

namespace {

constexpr float kTube = 20.0f;
constexpr float kCord = 1.5f;
constexpr float kLowestFrameBase = 260.0f;

const CTireJumpBinding* TireBindingOf(const CJump& jump)
{
    return BindingAs<CTireJumpBinding>(jump.GetBinding());
}

// A cord from (x0, z0) to (x1, z1) in the plane y = 0.
void DrawCord(CGraphicsContext& context, float x0, float z0, float x1, float z1)
{
    const float tilt = std::atan2(z1 - z0, x1 - x0) * CTransform::kDegreesPerRadian;
    CTransform& matrix = context.m_state.matrix;
    matrix.SetTranslation(x0, 0.0f, z0);
    matrix.SetRotationY(90.0f - tilt);
    context.DrawCylinder(kCord, 0.0f, Hypot(x1 - x0, z1 - z0), 8, false, false, false, 0, 0);
}

}  // namespace

CTireJumpType::CTire4::CTire4(int color, float diameter) : m_color(color), m_diameter(diameter)
{
    CFieldWriter& key = BeginKey();
    key.WriteInt8(m_color);
    key.WriteFloat16(m_diameter);
}

void CTireJumpType::CTire4::Draw(CGraphicsContext& context)
{
    SetPaletteColor(context, m_color);
    context.m_state.matrix.SetRotationX(90.0f);
    context.DrawTorus(kTube, 16, 0.5f * m_diameter + kTube, 48, 0, 12);
}

CTireJumpType::CBungee::CBungee(int color, float frameWidth, float diameter, float jumpHeight, float frameHeight)
    : m_color(color),
      m_frameWidth(frameWidth),
      m_diameter(diameter),
      m_jumpHeight(jumpHeight),
      m_frameHeight(frameHeight)
{
    CFieldWriter& key = BeginKey();
    key.WriteInt8(m_color);
    key.WriteFloat16(m_frameWidth);
    key.WriteFloat16(m_diameter);
    key.WriteFloat16(m_jumpHeight);
    key.WriteFloat16(m_frameHeight);
}

void CTireJumpType::CBungee::Draw(CGraphicsContext& context)
{
    SetPaletteColor(context, m_color);
    const float x0 = 0.5f * m_diameter + 41.5f;
    const float z0 = m_jumpHeight + 0.5f * m_diameter;
    const float x1 = 0.5f * m_frameWidth - 7.5f;
    DrawCord(context, x0, z0, x1, m_frameHeight - 40.0f);
    DrawCord(context, x0, z0, x1, 47.5f);
}

CTireJumpType::CTireJumpType()
    : CJumpType(320, 2598, {jumpparts::kTire, jumpparts::kTireBand, jumpparts::kCords, jumpparts::kTopCord,
                            jumpparts::kBars},
                true, false)
{
    SetNameId(2598);
    AddVariantName("TireJump");
}

const CTireJumpType& CTireJumpType::GetType()
{
    static const CTireJumpType* type = new CTireJumpType();
    return *type;
}

float CTireJumpType::GetFrameWidth(const CJump& jump)
{
    const CTireJumpBinding* tire = TireBindingOf(jump);
    return tire != nullptr ? tire->width : CTireJumpBinding::kStandardWidth;
}

float CTireJumpType::GetDiameter(const CJump& jump)
{
    const CTireJumpBinding* tire = TireBindingOf(jump);
    return tire != nullptr ? tire->diameter : CTireJumpBinding::kStandardDiameter;
}

float CTireJumpType::GetFrameHeight(float jumpHeight, float diameter)
{
    return std::max(jumpHeight, kLowestFrameBase) + diameter + 80.0f;
}

CPoint2 CTireJumpType::GetEnd(int index, const CJump& jump) const
{
    const float x = 0.5f * GetFrameWidth(jump);
    return EndAt(index, x);
}

float CTireJumpType::GetWidth(const CJump& jump) const
{
    // The opening a path passes through is the tire's whole diameter: a
    // 240 tire offers the approach of a window jump of the same opening.
    return GetDiameter(jump);
}

void CTireJumpType::Draw2D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    CGraphicsState& state = context.m_state;
    const float a = 0.5f * GetFrameWidth(jump);
    const float r = 0.5f * GetDiameter(jump) + kTube;
    state.fillZ = 0.0f;
    state.fillColor = jump.GetOutlineColor();
    context.BeginPath(false, true, 0);
    context.AddRect(CRectF(-a, -r, a, r));
    context.EndPath();
    context.BeginLine(1);
    for (float side : {-1.0f, 1.0f}) {
        context.MoveTo(side * a, r);
        context.LineTo(side * a, -r);
        context.MoveTo(side * a, 0.0f);
        context.LineTo(side * r, 0.0f);
    }
    context.EndPath();
    state.fillZ = 0.2f;
    context.BeginPath(true, false, 0);
    context.AddCircle(0.0f, 0.0f, r);
    context.EndPath();
}

void CTireJumpType::Build3D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    const float h = jump.GetJumpHeight();
    const float f = GetFrameWidth(jump);
    const float d = GetDiameter(jump);
    const float frameHeight = GetFrameHeight(h, d);
    CTireWindowPart frame(f, frameHeight, jump.GetPartColorIndex(jumpparts::kBars));
    DrawPart(context, frame);
    CBungee cords(jump.GetPartColorIndex(jumpparts::kCords), f, d, h, frameHeight);
    DrawPartTurnedAt(context, cords, 0.0f, 0.0f, 0.0f, 0.0f);
    DrawPartTurnedAt(context, cords, 0.0f, 0.0f, 0.0f, 180.0f);

    CTransform& matrix = context.m_state.matrix;
    context.SetColor(jump.GetPartColor(jumpparts::kTopCord));
    context.DrawCylinder(kCord, h + d + 40.0f, frameHeight, 8, false, false, false, 0, 0);

    CTire4 tire(jump.GetPartColorIndex(jumpparts::kTire), d);
    CTire4 band(jump.GetPartColorIndex(jumpparts::kTireBand), d);
    const float turns[4] = {0.0f, 90.0f, 180.0f, -90.0f};
    for (int i = 0; i < 4; ++i) {
        matrix.SetTranslation(0.0f, 0.0f, h + 0.5f * d);
        matrix.SetRotationY(turns[i]);
        DrawPart(context, i % 2 == 0 ? tire : band);
    }
    matrix.ResetRotation();
    matrix.ClearTranslation();
}
