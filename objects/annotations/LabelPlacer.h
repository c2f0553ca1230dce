#pragma once

#include <cstdint>
#include <set>

#include "foundation/Geometry.h"
#include "foundation/Rect.h"
#include "objects/annotations/IntervalList.h"

// One horizontal edge of an occupied rectangle (grown by half the label
// size): the top edge opens the rectangle, the bottom edge closes it.
struct CLabelRow
{
    float y = 0.0f;
    float xFrom = 0.0f;
    float xTo = 0.0f;
    bool opens = false;
    bool temporary = false;
    // Rows of equal y keep the order in which they were occupied.
    uint32_t order = 0;
};

// Rows in order of y, then of occupation.
struct CLabelRowOrder
{
    bool operator()(const CLabelRow& a, const CLabelRow& b) const
    {
        return a.y < b.y || (a.y == b.y && a.order < b.order);
    }
};

// Finds where to centre labels of one size inside an area so that they stay
// in the area and overlap no rectangle occupied so far: the free set is the
// area shrunk by half the label size, minus every occupied rectangle grown by
// half the label size, and a search answers its point nearest a target.
//
// The rectangles are kept as rows sorted by y. A search sweeps from the row
// nearest the target upwards and downwards at once, keeping the x coverage
// of each sweep line in an interval list, and stops each direction when its
// rows lie farther from the target than the best point found. The two sweep
// positions and their lists stay between searches, so that searches near
// the same y start where the last one ended.
//
// The placer counts its work: rows crossed and interval breakpoints visited.
// A search may be given a limit on it, so that a crowded area costs no more
// than the caller can afford.
class CLabelPlacer
{
public:
    using CRows = std::set<CLabelRow, CLabelRowOrder>;
    using CRowPosition = CRows::const_iterator;

    CLabelPlacer(const CRectF& area, float labelWidth, float labelHeight);
    CLabelPlacer(const CLabelPlacer&) = delete;
    CLabelPlacer& operator=(const CLabelPlacer&) = delete;

    // Forgets every rectangle and starts over for the area and label size.
    // An empty area is reported and declares no free band; a label size that
    // is not a positive number is reported and counts as 1.
    void Reset(const CRectF& area, float labelWidth, float labelHeight);
    // Takes the rectangle (grown by half the label size, outward to whole
    // units). A rectangle with a coordinate that is no number is reported
    // and left out.
    void Occupy(float left, float top, float right, float bottom, bool temporary);
    // Forgets the temporary rectangles.
    void RemoveTemporary();
    // The free point nearest (x, y), or (x, y) itself when no point is free;
    // with occupy set, the label rectangle centred there is occupied as
    // temporary. A target coordinate that is no number is reported and
    // counts as 0. A search that reaches workLimit stops and answers the
    // nearest free point it has found, or (x, y) when it found none.
    CPoint2 FindFreeSpot(float x, float y, bool occupy, uint64_t workLimit = UINT64_MAX);
    // All the work done so far.
    uint64_t GetWork() const;

    // Whether row position a comes before b: by y, then by the order among
    // rows of equal y. The end position comes after every row.
    bool IsBefore(CRowPosition a, CRowPosition b) const;

    const CRows& GetRows() const { return m_rows; }
    float GetHalfWidth() const { return m_halfWidth; }
    float GetHalfHeight() const { return m_halfHeight; }

private:
    // The y of the row at a position; the last row's for the end position.
    float GetRowY(CRowPosition position) const;
    // Adds the span to the list of a sweep standing inside the rectangle.
    void TellCursor(CRowPosition cursor, CIntervalList& list, CRowPosition opening, CRowPosition closing,
                    float from, float to);

    // Inserts the row as the last of its y.
    CRowPosition InsertRow(float y, float xFrom, float xTo, bool opens, bool temporary);

    float m_halfWidth = 1.0f;
    float m_halfHeight = 1.0f;
    CRows m_rows;
    uint32_t m_nextOrder = 0;
    uint64_t m_work = 0;
    CIntervalList m_sweepUp;
    CIntervalList m_sweepDown;
    CRowPosition m_cursorUp;
    CRowPosition m_cursorDown;
};
