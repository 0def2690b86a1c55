// A block of our own that nothing points at any more.
#include <array>
#include <gtest/gtest.h>

namespace {

[[gnu::noinline]] void LoseABlock()
{
    auto* volatile block = new std::array<char, 128>{};
    block = nullptr;
}

TEST(LeakHarness, OwnBlockIsLost)
{
    LoseABlock();
}

} // namespace
