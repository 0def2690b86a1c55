// A stack that lives on the caller's stack for its first N values and moves to
// the heap (doubling) beyond that.
#pragma once

#include "physics/common/allocation.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

template <typename T, int32_t N> class phGrowableStack
{
    static_assert(std::is_trivially_copyable_v<T>);

public:
    phGrowableStack() = default;
    phGrowableStack(const phGrowableStack&) = delete;
    phGrowableStack& operator=(const phGrowableStack&) = delete;
    ~phGrowableStack()
    {
        if (m_stack != m_array) {
            phFree(m_stack);
        }
    }

    void Push(const T& value)
    {
        if (m_count == m_capacity) {
            T* const old = m_stack;
            m_capacity *= 2;
            m_stack = static_cast<T*>(phAlloc(sizeof(T) * static_cast<size_t>(m_capacity)));
            std::memcpy(m_stack, old, sizeof(T) * static_cast<size_t>(m_count));
            if (old != m_array) {
                phFree(old);
            }
        }
        m_stack[m_count++] = value;
    }
    T Pop() { return m_stack[--m_count]; }
    int32_t GetCount() const { return m_count; }
    int32_t GetCapacity() const { return m_capacity; }
    bool IsOnHeap() const { return m_stack != m_array; }

private:
    T m_array[N];
    T* m_stack = m_array;
    int32_t m_count = 0;
    int32_t m_capacity = N;
};
