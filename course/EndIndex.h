#pragma once

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "course/Course.h"
#include "foundation/Rect.h"

class CCourseObject;
class CObstacleEnd;

// The obstacle ends of a course's objects filed by where their entries lie,
// so that the many questions for the ends near a point asked while a read
// course ties its lines to obstacles, or a placing tool follows a stroke,
// each look at a few ends instead of at every object.
//
// An entry lies within its reach of its end's point (CObstacleEnd::GetReach).
// The ends are filed in one grid of cells two ways, each made when first
// asked. For the ends within reach of a point, each end is filed once, in
// the cell of its point; a question looks as much further as the widest
// entry filed reaches. The cells are sized to the course, a few entries to
// a cell, and each holds its widest entries first: a cell too far off for
// its next entry to reach has nothing more, so that a question in a dense
// course still reads few entries. For the entries that pass near a point,
// each end is filed in every cell of the box around its entry segment, so
// that a question near one spot (a read path's node on an entry) looks at
// that spot's cells alone however wide the entries around it are.
//
// The index outlives changes to a few objects, so that an undo step that
// reads a few objects again does not file every end anew: the course notes
// each object whose ends changed, that joined or that left (NoteChanged),
// and Refresh then sets those objects' filed entries aside and files the
// ends they have now apart from the grid.
class CEndIndex
{
public:
    // The place of an end in the course's order of objects and ends: the
    // object's layer and serial number, then the end's place in its list.
    struct COrder
    {
        int32_t layer;
        uint32_t serial;
        uint32_t end;
        bool operator<(const COrder& other) const;
        bool operator>=(const COrder& other) const { return !(*this < other); }
    };
    // An entry that lies this little beyond a distance still counts as
    // within it: a distance worked out in single precision may come out
    // short.
    static constexpr float kSlack = 1.0f;

    // An end with its object, its place in the course's order, and where
    // its entry lay when it was filed: within reach of point (for an end
    // near anywhere, the reach may be any number or none).
    struct CEntry
    {
        CCourseObject* object;
        CObstacleEnd* end;
        COrder order;
        CPoint2 point;
        float reach;

        // No more than the distance of the entry from p, however it is
        // worked out.
        float LeastDistance(const CPoint2& p) const { return (point - p).Length() - reach - kSlack; }
    };

    explicit CEndIndex(const CCourseObjectSet& objects);

    // The object's ends may have changed, or it joined or left the course:
    // false once so many objects changed that a new index is the better
    // choice. The object is not looked at, and may be going.
    bool NoteChanged(const CCourseObject* object);
    // As above, told whether the object is in the course now (it joined or
    // left): Refresh then looks through the course only for objects noted
    // by a change alone, which may not have joined it yet. An object in the
    // course is looked at: one without ends that was not noted before has
    // nothing filed and nothing to file (a path placed among thousands).
    bool NoteChanged(const CCourseObject* object, bool inCourse);
    // Files again the ends of the objects noted as changed, as the course
    // holds them now; each question asked since a change needs this first.
    void Refresh(const CCourseObjectSet& objects);
    bool NeedsRefresh() const { return m_refreshNeeded; }

    // Every end whose entry may reach within distance of the point, each
    // once, in the course's order of objects and ends.
    void Collect(const CPoint2& point, float distance, std::vector<CEntry>& found) const;
    // Every end whose entry segment (CObstacleEnd::ClosestEntryPoint) may
    // pass within distance of the point, and that lies at the place in its
    // object's list (any place for kAnyPlace), each once in no particular
    // order, handed to visit; visit may lower distance as it goes, and the
    // ends that can no longer pass within it are left out. For a question
    // for the best end by an order of its own, which needs no sorting and
    // narrows as it finds.
    static constexpr uint32_t kAnyPlace = ~0u;
    template <typename Visit>
    void VisitEntriesNear(const CPoint2& point, float& distance, uint32_t place, Visit&& visit) const;
    // A vector for Collect to fill that keeps its room from one question to
    // the next: taken for a question and given back after it.
    std::vector<CEntry> TakeBuffer() const { return std::move(m_buffer); }
    void GiveBack(std::vector<CEntry>&& buffer) const { m_buffer = std::move(buffer); }

