// Heap allocation of the physics engine. Every heap block the engine takes or
// gives back moves a process-wide counter, so that tests can see leaks and
// allocations in steps that should not allocate.
#pragma once

#include <cstddef>
#include <cstdint>

// Takes a heap block (C runtime) and counts it.
void* phAlloc(size_t size);
// Returns a block from phAlloc; null does nothing.
void phFree(void* block);

// Heap blocks currently held by the engine (allocations minus releases).
int32_t phGetAllocationCount();
// Heap allocations made by the engine since the process started.
int64_t phGetAllocationTotal();

// Stops the process when an internal rule of the engine is broken by a caller.
[[noreturn]] void phFail(const char* what);
#define PH_CHECK(condition)                                                                                  \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            phFail(#condition);                                                                              \
        }                                                                                                    \
    } while (false)
