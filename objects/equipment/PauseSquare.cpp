#include "objects/equipment/PauseSquare.h"

#include <iterator>

#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/Strings.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/PipeParts.h"
#include "objects/equipment/SquarePart.h"
#include "objects/equipment/TextLabelPart.h"

namespace {

constexpr int kApronPart = 16;
constexpr int kTopPart = 6;
constexpr int kLegPart = 17;
constexpr int kConnectorPart = 17;
constexpr int kSideParts[4] = {21, 22, 23, 24};

const CPoint2 kSideDirections[4] = {{-1.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, -1.0f}, {0.0f, 1.0f}};

// One leg of the table at the corner (-155, -155), reaching from the foot
// rails to the apron, with its foot rail along x.
class CLegPart : public CDrawable
{
public:
    CLegPart(int color, float height) : m_color(color), m_height(height)
    {
        CFieldWriter& key = BeginKey();
        key.WriteInt8(m_color);
        key.WriteFloat16(m_height);
    }

    void Draw(CGraphicsContext& context) override
    {
        TRACE_POINT();
        CDiscPart leg(m_height - 50.0f, 20.0f, m_color);
        CPipeJointPart joint(20.0f, m_color);
        CDiscPart rail(310.0f, 20.0f, m_color);
        DrawPartAt(context, leg, -155.0f, -155.0f, 10.0f);
        DrawPartAt(context, joint, -155.0f, -155.0f, 10.0f);
        context.m_state.matrix.SetRotationY(90.0f);
        DrawPartAt(context, rail, -155.0f, -155.0f, 10.0f);
        context.m_state.matrix.ResetRotation();
    }

private:
    int m_color;
    float m_height;
};

// One side of the pause box along y = -240 with the corner joint at -x:
// four pipes in the side's colour joined by three connectors.
class CQuarter : public CDrawable
{
public:
    CQuarter(int color, int connectorColor) : m_color(color), m_connectorColor(connectorColor)
    {
        CFieldWriter& key = BeginKey();
        key.WriteInt8(m_color);
        key.WriteInt8(m_connectorColor);
    }

    void Draw(CGraphicsContext& context) override
    {
        TRACE_POINT();
        CTransform& matrix = context.m_state.matrix;
        CPipeJointPart corner(15.0f, m_color);
        CDiscPart pipe(97.5f, 15.0f, m_color);
        CDiscPart connector(30.0f, 15.0f, m_connectorColor);
        matrix.SetRotationX(-90.0f);
        DrawPartAt(context, corner, -240.0f, -240.0f, 7.5f);
        matrix.SetRotationY(90.0f);
        for (int i = 0; i < 4; ++i) {
            const float x = 127.5f * float(i) - 240.0f;
            DrawPartAt(context, pipe, x, -240.0f, 7.5f);
            if (i < 3)
                DrawPartAt(context, connector, x + 97.5f, -240.0f, 7.5f);
        }
        matrix.ResetRotation();
    }

private:
    int m_color;
    int m_connectorColor;
};

// The ends in the middle of a side of the square: the first pointing away
// from it, the second back, each with an entry as wide as the square.
CFirstObstacleEnd FirstEndOf(CCourseObject* owner, int i, float side)
{
    const float h = 0.5f * side;
    const CPoint2 point(kSideDirections[i].x * h, kSideDirections[i].y * h);
    const CPoint2 away(kSideDirections[i].x * 10000.0f, kSideDirections[i].y * 10000.0f);
    return CFirstObstacleEnd(owner, point, away, h);
}

CSecondObstacleEnd SecondEndOf(CCourseObject* owner, int i, float side)
{
    const float h = 0.5f * side;
    const CPoint2 point(kSideDirections[i].x * h, kSideDirections[i].y * h);
    const CPoint2 back(kSideDirections[i].x * -10000.0f, kSideDirections[i].y * -10000.0f);
    return CSecondObstacleEnd(owner, point, back, h);
}

}  // namespace

// ---- Both ---------------------------------------------------------------------------------