    // A question for the nearest end: the point, how far, the end kinds
    // and the ring's rectangle, which bounds the objects looked at. Whether
    // it finds an end at all depends on these and on the ends alone.
    struct CQuestion
    {
        float x, y, maxDistance;
        int kindMask;
        CRectF ring;
        bool operator==(const CQuestion& other) const;
    };
    // Whether the question found no end when last asked, and can have found
    // none since: no end of an object changed since lies near it. A free
    // line end asks the same question at every undo step.
    bool FoundNothingBefore(const CQuestion& question) const;
    // The question found nothing, asked when changeCount changes had been
    // noted.
    void NoteFoundNothing(const CQuestion& question, uint32_t changeCount) const;
    uint32_t GetChangeCount() const { return m_changeCount; }

private:
    struct CCells
    {
        int left, top, right, bottom;
    };
    // Where an entry filed by place lies, which every question that looks
    // at its cell reads: its point and reach, its rank among those entries
    // in the course's order, its segment (from the point along (ux, uy) to
    // halfWidth either way; -1 for an end whose direction has no length,
    // whose segment is not known), and the end's place in its object's list.
    struct CPlace
    {
        float x, y, reach;
        uint32_t rank;
        float ux, uy, halfWidth;
        uint32_t listPlace;
    };
    static CPlace MakePlace(const CEntry& entry, uint32_t rank);
    // Hands use each cell within kSlack of the box around the entry's
    // segment (for an end whose segment is not known, around its reach).
    template <typename Use>
    void ForEachSegmentCell(const CPlace& place, Use&& use) const;
    // Files the entries by place in the cells, for each kind of question
    // when first asked.
    void MakePointGrid() const;
    void MakeSegmentGrid() const;
    // Whether the entry's segment may pass within distance of the point.
    static bool MayPass(const CPlace& place, const CPoint2& point, float distance)
    {
        if (place.halfWidth < 0.0f)
            return true;
        const float dx = point.x - place.x;
        const float dy = point.y - place.y;
        const float along = std::min(std::max(dx * place.ux + dy * place.uy, -place.halfWidth), place.halfWidth);
        const float ex = dx - along * place.ux;
        const float ey = dy - along * place.uy;
        const float most = distance + kSlack;
        return ex * ex + ey * ey <= most * most;
    }
    // The rest of the entry, read for those a question finds, by rank.
    struct CFiled
    {
        CCourseObject* object;
        CObstacleEnd* end;
        COrder order;
    };
    // The grid for count entries filed by place within bounds.
    void PlanGrid(const CRectF& bounds, size_t count);
    size_t CellCount() const { return size_t(m_columns) * size_t(m_rows); }
    // The cells within reach of the point, held to the grid.
    CCells CellsNear(const CPoint2& point, float reach) const;
    // The cell column (or row) of a coordinate.
    int ColumnOf(float x) const;
    int RowOf(float y) const;
    // Hands take the place in m_places of each entry filed by place at the
    // place in its object's list (any for kAnyPlace) that may reach within
    // distance of the point, and that is not set aside; take may lower
    // distance. No entry that counts lies further from the point than
    // distance and widest: the cells beyond are not looked at.
    template <typename Take>
    void TakeFiledNear(const CPoint2& point, float& distance, float widest, uint32_t listPlace, Take&& take) const;
    // False for an end that is near anywhere: no number for a place, or an
    // entry reaching further than kMostFiledReach.
    static bool MakeEntry(CCourseObject* object, CObstacleEnd* end, const COrder& order, CEntry& entry);
    // Makes the entry of each of the object's ends in turn and hands it to
    // visit with whether it is filed by place.
    template <typename Visit>
    static void FileEnds(CCourseObject* object, Visit&& visit);
    // Whether an entry within reach of (x, y) may reach within distance of
    // the point.
    static bool MayReach(float x, float y, float reach, const CPoint2& point, float distance)
    {
        const float dx = x - point.x;
        const float dy = y - point.y;
        const float most = reach + distance + kSlack;
        return dx * dx + dy * dy <= most * most;
    }
    static bool MayReach(const CEntry& entry, const CPoint2& point, float distance)
    {
        return MayReach(entry.point.x, entry.point.y, entry.reach, point, distance);
    }
    bool IsSetAside(const CCourseObject* object) const;
    // Where a noted object was when last told.
    enum class EPlace : uint8_t
    {
        kUnknown,
        kInCourse,
        kGone,
    };
    bool Note(const CCourseObject* object, EPlace place);
    // The object's place in m_changed (its size when not noted).
    size_t IndexOfChange(const CCourseObject* object) const;

