#include "objects/annotations/IntervalList.h"

#include <algorithm>
#include <iterator>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

namespace {

double SquaredDistance(float dx, float dy)
{
    return double(dx) * double(dx) + double(dy) * double(dy);
}

}  // namespace

// ---- CNearestSpot -----------------------------------------------------------

CNearestSpot::CNearestSpot(float x, float y) : targetX(x), targetY(y), bestX(x), bestY(y) {}

void CNearestSpot::ConsiderPoint(float px, float py)
{
    const double distance = SquaredDistance(px - targetX, py - targetY);
    if (found && !(bestDistance > distance))
        return;
    found = true;
    bestDistance = distance;
    bestX = px;
    bestY = py;
}

void CNearestSpot::ConsiderHorizontalSegment(float y, float x0, float x1)
{
    float px = targetX;
    if (px < x0)
        px = x0;
    else if (px > x1)
        px = x1;
    ConsiderPoint(px, y);
}

void CNearestSpot::ConsiderVerticalSegment(float x, float y0, float y1)
{
    const float low = std::min(y0, y1);
    const float high = std::max(y0, y1);
    float py = targetY;
    if (py < low)
        py = low;
    else if (py > high)
        py = high;
    ConsiderPoint(x, py);
}

bool CNearestSpot::IsFarther(float y) const
{
    return found && SquaredDistance(0.0f, y - targetY) > bestDistance;
}

// ---- CIntervalList ----------------------------------------------------------

CIntervalList::CBreaks::iterator CIntervalList::Split(float x)
{
    ++m_work;
    const auto it = m_breaks.lower_bound(x);
    if (it != m_breaks.end() && it->first == x)
        return it;
    CBreak added;
    added.count = it == m_breaks.begin() ? 1 : std::prev(it)->second.count;
    return m_breaks.emplace_hint(it, x, added);
}

int32_t CIntervalList::CountBefore(CBreaks::const_iterator it) const
{
    return it == m_breaks.begin() ? 1 : std::prev(it)->second.count;
}

int32_t CIntervalList::GetCountAt(float x) const
{
    const auto it = m_breaks.upper_bound(x);
    return it == m_breaks.begin() ? 1 : std::prev(it)->second.count;
}

void CIntervalList::AddOver(CBreaks::iterator first, CBreaks::iterator last, int32_t delta)
{
    for (auto it = first; it != last; ++it) {
        it->second.count += delta;
        ++m_work;
    }
}

void CIntervalList::Merge()
{
    // The end first: its test looks at the segment inside the span, which
    // dropping the start would widen to the left.
    if (m_last != m_breaks.end() && CountBefore(m_last) == m_last->second.count)
        m_breaks.erase(m_last);
    if (m_first != m_breaks.end() && CountBefore(m_first) == m_first->second.count)
        m_breaks.erase(m_first);
    m_first = m_breaks.end();
    m_last = m_breaks.end();
}

void CIntervalList::AddInterval(float from, float to)
{
    if (!(from < to)) {
        TRACE_VALUE(float, from);
        TRACE_VALUE(float, to);
        ReportFailure();
        return;
    }
    m_first = Split(from);
    m_last = Split(to);
    AddOver(m_first, m_last, 1);
    Merge();
}

void CIntervalList::Assign(const CIntervalList& other)
{
    if (&other == this)
        return;
    m_work += m_breaks.size() + other.m_breaks.size();
    m_breaks = other.m_breaks;
    m_first = m_breaks.end();
    m_last = m_breaks.end();
    m_y = other.m_y;
}

void CIntervalList::Clear()
{
    m_work += m_breaks.size();
    m_breaks.clear();
    m_first = m_breaks.end();
    m_last = m_breaks.end();
}

void CIntervalList::SetAllFreeSince(float y)
{
    m_work += m_breaks.size();
    for (auto& entry : m_breaks)
        entry.second.freeSince = y;
    m_y = y;
}

void CIntervalList::TestTarget(CNearestSpot& spot, float y) const
{
    const float low = std::min(m_y, y);
    const float high = std::max(m_y, y);
    if (spot.targetY >= low && spot.targetY <= high && GetCountAt(spot.targetX) == 0)
        spot.ConsiderPoint(spot.targetX, spot.targetY);
}

float CIntervalList::GetColumnStart(const CBreak& breakpoint, float y) const
{
    if (breakpoint.freeSince == kUnknownY) {
        // Only the point where the column closes is known to be free.
        TRACE_VALUE(float, y);
        ReportFailure();
        return y;
    }
    return breakpoint.freeSince;
}

void CIntervalList::ApplyRow(CNearestSpot& spot, float newY, float from, float to, bool adds)
{
    TestTarget(spot, newY);
    if (!(from < to)) {
        TRACE_VALUE(float, from);
        TRACE_VALUE(float, to);
        ReportFailure();
        m_y = newY;
        return;
    }
    m_first = Split(from);
    m_last = Split(to);
    if (!adds)
        AddOver(m_first, m_last, -1);

    // The counts now leave this row's rectangle out: its edge at newY borders
    // every free segment of the span.
    for (auto it = m_first; it != m_last; ++it) {
        ++m_work;
        if (it->second.count == 0)
            spot.ConsiderHorizontalSegment(newY, it->first, std::next(it)->first);
    }

    // Boundaries between free and covered: at from only the right side
    // changes, at to only the left, between them both.
    for (auto it = m_first;; ++it) {
        ++m_work;
        const int32_t left = CountBefore(it);
        const int32_t right = it->second.count;
        const int32_t leftWith = left + (it != m_first ? 1 : 0);
        const int32_t rightWith = right + (it != m_last ? 1 : 0);
        const bool boundaryWithout = (left == 0) != (right == 0);
        const bool boundaryWith = (leftWith == 0) != (rightWith == 0);
        const bool before = adds ? boundaryWithout : boundaryWith;
        const bool after = adds ? boundaryWith : boundaryWithout;
        if (before && !after)
            spot.ConsiderVerticalSegment(it->first, GetColumnStart(it->second, newY), newY);
        else if (!before && after)
            it->second.freeSince = newY;
        if (it == m_last)
            break;
    }

    if (adds)
        AddOver(m_first, m_last, 1);
    Merge();
    m_y = newY;
}

void CIntervalList::Finish(CNearestSpot& spot, float y)
{
    m_work += m_breaks.size();
    for (auto it = m_breaks.begin(); it != m_breaks.end(); ++it) {
        const bool freeLeft = CountBefore(it) == 0;
        const bool freeRight = it->second.count == 0;
        if (freeLeft != freeRight)
            spot.ConsiderVerticalSegment(it->first, GetColumnStart(it->second, y), y);
    }
    TestTarget(spot, y);
}
