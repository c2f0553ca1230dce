#include "objects/equipment/SwayBridge.h"

#include <cmath>

#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/PartDrawing.h"

namespace {

constexpr int kDeckPart = 16;
constexpr int kFramePart = 2;
constexpr int kRampPart = 6;
constexpr int kFittingPart = 4;

constexpr float kRampLength = 480.0f;
constexpr float kFrameHeight = 180.0f;
constexpr float kHalfWidth = 120.0f;

// The deck's arc: through height 180 at the half chord 378 and 120 at the
// centre.
struct CDeckArc
{
    float halfAngle;
    float radius;
    int slats;
};

const CDeckArc& GetDeckArc()
{
    static const CDeckArc arc = [] {
        CDeckArc a;
        a.halfAngle = 2.0f * std::atan2(60.0f, 378.0f);
        a.radius = 378.0f / std::sin(a.halfAngle);
        a.slats = int(a.radius * a.halfAngle / 18.0f);
        return a;
    }();
    return arc;
}

// One half of the bridge, towards +x: its part of the frame, its ramp and
// its half of the deck.
class CHalfBridgePart : public CDrawable
{
public:
    CHalfBridgePart(int rampColor, int deckColor, int frameColor, int fittingColor)
        : m_rampColor(rampColor), m_deckColor(deckColor), m_frameColor(frameColor), m_fittingColor(fittingColor)
    {
        CFieldWriter& key = BeginKey();
        for (int color : {m_rampColor, m_deckColor, m_frameColor, m_fittingColor})
            key.WriteInt8(color);
    }

    void Draw(CGraphicsContext& context) override
    {
        TRACE_POINT();
        const float d = CSwayBridge::kHalfDeck;
        const float w = kHalfWidth;
        CTransform& matrix = context.m_state.matrix;

        SetPaletteColor(context, m_frameColor);
        context.DrawBox(CBox3(-d, d, -w, -w + 10.0f, 0.0f, 10.0f), 16);
        context.DrawBox(CBox3(d - 10.0f, d, -w, -w + 10.0f, 10.0f, kFrameHeight), 16);
        context.DrawBox(CBox3(d - 10.0f, d, w - 10.0f, w, 10.0f, kFrameHeight), 16);
        context.DrawBox(CBox3(d - 10.0f, d, -w + 10.0f, w - 10.0f, 0.0f, 10.0f), 28);
        context.DrawBox(CBox3(d - 10.0f, d, -w + 10.0f, w - 10.0f, kFrameHeight - 10.0f, kFrameHeight), 12);
        const float braceLength = 160.0f;
        matrix.SetTranslation(d - 10.0f - braceLength / std::sqrt(2.0f), 0.0f, 10.0f);
        matrix.SetRotationY(-45.0f);
        context.DrawBox(CBox3(0.0f, braceLength, -w, -w + 10.0f, -10.0f, 0.0f), 3);
        context.DrawBox(CBox3(0.0f, braceLength, w - 10.0f, w, -10.0f, 0.0f), 3);

        SetPaletteColor(context, m_rampColor);
        matrix.SetTranslation(d, 0.0f, kFrameHeight - 10.0f);
        matrix.SetRotationYRadians(std::asin((kFrameHeight - 10.0f) / kRampLength));
        context.DrawBox(CBox3(0.0f, kRampLength, -w, w, 0.0f, 10.0f), 0);

        const CDeckArc& arc = GetDeckArc();
        for (int i = 0; i < arc.slats; ++i) {
            const float u = (float(i) + 0.5f) * arc.halfAngle / float(arc.slats);
            matrix.SetTranslation(arc.radius * std::sin(u), 0.0f, arc.radius + 120.0f - arc.radius * std::cos(u));
            matrix.SetRotationYRadians(-u);
            SetPaletteColor(context, m_deckColor);
            context.DrawBox(CBox3(-7.5f, 7.5f, -w, w, -15.0f, 0.0f), 0);
            SetPaletteColor(context, m_fittingColor);
            for (float y : {-100.0f, 100.0f}) {
                const CTransform slat = matrix;
                matrix.TranslateLocal(CVector3(11.0f, y, -7.5f));
                matrix.RotateY(-90.0f);
                context.DrawCylinder(3.0f, 0.0f, 22.0f, 8, true, true, false, 0, 0);
                matrix = slat;
            }
        }
    }

private:
    int m_rampColor;
    int m_deckColor;
    int m_frameColor;
    int m_fittingColor;
};

}  // namespace

const CSwayBridge::CSwayBridgeType& CSwayBridge::GetSwayBridgeType()
{
    static const CSwayBridgeType* type = new CSwayBridgeType(
        {kTypeId, 2590, {"SwayBridge"}, {kDeckPart, kFramePart, kRampPart, kFittingPart}, false, false});
    return *type;
}

CSwayBridge::CSwayBridge() : CStraightObstacle(CStraightEnds::EOrder::kFirstsFirst)
{
    UpdateEnds();
}

float CSwayBridge::GetReach() const
{
    static const float reach = kHalfDeck + std::sqrt(kRampLength * kRampLength - kFrameHeight * kFrameHeight);
    return reach;
}

int CSwayBridge::GetSlatsPerHalf()
{
    return GetDeckArc().slats;
}

void CSwayBridge::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    const float d = kHalfDeck;
    const float x = GetReach();
    const uint32_t rampColor = context.m_state.fillColor;
    context.m_state.fillColor = GetOutlineColor();
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(-d, -kHalfWidth, d, kHalfWidth));
    context.EndPath();
    context.m_state.fillColor = rampColor;
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(-x, -kHalfWidth, -d, kHalfWidth));
    context.AddRect(CRectF(d, -kHalfWidth, x, kHalfWidth));
    context.EndPath();
    context.BeginLine(1);
    for (float slat = -d; slat <= d; slat += 60.0f) {
        context.MoveTo(slat, kHalfWidth);
        context.LineTo(slat, -kHalfWidth);
    }
    context.EndPath();
}

void CSwayBridge::Build3D(CGraphicsContext& context)
{
    TRACE_POINT();
    CHalfBridgePart half(GetPartColorIndex(kRampPart), GetPartColorIndex(kDeckPart), GetPartColorIndex(kFramePart),
                         GetPartColorIndex(kFittingPart));
    CTransform& matrix = context.m_state.matrix;
    DrawPart(context, half);
    matrix.SetRotationZ(180.0f);
    DrawPart(context, half);
    matrix.SetIdentity();
}