    static constexpr size_t kMostQuestions = 1u << 16;

    // Cells for about kEntriesPerCell entries each, at least kMinCellSize
    // units across, no more than kMostCellsAcross of them along a side.
    static constexpr float kEntriesPerCell = 8.0f;
    static constexpr float kMinCellSize = 64.0f;
    static constexpr int kMostCellsAcross = 1024;
    // An end whose entry reaches further is near anywhere, so that
    // questions look at few cells.
    static constexpr float kMostFiledReach = 512.0f;
    // Entries filed apart are each looked at by every question: past this
    // many changed objects the course makes a new index.
    static constexpr size_t kMostChangedObjects = 32;

    // The grid: m_columns by m_rows cells of m_cellSize units from
    // (m_left, m_top), row after row.
    float m_left = 0.0f;
    float m_top = 0.0f;
    float m_cellSize = kMinCellSize;
    float m_inverseCellSize = 1.0f / kMinCellSize;
    int m_columns = 1;
    int m_rows = 1;
    // Every entry filed by place, in the course's order (by rank), and the
    // rest of each.
    std::vector<CPlace> m_ranked;
    std::vector<CFiled> m_filed;
    // The furthest a filed entry reaches.
    float m_filedReach = 0.0f;
    // By point: a copy of each entry filed by place, one cell after the
    // other, each cell's widest first; cell i holds those from
    // m_pointStarts[i] up to m_pointStarts[i + 1]. A question reads the
    // places of the few cells it looks at straight through, and the rest
    // of those it finds. Empty until first asked.
    mutable std::vector<uint32_t> m_pointStarts;
    mutable std::vector<CPlace> m_places;
    // By segment: the ranks of the entries whose segments' boxes meet each
    // cell, cell after cell, each cell's in rank order. Empty until first
    // asked.
    mutable std::vector<uint32_t> m_segmentStarts;
    mutable std::vector<uint32_t> m_segmentRanks;
    std::vector<CEntry> m_anywhere;
    // The filed entries a question finds, before they are put in order:
    // each entry's rank, then its place in m_places.
    mutable std::vector<uint64_t> m_found;

    // The objects whose entries above no longer count, sorted by address
    // once refreshed, and the ends they now have, in the course's order.
    std::vector<const CCourseObject*> m_setAside;
    std::vector<CEntry> m_refiled;
    std::vector<CEntry> m_refiledAnywhere;
    // The objects noted as changed, each with the count of changes noted
    // when it last changed, and that count for each entry filed again.
    uint32_t m_changeCount = 0;
    std::vector<std::pair<const CCourseObject*, uint32_t>> m_changed;
    // For each noted object, whether it is in the course.
    std::vector<EPlace> m_changedPlaces;
    std::vector<uint32_t> m_refiledChanged;
    std::vector<uint32_t> m_refiledAnywhereChanged;
    bool m_refreshNeeded = false;
    mutable std::vector<CEntry> m_buffer;
    struct CQuestionHash
    {
        size_t operator()(const CQuestion& question) const;
    };
    // Each with the count of changes noted when it was asked.
    mutable std::unordered_map<CQuestion, uint32_t, CQuestionHash> m_foundNothing;
};

