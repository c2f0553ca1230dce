#include "course/SnapAxis.h"

#include <algorithm>
#include <cmath>

#include "foundation/CrashLog.h"

void CSnapAxis::SetZone(float zone)
{
    if (!(zone > 0.0f)) {
        TRACE_VALUE(float, zone);
        ReportFailure();
        return;
    }
    m_zone = zone;
}

void CSnapAxis::AddPosition(float position)
{
    // A value that is not a number compares with nothing and would break
    // the order of the set.
    if (!std::isfinite(position)) {
        TRACE_VALUE(float, position);
        ReportFailure();
        return;
    }
    m_positions.insert(position);
}

void CSnapAxis::Clear()
{
    m_positions.clear();
    m_offset = 0.0f;
}

void CSnapAxis::Anchor(float x)
{
    m_offset = x - Map(x, kInverse);
}

float CSnapAxis::Apply(float x) const
{
    return Map(x - m_offset, kForward);
}

float CSnapAxis::Map(float x, EDirection direction) const
{
    const float w = m_zone;
    // Stand-ins a thousand zones away when no position lies on a side.
    float prev = x - 1000.0f * w;
    float next = x + 1000.0f * w;
    for (auto it = m_positions.upper_bound(x - 1.5f * w); it != m_positions.end(); ++it) {
        if (*it < x) {
            prev = *it;
        } else {
            next = *it;
            break;
        }
    }
    if (next == x)
        return x;
    const float z = std::min(w, (next - prev) / 3.0f);
    if (x >= prev + 1.5f * z && x <= next - 1.5f * z)
        return x;
    if (x >= prev + 1.5f * z) {
        const float a = next - 0.5f * z;
        if (direction == kInverse)
            return a - (next - x) / 1.5f;
        return x >= a ? next : next - (a - x) * 1.5f;
    }
    const float c = prev + 0.5f * z;
    if (direction == kInverse)
        return c + (x - prev) / 1.5f;
    return x <= c ? prev : prev + (x - c) * 1.5f;
}
