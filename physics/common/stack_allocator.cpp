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
    phFree(m_overflow);
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
    if (m_index + size <= phStackSize) {
        entry.data = m_data + m_index;
        entry.source = Source::arena;
        m_index += size;
    } else if (m_overflowIndex + size <= m_overflowSize) {
        entry.data = m_overflow + m_overflowIndex;
        entry.source = Source::overflowArena;
        m_overflowIndex += size;
    } else {
        entry.data = static_cast<char*>(phAlloc(static_cast<size_t>(size)));
        entry.source = Source::heap;
    }
    if (entry.source != Source::arena) {
        m_spill += size;
        m_maxSpill = std::max(m_maxSpill, m_spill);
    }
    m_allocation += size;
    m_maxAllocation = std::max(m_maxAllocation, m_allocation);
    return entry.data;
}

void phStackAllocator::Release(const Entry& entry)
{
    switch (entry.source) {
    case Source::arena:
        m_index -= entry.size;
        break;
    case Source::overflowArena:
        m_overflowIndex -= entry.size;
        m_spill -= entry.size;
        break;
    case Source::heap:
        phFree(entry.data);
        m_spill -= entry.size;
        break;
    }
}

void phStackAllocator::Free(void* block)
{
    const Entry& entry = Top();
    PH_CHECK(entry.data == block);
    Release(entry);
    m_allocation -= entry.size;
    --m_entryCount;
    if (m_entryCount == 0) {
        GrowOverflowArena();
    }
}

void phStackAllocator::GrowOverflowArena()
{
    const int32_t needed = m_maxSpill;
    if (needed <= m_overflowSize) {
        return;
    }
    phFree(m_overflow);
    m_overflow = static_cast<char*>(phAlloc(static_cast<size_t>(needed)));
    m_overflowSize = needed;
    m_overflowIndex = 0;
}

void* phStackAllocator::Reallocate(void* block, int32_t size)
{
    Entry& entry = Top();
    PH_CHECK(entry.data == block);
    size = (size + 7) & ~7;
    PH_CHECK(size >= entry.size);
    const int32_t growth = size - entry.size;
    if (entry.source == Source::arena && m_index + growth <= phStackSize) {
        m_index += growth;
    } else if (entry.source == Source::overflowArena && m_overflowIndex + growth <= m_overflowSize) {
        m_overflowIndex += growth;
        m_spill += growth;
    } else {
        // Move to a heap block of its own.
        auto* const data = static_cast<char*>(phAlloc(static_cast<size_t>(size)));
        std::memcpy(data, entry.data, static_cast<size_t>(entry.size));
        Release(entry);
        entry.data = data;
        entry.source = Source::heap;
        m_spill += size;
    }
    m_maxSpill = std::max(m_maxSpill, m_spill);
    m_allocation += growth;
    m_maxAllocation = std::max(m_maxAllocation, m_allocation);
    entry.size = size;
    return entry.data;
}
