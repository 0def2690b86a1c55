// Scratch memory of one step: a 100 KB arena used strictly last-in first-out,
// with heap blocks for whatever does not fit. When the allocator is empty again
// after such overflow, it takes one heap arena as large as the most that was
// ever live outside the first, so that steps of a steady scene stop reaching the heap.
#pragma once

#include <cstdint>

inline constexpr int32_t phStackSize = 100 * 1024;
inline constexpr int32_t phMaxStackEntries = 32;

class phStackAllocator
{
public:
    phStackAllocator() = default;
    phStackAllocator(const phStackAllocator&) = delete;
    phStackAllocator& operator=(const phStackAllocator&) = delete;
    ~phStackAllocator();

    void* Allocate(int32_t size);
    // Releases the most recent allocation, which must be this block.
    void Free(void* block);
    // Grows the most recent allocation, which must be this block, to a larger size.
    void* Reallocate(void* block, int32_t size);

    int32_t GetEntryCount() const { return m_entryCount; }
    int32_t GetIndex() const { return m_index; }
    int32_t GetAllocation() const { return m_allocation; }
    int32_t GetMaxAllocation() const { return m_maxAllocation; }
    int32_t GetOverflowSize() const { return m_overflowSize; }

private:
    enum class Source : uint8_t
    {
        arena,
        overflowArena,
        heap
    };
    struct Entry
    {
        char* data;
        int32_t size;
        Source source;
    };

    Entry& PushEntry();
    Entry& Top();
    void Release(const Entry& entry);
    // Makes the overflow arena as large as the most bytes ever live outside the arena.
    void GrowOverflowArena();

    alignas(16) char m_data[phStackSize];
    int32_t m_index = 0;
    int32_t m_allocation = 0;
    int32_t m_maxAllocation = 0;
    Entry m_inPlaceEntries[phMaxStackEntries];
    // The entry table moves to the heap (doubling) when a caller keeps more than
    // 32 allocations live.
    Entry* m_entries = m_inPlaceEntries;
    int32_t m_entryCapacity = phMaxStackEntries;
    int32_t m_entryCount = 0;
    char* m_overflow = nullptr;
    int32_t m_overflowSize = 0;
    int32_t m_overflowIndex = 0;
    int32_t m_spill = 0; // bytes live outside the arena
    int32_t m_maxSpill = 0;
};
