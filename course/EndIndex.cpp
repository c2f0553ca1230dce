#include "course/EndIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

#include "course/CourseObject.h"
#include "objects/equipment/ObstacleEnd.h"

bool CEndIndex::COrder::operator<(const COrder& other) const
{
    return std::tie(layer, serial, end) < std::tie(other.layer, other.serial, other.end);
}

bool CEndIndex::MakeEntry(CCourseObject* object, CObstacleEnd* end, const COrder& order, CEntry& entry)
{
    entry = CEntry{object, end, order, end->GetCoursePoint(), end->GetReach()};
    // Finite without a library call: no number and the infinities fail.
    const auto finite = [](float value) { return std::fabs(value) <= std::numeric_limits<float>::max(); };
    return finite(entry.point.x) && finite(entry.point.y) && entry.reach <= kMostFiledReach;
}

template <typename Visit>
void CEndIndex::FileEnds(CCourseObject* object, Visit&& visit)
{
    COrder order{object->GetLayer(), object->GetSerialNumber(), 0};
    for (CObstacleEnd* end : object->GetEnds()) {
        CEntry entry;
        const bool filedByPlace = MakeEntry(object, end, order, entry);
        ++order.end;
        visit(entry, filedByPlace);
    }
}

CEndIndex::CEndIndex(const CCourseObjectSet& objects)
{
    // Filed in the course's order; the cells take them when first asked.
    m_ranked.reserve(objects.size() * 3);
    m_filed.reserve(m_ranked.capacity());
    CRectF bounds(std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                  -std::numeric_limits<float>::max(), -std::numeric_limits<float>::max());
    for (CCourseObject* object : objects) {
        FileEnds(object, [&](const CEntry& entry, bool filedByPlace) {
            if (!filedByPlace) {
                m_anywhere.push_back(entry);
                return;
            }
            m_filedReach = std::max(m_filedReach, entry.reach);
            bounds.left = std::min(bounds.left, entry.point.x);
            bounds.top = std::min(bounds.top, entry.point.y);
            bounds.right = std::max(bounds.right, entry.point.x);
            bounds.bottom = std::max(bounds.bottom, entry.point.y);
            m_ranked.push_back(MakePlace(entry, uint32_t(m_ranked.size())));
            m_filed.push_back(CFiled{entry.object, entry.end, entry.order});
        });
    }
    PlanGrid(bounds, m_ranked.size());
}

void CEndIndex::MakePointGrid() const
{
    // Each entry copied to its cell's block, then each block put in order.
    // Each cell's count, then where its block ends, then (filled from the
    // last entry back) where it begins.
    const size_t cellCount = CellCount();
    std::vector<uint32_t> cells(m_ranked.size());
    m_pointStarts.assign(cellCount + 1, 0);
    for (size_t i = 0; i < m_ranked.size(); ++i) {
        cells[i] = uint32_t(RowOf(m_ranked[i].y)) * uint32_t(m_columns) + uint32_t(ColumnOf(m_ranked[i].x));
        ++m_pointStarts[cells[i]];
    }
    for (size_t i = 1; i < cellCount; ++i)
        m_pointStarts[i] += m_pointStarts[i - 1];
    m_pointStarts[cellCount] = uint32_t(m_ranked.size());
    m_places.resize(m_ranked.size());
    for (size_t i = m_ranked.size(); i > 0; --i)
        m_places[--m_pointStarts[cells[i - 1]]] = m_ranked[i - 1];
    const auto wider = [](const CPlace& a, const CPlace& b) {
        return a.reach > b.reach || (a.reach == b.reach && a.rank < b.rank);
    };
    for (size_t cell = 0; cell < cellCount; ++cell) {
        if (m_pointStarts[cell + 1] - m_pointStarts[cell] > 1)
            std::sort(m_places.begin() + m_pointStarts[cell], m_places.begin() + m_pointStarts[cell + 1], wider);
    }
}

template <typename Use>
void CEndIndex::ForEachSegmentCell(const CPlace& place, Use&& use) const
{
    // The box around the segment (or the reach), widened by the slack,
    // which covers the rounding here and in the questions.
    float reachX = place.reach + kSlack;
    float reachY = reachX;
    if (place.halfWidth >= 0.0f) {
        reachX = std::fabs(place.ux) * place.halfWidth + kSlack;
        reachY = std::fabs(place.uy) * place.halfWidth + kSlack;
    }
    const int firstColumn = ColumnOf(place.x - reachX);
    const int lastColumn = ColumnOf(place.x + reachX);
    const int lastRow = RowOf(place.y + reachY);
    for (int row = RowOf(place.y - reachY); row <= lastRow; ++row) {
        const size_t first = size_t(row) * size_t(m_columns);
        for (int column = firstColumn; column <= lastColumn; ++column)
            use(first + size_t(column));
    }
}

