#include "course/EndIndex.h"

#include <algorithm>
#include <cmath>

#include "foundation/FieldStream.h"
#include "objects/equipment/ObstacleEnd.h"

CEndIndex::CEndIndex(const CCourseObjectSet& objects)
{
    // Counted first and then filed, so that each cell's entries lie in one
    // block: a course read makes one index of all its ends.
    size_t count = 0;
    for (const CCourseObject* object : objects)
        count += object->GetEnds().size();
    std::vector<CFiled> filed;
    std::vector<size_t> cells;
    filed.reserve(count);
    cells.reserve(count);
    constexpr size_t kCellCount = size_t(kCellsAcross) * kCellsAcross;
    m_cellStarts.assign(kCellCount + 1, 0);
    uint32_t order = 0;
    for (CCourseObject* object : objects) {
        for (CObstacleEnd* end : object->GetEnds()) {
            const CEntry entry{object, end, order++};
            const CPoint2 point = end->GetCoursePoint();
            const float reach = end->GetReach();
            if (!IsFinite(point) || !(reach <= kMostFiledReach)) {
                m_anywhere.push_back(entry);
                continue;
            }
            const CCells at = CellsOf(CRectF(point.x, point.y, point.x, point.y));
            cells.push_back(size_t(at.top) * kCellsAcross + size_t(at.left));
            filed.push_back({entry, CRectF(point.x - reach, point.y - reach, point.x + reach, point.y + reach)});
            ++m_cellStarts[cells.back() + 1];
            m_filedReach = std::max(m_filedReach, reach);
        }
    }
    for (size_t i = 1; i <= kCellCount; ++i)
        m_cellStarts[i] += m_cellStarts[i - 1];
    m_cellEntries.resize(filed.size());
    std::vector<uint32_t> next(m_cellStarts.begin(), m_cellStarts.end() - 1);
    for (size_t i = 0; i < filed.size(); ++i)
        m_cellEntries[next[cells[i]]++] = filed[i];
}

CEndIndex::CCells CEndIndex::CellsOf(const CRectF& rect)
{
    // Below the first cell, and a coordinate that is no number, give the
    // first; the whole part comes from a conversion to an integer (floor is
    // a library call on this target), which is the floor for what is left.
    const auto cell = [](float value) {
        const float index = (value - CFieldStream::kMinPointCoordinate) / kCellSize;
        if (!(index >= 0.0f))
            return 0;
        return index < float(kCellsAcross - 1) ? int(index) : kCellsAcross - 1;
    };
    return CCells{cell(rect.left), cell(rect.top), cell(rect.right), cell(rect.bottom)};
}

void CEndIndex::Collect(const CRectF& rect, std::vector<CEntry>& found) const
{
    found = m_anywhere;
    // An entry whose square lies this little beyond the rectangle still
    // counts: a distance worked out in single precision may come out short.
    constexpr float kSlack = 1.0f;
    const CRectF grown(rect.left - kSlack, rect.top - kSlack, rect.right + kSlack, rect.bottom + kSlack);
    const float reach = m_filedReach + kSlack;
    const CCells cells = CellsOf(CRectF(rect.left - reach, rect.top - reach, rect.right + reach, rect.bottom + reach));
    // Each cell, like the entries anywhere, is in order: only entries from
    // more than one of them need sorting.
    int sources = m_anywhere.empty() ? 0 : 1;
    for (int row = cells.top; row <= cells.bottom; ++row) {
        for (int column = cells.left; column <= cells.right; ++column) {
            const size_t cell = size_t(row) * kCellsAcross + size_t(column);
            const size_t before = found.size();
            for (uint32_t i = m_cellStarts[cell]; i < m_cellStarts[cell + 1]; ++i) {
                const CFiled& item = m_cellEntries[i];
                if (item.box.left <= grown.right && grown.left <= item.box.right && item.box.top <= grown.bottom &&
                    grown.top <= item.box.bottom)
                    found.push_back(item.entry);
            }
            if (found.size() > before)
                ++sources;
        }
    }
    if (sources > 1)
        std::sort(found.begin(), found.end(), [](const CEntry& a, const CEntry& b) { return a.order < b.order; });
}
