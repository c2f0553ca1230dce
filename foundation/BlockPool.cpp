#include "foundation/BlockPool.h"

#include <new>

namespace {

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
    std::lock_guard<std::mutex> lock(m_mutex);
    if (void* block = m_free[index]) {
        m_free[index] = *static_cast<void**>(block);
        return block;
    }
    const size_t blockSize = index * kGranule;
    if (m_chunkLeft < blockSize) {
        // The rest of the old chunk (less than one block) stays unused.
        void* chunk = ::operator new(kChunkSize);
        *static_cast<void**>(chunk) = m_chunks;
        m_chunks = chunk;
        m_chunkNext = static_cast<char*>(chunk) + kGranule;
        m_chunkLeft = kChunkSize - kGranule;
    }
    void* block = m_chunkNext;
    m_chunkNext += blockSize;
    m_chunkLeft -= blockSize;
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
    std::lock_guard<std::mutex> lock(m_mutex);
    *static_cast<void**>(block) = m_free[index];
    m_free[index] = block;
}
