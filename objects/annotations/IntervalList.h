#pragma once

#include <cstdint>
#include <map>

// The best point found so far by a search for the point nearest a target.
// Squared distances are computed in double from float differences; a
// candidate replaces the best only when it is strictly nearer, so the first
// of equally near candidates stays. The best point starts as the target.
struct CNearestSpot
{
    CNearestSpot(float x, float y);

    void ConsiderPoint(float px, float py);
    // The point of the horizontal segment at y from x0 to x1 nearest the
    // target.
    void ConsiderHorizontalSegment(float y, float x0, float x1);
    // The point of the vertical segment at x between y0 and y1 (either order)
    // nearest the target.
    void ConsiderVerticalSegment(float x, float y0, float y1);
    // Whether every point at height y is farther than the best found.
    bool IsFarther(float y) const;

    float targetX;
    float targetY;
    float bestX;
    float bestY;
    bool found = false;
    double bestDistance = 0.0;
};

// The x coverage of one horizontal line of a sweep: breakpoints, each
// starting a segment that runs to the next breakpoint (the last one to
// infinity) and counting the occupied rectangles that cover the segment.
// Left of the first breakpoint the count is 1: all that lies outside the
// declared free band is covered. Each breakpoint also remembers the y at
// which the free/covered boundary there began, so that a sweep can hand the
// vertical edges of the free set to a nearest-spot search when they close.
class CIntervalList
{
public:
    // "Not known" for the y at which a boundary began.
    static constexpr float kUnknownY = 32766.0f;

    CIntervalList() = default;
    // The working positions point into the list's own breakpoints: a copy is
    // made with Assign.
    CIntervalList(const CIntervalList&) = delete;
    CIntervalList& operator=(const CIntervalList&) = delete;

    // Adds 1 over [from, to); from must lie below to.
    void AddInterval(float from, float to);
    // Copies the breakpoints and the line.
    void Assign(const CIntervalList& other);
    void Clear();
    // Every boundary begins at y, which becomes the list's line.
    void SetAllFreeSince(float y);

    // The sweep crosses the edge of an occupied rectangle spanning [from, to)
    // at newY: adds tells whether the crossing enters the rectangle. The
    // parts of the free set's border that the crossing reveals go to spot.
    void ApplyRow(CNearestSpot& spot, float newY, float from, float to, bool adds);
    // The sweep stops at y: the free columns still open there close.
    void Finish(CNearestSpot& spot, float y);

    float GetY() const { return m_y; }
    // Breakpoints visited so far: the measure of the list's work.
    uint64_t GetWork() const { return m_work; }
    // The count of the segment holding x.
    int32_t GetCountAt(float x) const;
    size_t GetBreakpointCount() const { return m_breaks.size(); }

private:
    struct CBreak
    {
        float freeSince = kUnknownY;
        int32_t count = 0;
    };
    using CBreaks = std::map<float, CBreak>;

    // The breakpoint at x, made by splitting the segment holding x when there
    // is none.
    CBreaks::iterator Split(float x);
    // The count of the segment that ends at the breakpoint.
    int32_t CountBefore(CBreaks::const_iterator it) const;
    void AddOver(CBreaks::iterator first, CBreaks::iterator last, int32_t delta);
    // Drops the working breakpoints that no longer separate different counts.
    void Merge();
    // The target, when its height lies between the list's line and y and it
    // lies in a free segment.
    void TestTarget(CNearestSpot& spot, float y) const;
    // The start of a free column closing at x, or y when its start is not
    // known (a report).
    float GetColumnStart(const CBreak& breakpoint, float y) const;

    CBreaks m_breaks;
    uint64_t m_work = 0;
    CBreaks::iterator m_first = m_breaks.end();
    CBreaks::iterator m_last = m_breaks.end();
    float m_y = 0.0f;
};
