#include "tools/benchmark/AllocationCounter.h"

#include <cstdlib>
#include <new>

// The replacement operators every new and delete of the benchmark program
// reach; the count is all they add.

namespace {

volatile size_t g_allocations = 0;

void* CountedAllocate(size_t size)
{
    ++g_allocations;
    void* memory = std::malloc(size ? size : 1);
    if (!memory)
        std::abort();
    return memory;
}

}  // namespace

size_t GetAllocationCount() { return g_allocations; }

void* operator new(size_t size) { return CountedAllocate(size); }
void* operator new[](size_t size) { return CountedAllocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return CountedAllocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return CountedAllocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, size_t) noexcept { std::free(memory); }
