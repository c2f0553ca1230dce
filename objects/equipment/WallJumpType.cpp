#include "objects/equipment/WallJumpType.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "graphics/ImageCache.h"
#include "objects/equipment/Jump.h"
#include "objects/equipment/PartDrawing.h"

namespace {

constexpr int kWallTypeId = 357;
constexpr int kViaductTypeId = 353;
constexpr float kWingHeight = 360.0f;
constexpr float kWingDepth = 120.0f;
constexpr float kPlanThickness = 80.0f;
constexpr float kThickness = 60.0f;
constexpr float kArchRadius = 80.0f;
constexpr float kBrickLength = 80.0f;
constexpr int kArchSegments = 32;
// Below this width a viaduct has one arch.
constexpr float kTwoArchWidth = 540.0f;
constexpr float kPlanArchWidth = 130.0f;
constexpr float kPi = 3.14159265f;

// The vertical texture repeat of a brick face of the height.
float BrickRows(float height)
{
    return std::floor((height + 20.0f) / 40.0f) * 0.5f;
}

// A brick box from z = 0 to its height: its sides with the texture repeated
// scale times from the offset, its ends (when asked) and its top.
struct CBrickBox
{
    float x0, x1, y0, y1, height;
    float offset, scale;
    bool withTop;

    void Draw(CGraphicsContext& context, bool ends) const
    {
        const float v = BrickRows(height);
        const float endU = withTop ? 1.4f : 0.8f;
        const float endStart = withTop ? 0.0f : 0.1f;
        DrawTexturedQuad(context, CVector3(0.0f, -1.0f, 0.0f), CVector3(x0, y0, height), CVector3(x1, y0, height),
                         CVector3(x0, y0, 0.0f), CVector3(x1, y0, 0.0f), offset, offset + scale, 0.0f, v);
        DrawTexturedQuad(context, CVector3(0.0f, 1.0f, 0.0f), CVector3(x1, y1, height), CVector3(x0, y1, height),
                         CVector3(x1, y1, 0.0f), CVector3(x0, y1, 0.0f), offset, offset + scale, 0.0f, v);
        if (ends) {
            DrawTexturedQuad(context, CVector3(-1.0f, 0.0f, 0.0f), CVector3(x0, y1, height),
                             CVector3(x0, y0, height), CVector3(x0, y1, 0.0f), CVector3(x0, y0, 0.0f), endStart,
                             endU, 0.0f, v);
            DrawTexturedQuad(context, CVector3(1.0f, 0.0f, 0.0f), CVector3(x1, y0, height), CVector3(x1, y1, height),
                             CVector3(x1, y0, 0.0f), CVector3(x1, y1, 0.0f), endStart, endU, 0.0f, v);
        }
        if (withTop)
            DrawTexturedQuad(context, CVector3(0.0f, 0.0f, 1.0f), CVector3(x0, y1, height), CVector3(x1, y1, height),
                             CVector3(x0, y0, height), CVector3(x1, y0, height), 0.1f, 0.3f, 0.1f, 0.3f);
    }
};

// The outline of an arched opening from its left foot up, over and down to
// its right foot: straight sides to the spring height, then a semicircle.
struct COutlinePoint
{
    float x, z;
    // Into the opening.
    float nx, nz;
};

std::vector<COutlinePoint> ArchOutline(float start, float radius, float spring)
{
    std::vector<COutlinePoint> points;
    const float centre = start + radius;
    if (spring > 0.0f)
        points.push_back({start, 0.0f, 1.0f, 0.0f});
    for (int k = 0; k <= kArchSegments; ++k) {
        const float a = kPi * float(k) / float(kArchSegments);
        const float c = std::cos(a);
        const float s = std::sin(a);
        points.push_back({centre - radius * c, spring + radius * s, c, -s});
    }
    if (spring > 0.0f)
        points.push_back({start + 2.0f * radius, 0.0f, -1.0f, 0.0f});
    return points;
}

}  // namespace

