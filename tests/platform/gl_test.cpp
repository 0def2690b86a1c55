#include "platform/gl.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

TEST(RendererThreadsTest, CountFitsThePictureSize)
{
    const struct
    {
        long long pixels;
        int cores, threads;
    } cases[] = {
        {0, 8, 0},
        {130 * 130, 8, 0}, // the clock at zoom 100: drawn by the calling thread alone
        {256 * 256, 8, 0},
        {256 * 256 + 1, 8, 2}, // never a single helper thread: it would only add hand-offs
        {390 * 390, 8, 3},     // zoom 300
        {780 * 780, 8, 8},     // zoom 600: every core
        {780 * 780, 4, 4},
        {780 * 780, 0, 1}, // unknown core count
        {1LL << 40, 16, 16},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::RendererThreadsFor(c.pixels, c.cores), c.threads) << c.pixels << " px, " << c.cores;
}

// LP_NUM_THREADS for one test, restored afterwards.
class RendererThreadsEnvironment : public ::testing::Test
{
protected:
    static constexpr const char* kName = "LP_NUM_THREADS";
    void SetUp() override
    {
        if (const char* value = std::getenv(kName))
            m_saved = value;
        ::unsetenv(kName);
    }
    void TearDown() override
    {
        if (m_saved)
            ::setenv(kName, m_saved->c_str(), 1);
        else
            ::unsetenv(kName);
    }
    static std::string Value() { return std::getenv(kName) ? std::getenv(kName) : "(unset)"; }

private:
    std::optional<std::string> m_saved;
};

TEST_F(RendererThreadsEnvironment, SetFromThePixelCount)
{
    EXPECT_TRUE(platform::FitRendererThreads(130 * 130));
    EXPECT_EQ(Value(), "0");
}

TEST_F(RendererThreadsEnvironment, TheUsersValueStands)
{
    ::setenv(kName, "5", 1);
    EXPECT_FALSE(platform::FitRendererThreads(130 * 130));
    EXPECT_EQ(Value(), "5");
    ::setenv(kName, "", 1); // set, even if empty
    EXPECT_FALSE(platform::FitRendererThreads(780 * 780));
    EXPECT_EQ(Value(), "");
}

} // namespace
