#include "objects/equipment/SolidJumpType.h"

#include <algorithm>
#include <cmath>

#include "dialogs/PropertyBinding.h"
#include "foundation/Box.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "graphics/ImageCache.h"
#include "objects/equipment/CupParts.h"
#include "objects/equipment/Jump.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/StripedBarPart.h"

namespace {

constexpr float kBarDiameter = 15.0f;
constexpr float kLogDiameter = 40.0f;
constexpr float kStandHalf = 7.5f;
constexpr float kBrushHalfDepth = 60.0f;
// The brushwood picture covers this much of the box in each direction.
constexpr float kBrushRepeat = 240.0f;
constexpr float kPicket = 22.5f;
constexpr float kPicketPitch = 42.5f;

// A box of the texture in force without its bottom, the texture repeating
// every `repeat` units along each face.
void DrawTexturedBox(CGraphicsContext& context, const CBox3& b, float repeat)
{
    const float u = (b.maxX - b.minX) / repeat;
    const float v = (b.maxZ - b.minZ) / repeat;
    const float d = (b.maxY - b.minY) / repeat;
    DrawTexturedQuad(context, CVector3(0.0f, -1.0f, 0.0f), CVector3(b.minX, b.minY, b.maxZ),
                     CVector3(b.maxX, b.minY, b.maxZ), CVector3(b.minX, b.minY, b.minZ),
                     CVector3(b.maxX, b.minY, b.minZ), 0.0f, u, 0.0f, v);
    DrawTexturedQuad(context, CVector3(0.0f, 1.0f, 0.0f), CVector3(b.maxX, b.maxY, b.maxZ),
                     CVector3(b.minX, b.maxY, b.maxZ), CVector3(b.maxX, b.maxY, b.minZ),
                     CVector3(b.minX, b.maxY, b.minZ), 0.0f, u, 0.0f, v);
    DrawTexturedQuad(context, CVector3(-1.0f, 0.0f, 0.0f), CVector3(b.minX, b.maxY, b.maxZ),
                     CVector3(b.minX, b.minY, b.maxZ), CVector3(b.minX, b.maxY, b.minZ),
                     CVector3(b.minX, b.minY, b.minZ), 0.0f, d, 0.0f, v);
    DrawTexturedQuad(context, CVector3(1.0f, 0.0f, 0.0f), CVector3(b.maxX, b.minY, b.maxZ),
                     CVector3(b.maxX, b.maxY, b.maxZ), CVector3(b.maxX, b.minY, b.minZ),
                     CVector3(b.maxX, b.maxY, b.minZ), 0.0f, d, 0.0f, v);
    DrawTexturedQuad(context, CVector3(0.0f, 0.0f, 1.0f), CVector3(b.minX, b.maxY, b.maxZ),
                     CVector3(b.maxX, b.maxY, b.maxZ), CVector3(b.minX, b.minY, b.maxZ),
                     CVector3(b.maxX, b.minY, b.maxZ), 0.0f, u, 0.0f, d);
}

}  // namespace

// ---- Base ----------------------------------------------------------------------------------

CSolidJumpType::CSolidJumpType(const CParams& params)
    : CWingedJumpType(params.typeId, params.nameId, params.parts, params.standard, params.editOnCreate),
      m_legacyWidth(params.legacyWidth),
      m_legacyWingWidth(params.legacyWingWidth),
      m_defaultWidth(params.defaultWidth),
      m_postOffset(params.postOffset)
{
    SetNameId(params.nameId);
    AddVariantName(params.key);
}

void CSolidJumpType::ApplyVariant(CJump& jump, const std::string& keyName, std::istream& words) const
{
    if (CWingsBinding* wings = jump.GetWingsBinding()) {
        wings->width = m_legacyWidth;
        wings->wingWidth = m_legacyWingWidth;
    }
}

// ---- Brush ---------------------------------------------------------------------------------

CBrushJumpType::CBrushJumpType()
    : CSolidJumpType({40, 2532, "BrushJump",
                      {jumpparts::kBars, jumpparts::kStripes, jumpparts::kPanels, jumpparts::kSlats, jumpparts::kFeet},
                      true, true, 540.0f, 300.0f, 540.0f, 0.0f})
{
}

const CBrushJumpType& CBrushJumpType::GetType()
{
    static const CBrushJumpType* type = new CBrushJumpType();
    return *type;
}