CWallJumpType::CWallJumpType(int typeId)
    : CWingedJumpType(typeId == kViaductTypeId ? kViaductTypeId : kWallTypeId,
                      typeId == kViaductTypeId ? 2604 : 2606, {jumpparts::kBrick}, true, false),
      m_viaduct(typeId == kViaductTypeId)
{
    if (typeId != kWallTypeId && typeId != kViaductTypeId) {
        TRACE_VALUE(int32_t, typeId);
        ReportFailure();
    }
    SetNameId(GetNameTextId());
    AddVariantName(m_viaduct ? "Viaduct" : "WallJump");
}

const CWallJumpType& CWallJumpType::GetWallType()
{
    static const CWallJumpType* type = new CWallJumpType(kWallTypeId);
    return *type;
}

const CWallJumpType& CWallJumpType::GetViaductType()
{
    static const CWallJumpType* type = new CWallJumpType(kViaductTypeId);
    return *type;
}

void CWallJumpType::ApplyVariant(CJump& jump, const std::string& keyName, std::istream& words) const
{
    TRACE_VALUE(std::string, keyName);
}

CWallJumpType::CArches CWallJumpType::GetArches(float width, float jumpHeight) const
{
    CArches arches;
    const float radius = jumpHeight > 120.0f ? kArchRadius : 2.0f * jumpHeight / 3.0f;
    if (!m_viaduct || !(width > 0.0f) || !(radius > 0.0f))
        return arches;
    const int count = width >= kTwoArchWidth ? 2 : 1;
    const float gap = count == 2 ? (width - 4.0f * radius) / 3.0f : (width - 2.0f * radius) / 2.0f;
    if (gap < 0.0f)
        return arches;
    arches.count = count;
    arches.radius = radius;
    arches.gap = gap;
    arches.starts[0] = -0.5f * width + gap;
    arches.starts[1] = 0.5f * gap;
    return arches;
}

void CWallJumpType::Draw2D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_VALUE(int32_t, GetTypeId());
    const float w = GetWidthOf(jump);
    const float half = 0.5f * kPlanThickness;
    DrawWings2D(context, jump, 0.5f * kWingDepth);
    context.m_state.fillColor = jump.GetPrimaryColor();
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(-0.5f * w - 15.0f, -half - 15.0f, 0.5f * w + 15.0f, half + 15.0f));
    context.EndPath();

    const CArches arches = GetArches(w, jump.GetJumpHeight());
    if (arches.count == 0)
        return;
    float starts[2] = {-0.5f * kPlanArchWidth, 0.0f};
    if (arches.count == 2) {
        const float gap = (w - 2.0f * kPlanArchWidth) / 3.0f;
        starts[0] = -0.5f * w + gap;
        starts[1] = 0.5f * gap;
    }
    const float crown = -46.666664f - 15.0f;
    for (int i = 0; i < arches.count; ++i) {
        const float x1 = starts[i];
        const float x2 = x1 + kPlanArchWidth;
        context.BeginLine(1);
        context.MoveTo(x1, half + 20.0f);
        context.LineTo(x1, half - 15.0f);
        context.AddBezier(CPoint2(x1, crown), CPoint2(x2, crown), CPoint2(x2, half - 15.0f));
        context.LineTo(x2, half + 20.0f);
        context.EndPath();
    }
}

