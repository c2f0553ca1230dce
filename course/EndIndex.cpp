#include "course/EndIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

#include "course/CourseObject.h"
#include "foundation/FieldStream.h"
#include "objects/equipment/ObstacleEnd.h"

bool CEndIndex::COrder::operator<(const COrder& other) const
{
    return std::tie(layer, serial, end) < std::tie(other.layer, other.serial, other.end);
}

bool CEndIndex::MakeFiled(CCourseObject* object, CObstacleEnd* end, const COrder& order, CFiled& filed,
                          CPoint2& point, float& reach)
{
    filed.entry = CEntry{object, end, order};
    point = end->GetCoursePoint();
    reach = end->GetReach();
    // Finite without a library call: no number and the infinities fail.
    const auto finite = [](float value) { return std::fabs(value) <= std::numeric_limits<float>::max(); };
    if (!finite(point.x) || !finite(point.y) || !(reach <= kMostFiledReach))
        return false;
    filed.box = CRectF(point.x - reach, point.y - reach, point.x + reach, point.y + reach);
    return true;
}

template <typename Visit>
void CEndIndex::FileEnds(CCourseObject* object, Visit&& visit)
{
    COrder order{object->GetLayer(), object->GetSerialNumber(), 0};
    for (CObstacleEnd* end : object->GetEnds()) {
        CFiled item;
        CPoint2 point;
        float reach = 0.0f;
        const bool filedByPlace = MakeFiled(object, end, order, item, point, reach);
        ++order.end;
        visit(item, filedByPlace, point, reach);
    }
}

CEndIndex::CEndIndex(const CCourseObjectSet& objects)
{
    // Counted first and then filed in the course's order; each cell then
    // lists its entries' places in one block. A course read makes one index
    // of all its ends, and the pages of a second copy of the entries would
    // cost more than the places.
    size_t count = 0;
    for (const CCourseObject* object : objects)
        count += object->GetEnds().size();
    std::vector<uint32_t> cells;
    m_filed.reserve(count);
    cells.reserve(count);
    constexpr size_t kCellCount = size_t(kCellsAcross) * kCellsAcross;
    // Each cell's count, then where its block ends.
    m_cellStarts.assign(kCellCount + 1, 0);
    for (CCourseObject* object : objects) {
        FileEnds(object, [&](const CFiled& item, bool filedByPlace, const CPoint2& point, float reach) {
            if (!filedByPlace) {
                m_anywhere.push_back(item.entry);
                return;
            }
            cells.push_back(uint32_t(CellOf(point.y) * kCellsAcross + CellOf(point.x)));
            ++m_cellStarts[cells.back()];
            m_filedReach = std::max(m_filedReach, reach);
            m_filed.push_back(item);
        });
    }
    for (size_t i = 1; i < kCellCount; ++i)
        m_cellStarts[i] += m_cellStarts[i - 1];
    m_cellStarts[kCellCount] = uint32_t(m_filed.size());
    // From the last entry back, each at the end of the room left in its
    // cell's block: each block keeps the course's order, and each cell's
    // end moves down to its start.
    m_cellEntries.resize(m_filed.size());
    for (size_t i = m_filed.size(); i > 0; --i)
        m_cellEntries[--m_cellStarts[cells[i - 1]]] = uint32_t(i - 1);
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
        FileEnds(object, [&](const CFiled& item, bool filedByPlace, const CPoint2&, float) {
            if (filedByPlace) {
                m_refiled.push_back(item);
                m_refiledChanged.push_back(change);
            } else {
                m_refiledAnywhere.push_back(item.entry);
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
    const float reach = question.maxDistance + kSlack;
    const CRectF rect(question.x - reach, question.y - reach, question.x + reach, question.y + reach);
    for (size_t i = 0; i < m_refiled.size(); ++i) {
        if (m_refiledChanged[i] > then && Meets(m_refiled[i].box, rect))
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

int CEndIndex::CellOf(float coordinate)
{
    // Below the first cell, and a coordinate that is no number, give the
    // first; the whole part comes from a conversion to an integer (floor is
    // a library call on this target), which is the floor for what is left.
    const float index = (coordinate - CFieldStream::kMinPointCoordinate) / kCellSize;
    if (!(index >= 0.0f))
        return 0;
    return index < float(kCellsAcross - 1) ? int(index) : kCellsAcross - 1;
}

CEndIndex::CCells CEndIndex::CellsOf(const CRectF& rect)
{
    return CCells{CellOf(rect.left), CellOf(rect.top), CellOf(rect.right), CellOf(rect.bottom)};
}

void CEndIndex::Collect(const CRectF& rect, std::vector<CEntry>& found) const
{
    found.clear();
    // Each source of entries is in order: the entries anywhere, each cell,
    // and the entries filed again; only entries from more than one of them
    // need sorting.
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
    const CRectF grown(rect.left - kSlack, rect.top - kSlack, rect.right + kSlack, rect.bottom + kSlack);
    const auto meets = [&grown](const CRectF& box) { return Meets(box, grown); };
    const float reach = m_filedReach + kSlack;
    const CCells cells = CellsOf(CRectF(rect.left - reach, rect.top - reach, rect.right + reach, rect.bottom + reach));
    for (int row = cells.top; row <= cells.bottom; ++row) {
        for (int column = cells.left; column <= cells.right; ++column) {
            const size_t cell = size_t(row) * kCellsAcross + size_t(column);
            before = found.size();
            for (uint32_t i = m_cellStarts[cell]; i < m_cellStarts[cell + 1]; ++i) {
                const CFiled& item = m_filed[m_cellEntries[i]];
                if (meets(item.box) && !IsSetAside(item.entry.object))
                    found.push_back(item.entry);
            }
            counts(before);
        }
    }
    before = found.size();
    for (const CFiled& item : m_refiled) {
        if (meets(item.box))
            found.push_back(item.entry);
    }
    counts(before);
    if (sources > 1)
        std::sort(found.begin(), found.end(), [](const CEntry& a, const CEntry& b) { return a.order < b.order; });
}
