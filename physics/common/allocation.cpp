#include "physics/common/allocation.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {
std::atomic<int32_t> allocationCount{0};
std::atomic<int64_t> allocationTotal{0};
} // namespace

void* phAlloc(size_t size)
{
    ++allocationCount;
    ++allocationTotal;
    return std::malloc(size);
}

void phFree(void* block)
{
    if (block == nullptr) {
        return;
    }
    --allocationCount;
    std::free(block);
}

int32_t phGetAllocationCount()
{
    return allocationCount.load();
}
int64_t phGetAllocationTotal()
{
    return allocationTotal.load();
}

void phFail(const char* what)
{
    std::fprintf(stderr, "physics: internal check failed: %s\n", what);
    std::abort();
}
