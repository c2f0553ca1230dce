#include "course/ObstacleEndList.h"

#include <algorithm>

void CObstacleEndList::PushToHeap(CObstacleEnd* end)
{
    if (m_heap.empty())
        m_heap.assign(m_inPlace, m_inPlace + m_count);
    m_heap.push_back(end);
    ++m_count;
}

void CObstacleEndList::erase(const_iterator at)
{
    CObstacleEnd** items = m_heap.empty() ? m_inPlace : m_heap.data();
    const size_t index = size_t(at - items);
    std::copy(items + index + 1, items + m_count, items + index);
    --m_count;
    if (!m_heap.empty())
        m_heap.pop_back();
}
