#pragma once

#include <atomic>
#include <cstddef>

// Memory for objects made and destroyed by the thousand: blocks in 16-byte
// size classes, each class carved from 64 KB chunks of its own and kept on
// a free list of its class once freed, for the next object of that size.
// The system heap under Wine hands the pages of a large freed run back and
// takes fresh zeroed ones for the next run, which for a course of ten
// thousand objects costs more than reading them. Chunks are never returned:
// the pool holds the most memory its blocks ever held at once. Blocks larger
// than kLargestBlock come from the ordinary heap.
//
// A class takes its memory from the pool by declaring
//     static void* operator new(size_t size) { return CBlockPool::Shared().Allocate(size); }
//     static void operator delete(void* block, size_t size) { CBlockPool::Shared().Free(block, size); }
// and Free gets the size Allocate was given (a class with a virtual
// destructor passes the size of the object's own class).
class CBlockPool
{
public:
    static constexpr size_t kGranule = 16;
    static constexpr size_t kLargestBlock = 4096;
    static constexpr size_t kChunkSize = 64 * 1024;

    CBlockPool() = default;
    // Returns the chunks; every block must have been freed.
    ~CBlockPool();
    CBlockPool(const CBlockPool&) = delete;
    CBlockPool& operator=(const CBlockPool&) = delete;

    // The process's pool; it lives until the process ends, so objects
    // destroyed during static destruction can still give their blocks back.
    static CBlockPool& Shared();

    void* Allocate(size_t size);
    void Free(void* block, size_t size);

private:
    static constexpr size_t kClassCount = kLargestBlock / kGranule + 1;

    // Held for a few instructions per block, by one thread nearly always: a
    // flag to spin on costs half the runtime's mutex, which was a sixth of
    // reading a course of tunnels.
    std::atomic_flag m_busy = ATOMIC_FLAG_INIT;
    // The first free block of each class; a free block holds the next.
    void* m_free[kClassCount] = {};
    // Where each class carves its next block, and how much is left there.
    char* m_chunkNext[kClassCount] = {};
    size_t m_chunkLeft[kClassCount] = {};
    // The newest chunk; each chunk's first granule holds the one before.
    void* m_chunks = nullptr;
};

// A standard allocator over the shared pool, for the nodes of containers
// that grow and shrink with a course's objects.
template <typename T>
class CPoolAllocator
{
public:
    using value_type = T;

    CPoolAllocator() = default;
    template <typename U>
    CPoolAllocator(const CPoolAllocator<U>&) noexcept
    {
    }

    T* allocate(size_t count) { return static_cast<T*>(CBlockPool::Shared().Allocate(count * sizeof(T))); }
    void deallocate(T* block, size_t count) noexcept { CBlockPool::Shared().Free(block, count * sizeof(T)); }

    friend bool operator==(const CPoolAllocator&, const CPoolAllocator&) { return true; }
    friend bool operator!=(const CPoolAllocator&, const CPoolAllocator&) { return false; }
};
