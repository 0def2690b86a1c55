#include "physics/common/allocation.h"
#include "physics/common/growable_stack.h"
#include "physics/common/stack_allocator.h"

#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {
// The allocator holds its 100 KB arena inline: keep it off the test's stack.
std::unique_ptr<phStackAllocator> MakeStack()
{
    return std::make_unique<phStackAllocator>();
}
} // namespace

TEST(StackAllocatorTest, ArenaThenHeap)
{
    auto stack = MakeStack();
    const int32_t before = phGetAllocationCount();
    void* const whole = stack->Allocate(phStackSize);
    EXPECT_EQ(stack->GetIndex(), phStackSize);
    EXPECT_EQ(phGetAllocationCount(), before);

    void* const spill = stack->Allocate(8);
    EXPECT_EQ(phGetAllocationCount(), before + 1);
    EXPECT_EQ(stack->GetIndex(), phStackSize);
    EXPECT_EQ(stack->GetAllocation(), phStackSize + 8);

    stack->Free(spill);
    EXPECT_EQ(phGetAllocationCount(), before);
    EXPECT_EQ(stack->GetIndex(), phStackSize);
    stack->Free(whole);
    EXPECT_EQ(stack->GetIndex(), 0);
    EXPECT_EQ(stack->GetEntryCount(), 0);
    EXPECT_EQ(stack->GetMaxAllocation(), phStackSize + 8);

    // Empty again: the overflow now has an arena of its own, so the same
    // pattern no longer reaches the heap.
    EXPECT_EQ(stack->GetOverflowSize(), 8);
    const int32_t withOverflow = phGetAllocationCount();
    void* const again = stack->Allocate(phStackSize);
    void* const spillAgain = stack->Allocate(8);
    EXPECT_EQ(phGetAllocationCount(), withOverflow);
    // A larger spill still goes to the heap until the allocator is empty.
    void* const larger = stack->Allocate(64);
    EXPECT_EQ(phGetAllocationCount(), withOverflow + 1);
    stack->Free(larger);
    stack->Free(spillAgain);
    stack->Free(again);
    EXPECT_EQ(stack->GetOverflowSize(), 72);
}

TEST(StackAllocatorTest, SizesRoundToEightAndBlocksDoNotOverlap)
{
    auto stack = MakeStack();
    auto* const a = static_cast<char*>(stack->Allocate(3));
    auto* const b = static_cast<char*>(stack->Allocate(13));
    EXPECT_EQ(b - a, 8);
    EXPECT_EQ(stack->GetIndex(), 8 + 16);
    stack->Free(b);
    stack->Free(a);
}

TEST(StackAllocatorTest, EntryTableGrowsBeyond32)
{
    auto stack = MakeStack();
    std::vector<void*> blocks;
    for (int i = 0; i < 100; ++i) {
        blocks.push_back(stack->Allocate(16));
        std::memset(blocks.back(), i, 16);
    }
    EXPECT_EQ(stack->GetEntryCount(), 100);
    for (int i = 99; i >= 0; --i) {
        EXPECT_EQ(static_cast<unsigned char*>(blocks[static_cast<size_t>(i)])[15], i);
        stack->Free(blocks[static_cast<size_t>(i)]);
    }
    EXPECT_EQ(stack->GetIndex(), 0);
}

TEST(StackAllocatorDeathTest, FreeOutOfOrderStops)
{
    auto stack = MakeStack();
    void* const a = stack->Allocate(16);
    void* const b = stack->Allocate(16);
    EXPECT_DEATH(stack->Free(a), "internal check failed");
    stack->Free(b);
    stack->Free(a);
}

TEST(StackAllocatorTest, ReallocateGrowsInPlaceOrMovesToHeap)
{
    auto stack = MakeStack();
    const int32_t before = phGetAllocationCount();
    auto* block = static_cast<int32_t*>(stack->Allocate(16));
    block[0] = 42;
    auto* grown = static_cast<int32_t*>(stack->Reallocate(block, 64));
    EXPECT_EQ(grown, block); // fits: grows in place
    EXPECT_EQ(stack->GetIndex(), 64);

    grown = static_cast<int32_t*>(stack->Reallocate(grown, phStackSize + 64));
    EXPECT_NE(grown, block); // moved to the heap, contents kept
    EXPECT_EQ(grown[0], 42);
    EXPECT_EQ(stack->GetIndex(), 0);
    EXPECT_EQ(phGetAllocationCount(), before + 1);

    grown = static_cast<int32_t*>(stack->Reallocate(grown, phStackSize + 128));
    EXPECT_EQ(grown[0], 42);
    EXPECT_EQ(phGetAllocationCount(), before + 1);
    stack->Free(grown);
    // The heap block is gone; the overflow arena sized for it stays.
    EXPECT_EQ(phGetAllocationCount(), before + 1);
    EXPECT_EQ(stack->GetOverflowSize(), phStackSize + 128);
}

TEST(GrowableStackTest, MovesToHeapAfterInPlaceCapacity)
{
    const int32_t before = phGetAllocationCount();
    {
        phGrowableStack<int32_t, 256> stack;
        for (int32_t i = 0; i < 256; ++i) {
            stack.Push(i);
        }
        EXPECT_FALSE(stack.IsOnHeap());
        stack.Push(256);
        EXPECT_TRUE(stack.IsOnHeap());
        EXPECT_EQ(stack.GetCapacity(), 512);
        EXPECT_EQ(phGetAllocationCount(), before + 1);
        for (int32_t i = 256; i >= 0; --i) {
            ASSERT_EQ(stack.Pop(), i);
        }
    }
    EXPECT_EQ(phGetAllocationCount(), before);
}
