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
// An entry lies within its reach of its end's point (CObstacleEnd::GetReach).
// Each end is filed once, in the cell of its point; a question looks as much
// further as the widest entry filed reaches.
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
    // An entry filed in a cell, with the square its end's entry lies in.
    struct CFiled
    {
        CEntry entry;
        CRectF box;
    };
    // The cells a rectangle covers, held to the grid.
    static CCells CellsOf(const CRectF& rect);

    // Cells of kCellSize units across the archive's whole range.
    static constexpr float kCellSize = 512.0f;
    static constexpr int kCellsAcross = 128;
    // An end whose entry reaches further than a cell is near anywhere, so
    // that questions look at few cells.
    static constexpr float kMostFiledReach = kCellSize;

    // The entries of each cell, in the course's order, one cell after the
    // other: cell i holds those from m_cellStarts[i] up to m_cellStarts[i + 1].
    std::vector<uint32_t> m_cellStarts;
    std::vector<CFiled> m_cellEntries;
    // The furthest a filed entry reaches.
    float m_filedReach = 0.0f;
    std::vector<CEntry> m_anywhere;
};
