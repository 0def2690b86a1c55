// Memory of the particle system: per-particle buffers that the caller may supply,
// and growable lists of records. Both live in the world's block allocator and
// are reused from step to step.
#pragma once

#include "physics/common/block_allocator.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>

template <typename T> int32_t phByteSize(int32_t count)
{
    return static_cast<int32_t>(sizeof(T)) * count;
}

// A per-particle buffer. A caller-supplied buffer (userCapacity > 0) is never
// reallocated or freed by the system.
template <typename T> struct phParticleBuffer
{
    static_assert(std::is_trivially_copyable_v<T>);

    T* data = nullptr;
    int32_t userCapacity = 0;

    bool IsUserSupplied() const { return userCapacity > 0; }
    T& operator[](int32_t i) const { return data[i]; }
};

// A list that starts at 256 records and doubles when full.
template <typename T> class phParticleList
{
    static_assert(std::is_trivially_copyable_v<T>);

public:
    explicit phParticleList(phBlockAllocator* allocator) : m_allocator(allocator) {}
    phParticleList(const phParticleList&) = delete;
    phParticleList& operator=(const phParticleList&) = delete;
    ~phParticleList() { m_allocator->Free(m_data, phByteSize<T>(m_capacity)); }

    T& Append()
    {
        if (m_count == m_capacity) {
            Reserve(std::max(256, 2 * m_capacity));
        }
        return m_data[m_count++];
    }
    void Reserve(int32_t capacity)
    {
        if (capacity <= m_capacity) {
            return;
        }
        auto* const data = static_cast<T*>(m_allocator->Allocate(phByteSize<T>(capacity)));
        if (m_count > 0) {
            std::memcpy(data, m_data, static_cast<size_t>(phByteSize<T>(m_count)));
        }
        m_allocator->Free(m_data, phByteSize<T>(m_capacity));
        m_data = data;
        m_capacity = capacity;
    }
    void Clear() { m_count = 0; }
    // Keeps the first count records.
    void Truncate(int32_t count) { m_count = std::min(count, m_count); }
    // Drops every record for which remove(record) holds; the order of the rest is kept.
    template <typename Predicate> void RemoveIf(Predicate&& remove)
    {
        m_count = static_cast<int32_t>(std::remove_if(begin(), end(), remove) - begin());
    }
    // Sorts stably and keeps the first of each run of equal records.
    template <typename Less, typename Equal> void SortUnique(Less&& less, Equal&& equal)
    {
        std::stable_sort(begin(), end(), less);
        m_count = static_cast<int32_t>(std::unique(begin(), end(), equal) - begin());
    }

    T* begin() { return m_data; }
    T* end() { return m_data + m_count; }
    const T* begin() const { return m_data; }
    const T* end() const { return m_data + m_count; }
    T& operator[](int32_t i) { return m_data[i]; }
    const T& operator[](int32_t i) const { return m_data[i]; }
    T* GetData() { return m_data; }
    const T* GetData() const { return m_data; }
    int32_t GetCount() const { return m_count; }
    int32_t GetCapacity() const { return m_capacity; }

private:
    phBlockAllocator* m_allocator;
    T* m_data = nullptr;
    int32_t m_count = 0;
    int32_t m_capacity = 0;
};
