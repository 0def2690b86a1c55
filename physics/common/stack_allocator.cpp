#include "physics/common/stack_allocator.h"

#include "physics/common/allocation.h"

#include <algorithm>
#include <cstring>

phStackAllocator::~phStackAllocator()
{
    PH_CHECK(m_entryCount == 0);
    if (m_entries != m_inPlaceEntries) {
        phFree(m_entries);
    }
}

phStackAllocator::Entry& phStackAllocator::PushEntry()
{
    if (m_entryCount == m_entryCapacity) {
        Entry* const old = m_entries;
        m_entryCapacity *= 2;
        m_entries = static_cast<Entry*>(phAlloc(sizeof(Entry) * static_cast<size_t>(m_entryCapacity)));
        std::memcpy(m_entries, old, sizeof(Entry) * static_cast<size_t>(m_entryCount));
        if (old != m_inPlaceEntries) {
            phFree(old);
        }
    }
    return m_entries[m_entryCount++];
}

phStackAllocator::Entry& phStackAllocator::Top()
{
    PH_CHECK(m_entryCount > 0);
    return m_entries[m_entryCount - 1];
}

void* phStackAllocator::Allocate(int32_t size)
{
    size = (std::max(size, 0) + 7) & ~7;
    Entry& entry = PushEntry();
    entry.size = size;
    if (m_index + size > phStackSize) {
        entry.data = static_cast<char*>(phAlloc(static_cast<size_t>(size)));
        entry.usedHeap = true;
    } else {
        entry.data = m_data + m_index;
        entry.usedHeap = false;
        m_index += size;
    }
    m_allocation += size;
    m_maxAllocation = std::max(m_maxAllocation, m_allocation);
    return entry.data;
}

void phStackAllocator::Free(void* block)
{
    const Entry& entry = Top();
    PH_CHECK(entry.data == block);
    if (entry.usedHeap) {
        phFree(entry.data);
    } else {
        m_index -= entry.size;
    }
    m_allocation -= entry.size;
    --m_entryCount;
}

void* phStackAllocator::Reallocate(void* block, int32_t size)
{
    Entry& entry = Top();
    PH_CHECK(entry.data == block);
    size = (size + 7) & ~7;
    PH_CHECK(size >= entry.size);
    const int32_t growth = size - entry.size;
    if (entry.usedHeap) {
        auto* const data = static_cast<char*>(phAlloc(static_cast<size_t>(size)));
        std::memcpy(data, entry.data, static_cast<size_t>(entry.size));
        phFree(entry.data);
        entry.data = data;
    } else if (m_index + growth <= phStackSize) {
        m_index += growth;
    } else {
        auto* const data = static_cast<char*>(phAlloc(static_cast<size_t>(size)));
        std::memcpy(data, entry.data, static_cast<size_t>(entry.size));
        m_index -= entry.size;
        entry.data = data;
        entry.usedHeap = true;
    }
    m_allocation += growth;
    m_maxAllocation = std::max(m_maxAllocation, m_allocation);
    entry.size = size;
    return entry.data;
}
