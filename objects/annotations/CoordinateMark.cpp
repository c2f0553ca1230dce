#include "objects/annotations/CoordinateMark.h"

#include "foundation/Numeric.h"

CCoordinateMark::CCoordinateMark(float x, float y, CCourse* course)
    : m_course(course), m_tip(RoundHalfUp(x), RoundHalfUp(y)), m_tail(m_tip), m_labelPosition(x, y)
{
}

void CCoordinateMark::SetLabelPosition(float x, float y, bool reset)
{
    m_tail = CPoint2(RoundHalfUp(x), RoundHalfUp(y));
    m_labelPosition = CPoint2(x, y);
    const float distance = (m_tip - m_tail).Length();
    if (reset) {
        m_change = 0.0f;
        m_referenceDistance = distance;
        return;
    }
    const float difference = distance - m_referenceDistance;
    m_change = difference * difference;
    if (m_change > 0.0f)
        m_moved = true;
}