template <typename Take>
void CEndIndex::TakeFiledNear(const CPoint2& point, float& distance, float widest, uint32_t listPlace,
                              Take&& take) const
{
    if (m_pointStarts.empty())
        MakePointGrid();
    const bool anySetAside = !m_setAside.empty();
    const CCells cells = CellsNear(point, distance + kSlack + widest);
    for (int row = cells.top; row <= cells.bottom; ++row) {
        // How far the point lies from the cell, a little less: an entry in
        // the cell lies at least as far.
        const float top = m_top + float(row) * m_cellSize - kSlack;
        const float dy = std::max(std::max(top - point.y, point.y - (top + m_cellSize + 2.0f * kSlack)), 0.0f);
        for (int column = cells.left; column <= cells.right; ++column) {
            const float left = m_left + float(column) * m_cellSize - kSlack;
            const float dx = std::max(std::max(left - point.x, point.x - (left + m_cellSize + 2.0f * kSlack)), 0.0f);
            const float gap = dx * dx + dy * dy;
            const size_t cell = size_t(row) * size_t(m_columns) + size_t(column);
            for (uint32_t i = m_pointStarts[cell]; i < m_pointStarts[cell + 1]; ++i) {
                const CPlace& place = m_places[i];
                const float most = place.reach + distance + kSlack;
                if (most * most < gap)
                    break;
                if ((listPlace == kAnyPlace || place.listPlace == listPlace) &&
                    MayReach(place.x, place.y, place.reach, point, distance) &&
                    !(anySetAside && IsSetAside(m_filed[place.rank].object)))
                    take(i);
            }
        }
    }
}

template <typename Visit>
void CEndIndex::VisitEntriesNear(const CPoint2& point, float& distance, uint32_t place, Visit&& visit) const
{
    const auto atPlace = [place](const CEntry& entry) { return place == kAnyPlace || entry.order.end == place; };
    for (const CEntry& entry : m_anywhere) {
        if (atPlace(entry) && !IsSetAside(entry.object))
            visit(entry);
    }
    for (const CEntry& entry : m_refiledAnywhere) {
        if (atPlace(entry))
            visit(entry);
    }
    for (const CEntry& entry : m_refiled) {
        if (atPlace(entry) && MayReach(entry, point, distance))
            visit(entry);
    }
    if (m_segmentStarts.empty())
        MakeSegmentGrid();
    const bool anySetAside = !m_setAside.empty();
    // An entry filed in several of the cells looked at is visited once.
    const CCells cells = CellsNear(point, distance + kSlack);
    const bool severalCells = cells.left != cells.right || cells.top != cells.bottom;
    std::vector<uint32_t> visited;
    for (int row = cells.top; row <= cells.bottom; ++row) {
        for (int column = cells.left; column <= cells.right; ++column) {
            const size_t cell = size_t(row) * size_t(m_columns) + size_t(column);
            for (uint32_t i = m_segmentStarts[cell]; i < m_segmentStarts[cell + 1]; ++i) {
                const CPlace& filedPlace = m_ranked[m_segmentRanks[i]];
                if ((place != kAnyPlace && filedPlace.listPlace != place) ||
                    !MayReach(filedPlace.x, filedPlace.y, filedPlace.reach, point, distance) ||
                    !MayPass(filedPlace, point, distance))
                    continue;
                const CFiled& filed = m_filed[filedPlace.rank];
                if (anySetAside && IsSetAside(filed.object))
                    continue;
                if (severalCells) {
                    if (std::find(visited.begin(), visited.end(), filedPlace.rank) != visited.end())
                        continue;
                    visited.push_back(filedPlace.rank);
                }
                visit(CEntry{filed.object, filed.end, filed.order, CPoint2(filedPlace.x, filedPlace.y),
                             filedPlace.reach});
            }
        }
    }
}
