#pragma once

#include <cstdint>
#include <vector>

#include "course/Course.h"
#include "foundation/Rect.h"

class CCourseObject;
class CObstacleEnd;

// The obstacle ends of a course's objects filed by where their entries lie,
// so that the many questions for the ends near a point asked while a read
// course ties its lines to obstacles each look at a few ends instead of at
// every object. It holds the ends as they lay when it was made: the course
// drops it as soon as an object changes.
//
// An entry lies within its half width of its end's point (a jump end's
// rectangle within the hypotenuse of its half width and half depth).
class CEndIndex
{
public:
    struct CEntry
    {
        CCourseObject* object;
        CObstacleEnd* end;
        // The end's place in the course's order of objects and ends.
        uint32_t order;
    };

    explicit CEndIndex(const CCourseObjectSet& objects);

    // Every end whose entry may reach into the rectangle, each once, in the
    // course's order of objects and ends.
    void Collect(const CRectF& rect, std::vector<CEntry>& found) const;

private:
    struct CCells
    {
        int left, top, right, bottom;
    };
    // The cells a rectangle covers, held to the grid.
    static CCells CellsOf(const CRectF& rect);

    // Cells of kCellSize units across the archive's whole range.
    static constexpr float kCellSize = 512.0f;
    static constexpr int kCellsAcross = 128;
    // An end covering more cells than this (an entry wider than a cell) is
    // filed once, as near anywhere, so that the grid stays small.
    static constexpr int kMostCells = 9;

    std::vector<std::vector<CEntry>> m_cells;
    std::vector<CEntry> m_anywhere;
};