void CBrushJumpType::Draw2D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    DrawWings2D(context, jump, 30.0f);
    const float a = 0.5f * GetWidthOf(jump) - 60.0f;
    const float b = a + 80.0f;
    context.BeginPath(false, true, 0);
    context.MoveTo(a, -120.0f);
    context.AddBezier(CPoint2(b, -120.0f), CPoint2(b, 120.0f), CPoint2(a, 120.0f));
    context.LineTo(-a, 120.0f);
    context.AddBezier(CPoint2(-b, 120.0f), CPoint2(-b, -120.0f), CPoint2(-a, -120.0f));
    context.EndPath();
}

void CBrushJumpType::Build3D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    const float w = GetWidthOf(jump);
    const float h = jump.GetJumpHeight();
    const int bars = jump.GetPartColorIndex(jumpparts::kBars);
    BuildPostsOrWings(context, jump);
    if (h - 30.0f > 0.0f && w - 20.0f > 0.0f) {
        context.SetColor(0xFFFFFFFF);
        context.m_state.texture = CImage::GetCached(L"BrushFence.jpg");
        DrawTexturedBox(context, CBox3(-(0.5f * w - 10.0f), 0.5f * w - 10.0f, -kBrushHalfDepth, kBrushHalfDepth, 0.0f,
                                       h - 30.0f),
                        kBrushRepeat);
        context.m_state.texture = nullptr;
    }
    CStripedBarPart bar(w, bars, jump.GetPartColorIndex(jumpparts::kStripes), kBarDiameter);
    CCupRowPart(bars, 0.0f, 1.0f, 0.0f).PlaceOnCups(context, bar, h, false, false);
}

// ---- Log -----------------------------------------------------------------------------------

CLogJumpType::CLogJumpType()
    : CSolidJumpType({170, 2556, "LogJump",
                      {jumpparts::kBars, jumpparts::kStripes, jumpparts::kPanels, jumpparts::kSlats, jumpparts::kFeet},
                      false, true, 480.0f, 0.0f, 480.0f, 5.0f})
{
}

const CLogJumpType& CLogJumpType::GetType()
{
    static const CLogJumpType* type = new CLogJumpType();
    return *type;
}

int CLogJumpType::GetLogRows(float jumpHeight)
{
    return 1 + int(std::max(jumpHeight, 0.0f) / 58.0f);
}

void CLogJumpType::Draw2D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    DrawWings2D(context, jump, 30.0f);
    const float half = 0.5f * GetWidthOf(jump);
    context.BeginPath(false, true, 0);
    context.AddRect(CRectF(-half, -110.0f, half, 110.0f));
    context.EndPath();
    context.BeginLine(1);
    for (float y : {50.0f, -50.0f}) {
        context.MoveTo(-half, y);
        context.LineTo(half, y);
    }
    context.EndPath();
}

void CLogJumpType::Build3D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    const float w = GetWidthOf(jump);
    if (GetWingWidthOf(jump) == 0.0f)
        BuildPipeFrames(context, jump, 2, jumpparts::kSlats, GetPostOffset() + 0.5f * w + kStandHalf);
    else
        BuildWings(context, jump, false);
    CStripedBarPart log(w, jump.GetPartColorIndex(jumpparts::kBars), jump.GetPartColorIndex(jumpparts::kStripes),
                        kLogDiameter);
    // Each row rests in the grooves of the one below.
    const int rows = GetLogRows(jump.GetJumpHeight());
    for (int k = 0; k < rows; ++k) {
        const int count = rows - k;
        for (int i = 0; i < count; ++i)
            DrawPartTurnedAt(context, log, 0.0f, 40.0f * float(i) - 20.0f * float(count - 1),
                             40.0f + 34.641014f * float(k), 0.0f);
    }
}

// ---- Panel ---------------------------------------------------------------------------------

CPanelJumpType::CPanelJumpType()
    : CSolidJumpType({210, 2576, "PanelJump",
                      {jumpparts::kBars, jumpparts::kStripes, jumpparts::kPanels, jumpparts::kSlats, jumpparts::kFeet},
                      true, true, 540.0f, 300.0f, 540.0f, 0.0f})
{
}

const CPanelJumpType& CPanelJumpType::GetType()
{
    static const CPanelJumpType* type = new CPanelJumpType();
    return *type;
}

