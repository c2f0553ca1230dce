#include "objects/equipment/StraightObstacle.h"

CStraightEnds::CStraightEnds(CCourseObject* owner, EOrder order, float runIn)
    : m_owner(owner),
      m_nearFirst(owner, CPoint2(), CPoint2(-10000.0f, 0.0f), runIn),
      m_nearSecond(owner, CPoint2(), CPoint2(10000.0f, 0.0f), runIn),
      m_farFirst(owner, CPoint2(), CPoint2(10000.0f, 0.0f), runIn),
      m_farSecond(owner, CPoint2(), CPoint2(-10000.0f, 0.0f), runIn),
      m_order{&m_nearFirst, &m_nearSecond, &m_farFirst, &m_farSecond}
{
    if (order == EOrder::kFirstsFirst) {
        m_order[1] = &m_farFirst;
        m_order[2] = &m_nearSecond;
    }
}

void CStraightEnds::Register(unsigned mask)
{
    if (m_registered && mask == m_registeredMask) {
        m_owner->OnEndsMoved();
        return;
    }
    CObstacleEnd* wanted[4];
    size_t count = 0;
    for (int i = 0; i < 4; ++i) {
        if (m_registered)
            m_owner->RegisterEnd(m_order[i], false);
        if ((mask >> i) & 1)
            wanted[count++] = m_order[i];
    }
    m_owner->RegisterEnds(wanted, count);
    m_registered = true;
    m_registeredMask = mask;
}

void CStraightEnds::SetReach(float reach)
{
    m_nearFirst.point = m_nearSecond.point = CPoint2(-reach, 0.0f);
    m_farFirst.point = m_farSecond.point = CPoint2(reach, 0.0f);
}

CStraightObstacle::CStraightObstacle(CStraightEnds::EOrder order, float runIn)
    : m_straightEnds(this, order, runIn)
{
    m_straightEnds.Register();
}

void CStraightObstacle::GetEnd(CPoint2& point, int index) const
{
    point = CPoint2(GetReach() * float(2 * index - 1), 0.0f);
}

void CStraightObstacle::UpdateEnds()
{
    m_straightEnds.SetReach(GetReach());
}
