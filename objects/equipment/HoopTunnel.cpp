#include "objects/equipment/HoopTunnel.h"

#include <cmath>

#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/PipeParts.h"

namespace {

constexpr int kHoopPart = 12;
constexpr int kFramePart = 17;

constexpr float kSection = 300.0f;
constexpr float kPipe = 10.0f;
constexpr float kBaseZ = 5.0f;
// The ridge of the frame runs just over the hoops' tops.
constexpr float kRidge = 300.0f;
const float kHalfBase = std::cos(30.0f / 57.29578f) * kSection / 2.0f;

// One hoop across x: a ring 290 high standing on the ground.
class CHoopPart : public CDrawable
{
public:
    explicit CHoopPart(int color) : m_color(color)
    {
        CFieldWriter& key = BeginKey();
        key.WriteInt8(m_color);
    }

    void Draw(CGraphicsContext& context) override
    {
        TRACE_POINT();
        CTransform& matrix = context.m_state.matrix;
        SetPaletteColor(context, m_color);
        matrix.SetTranslation(0.0f, 0.0f, 145.0f);
        matrix.SetRotationY(90.0f);
        context.DrawTorus(5.0f, 16, 140.0f, 48, 0, 0);
        matrix.SetIdentity();
    }

private:
    int m_color;
};

// One section of the frame, 300 long along +x: base rails either side, a
// ridge rail on top, and two legs from the base rails to the ridge, the
// second 150 further on and from the other side. The closing section at
// the far end is its legs only.
class CSectionPart : public CDrawable
{
public:
    CSectionPart(int color, bool closing) : m_color(color), m_closing(closing)
    {
        CFieldWriter& key = BeginKey();
        key.WriteInt8(m_color);
        key.WriteInt8(m_closing ? 1 : 0);
    }

    void Draw(CGraphicsContext& context) override
    {
        TRACE_POINT();
        CTransform& matrix = context.m_state.matrix;
        const float rise = kRidge - kBaseZ;
        const float legLength = std::sqrt(kHalfBase * kHalfBase + rise * rise);
        const float lean = std::atan2(kHalfBase, rise) * 57.29578f;
        CDiscPart rail(kSection, kPipe, m_color);
        CDiscPart leg(legLength, kPipe, m_color);
        CPipeJointPart joint(kPipe, m_color, false, false);
        if (!m_closing) {
            matrix.SetRotationY(90.0f);
            for (float y : {-kHalfBase, kHalfBase})
                DrawPartAt(context, rail, 0.0f, y, kBaseZ);
            DrawPartAt(context, rail, 0.0f, 0.0f, kRidge);
            DrawPartAt(context, joint, 0.0f, 0.0f, kRidge);
        }
        for (float side : {-1.0f, 1.0f}) {
            // A leg from the -y rail leans towards +y, the other the other
            // way.
            matrix.SetRotationX(side * lean);
            DrawPartAt(context, leg, side < 0.0f ? 0.0f : 0.5f * kSection, side * kHalfBase, kBaseZ);
        }
        matrix.SetIdentity();
    }

private:
    int m_color;
    bool m_closing;
};

}  // namespace

const CHoopTunnel::CHoopTunnelType& CHoopTunnel::GetHoopTunnelType()
{
    static const CHoopTunnelType* type =
        new CHoopTunnelType({kTypeId, 2550, {"HoopTunnel"}, {kHoopPart, kFramePart}, false, false});
    return *type;
}

CHoopTunnel::CHoopTunnel() : CStraightObstacle(CStraightEnds::EOrder::kFirstsFirst)
{
    UpdateEnds();
}

void CHoopTunnel::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    // The footprint of the slanted hoops, then the hoops themselves.
    static const CPoint2 kFootprint[8] = {
        {-559.5855f, 153.3333f}, {559.5855f, 153.3333f},   {640.4145f, 106.6667f},   {490.4145f, -106.6667f},
        {409.5855f, -153.3333f}, {-409.5855f, -153.3333f}, {-490.4145f, -106.6667f}, {-640.4145f, 106.6667f},
    };
    CGraphicsState& state = context.m_state;
    state.fillColor = GetOutlineColor();
    context.BeginPath(false, true, 0);
    context.MoveTo(kFootprint[0]);
    for (int i = 1; i < 8; ++i)
        context.LineTo(kFootprint[i]);
    context.CloseFigure();
    context.EndPath();

    context.BeginLine(1);
    const float lean = 40.4145f;
    for (float x : {-450.0f, -150.0f, 150.0f, 450.0f}) {
        for (float step : {-150.0f, 150.0f}) {
            const float u = x + step;
            const float t = step < 0.0f ? 23.3333f : -23.3333f;
            context.MoveTo(x, -130.0f);
            context.AddBezier(CPoint2(x - lean, -130.0f - t), CPoint2(u - lean, 130.0f - t), CPoint2(u, 130.0f));
            context.AddBezier(CPoint2(u + lean, 130.0f + t), CPoint2(x + lean, t - 130.0f), CPoint2(x, -130.0f));
        }
    }
    context.EndPath();
}

void CHoopTunnel::Build3D(CGraphicsContext& context)
{
    TRACE_POINT();
    CHoopPart hoop(GetPartColorIndex(kHoopPart));
    CSectionPart section(GetPartColorIndex(kFramePart), false);
    CSectionPart closing(GetPartColorIndex(kFramePart), true);
    CTransform& matrix = context.m_state.matrix;
    for (int k = 0; k < 4; ++k) {
        const float x = float(k - 2) * kSection;
        matrix.SetIdentity();
        DrawPartAt(context, section, x, 0.0f, 0.0f);
        matrix.SetRotationZ(-30.0f);
        DrawPartAt(context, hoop, x + 75.0f, 0.0f, 0.0f);
        matrix.SetRotationZ(30.0f);
        DrawPartAt(context, hoop, x + 225.0f, 0.0f, 0.0f);
    }
    // The closing legs at the far end.
    matrix.SetIdentity();
    matrix.SetTranslation(2.0f * kSection, 0.0f, 0.0f);
    matrix.RotateZ(180.0f);
    DrawPart(context, closing);
    matrix.SetIdentity();
}
