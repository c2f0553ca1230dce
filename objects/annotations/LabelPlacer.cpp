#include "objects/annotations/LabelPlacer.h"

#include <cmath>
#include <iterator>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

namespace {

// Half a label size, rounded up to whole units; a size that is not a
// positive number is reported and counts as 1.
float HalfSize(float size)
{
    if (!(size > 0.0f) || !std::isfinite(size)) {
        TRACE_VALUE(float, size);
        ReportFailure();
        size = 1.0f;
    }
    return std::ceil(size * 0.5f);
}

}  // namespace

CLabelPlacer::CLabelPlacer(const CRectF& area, float labelWidth, float labelHeight)
    : m_cursorUp(m_rows.end()), m_cursorDown(m_rows.end())
{
    Reset(area, labelWidth, labelHeight);
}

void CLabelPlacer::Reset(const CRectF& area, float labelWidth, float labelHeight)
{
    TRACE_POINT();
    if (!(area.right > area.left) || !(area.bottom > area.top)) {
        TRACE_VALUE(float, area.left);
        TRACE_VALUE(float, area.top);
        TRACE_VALUE(float, area.right);
        TRACE_VALUE(float, area.bottom);
        ReportFailure();
    }
    m_halfWidth = HalfSize(labelWidth);
    m_halfHeight = HalfSize(labelHeight);
    m_rows.clear();
    m_sweepUp.Clear();
    m_sweepDown.Clear();
    // Everything outside the band counts as covered: the band is the bottom
    // edge of what lies above it and the top edge of what lies below.
    if (2.0f * m_halfHeight < area.bottom - area.top && 2.0f * m_halfWidth < area.right - area.left) {
        const float from = area.left + m_halfWidth;
        const float to = area.right - m_halfWidth;
        InsertRow(area.top + m_halfHeight, from, to, false, false);
        InsertRow(area.bottom - m_halfHeight, from, to, true, false);
    }
    m_cursorUp = m_rows.begin();
    m_cursorDown = m_rows.begin();
}

bool CLabelPlacer::IsBefore(CRowPosition a, CRowPosition b) const
{
    if (a == b || a == m_rows.end())
        return false;
    if (b == m_rows.end())
        return true;
    return CLabelRowOrder()(*a, *b);
}

CLabelPlacer::CRowPosition CLabelPlacer::InsertRow(float y, float xFrom, float xTo, bool opens, bool temporary)
{
    ++m_work;
    return m_rows.insert(CLabelRow{y, xFrom, xTo, opens, temporary, m_nextOrder++}).first;
}

uint64_t CLabelPlacer::GetWork() const
{
    return m_work + m_sweepUp.GetWork() + m_sweepDown.GetWork();
}

float CLabelPlacer::GetRowY(CRowPosition position) const
{
    return position == m_rows.end() ? std::prev(m_rows.end())->y : position->y;
}

void CLabelPlacer::TellCursor(CRowPosition cursor, CIntervalList& list, CRowPosition opening, CRowPosition closing,
                              float from, float to)
{
    if (IsBefore(opening, cursor) && IsBefore(cursor, closing))
        list.AddInterval(from, to);
}

void CLabelPlacer::Occupy(float left, float top, float right, float bottom, bool temporary)
{
    TRACE_POINT();
    const float x0 = std::floor(left - m_halfWidth);
    const float y0 = std::floor(top - m_halfHeight);
    const float x1 = std::ceil(m_halfWidth + right);
    const float y1 = std::ceil(m_halfHeight + bottom);
    // A row that is no number would break the order of the rows; an
    // inverted rectangle covers nothing.
    if (!IsFinite(CPoint2(x0, y0)) || !IsFinite(CPoint2(x1, y1)) || !(x0 < x1) || !(y0 <= y1)) {
        TRACE_VALUE(float, left);
        TRACE_VALUE(float, top);
        TRACE_VALUE(float, right);
        TRACE_VALUE(float, bottom);
        ReportFailure();
        return;
    }
    const CRowPosition opening = InsertRow(y0, x0, x1, true, temporary);
    const CRowPosition closing = InsertRow(y1, x0, x1, false, temporary);
    TellCursor(m_cursorUp, m_sweepUp, opening, closing, x0, x1);
    TellCursor(m_cursorDown, m_sweepDown, opening, closing, x0, x1);
}

void CLabelPlacer::RemoveTemporary()
{
    TRACE_POINT();
    m_work += m_rows.size();
    for (auto it = m_rows.begin(); it != m_rows.end();) {
        if (it->temporary)
            it = m_rows.erase(it);
        else
            ++it;
    }
    m_sweepUp.Clear();
    m_sweepDown.Clear();
    m_cursorUp = m_rows.begin();
    m_cursorDown = m_rows.begin();
}

CPoint2 CLabelPlacer::FindFreeSpot(float x, float y, bool occupy, uint64_t workLimit)
{
    TRACE_POINT();
    if (!IsFinite(CPoint2(x, y))) {
        TRACE_VALUE(float, x);
        TRACE_VALUE(float, y);
        ReportFailure();
        x = std::isfinite(x) ? x : 0.0f;
        y = std::isfinite(y) ? y : 0.0f;
    }
    CNearestSpot spot(x, y);
    // Without rows there is no line to sweep from, and nothing is free: the
    // answer is the target, as for any search that finds nothing. So it is
    // when the limit would not even pay for starting and finishing the
    // sweeps, which go over both lists.
    const uint64_t startWork = 3 * (m_sweepUp.GetBreakpointCount() + m_sweepDown.GetBreakpointCount());
    if (!m_rows.empty() && workLimit > startWork) {
        // Both sweeps start from the cursor nearer the target.
        float yUp = GetRowY(m_cursorUp);
        float yDown = GetRowY(m_cursorDown);
        if (yDown - y <= y - yUp) {
            m_cursorUp = m_cursorDown;
            m_sweepUp.Assign(m_sweepDown);
        } else {
            m_cursorDown = m_cursorUp;
            m_sweepDown.Assign(m_sweepUp);
        }
        const float start = GetRowY(m_cursorDown);
        m_sweepUp.SetAllFreeSince(start);
        m_sweepDown.SetAllFreeSince(start);
        yUp = start;
        yDown = start;
        // Each step moves one cursor one row on, the down cursor only toward
        // the end and the up cursor only toward the first row.
        const uint64_t workStart = GetWork();
        while (GetWork() - workStart < workLimit) {
            ++m_work;
            const bool upMay = m_cursorUp != m_rows.begin() && !spot.IsFarther(yUp);
            const bool downMay = m_cursorDown != m_rows.end() && !spot.IsFarther(yDown);
            if (downMay && (!upMay || yDown - y <= y - yUp)) {
                const CLabelRow& row = *m_cursorDown;
                yDown = row.y;
                m_sweepDown.ApplyRow(spot, row.y, row.xFrom, row.xTo, row.opens);
                ++m_cursorDown;
            } else if (upMay) {
                --m_cursorUp;
                const CLabelRow& row = *m_cursorUp;
                yUp = row.y;
                // Crossing a bottom edge upward enters its rectangle.
                m_sweepUp.ApplyRow(spot, row.y, row.xFrom, row.xTo, !row.opens);
            } else {
                break;
            }
        }
        m_sweepUp.Finish(spot, yUp);
        m_sweepDown.Finish(spot, yDown);
    }
    const CPoint2 best(spot.bestX, spot.bestY);
    if (occupy)
        Occupy(best.x - m_halfWidth, best.y - m_halfHeight, m_halfWidth + best.x, m_halfHeight + best.y, true);
    return best;
}