void CWallJumpType::Build3D(CGraphicsContext& context, CJump& jump) const
{
    TRACE_VALUE(int32_t, GetTypeId());
    CGraphicsState& state = context.m_state;
    const float w = GetWidthOf(jump);
    const float wingWidth = GetWingWidthOf(jump);
    const float h = jump.GetJumpHeight();
    const float half = 0.5f * w;
    const float t = 0.5f * kThickness;
    const float repeats = std::floor(w / kBrickLength);
    context.SetColor(jump.GetPartColor(jumpparts::kBrick));
    state.texture = CImage::GetCached(L"Brick.png");

    if (wingWidth != 0.0f) {
        const float scale = std::floor((wingWidth + 20.0f) / 40.0f) * 0.5f;
        const float g = 0.5f * kWingDepth;
        CBrickBox{-(wingWidth + half), -half, -g, g, kWingHeight, scale - 0.25f, scale, true}.Draw(context, true);
        CBrickBox{half, half + wingWidth, -g, g, kWingHeight, scale - 0.25f, scale, true}.Draw(context, true);
    }

    const CArches arches = GetArches(w, h);
    if (arches.count == 0) {
        CBrickBox{-half, half, -t, t, h, 0.03f, repeats, false}.Draw(context, wingWidth == 0.0f);
    } else {
        // The faces as vertical strips from the wall's left end to its right,
        // over each opening from its outline up to the top.
        const float uScale = w > 0.0f ? repeats / w : 0.0f;
        const float vRows = BrickRows(h);
        const auto v = [&](float z) { return vRows * (h - z) / h; };
        const float spring = h > 120.0f ? std::max(2.0f * h / 3.0f - arches.radius, 0.0f) : 0.0f;
        for (int side = 0; side < 2; ++side) {
            const float y = side == 0 ? -t : t;
            context.BeginVertices(2, false, 2);
            context.SetNormal(CVector3(0.0f, y < 0.0f ? -1.0f : 1.0f, 0.0f), true);
            const auto addColumn = [&](float x, float z) {
                // Bottom first on the front face, top first on the back.
                const float first = side == 0 ? z : h;
                const float second = side == 0 ? h : z;
                state.texU = x * uScale;
                state.texV = v(first);
                context.AddVertex(CVector3(x, y, first));
                state.texV = v(second);
                context.AddVertex(CVector3(x, y, second));
            };
            addColumn(-half, 0.0f);
            for (int i = 0; i < arches.count; ++i)
                for (const COutlinePoint& p : ArchOutline(arches.starts[i], arches.radius, spring))
                    addColumn(p.x, p.z);
            addColumn(half, 0.0f);
            context.EndVertices();
        }
        for (int i = 0; i < arches.count; ++i) {
            context.BeginVertices(2, false, 2);
            float along = 0.0f;
            const std::vector<COutlinePoint> outline = ArchOutline(arches.starts[i], arches.radius, spring);
            for (size_t k = 0; k < outline.size(); ++k) {
                const COutlinePoint& p = outline[k];
                if (k > 0)
                    along += Hypot(p.x - outline[k - 1].x, p.z - outline[k - 1].z);
                context.SetNormal(CVector3(p.nx, 0.0f, p.nz), true);
                state.texU = along / kThickness;
                state.texV = 0.0f;
                context.AddVertex(CVector3(p.x, t, p.z));
                state.texV = 1.0f;
                context.AddVertex(CVector3(p.x, -t, p.z));
            }
            context.EndVertices();
        }
        if (wingWidth == 0.0f) {
            DrawTexturedQuad(context, CVector3(-1.0f, 0.0f, 0.0f), CVector3(-half, t, h), CVector3(-half, -t, h),
                             CVector3(-half, t, 0.0f), CVector3(-half, -t, 0.0f), 0.1f, 0.8f, 0.0f, vRows);
            DrawTexturedQuad(context, CVector3(1.0f, 0.0f, 0.0f), CVector3(half, -t, h), CVector3(half, t, h),
                             CVector3(half, -t, 0.0f), CVector3(half, t, 0.0f), 0.1f, 0.8f, 0.0f, vRows);
        }
    }
    DrawTexturedQuad(context, CVector3(0.0f, 0.0f, 1.0f), CVector3(-half, t, h), CVector3(half, t, h),
                     CVector3(-half, -t, h), CVector3(half, -t, h), -0.03f, repeats - 0.03f, 0.0f, 0.4f);
    state.texture = nullptr;
}
