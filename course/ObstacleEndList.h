#pragma once

#include <cstddef>
#include <vector>

class CObstacleEnd;

// The ends an object has registered, in registration order, read like a
// vector of pointers. Obstacles register at most twelve (the platform
// jump): those sit in the object itself, so that a course read from a file
// takes no heap block for its objects' ends; a thirteenth moves them all to
// the heap.
class CObstacleEndList
{
public:
    using const_iterator = CObstacleEnd* const*;

    CObstacleEndList() = default;
    CObstacleEndList(const CObstacleEndList&) = delete;
    CObstacleEndList& operator=(const CObstacleEndList&) = delete;

    size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    CObstacleEnd* operator[](size_t index) const { return begin()[index]; }
    CObstacleEnd* front() const { return *begin(); }
    const_iterator begin() const { return m_heap.empty() ? m_inPlace : m_heap.data(); }
    const_iterator end() const { return begin() + m_count; }

    void push_back(CObstacleEnd* end)
    {
        if (m_heap.empty() && m_count < kInPlace)
            m_inPlace[m_count++] = end;
        else
            PushToHeap(end);
    }
    void erase(const_iterator at);

    // A copy, for a caller that keeps the ends as a vector.
    operator std::vector<CObstacleEnd*>() const { return std::vector<CObstacleEnd*>(begin(), end()); }

    static constexpr size_t kInPlace = 12;

private:
    void PushToHeap(CObstacleEnd* end);

    size_t m_count = 0;
    // Every end once there are more than fit in place.
    std::vector<CObstacleEnd*> m_heap;
    // The first m_count hold the ends while the heap holds none.
    CObstacleEnd* m_inPlace[kInPlace];
};
