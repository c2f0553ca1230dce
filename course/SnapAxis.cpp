#include "course/SnapAxis.h"

#include "foundation/CrashLog.h"

void CSnapAxis::SetZone(float zone)
{
    if (!(zone > 0.0f)) {
        TRACE_VALUE(float, zone);
        ReportFailure();
    }
    m_zone = zone;
}

void CSnapAxis::Clear()
{
    m_positions.clear();
    m_offset = 0.0f;
}

void CSnapAxis::Anchor(float x)
{
    m_offset = 0.0f;
    m_offset = x - Apply(x);
}

float CSnapAxis::Apply(float x) const
{
    return x - m_offset;
}
