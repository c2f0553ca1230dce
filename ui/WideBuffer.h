#pragma once

#include <memory>

// A temporary buffer of n + 1 wide characters for texts read from windows:
// held inside the object up to 200 characters, allocated beyond.
class CWideBuffer
{
public:
    explicit CWideBuffer(int n)
    {
        m_capacity = (n > 0 ? n : 0) + 1;
        if (m_capacity > kLocalCapacity)
            m_heap.reset(new wchar_t[size_t(m_capacity)]());
        Get()[0] = 0;
    }
    CWideBuffer(const CWideBuffer&) = delete;
    CWideBuffer& operator=(const CWideBuffer&) = delete;

    wchar_t* Get() { return m_heap ? m_heap.get() : m_local; }
    // Characters the buffer holds, the terminating 0 included.
    int GetCapacity() const { return m_capacity; }
    bool IsOnHeap() const { return m_heap != nullptr; }

private:
    static constexpr int kLocalCapacity = 201;

    wchar_t m_local[kLocalCapacity];
    std::unique_ptr<wchar_t[]> m_heap;
    int m_capacity;
};