void CPanelJumpType::Draw2D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    DrawWings2D(context, jump, 30.0f);
    const float half = 0.5f * GetWidthOf(jump);
    context.m_state.fillColor = jump.GetPrimaryColor();
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(-half, -60.0f, half, 60.0f));
    context.EndPath();
    context.BeginLine(1);
    for (float x : {-half, half}) {
        context.MoveTo(x, -120.0f);
        context.LineTo(x, 120.0f);
    }
    context.EndPath();
}

void CPanelJumpType::Build3D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    const float w = GetWidthOf(jump);
    const float h = jump.GetJumpHeight();
    const int bars = jump.GetPartColorIndex(jumpparts::kBars);
    BuildPostsOrWings(context, jump);
    if (h - 5.0f > 15.0f) {
        context.SetColor(jump.GetPartColor(jumpparts::kStripes));
        context.DrawBox(CBox3(-(0.5f * w - 10.0f), 0.5f * w - 10.0f, 0.0f, 0.0f, 15.0f, h - 5.0f), 0);
    }
    CStripedBarPart edge(w, bars, bars, kBarDiameter);
    const CCupRowPart row(bars, 0.0f, 1.0f, 0.0f);
    row.PlaceOnCups(context, edge, h, false, false);
    for (float z = h - 40.0f; z > 30.0f; z -= 40.0f)
        row.PlaceOnCups(context, edge, z, false, false);
}

// ---- Picket fence ----------------------------------------------------------------------------

CPicketFenceJumpType::CPicketFenceJumpType()
    : CSolidJumpType({230, 2580, "PicketFenceJump",
                      {jumpparts::kBars, jumpparts::kPanels, jumpparts::kSlats, jumpparts::kFeet, jumpparts::kBoards},
                      false, false, 540.0f, 0.0f, 540.0f, 0.0f})
{
}

const CPicketFenceJumpType& CPicketFenceJumpType::GetType()
{
    static const CPicketFenceJumpType* type = new CPicketFenceJumpType();
    return *type;
}

std::vector<float> CPicketFenceJumpType::GetPickets(float width)
{
    std::vector<float> pickets;
    const int count = width >= kPicketPitch ? int(width / kPicketPitch) : 0;
    if (count == 1)
        pickets.push_back(-0.5f * kPicket);
    const float pitch = count > 1 ? (width - kPicket) / float(count - 1) : 0.0f;
    for (int i = 0; i < count && count > 1; ++i)
        pickets.push_back(float(i) * pitch - 0.5f * width);
    return pickets;
}

void CPicketFenceJumpType::Draw2D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    DrawWings2D(context, jump, 30.0f);
    const float half = 0.5f * GetWidthOf(jump);
    context.m_state.fillColor = jump.GetOutlineColor();
    context.BeginPath(false, true, 0);
    context.AddRect(CRectF(-half, -50.0f, half, 50.0f));
    context.EndPath();
    // Each picket a stroke 50 long, cut at the fence's ends.
    context.BeginLine(1);
    for (float y : {30.0f, -30.0f}) {
        const float first = y > 0.0f ? -half - 25.0f : 45.0f - (half + 25.0f);
        for (int i = 0; first + 90.0f * float(i) < half; ++i) {
            const float start = first + 90.0f * float(i);
            const float from = std::max(start, -half);
            const float to = std::min(start + 50.0f, half);
            if (from >= to)
                continue;
            context.MoveTo(from, y);
            context.LineTo(to, y);
        }
    }
    context.EndPath();
}

void CPicketFenceJumpType::Build3D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_POINT();
    const float w = GetWidthOf(jump);
    const float h = jump.GetJumpHeight();
    const float half = 0.5f * w;
    if (GetWingWidthOf(jump) == 0.0f)
        BuildPipeFrames(context, jump, 2, jumpparts::kBars, half + kStandHalf);
    else
        BuildWings(context, jump, false);
    context.SetColor(jump.GetPartColor(jumpparts::kBoards));
    context.DrawBox(CBox3(-half, half, -7.5f, 0.0f, 0.0f, 22.5f), 0);
    context.DrawBox(CBox3(-half, half, -7.5f, 0.0f, h - 22.5f, h), 0);
    for (float x : GetPickets(w))
        context.DrawBox(CBox3(x, x + kPicket, 0.0f, 7.5f, 0.0f, h), 0);
}
