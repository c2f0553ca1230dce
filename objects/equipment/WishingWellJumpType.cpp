#include "objects/equipment/WishingWellJumpType.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "graphics/ImageCache.h"
#include "objects/equipment/CupParts.h"
#include "objects/equipment/Jump.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/PipeParts.h"
#include "objects/equipment/StripedBarPart.h"

namespace {

constexpr float kHalfLength = 180.0f;
constexpr int kWallSegments = 48;
constexpr float kBrickLength = 80.0f;
constexpr float kMinRoofHeight = 20.0f;

}  // namespace

CWishingWellJumpType::CWishingWellJumpType()
    : CJumpType(390, 2624, {jumpparts::kBars, jumpparts::kStripes, jumpparts::kBrick}, false, false)
{
    SetNameId(2624);
    AddVariantName("WishingWellJump");
}

const CWishingWellJumpType& CWishingWellJumpType::GetType()
{
    static const CWishingWellJumpType* type = new CWishingWellJumpType();
    return *type;
}

CPoint2 CWishingWellJumpType::GetEnd(int index, const CJump& jump) const
{
    return EndAt(index, kHalfLength);
}

float CWishingWellJumpType::GetRoofTileRepeat(float jumpHeight)
{
    const float h = std::max(jumpHeight, kMinRoofHeight);
    return std::trunc(1440.0f / (0.5f * h * 1.4142135f)) * 0.25f;
}

void CWishingWellJumpType::Draw2D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    static const float halfWidth = 120.0f;
    static const float bulge = 140.0f;
    CGraphicsState& state = context.m_state;
    state.fillZ = 0.0f;
    state.strokeZ = 0.1f;
    state.fillColor = jump.GetOutlineColor();
    context.BeginPath(true, true, 0);
    context.MoveTo(kHalfLength, 0.0f);
    context.AddBezier(CPoint2(kHalfLength, -bulge), CPoint2(-kHalfLength, -bulge), CPoint2(-kHalfLength, 0.0f));
    context.AddBezier(CPoint2(-kHalfLength, bulge), CPoint2(kHalfLength, bulge), CPoint2(kHalfLength, 0.0f));
    context.EndPath();
    state.fillZ = 0.2f;
    state.strokeZ = 0.8f;
    state.fillColor = jump.GetSecondaryColor();
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(-halfWidth, -60.0f, halfWidth, 60.0f));
    context.EndPath();
    context.BeginLine(1);
    context.MoveTo(-halfWidth, 0.0f);
    context.LineTo(halfWidth, 0.0f);
    context.EndPath();
}

void CWishingWellJumpType::Build3D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    CGraphicsState& state = context.m_state;
    const float h = jump.GetJumpHeight();
    const float wallTop = 2.0f * h / 3.0f;
    const float halfDepth = 0.5f * h;

    // The wall: a strip of five vertices a row around the ellipse, its side
    // and its top ring down to the middle.
    std::vector<CVector3> points;
    std::vector<float> along;
    float perimeter = 0.0f;
    for (int i = 0; i <= kWallSegments; ++i) {
        const float a = float(i % kWallSegments) * 2.0f * 3.14159265f / float(kWallSegments);
        points.push_back(CVector3(kHalfLength * std::cos(a), halfDepth * std::sin(a), 0.0f));
        if (i > 0)
            perimeter += Hypot(points[i].x - points[i - 1].x, points[i].y - points[i - 1].y);
        along.push_back(perimeter);
    }
    const float s = std::trunc((perimeter + 0.5f * kBrickLength) / kBrickLength) / perimeter;
    context.SetColor(jump.GetPartColor(jumpparts::kBrick));
    state.texture = CImage::GetCached(L"Brick.png");
    context.BeginVertices(2, false, 5);
    for (int i = 0; i <= kWallSegments; ++i) {
        const CVector3& p = points[size_t(i)];
        state.texU = s * along[size_t(i)];
        context.SetNormal(CVector3(1.0f, 0.0f, 0.0f), true);
        state.texV = s * wallTop;
        context.AddVertex(CVector3(p.x, p.y, 0.0f));
        state.texV = s * 5.0f;
        context.AddVertex(CVector3(p.x, p.y, wallTop - 5.0f));
        context.SetNormal(CVector3(0.0f, 0.0f, 1.0f), true);
        context.AddVertex(CVector3(p.x, p.y, wallTop));
        state.texV = 0.4375f;
        context.AddVertex(CVector3(0.7777778f * p.x, 0.7777778f * p.y, wallTop));
        state.texV = 0.49375f;
        context.AddVertex(CVector3(0.0f, 0.0f, wallTop));
    }
    context.EndVertices();

    // The roof: two tiled slopes, then its underside and gables.
    const float eaves = 2.0f * h;
    const float ridge = 2.5f * h;
    const float r = GetRoofTileRepeat(h);
    state.texture = CImage::GetCached(L"RoofTile.png");
    const CVector3 slope(0.0f, 0.7071068f, 0.7071068f);
    DrawTexturedQuad(context, slope, CVector3(-kHalfLength, halfDepth, eaves), CVector3(kHalfLength, halfDepth, eaves),
                     CVector3(-kHalfLength, 0.0f, ridge), CVector3(kHalfLength, 0.0f, ridge), 0.0f, r, 0.0f, 1.0f);
    DrawTexturedQuad(context, slope, CVector3(kHalfLength, -halfDepth, eaves),
                     CVector3(-kHalfLength, -halfDepth, eaves), CVector3(kHalfLength, 0.0f, ridge),
                     CVector3(-kHalfLength, 0.0f, ridge), 0.0f, r, 0.0f, 1.0f);
    state.texture = nullptr;
    context.BeginVertices(2, false, 2);
    context.SetNormal(CVector3(0.0f, 0.0f, -1.0f), true);
    context.AddVertex(CVector3(-kHalfLength, -halfDepth, eaves));
    context.AddVertex(CVector3(kHalfLength, -halfDepth, eaves));
    context.AddVertex(CVector3(-kHalfLength, halfDepth, eaves));
    context.AddVertex(CVector3(kHalfLength, halfDepth, eaves));
    context.EndVertices();
    context.BeginVertices(0, false, 2);
    context.SetNormal(CVector3(1.0f, 0.0f, 0.0f), true);
    for (float x : {-kHalfLength, kHalfLength}) {
        const float side = x < 0.0f ? halfDepth : -halfDepth;
        context.AddVertex(CVector3(x, 0.0f, ridge));
        context.AddVertex(CVector3(x, side, eaves));
        context.AddVertex(CVector3(x, -side, eaves));
    }
    context.EndVertices();

    CStripedBarPart bar(305.0f, jump.GetPartColorIndex(jumpparts::kBars), jump.GetPartColorIndex(jumpparts::kStripes),
                        15.0f);
    DrawPartTurnedAt(context, bar, 0.0f, 0.0f, h, 0.0f);
    static const float postX = 160.0f;
    CDiscPart post(4.0f * h / 3.0f, 15.0f, jump.GetPartColorIndex(jumpparts::kBars));
    DrawPartTurnedAt(context, post, -postX, 0.0f, wallTop, 0.0f);
    DrawPartTurnedAt(context, post, postX, 0.0f, wallTop, 0.0f);
    CJumpCupPart cup(jump.GetPartColorIndex(jumpparts::kBars));
    DrawPartTurnedAt(context, cup, -152.5f, 0.0f, h, 0.0f);
    DrawPartTurnedAt(context, cup, 152.5f, 0.0f, h, 180.0f);
}
