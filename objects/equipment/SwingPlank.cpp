#include "objects/equipment/SwingPlank.h"

#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/PartDrawing.h"

namespace {

constexpr int kPlankPart = 16;
constexpr int kFramePart = 2;
constexpr int kFittingPart = 4;

// One corner of the frame, its outer sides towards -x and -y (side 0) or
// +x and -y (side 1): a post 150 high, two struts at 45 degrees down to the
// ground from half its height, and a rod from its top over the plank.
class COuterBase : public CDrawable
{
public:
    COuterBase(int frameColor, int rodColor, int side) : m_frameColor(frameColor), m_rodColor(rodColor), m_side(side)
    {
        CFieldWriter& key = BeginKey();
        key.WriteInt8(m_frameColor);
        key.WriteInt8(m_rodColor);
        key.WriteInt8(m_side);
    }

    void Draw(CGraphicsContext& context) override
    {
        TRACE_POINT();
        CTransform& matrix = context.m_state.matrix;
        const float outward = m_side == 0 ? -1.0f : 1.0f;
        SetPaletteColor(context, m_frameColor);
        context.DrawBox(CBox3(-5.0f, 5.0f, -5.0f, 5.0f, 0.0f, 150.0f), 16);
        // Each strut leans from the post at 75 to the ground 75 out.
        const float strut = 75.0f * 1.4142136f;
        matrix.SetTranslation(0.0f, 0.0f, 75.0f);
        matrix.SetRotationY(outward * 135.0f);
        context.DrawBox(CBox3(-5.0f, 5.0f, -5.0f, 5.0f, 0.0f, strut), 48);
        matrix.SetRotationX(135.0f);
        context.DrawBox(CBox3(-5.0f, 5.0f, -5.0f, 5.0f, 0.0f, strut), 48);
        SetPaletteColor(context, m_rodColor);
        matrix.SetTranslation(0.0f, 0.0f, 145.0f);
        matrix.SetRotationX(-90.0f);
        context.DrawCylinder(2.5f, 0.0f, 75.0f, 8, true, true, false, 0, 0);
        matrix.SetIdentity();
    }

private:
    int m_frameColor;
    int m_rodColor;
    int m_side;
};

// A strap from the origin along +y, 10 wide, lit from above: its shade runs
// from a at its start through b at l1 / 2 and, where l2 is given (not below
// l1), on to full light at l2 / 2.
void DrawStrap(CGraphicsContext& context, uint32_t color, float a, float b, float l1, float l2)
{
    if (!(l1 > 50.0f) || (l2 >= l1 && l2 < l1 + 20.0f)) {
        TRACE_VALUE(float, l1);
        TRACE_VALUE(float, l2);
        ReportFailure();
        return;
    }
    struct CStop
    {
        float y, shade;
    };
    std::vector<CStop> stops = {{0.0f, a}, {0.5f * l1 - 25.0f, 0.5f * (a + b)}, {0.5f * l1, b}};
    if (l2 >= l1) {
        stops.push_back({0.5f * l1 + 10.0f, 0.5f * (b + 1.0f)});
        stops.push_back({0.5f * l2, 1.0f});
    }
    context.SetColor(color);
    context.BeginVertices(2, false, 2);
    context.SetNormal(CVector3(0.0f, 0.0f, 1.0f), true);
    for (const CStop& stop : stops) {
        context.SetBrightness(stop.shade);
        context.AddVertex(CVector3(-5.0f, stop.y, 5.0f));
        context.AddVertex(CVector3(5.0f, stop.y, 5.0f));
    }
    context.EndVertices();
    context.SetBrightness(1.0f);
}

}  // namespace

const CSwingPlank::CSwingPlankType& CSwingPlank::GetSwingPlankType()
{
    static const CSwingPlankType* type =
        new CSwingPlankType({kTypeId, 2592, {"SwingPlank"}, {kPlankPart, kFramePart, kFittingPart}, false, false});
    return *type;
}

CSwingPlank::CSwingPlank() : CStraightObstacle(CStraightEnds::EOrder::kFirstsFirst)
{
    UpdateEnds();
}

void CSwingPlank::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    const float x = kHalfLength;
    CGraphicsState& state = context.m_state;
    const uint32_t plankColor = state.fillColor;
    state.fillZ = 0.0f;
    state.fillColor = GetOutlineColor();
    context.BeginPath(false, true, 0);
    context.AddRect(CRectF(-x, 100.0f, x, 180.0f));
    context.AddRect(CRectF(-x, -180.0f, x, -100.0f));
    context.EndPath();
    state.fillZ = 0.2f;
    state.fillColor = plankColor;
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(-x, -100.0f, x, 100.0f));
    context.EndPath();
    context.BeginLine(1);
    for (float end : {-x, x}) {
        for (float y : {180.0f, -180.0f}) {
            context.MoveTo(end, y);
            context.LineTo(end, y > 0.0f ? 100.0f : -100.0f);
        }
    }
    context.EndPath();
}

void CSwingPlank::Build3D(CGraphicsContext& context)
{
    TRACE_POINT();
    const int frame = GetPartColorIndex(kFramePart);
    const int rod = GetPartColorIndex(kFittingPart);
    COuterBase sideA(frame, rod, 0);
    COuterBase sideB(frame, rod, 1);
    CTransform& matrix = context.m_state.matrix;

    context.SetColor(GetPartColor(kPlankPart));
    context.DrawBox(CBox3(-kHalfLength, kHalfLength, -100.0f, 100.0f, 30.0f, 37.5f), 0);

    struct CCorner
    {
        COuterBase* part;
        float x, y, turn;
    };
    const CCorner corners[4] = {
        {&sideA, -235.0f, -175.0f, 0.0f},
        {&sideA, 235.0f, 175.0f, 180.0f},
        {&sideB, 235.0f, -175.0f, 0.0f},
        {&sideB, -235.0f, 175.0f, 180.0f},
    };
    for (const CCorner& corner : corners) {
        matrix.SetRotationZ(corner.turn);
        matrix.SetTranslation(corner.x, corner.y, 0.0f);
        DrawPart(context, *corner.part);
    }

    const uint32_t strapColor = GetPartColor(kFramePart);
    const CTransform start = [] {
        CTransform t;
        t.SetTranslation(0.0f, 0.0f, 5.0f);
        t.RotateZ(90.0f);
        return t;
    }();
    for (float turn : {0.0f, 90.0f, -90.0f}) {
        matrix = start;
        matrix.RotateY(turn);
        DrawStrap(context, strapColor, 0.3f, 0.5f, 460.0f, 0.0f);
    }
    for (float end : {-235.0f, 235.0f}) {
        const float turn = end < 0.0f ? 90.0f : -90.0f;
        const struct {
            float angle, a, b;
        } straps[3] = {{0.0f, 0.5f, 0.75f}, {turn, 0.5f, 0.75f}, {-turn, 1.0f, 1.0f}};
        for (const auto& strap : straps) {
            matrix.SetIdentity();
            matrix.SetTranslation(end, 0.0f, 5.0f);
            matrix.RotateY(strap.angle);
            DrawStrap(context, strapColor, strap.a, strap.b, 200.0f, 340.0f);
        }
    }
    matrix.SetIdentity();
}
