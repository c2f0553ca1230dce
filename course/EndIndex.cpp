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
    // Filed in the course's order with each entry's cell, then each moved
    // to its cell's block: counted first, the entries need no second copy
    // (a course read makes one index of all its ends).
    size_t count = 0;
    for (const CCourseObject* object : objects)
        count += object->GetEnds().size();
    std::vector<uint32_t> places;
    m_places.reserve(count);
    m_filed.reserve(count);
    places.reserve(count);
    constexpr size_t kCellCount = size_t(kCellsAcross) * kCellsAcross;
    // Each cell's count, then where its block ends, then where it begins.
    m_cellStarts.assign(kCellCount + 1, 0);
    for (CCourseObject* object : objects) {
        FileEnds(object, [&](const CEntry& entry, bool filedByPlace) {
            if (!filedByPlace) {
                m_anywhere.push_back(entry);
                return;
            }
            places.push_back(uint32_t(CellOf(entry.point.y) * kCellsAcross + CellOf(entry.point.x)));
            ++m_cellStarts[places.back()];
            m_filedReach = std::max(m_filedReach, entry.reach);
            m_places.push_back(CPlace{entry.point.x, entry.point.y, entry.reach, uint32_t(m_places.size())});
            m_filed.push_back(CFiled{entry.object, entry.end, entry.order});
        });
    }
    for (size_t i = 1; i < kCellCount; ++i)
        m_cellStarts[i] += m_cellStarts[i - 1];
    m_cellStarts[kCellCount] = uint32_t(m_places.size());
    // From the last entry back, each at the end of the room left in its
    // cell's block: each block keeps the course's order, and each cell's
    // start moves down to where its block begins.
    for (size_t i = m_places.size(); i > 0; --i)
        places[i - 1] = --m_cellStarts[places[i - 1]];
    // Each entry swapped into its place, and the one there on towards its own.
    for (size_t i = 0; i < m_places.size(); ++i) {
        while (places[i] != i) {
            const uint32_t place = places[i];
            std::swap(m_places[i], m_places[place]);
            std::swap(m_filed[i], m_filed[place]);
            std::swap(places[i], places[place]);
        }
    }
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

void CEndIndex::Collect(const CPoint2& point, float distance, std::vector<CEntry>& found) const
{
    found.clear();
    // Each source of entries is in order: the entries anywhere, the cells
    // (whose entries keep their rank), and the entries filed again; only
    // entries from more than one of them need sorting.
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
    const float reach = distance + kSlack + m_filedReach;
    const CCells cells = CellsOf(CRectF(point.x - reach, point.y - reach, point.x + reach, point.y + reach));
    m_found.clear();
    const bool anySetAside = !m_setAside.empty();
    int cellsFound = 0;
    for (int row = cells.top; row <= cells.bottom; ++row) {
        for (int column = cells.left; column <= cells.right; ++column) {
            const size_t cell = size_t(row) * kCellsAcross + size_t(column);
            const size_t start = m_found.size();
            for (uint32_t i = m_cellStarts[cell]; i < m_cellStarts[cell + 1]; ++i) {
                const CPlace& place = m_places[i];
                if (MayReach(place.x, place.y, place.reach, point, distance) &&
                    !(anySetAside && IsSetAside(m_filed[i].object)))
                    m_found.push_back(uint64_t(place.rank) << 32 | i);
            }
            cellsFound += m_found.size() > start ? 1 : 0;
        }
    }
    if (cellsFound > 1)
        std::sort(m_found.begin(), m_found.end());
    before = found.size();
    for (const uint64_t key : m_found) {
        const uint32_t i = uint32_t(key);
        const CPlace& place = m_places[i];
        const CFiled& filed = m_filed[i];
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
