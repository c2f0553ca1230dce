#include "foundation/BlockPool.h"

#include <new>

#include <windows.h>

namespace {

// Holds the pool's flag for a scope; a thread that finds it taken gives up
// its time slice, so that a holder it preempted can finish.
class CSpinLock
{
public:
    explicit CSpinLock(std::atomic_flag& busy) : m_busy(busy)
    {
        while (m_busy.test_and_set(std::memory_order_acquire))
            SwitchToThread();
    }
    ~CSpinLock() { m_busy.clear(std::memory_order_release); }
    CSpinLock(const CSpinLock&) = delete;
    CSpinLock& operator=(const CSpinLock&) = delete;

private:
    std::atomic_flag& m_busy;
};

size_t ClassOf(size_t size) { return (size + CBlockPool::kGranule - 1) / CBlockPool::kGranule; }

}  // namespace

CBlockPool& CBlockPool::Shared()
{
    static CBlockPool* const pool = new CBlockPool;
    return *pool;
}

CBlockPool::~CBlockPool()
{
    while (m_chunks != nullptr) {
        void* chunk = m_chunks;
        m_chunks = *static_cast<void**>(chunk);
        ::operator delete(chunk);
    }
}

void* CBlockPool::Allocate(size_t size)
{
    if (size > kLargestBlock)
        return ::operator new(size);
    const size_t index = ClassOf(size == 0 ? 1 : size);
    CSpinLock lock(m_busy);
    if (void* block = m_free[index]) {
        m_free[index] = *static_cast<void**>(block);
        return block;
    }
    const size_t blockSize = index * kGranule;
    // Each class carves a chunk of its own, so that blocks of one size (the
    // nodes of a set, say) lie side by side and a walk over them stays in
    // few cache lines.
    if (m_chunkLeft[index] < blockSize) {
        // The rest of the old chunk (less than one block) stays unused.
        void* chunk = ::operator new(kChunkSize);
        *static_cast<void**>(chunk) = m_chunks;
        m_chunks = chunk;
        m_chunkNext[index] = static_cast<char*>(chunk) + kGranule;
        m_chunkLeft[index] = kChunkSize - kGranule;
    }
    void* block = m_chunkNext[index];
    m_chunkNext[index] += blockSize;
    m_chunkLeft[index] -= blockSize;
    return block;
}

void CBlockPool::Free(void* block, size_t size)
{
    if (block == nullptr)
        return;
    if (size > kLargestBlock) {
        ::operator delete(block);
        return;
    }
    const size_t index = ClassOf(size == 0 ? 1 : size);
    CSpinLock lock(m_busy);
    *static_cast<void**>(block) = m_free[index];
    m_free[index] = block;
}
