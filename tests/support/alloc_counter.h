#pragma once
// Counts heap allocations made through operator new in the test executable, so a
// test can show that a frame allocates nothing once its sizes are stable.
#include <cstdint>

namespace lmd::test {

// Allocations made so far (any thread).
std::int64_t AllocationCount();

} // namespace lmd::test
