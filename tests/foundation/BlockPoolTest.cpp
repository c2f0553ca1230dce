#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "foundation/BlockPool.h"

TEST(BlockPool, AFreedBlockServesTheNextOfItsSizeClass)
{
    CBlockPool pool;
    void* a = pool.Allocate(670);
    void* b = pool.Allocate(670);
    ASSERT_NE(a, b);
    EXPECT_GE(std::abs(static_cast<char*>(b) - static_cast<char*>(a)), 670);
    std::memset(a, 0x5A, 670);
    std::memset(b, 0xA5, 670);
    pool.Free(a, 670);
    // 660 rounds up to the same 16-byte class as 670; 700 does not.
    EXPECT_EQ(a, pool.Allocate(660));
    void* c = pool.Allocate(700);
    EXPECT_NE(a, c);
    EXPECT_NE(b, c);
    EXPECT_EQ(static_cast<unsigned char>(0xA5), static_cast<unsigned char*>(b)[669]);
    pool.Free(b, 670);
    pool.Free(c, 700);
}

TEST(BlockPool, ManyBlocksSpanChunksAndLargeOnesComeFromTheHeap)
{
    CBlockPool pool;
    std::set<void*> blocks;
    for (int i = 0; i < 1000; ++i) {
        void* block = pool.Allocate(200);
        std::memset(block, i, 200);
        EXPECT_TRUE(blocks.insert(block).second);
    }
    void* large = pool.Allocate(CBlockPool::kLargestBlock + 1);
    std::memset(large, 1, CBlockPool::kLargestBlock + 1);
    pool.Free(large, CBlockPool::kLargestBlock + 1);
    for (void* block : blocks)
        pool.Free(block, 200);
    pool.Free(nullptr, 200);
}

TEST(BlockPool, BlocksOfOneSizeLieSideBySideWhateverIsAllocatedBetween)
{
    CBlockPool pool;
    std::vector<std::pair<void*, size_t>> blocks;
    char* previous = nullptr;
    for (int i = 0; i < 100; ++i) {
        char* node = static_cast<char*>(pool.Allocate(20));
        blocks.emplace_back(node, 20);
        blocks.emplace_back(pool.Allocate(700), 700);
        // A 20-byte block takes 32 bytes; a chunk holds 2047 of them.
        if (previous) {
            EXPECT_EQ(previous + 32, node) << i;
        }
        previous = node;
    }
    for (const auto& block : blocks)
        pool.Free(block.first, block.second);
}
