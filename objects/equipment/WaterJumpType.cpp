#include "objects/equipment/WaterJumpType.h"

#include "foundation/Box.h"
#include "foundation/Rgba.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/FrameParts.h"
#include "objects/equipment/Jump.h"
#include "objects/equipment/LongJumpType.h"
#include "objects/equipment/PartDrawing.h"

namespace {

constexpr float kHalfSize = 240.0f;
constexpr float kRim = 15.0f;
constexpr float kInner = kHalfSize - kRim;
constexpr float kWaterLevel = -1.0f;
// The water's walls stand this far inside the rim.
constexpr float kWallInset = 0.2f;
constexpr uint32_t kWater = 0x40FF0000;

// A quad of the water's colour (already set), wound as DrawBox's faces.
void DrawQuad(CGraphicsContext& context, const CVector3& normal, const CVector3& a, const CVector3& b,
              const CVector3& c, const CVector3& d)
{
    DrawTexturedQuad(context, normal, a, b, c, d, 0.0f, 0.0f, 0.0f, 0.0f);
}

}  // namespace

CWaterJumpType::CWaterJumpType()
    : CJumpType(360, 2608, {jumpparts::kBars, jumpparts::kBoards, jumpparts::kStripes}, false, false)
{
    SetNameId(2608);
    AddVariantName("WaterJump");
}

const CWaterJumpType& CWaterJumpType::GetType()
{
    static const CWaterJumpType* type = new CWaterJumpType();
    return *type;
}

CPoint2 CWaterJumpType::GetEnd(int index, const CJump& jump) const
{
    return EndAt(index, kHalfSize);
}

int CWaterJumpType::GetBarCount(const CJump& jump) const
{
    return CLongJumpType::BarCountForLength(jump.GetLongJumpLength());
}

uint32_t CWaterJumpType::GetWaterColor(const CJump& jump)
{
    const uint32_t tray = jump.GetPartColor(jumpparts::kBoards);
    const uint32_t water = jump.GetDisplayState() != CCourseObject::kNormal ? (tray & 0x00FFFFFF) | 0x40000000 : kWater;
    return BlendColorOver(water, tray);
}

void CWaterJumpType::Draw2D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    context.m_state.fillColor = jump.GetOutlineColor();
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(-kHalfSize, -kHalfSize, kHalfSize, kHalfSize));
    context.EndPath();
    context.BeginLine(1);
    for (float y = -160.0f; y <= 100.0f; y += 130.0f) {
        for (float x = -180.0f; x < 180.0f; x += 90.0f) {
            context.MoveTo(x, y);
            context.AddBezier(CPoint2(x, y + 60.0f), CPoint2(x + 90.0f, y + 60.0f), CPoint2(x + 90.0f, y));
        }
    }
    context.EndPath();
}

void CWaterJumpType::Build3D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    const float half = 0.5f * jump.GetLongJumpLength();
    CCornerFramesPart poles(2.0f * half, jump.GetPartColorIndex(jumpparts::kBars),
                            jump.GetPartColorIndex(jumpparts::kStripes));
    DrawPart(context, poles);

    context.SetColor(jump.GetPartColor(jumpparts::kBoards));
    context.DrawBox(CBox3(-kHalfSize, -kInner, -half, half, 0.0f, kRim), 16);
    context.DrawBox(CBox3(kInner, kHalfSize, -half, half, 0.0f, kRim), 16);
    context.DrawBox(CBox3(-kInner, kInner, half - kRim, half, 0.0f, kRim), 16);
    context.DrawBox(CBox3(-kInner, kInner, -half, -(half - kRim), 0.0f, kRim), 16);

    // The water's walls face inwards, down to the water.
    context.SetColor(GetWaterColor(jump));
    const float x = kInner - kWallInset;
    const float y = half - kRim - kWallInset;
    const float inY = half - kRim;
    DrawQuad(context, CVector3(1.0f, 0.0f, 0.0f), CVector3(-x, -inY, kRim), CVector3(-x, inY, kRim),
             CVector3(-x, -inY, kWaterLevel), CVector3(-x, inY, kWaterLevel));
    DrawQuad(context, CVector3(-1.0f, 0.0f, 0.0f), CVector3(x, inY, kRim), CVector3(x, -inY, kRim),
             CVector3(x, inY, kWaterLevel), CVector3(x, -inY, kWaterLevel));
    DrawQuad(context, CVector3(0.0f, 1.0f, 0.0f), CVector3(kInner, -y, kRim), CVector3(-kInner, -y, kRim),
             CVector3(kInner, -y, kWaterLevel), CVector3(-kInner, -y, kWaterLevel));
    DrawQuad(context, CVector3(0.0f, -1.0f, 0.0f), CVector3(-kInner, y, kRim), CVector3(kInner, y, kRim),
             CVector3(-kInner, y, kWaterLevel), CVector3(kInner, y, kWaterLevel));
    DrawQuad(context, CVector3(0.0f, 0.0f, 1.0f), CVector3(-kInner, inY, kWaterLevel),
             CVector3(kInner, inY, kWaterLevel), CVector3(-kInner, -inY, kWaterLevel),
             CVector3(kInner, -inY, kWaterLevel));
}
