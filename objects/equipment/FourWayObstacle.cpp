#include "objects/equipment/FourWayObstacle.h"

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

namespace {

// The sides in registration order: -x, +x, -y, +y (plan y grows down).
const CPoint2 kSideDirections[4] = {{-1.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, -1.0f}, {0.0f, 1.0f}};

bool HasSide(int side, ESideLayout layout)
{
    switch (side) {
    case 1:
        return layout != ESideLayout::kRightAngle;
    case 2:
        return layout == ESideLayout::kFour;
    case 3:
        return layout != ESideLayout::kInLine;
    default:
        return true;
    }
}

// The ends of a side, at the centre until they are placed: the first
// pointing away, the second back.
CPoint2 AwayFrom(int side)
{
    return CPoint2(kSideDirections[side].x * 10000.0f, kSideDirections[side].y * 10000.0f);
}

CFirstObstacleEnd FirstEndAt(CCourseObject* owner, int side)
{
    return CFirstObstacleEnd(owner, CPoint2(), AwayFrom(side), 0.0f);
}

CSecondObstacleEnd SecondEndAt(CCourseObject* owner, int side)
{
    const CPoint2 away = AwayFrom(side);
    return CSecondObstacleEnd(owner, CPoint2(), CPoint2(-away.x, -away.y), 0.0f);
}

}  // namespace

ESideLayout SideLayoutFromNumber(int number)
{
    return number >= 0 && number <= 3 ? ESideLayout(number) : ESideLayout::kFour;
}

CFourWayEnds::CFourWayEnds(CCourseObject* owner)
    : m_owner(owner),
      m_firsts{FirstEndAt(owner, 0), FirstEndAt(owner, 1), FirstEndAt(owner, 2), FirstEndAt(owner, 3)},
      m_seconds{SecondEndAt(owner, 0), SecondEndAt(owner, 1), SecondEndAt(owner, 2), SecondEndAt(owner, 3)}
{
}

void CFourWayEnds::Update(float reach, ESideLayout layout)
{
    for (int side = 0; side < 4; ++side) {
        const CPoint2 point(kSideDirections[side].x * reach, kSideDirections[side].y * reach);
        m_firsts[side].point = point;
        m_seconds[side].point = point;
    }
    if (m_registered && layout == m_registeredLayout) {
        m_owner->OnEndsMoved();
        return;
    }
    CObstacleEnd* wanted[8];
    size_t count = 0;
    for (int side = 0; side < 4; ++side) {
        if (m_registered) {
            m_owner->RegisterEnd(&m_firsts[side], false);
            m_owner->RegisterEnd(&m_seconds[side], false);
        }
        if (HasSide(side, layout)) {
            wanted[count++] = &m_firsts[side];
            wanted[count++] = &m_seconds[side];
        }
    }
    m_owner->RegisterEnds(wanted, count);
    m_registered = true;
    m_registeredLayout = layout;
}

int CFourWayEnds::GetSideCount(ESideLayout layout)
{
    switch (layout) {
    case ESideLayout::kFour:
        return 4;
    case ESideLayout::kThree:
        return 3;
    default:
        return 2;
    }
}

CPoint2 CFourWayEnds::GetSide(int index, float reach, ESideLayout layout)
{
    // Handle order: -x, +x, +y, -y.
    static const int kHandleSides[4] = {0, 1, 3, 2};
    int handle = 0;
    for (int side : kHandleSides) {
        if (!HasSide(side, layout))
            continue;
        if (handle++ == index)
            return CPoint2(kSideDirections[side].x * reach, kSideDirections[side].y * reach);
    }
    TRACE_VALUE(int32_t, index);
    ReportFailure();
    return CPoint2();
}

float CFourWayEnds::GetMirrorAngle(ESideLayout layout)
{
    return layout == ESideLayout::kRightAngle ? 90.0f : 0.0f;
}

int CFourWayObstacle::GetEndCount() const
{
    return CFourWayEnds::GetSideCount(m_layout);
}

void CFourWayObstacle::GetEnd(CPoint2& point, int index) const
{
    point = CFourWayEnds::GetSide(index, GetReach(), m_layout);
}

int CFourWayObstacle::GetAnchorCount() const
{
    return GetEndCount() + 1;
}

void CFourWayObstacle::GetAnchor(CPoint2& point, int index) const
{
    if (index == 0)
        point = CPoint2();
    else
        GetEnd(point, index - 1);
}

float CFourWayObstacle::GetMirrorAngle() const
{
    return CFourWayEnds::GetMirrorAngle(m_layout);
}

void CFourWayObstacle::UpdateEnds()
{
    m_ends.Update(GetReach(), m_layout);
}