CPauseSquare::CPauseSquare(float side, int labelTextId)
    : m_side(side),
      m_labelTextId(labelTextId),
      m_firsts{FirstEndOf(this, 0, side), FirstEndOf(this, 1, side), FirstEndOf(this, 2, side),
               FirstEndOf(this, 3, side)},
      m_seconds{SecondEndOf(this, 0, side), SecondEndOf(this, 1, side), SecondEndOf(this, 2, side),
                SecondEndOf(this, 3, side)}
{
    CObstacleEnd* const ends[] = {&m_firsts[0],  &m_firsts[1],  &m_firsts[2],  &m_firsts[3],
                                  &m_seconds[0], &m_seconds[1], &m_seconds[2], &m_seconds[3]};
    RegisterEnds(ends, std::size(ends));
}

bool CPauseSquare::IsValidTraversal(const CObstacleEnd* a, const CObstacleEnd* b) const
{
    return true;
}

void CPauseSquare::GetEnd(CPoint2& point, int index) const
{
    const int j = index % 4;
    const float h = 0.5f * m_side;
    point = CPoint2(float(j / 2) * m_side - h, float(j % 2) * m_side - h);
}

void CPauseSquare::GetAnchor(CPoint2& point, int index) const
{
    point = CPoint2();
}

void CPauseSquare::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    CSquarePart square(*this, m_side);
    DrawPart(context, square);
    CTextLabelPart label(false);
    label.SetText(GetString(m_labelTextId));
    label.SetStyle(2);
    label.AttachToObject(*this);
    label.DrawAtAnchor(context);
}

// ---- Table --------------------------------------------------------------------------------

const CTable::CTableType& CTable::GetTableType()
{
    static const CTableType* type =
        new CTableType({kTypeId, 2594, {"Table"}, {kApronPart, kTopPart, kLegPart}, true, false});
    return *type;
}

CTable::CTable() : CPauseSquare(360.0f, 2635) {}

void CTable::SerializeExtra(CFieldStream& stream)
{
    float height = GetCourseJumpHeight(*this);
    stream.Float16(height);
}

void CTable::Build3D(CGraphicsContext& context)
{
    TRACE_POINT();
    const float j = GetCourseJumpHeight(*this);
    const float h = 0.5f * GetSide();
    context.SetColor(GetPartColor(kTopPart));
    context.DrawBox(CBox3(-h, h, -h, h, j - 5.0f, j), 16);
    context.SetColor(GetPartColor(kApronPart));
    context.DrawBox(CBox3(-h, h, -h, h, j - 40.0f, j - 5.0f), 48);
    if (!(j > 40.0f))
        return;
    CLegPart leg(GetPartColorIndex(kLegPart), j);
    CTransform& matrix = context.m_state.matrix;
    for (int i = 0; i < 4; ++i) {
        matrix.SetRotationZ(90.0f * float(i));
        DrawPart(context, leg);
    }
    matrix.ResetRotation();
}

// ---- Pause box ----------------------------------------------------------------------------

const CPauseBox::CPauseBoxType& CPauseBox::GetPauseBoxType()
{
    static const CPauseBoxType* type = new CPauseBoxType(
        {kTypeId, 2578, {"PauseBox"}, {kSideParts[0], kSideParts[1], kSideParts[2], kSideParts[3], kConnectorPart},
         false, false});
    return *type;
}

CPauseBox::CPauseBox() : CPauseSquare(480.0f, 2634) {}

void CPauseBox::Build3D(CGraphicsContext& context)
{
    TRACE_POINT();
    const int connector = GetPartColorIndex(kConnectorPart);
    CTransform& matrix = context.m_state.matrix;
    const float turns[4] = {0.0f, 90.0f, 180.0f, -90.0f};
    for (int i = 0; i < 4; ++i) {
        CQuarter quarter(GetPartColorIndex(kSideParts[i]), connector);
        matrix.SetRotationZ(turns[i]);
        DrawPart(context, quarter);
    }
    matrix.ResetRotation();
}
