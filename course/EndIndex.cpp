#include "course/EndIndex.h"

#include <algorithm>
#include <cmath>

#include "foundation/FieldStream.h"
#include "objects/equipment/ObstacleEnd.h"

CEndIndex::CEndIndex(const CCourseObjectSet& objects) : m_cells(size_t(kCellsAcross) * kCellsAcross)
{
    uint32_t order = 0;
    for (CCourseObject* object : objects) {
        for (CObstacleEnd* end : object->GetEnds()) {
            const CEntry entry{object, end, order++};
            const CPoint2 point = end->GetCoursePoint();
            const float reach = end->GetReach();
            if (!IsFinite(point) || !std::isfinite(reach)) {
                m_anywhere.push_back(entry);
                continue;
            }
            const CCells cells = CellsOf(CRectF(point.x - reach, point.y - reach, point.x + reach, point.y + reach));
            if ((cells.right - cells.left + 1) * (cells.bottom - cells.top + 1) > kMostCells) {
                m_anywhere.push_back(entry);
                continue;
            }
            for (int row = cells.top; row <= cells.bottom; ++row)
                for (int column = cells.left; column <= cells.right; ++column)
                    m_cells[size_t(row) * kCellsAcross + size_t(column)].push_back(entry);
        }
    }
}

CEndIndex::CCells CEndIndex::CellsOf(const CRectF& rect)
{
    const auto cell = [](float value) {
        const float index = std::floor((value - CFieldStream::kMinPointCoordinate) / kCellSize);
        return index != index ? 0 : int(std::min(std::max(index, 0.0f), float(kCellsAcross - 1)));
    };
    return CCells{cell(rect.left), cell(rect.top), cell(rect.right), cell(rect.bottom)};
}

void CEndIndex::Collect(const CRectF& rect, std::vector<CEntry>& found) const
{
    found = m_anywhere;
    const CCells cells = CellsOf(rect);
    for (int row = cells.top; row <= cells.bottom; ++row) {
        for (int column = cells.left; column <= cells.right; ++column) {
            const std::vector<CEntry>& cell = m_cells[size_t(row) * kCellsAcross + size_t(column)];
            found.insert(found.end(), cell.begin(), cell.end());
        }
    }
    const auto byOrder = [](const CEntry& a, const CEntry& b) { return a.order < b.order; };
    const auto sameOrder = [](const CEntry& a, const CEntry& b) { return a.order == b.order; };
    std::sort(found.begin(), found.end(), byOrder);
    found.erase(std::unique(found.begin(), found.end(), sameOrder), found.end());
}
