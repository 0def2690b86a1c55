#include "physics/common/allocation.h"
#include "physics/common/block_allocator.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <vector>

TEST(BlockAllocatorTest, SizeClassForEveryRequest)
{
    const int32_t sizes[] = {16, 32, 64, 96, 128, 160, 192, 224, 256, 320, 384, 448, 512, 640};
    for (int32_t request = 1; request <= phMaxBlockSize; ++request) {
        int32_t expected = 0;
        while (sizes[expected] < request) {
            ++expected;
        }
        ASSERT_EQ(phBlockAllocator::GetSizeClass(request), expected) << "request " << request;
        ASSERT_GE(phBlockAllocator::GetClassSize(expected), request);
    }
    EXPECT_EQ(phBlockAllocator::GetSizeClass(1), phBlockAllocator::GetSizeClass(16));
    EXPECT_EQ(phBlockAllocator::GetClassSize(phBlockAllocator::GetSizeClass(17)), 32);
}

TEST(BlockAllocatorTest, BlocksOfAClassAreDistinctAndReused)
{
    phBlockAllocator allocator;
    EXPECT_EQ(allocator.Allocate(0), nullptr);

    // One chunk of 64-byte blocks holds 256 blocks; the 257th takes a new chunk.
    std::vector<void*> blocks;
    for (int i = 0; i < phChunkSize / 64; ++i) {
        blocks.push_back(allocator.Allocate(60));
    }
    EXPECT_EQ(allocator.GetChunkCount(), 1);
    std::set<uintptr_t> addresses;
    for (void* block : blocks) {
        addresses.insert(reinterpret_cast<uintptr_t>(block));
    }
    ASSERT_EQ(addresses.size(), blocks.size());
    for (auto it = std::next(addresses.begin()); it != addresses.end(); ++it) {
        EXPECT_GE(*it - *std::prev(it), 64u);
    }
    void* const extra = allocator.Allocate(64);
    EXPECT_EQ(allocator.GetChunkCount(), 2);

    // A freed block is the next one handed out for its class, without a chunk.
    allocator.Free(blocks[10], 60);
    EXPECT_EQ(allocator.Allocate(49), blocks[10]);
    allocator.Free(extra, 64);
    EXPECT_EQ(allocator.Allocate(64), extra);
    EXPECT_EQ(allocator.GetChunkCount(), 2);

    // Another class takes its own chunk.
    allocator.Allocate(8);
    EXPECT_EQ(allocator.GetChunkCount(), 3);
}

TEST(BlockAllocatorTest, ChunkArrayGrowsBy128)
{
    phBlockAllocator allocator;
    EXPECT_EQ(allocator.GetChunkCapacity(), 128);
    // Each 640-byte chunk holds 25 blocks.
    const int perChunk = phChunkSize / 640;
    for (int i = 0; i < 128 * perChunk; ++i) {
        allocator.Allocate(640);
    }
    EXPECT_EQ(allocator.GetChunkCount(), 128);
    EXPECT_EQ(allocator.GetChunkCapacity(), 128);
    allocator.Allocate(600);
    EXPECT_EQ(allocator.GetChunkCount(), 129);
    EXPECT_EQ(allocator.GetChunkCapacity(), 256);
}

TEST(BlockAllocatorTest, LargeBlocksAreAlignedAndRinged)
{
    phBlockAllocator allocator;
    void* const a = allocator.Allocate(641);
    void* const b = allocator.Allocate(5000);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(a) % 32, 0u);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(b) % 32, 0u);
    EXPECT_EQ(allocator.GetLargeBlockCount(), 2);
    // The whole request is writable (ASan checks the bounds).
    std::memset(a, 0xAB, 641);
    std::memset(b, 0xCD, 5000);
    allocator.Free(a, 641);
    EXPECT_EQ(allocator.GetLargeBlockCount(), 1);
    allocator.Free(b, 5000);
    EXPECT_EQ(allocator.GetLargeBlockCount(), 0);
}

TEST(BlockAllocatorTest, DestructionReleasesEverythingHandedOut)
{
    const int32_t before = phGetAllocationCount();
    {
        phBlockAllocator allocator;
        for (int i = 0; i < 2000; ++i) {
            allocator.Allocate(1 + i % 700);
        }
        EXPECT_GT(phGetAllocationCount(), before);
    }
    EXPECT_EQ(phGetAllocationCount(), before);
}

TEST(BlockAllocatorTest, BlockRingFreeAll)
{
    const int32_t before = phGetAllocationCount();
    phBlockRing ring;
    ring.Allocate(10);
    ring.Allocate(20);
    ring.Allocate(30);
    EXPECT_EQ(ring.GetCount(), 3);
    ring.FreeAll();
    EXPECT_TRUE(ring.IsEmpty());
    EXPECT_EQ(phGetAllocationCount(), before);
}
