#include "objects/equipment/PlatformJump.h"

#include <iterator>

#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/CupParts.h"
#include "objects/equipment/PartDrawing.h"
#include "objects/equipment/StripedBarPart.h"
#include "objects/equipment/UprightPart.h"

namespace {

constexpr int kTopPart = 6;
constexpr int kBodyPart = 16;
constexpr int kFramePart = 17;
constexpr int kBandPart = 21;

struct CEndSpot
{
    CPoint2 point;
    CPoint2 away;
    float runIn;
};

// The six first ends: the long sides of both platforms, then their far
// ends.
const CEndSpot kEndSpots[6] = {
    {{-320.0f, -120.0f}, {0.0f, -10000.0f}, 240.0f}, {{320.0f, -120.0f}, {0.0f, -10000.0f}, 240.0f},
    {{-320.0f, 120.0f}, {0.0f, 10000.0f}, 240.0f},   {{320.0f, 120.0f}, {0.0f, 10000.0f}, 240.0f},
    {{-560.0f, 0.0f}, {-10000.0f, 0.0f}, 120.0f},    {{560.0f, 0.0f}, {10000.0f, 0.0f}, 120.0f},
};

// The first end at a spot, and its second copy pointing back.
CFirstObstacleEnd FirstEndAt(CCourseObject* owner, int i)
{
    const CEndSpot& spot = kEndSpots[i];
    return CFirstObstacleEnd(owner, spot.point, spot.away, spot.runIn);
}

CSecondObstacleEnd SecondEndAt(CCourseObject* owner, int i)
{
    const CEndSpot& spot = kEndSpots[i];
    return CSecondObstacleEnd(owner, spot.point, CPoint2(-spot.away.x, -spot.away.y), spot.runIn);
}

}  // namespace

const CPlatformJump::CPlatformJumpType& CPlatformJump::GetPlatformJumpType()
{
    static const CPlatformJumpType* type = new CPlatformJumpType(
        {kTypeId, 2582, {"PlatformJump"}, {kTopPart, kBodyPart, kFramePart, kBandPart}, false, false});
    return *type;
}

CPlatformJump::CPlatformJump()
    : m_firsts{FirstEndAt(this, 0), FirstEndAt(this, 1), FirstEndAt(this, 2),
               FirstEndAt(this, 3), FirstEndAt(this, 4), FirstEndAt(this, 5)},
      m_seconds{SecondEndAt(this, 0), SecondEndAt(this, 1), SecondEndAt(this, 2),
                SecondEndAt(this, 3), SecondEndAt(this, 4), SecondEndAt(this, 5)}
{
    CObstacleEnd* const ends[] = {&m_firsts[0],  &m_firsts[1],  &m_firsts[2],  &m_firsts[3],
                                  &m_firsts[4],  &m_firsts[5],  &m_seconds[0], &m_seconds[1],
                                  &m_seconds[2], &m_seconds[3], &m_seconds[4], &m_seconds[5]};
    RegisterEnds(ends, std::size(ends));
}

const CObstacleEnd& CPlatformJump::GetObstacleEnd(int index) const
{
    return index < 6 ? static_cast<const CObstacleEnd&>(m_firsts[index]) : m_seconds[index - 6];
}

bool CPlatformJump::IsOnNearPlatform(const CObstacleEnd* end) const
{
    for (int i : {0, 2, 4}) {
        if (end == &m_firsts[i] || end == &m_seconds[i])
            return true;
    }
    return false;
}

bool CPlatformJump::IsValidTraversal(const CObstacleEnd* a, const CObstacleEnd* b) const
{
    if (a == nullptr || b == nullptr || a->owner != this || b->owner != this) {
        TRACE_VALUE(const void*, a);
        ReportFailure();
        return false;
    }
    return IsOnNearPlatform(a) != IsOnNearPlatform(b);
}

void CPlatformJump::GetEnd(CPoint2& point, int index) const
{
    point = CPoint2(560.0f * float(2 * index - 1), 0.0f);
}

void CPlatformJump::SerializeExtra(CFieldStream& stream)
{
    float height = GetCourseJumpHeight(*this);
    stream.Float16(height);
}

void CPlatformJump::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    CGraphicsState& state = context.m_state;
    const uint32_t platformColor = state.fillColor;
    state.fillZ = 0.0f;
    state.fillColor = GetOutlineColor();
    context.BeginPath(false, true, 0);
    context.AddRect(CRectF(-80.0f, -210.0f, 80.0f, 210.0f));
    context.EndPath();
    state.fillZ = 0.2f;
    context.BeginLine(1);
    context.MoveTo(-40.0f, 210.0f);
    context.LineTo(40.0f, 210.0f);
    context.MoveTo(0.0f, 210.0f);
    context.LineTo(0.0f, -210.0f);
    context.MoveTo(-40.0f, -210.0f);
    context.LineTo(40.0f, -210.0f);
    context.EndPath();
    state.fillColor = platformColor;
    context.BeginPath(true, true, 0);
    context.AddRect(CRectF(-560.0f, -120.0f, -80.0f, 120.0f));
    context.AddRect(CRectF(80.0f, -120.0f, 560.0f, 120.0f));
    context.EndPath();
}

void CPlatformJump::Build3D(CGraphicsContext& context)
{
    TRACE_POINT();
    const int frame = GetPartColorIndex(kFramePart);
    CStripedBarPart bar(360.0f, frame, frame, CUprightPart::kThickness);
    CUprightPart upright(frame, GetPartColorIndex(kBandPart));
    CCupRowPart cups(frame, 0.0f, 1.0f, 0.0f);
    CTransform& matrix = context.m_state.matrix;
    for (float turn : {0.0f, 180.0f}) {
        matrix.SetIdentity();
        matrix.RotateZ(turn);
        context.SetColor(GetPartColor(kTopPart));
        context.DrawBox(CBox3(80.0f, 560.0f, -180.0f, 180.0f, 35.0f, kPlatformHeight), 16);
        context.SetColor(GetPartColor(kBodyPart));
        context.DrawBox(CBox3(80.0f, 560.0f, -180.0f, 180.0f, 0.0f, 35.0f), 48);
        const CTransform side = matrix;
        matrix.TranslateLocal(CVector3(0.0f, -187.5f, 0.0f));
        matrix.RotateZ(90.0f);
        DrawPart(context, upright);
        matrix = side;
        matrix.TranslateLocal(CVector3(0.0f, -180.0f, 0.0f));
        DrawPart(context, cups);
    }
    matrix.SetIdentity();
    matrix.SetTranslation(0.0f, 0.0f, GetCourseJumpHeight(*this) + kPlatformHeight);
    matrix.RotateZ(90.0f);
    DrawPart(context, bar);
    matrix.SetIdentity();
}