void CEndIndex::MakeSegmentGrid() const
{
    // Each cell's count, where its block begins, then each entry's rank in
    // every cell it meets, in rank order.
    m_segmentStarts.assign(CellCount() + 1, 0);
    for (const CPlace& place : m_ranked)
        ForEachSegmentCell(place, [this](size_t cell) { ++m_segmentStarts[cell + 1]; });
    for (size_t cell = 1; cell < m_segmentStarts.size(); ++cell)
        m_segmentStarts[cell] += m_segmentStarts[cell - 1];
    m_segmentRanks.resize(m_segmentStarts.back());
    std::vector<uint32_t> next(m_segmentStarts.begin(), m_segmentStarts.end() - 1);
    for (const CPlace& place : m_ranked)
        ForEachSegmentCell(place, [&](size_t cell) { m_segmentRanks[next[cell]++] = place.rank; });
}

CEndIndex::CPlace CEndIndex::MakePlace(const CEntry& entry, uint32_t rank)
{
    // The entry's frame turns the direction of passage a quarter turn;
    // normalized with a square root, as exact as a question needs, which
    // adds kSlack to what it asks.
    const CObstacleEnd& end = *entry.end;
    const CPoint2 placed =
        end.owner != nullptr ? end.owner->GetPlacement().TransformVector2D(end.direction) : end.direction;
    const float length = std::sqrt(placed.x * placed.x + placed.y * placed.y);
    CPlace place{entry.point.x, entry.point.y, entry.reach, rank, 0.0f, 0.0f, -1.0f, entry.order.end};
    if (length > 0.0f && length <= std::numeric_limits<float>::max()) {
        place.ux = -placed.y / length;
        place.uy = placed.x / length;
        place.halfWidth = std::fabs(end.halfWidth);
    }
    return place;
}

void CEndIndex::PlanGrid(const CRectF& bounds, size_t count)
{
    if (count == 0)
        return;
    // Cells of about the same number of entries, were they spread evenly.
    const float width = bounds.right - bounds.left;
    const float height = bounds.bottom - bounds.top;
    const float cells = std::max(float(count) / kEntriesPerCell, 1.0f);
    const float spread = std::sqrt(std::max(width * height, 1.0f) / cells);
    m_cellSize = std::max({spread, kMinCellSize, width / float(kMostCellsAcross - 1),
                           height / float(kMostCellsAcross - 1)});
    m_inverseCellSize = 1.0f / m_cellSize;
    m_left = bounds.left;
    m_top = bounds.top;
    m_columns = int(width / m_cellSize) + 1;
    m_rows = int(height / m_cellSize) + 1;
}

bool CEndIndex::NoteChanged(const CCourseObject* object) { return Note(object, EPlace::kUnknown); }

bool CEndIndex::NoteChanged(const CCourseObject* object, bool inCourse)
{
    // Not noted since the index was made, its ends are those it had then.
    if (inCourse && object->GetEnds().empty() && IndexOfChange(object) == m_changed.size())
        return true;
    return Note(object, inCourse ? EPlace::kInCourse : EPlace::kGone);
}

bool CEndIndex::Note(const CCourseObject* object, EPlace place)
{
    ++m_changeCount;
    const size_t noted = IndexOfChange(object);
    if (noted < m_changed.size()) {
        m_changed[noted].second = m_changeCount;
        if (place != EPlace::kUnknown)
            m_changedPlaces[noted] = place;
    } else {
        m_changed.emplace_back(object, m_changeCount);
        m_changedPlaces.push_back(place);
    }
    m_refreshNeeded = true;
    return m_changed.size() <= kMostChangedObjects;
}

void CEndIndex::Refresh(const CCourseObjectSet& objects)
{
    m_setAside.clear();
    for (const auto& change : m_changed)
        m_setAside.push_back(change.first);
    std::sort(m_setAside.begin(), m_setAside.end());
    m_refiled.clear();
    m_refiledAnywhere.clear();
    m_refiledChanged.clear();
    m_refiledAnywhereChanged.clear();
    // A noted object may be gone, and one noted by a change alone may never
    // have joined: those are looked for among the course's objects, once.
    if (std::find(m_changedPlaces.begin(), m_changedPlaces.end(), EPlace::kUnknown) != m_changedPlaces.end()) {
        std::vector<EPlace> found(m_changedPlaces.size(), EPlace::kGone);
        for (CCourseObject* object : objects) {
            if (IsSetAside(object))
                found[IndexOfChange(object)] = EPlace::kInCourse;
        }
        for (size_t i = 0; i < found.size(); ++i) {
            if (m_changedPlaces[i] == EPlace::kUnknown)
                m_changedPlaces[i] = found[i];
        }
    }
    // The noted objects in the course, in its order (the order of their
    // layers and serial numbers); they are the course's own, to be filed.
    std::vector<std::pair<CCourseObject*, uint32_t>> present;
    for (size_t i = 0; i < m_changed.size(); ++i) {
        if (m_changedPlaces[i] == EPlace::kInCourse)
            present.emplace_back(const_cast<CCourseObject*>(m_changed[i].first), m_changed[i].second);
    }
    std::sort(present.begin(), present.end(), [](const auto& a, const auto& b) {
        return CCourseObjectOrder()(a.first, b.first);
    });
    for (const auto& [object, changed] : present) {
        const uint32_t change = changed;  // a lambda cannot capture a structured binding
        FileEnds(object, [&](const CEntry& entry, bool filedByPlace) {
            if (filedByPlace) {
                m_refiled.push_back(entry);
                m_refiledChanged.push_back(change);
            } else {
                m_refiledAnywhere.push_back(entry);
                m_refiledAnywhereChanged.push_back(change);
            }
        });
    }
    m_refreshNeeded = false;
}

size_t CEndIndex::IndexOfChange(const CCourseObject* object) const
{
    return size_t(std::find_if(m_changed.begin(), m_changed.end(),
                               [object](const auto& change) { return change.first == object; }) -
                  m_changed.begin());
}

bool CEndIndex::IsSetAside(const CCourseObject* object) const
{
    return !m_setAside.empty() && std::binary_search(m_setAside.begin(), m_setAside.end(), object);
}

bool CEndIndex::CQuestion::operator==(const CQuestion& other) const
{
    return x == other.x && y == other.y && maxDistance == other.maxDistance && kindMask == other.kindMask &&
           ring.left == other.ring.left && ring.top == other.ring.top && ring.right == other.ring.right &&
           ring.bottom == other.ring.bottom;
}

size_t CEndIndex::CQuestionHash::operator()(const CQuestion& question) const
{
    const std::hash<float> hash;
    return hash(question.x) ^ (hash(question.y) * 31) ^ (hash(question.maxDistance) * 131) ^
           size_t(question.kindMask) * 1031;
}

bool CEndIndex::FoundNothingBefore(const CQuestion& question) const
{
    const auto asked = m_foundNothing.find(question);
    if (asked == m_foundNothing.end())
        return false;
    // Only the ends of objects changed since may be found now: the others
    // found nothing then and find nothing now.
    const uint32_t then = asked->second;
    for (uint32_t changed : m_refiledAnywhereChanged) {
        if (changed > then)
            return false;
    }
    const CPoint2 point(question.x, question.y);
    for (size_t i = 0; i < m_refiled.size(); ++i) {
        if (m_refiledChanged[i] > then && MayReach(m_refiled[i], point, question.maxDistance))
            return false;
    }
    return true;
}

void CEndIndex::NoteFoundNothing(const CQuestion& question, uint32_t changeCount) const
{
    // A course asks about as many questions as it has line ends.
    if (m_foundNothing.size() >= kMostQuestions)
        m_foundNothing.clear();
    m_foundNothing[question] = changeCount;
}

namespace {

// The cell of a coordinate along one side of count cells of size from
// start. Below the first cell, and a coordinate that is no number, give the
// first; the whole part comes from a conversion to an integer (floor is a
// library call on this target), which is the floor for what is left.
int CellAlong(float coordinate, float start, float inverseSize, int count)
{
    const float index = (coordinate - start) * inverseSize;
    if (!(index >= 0.0f))
        return 0;
    return index < float(count - 1) ? int(index) : count - 1;
}

}  // namespace

int CEndIndex::ColumnOf(float x) const { return CellAlong(x, m_left, m_inverseCellSize, m_columns); }

int CEndIndex::RowOf(float y) const { return CellAlong(y, m_top, m_inverseCellSize, m_rows); }

CEndIndex::CCells CEndIndex::CellsNear(const CPoint2& point, float reach) const
{
    return CCells{ColumnOf(point.x - reach), RowOf(point.y - reach), ColumnOf(point.x + reach),
                  RowOf(point.y + reach)};
}

void CEndIndex::Collect(const CPoint2& point, float distance, std::vector<CEntry>& found) const
{
    found.clear();
    // Each source of entries is in order: the entries anywhere, the cells'
    // (put in order by rank), and the entries filed again; only entries from
    // more than one of them need sorting.
    int sources = 0;
    const auto counts = [&found, &sources](size_t before) {
        if (found.size() > before)
            ++sources;
    };
    for (const CEntry& entry : m_anywhere) {
        if (!IsSetAside(entry.object))
            found.push_back(entry);
    }
    counts(0);
    size_t before = found.size();
    found.insert(found.end(), m_refiledAnywhere.begin(), m_refiledAnywhere.end());
    counts(before);
    m_found.clear();
    float reach = distance;
    TakeFiledNear(point, reach, m_filedReach, kAnyPlace,
                  [this](uint32_t i) { m_found.push_back(uint64_t(m_places[i].rank) << 32 | i); });
    std::sort(m_found.begin(), m_found.end());
    before = found.size();
    for (const uint64_t key : m_found) {
        const CPlace& place = m_places[uint32_t(key)];
        const CFiled& filed = m_filed[place.rank];
        found.push_back(CEntry{filed.object, filed.end, filed.order, CPoint2(place.x, place.y), place.reach});
    }
    counts(before);
    before = found.size();
    for (const CEntry& entry : m_refiled) {
        if (MayReach(entry, point, distance))
            found.push_back(entry);
    }
    counts(before);
    if (sources > 1)
        std::sort(found.begin(), found.end(), [](const CEntry& a, const CEntry& b) { return a.order < b.order; });
}
