// The frame-rate readout of the demo overlays: frames per second from the
// interval between two readouts, one previous reading for the process.
#include "demos/core/core.h"

#include <gtest/gtest.h>

namespace {

std::int64_t g_now = 0; // the test clock, in 100-ns ticks

std::int64_t TestClock()
{
    return g_now;
}

class FrameRateTest : public ::testing::Test
{
protected:
    FrameRateTest() { gaSetTickClock(&TestClock); }
    ~FrameRateTest() override { gaSetTickClock(nullptr); }
};

TEST_F(FrameRateTest, FirstReadoutRunsFromTheEpochAndShowsZero)
{
    g_now = 133'000'000'000'000'000; // a day in 2022, in ticks since 1601
    EXPECT_EQ(measuredFrameRate(), 0);
    g_now += 320'000;
    EXPECT_EQ(measuredFrameRate(), 31); // measured from the first readout, not the epoch

    gaSetTickClock(nullptr); // the system clock, previous reading forgotten
    EXPECT_EQ(measuredFrameRate(), 0);
}

TEST_F(FrameRateTest, RateIsAThousandOverTheIntervalInMilliseconds)
{
    struct Case
    {
        std::int64_t ticks; // interval since the previous readout
        int rate;
    };
    const Case cases[] = {
        {320'000, 31},     // one 32 ms frame of the DEMO dialog
        {333'333, 30},     // 33333 us: 30.0003
        {100'000, 100},
        {10'000'000, 1},   // one second
        {20'000'000, 0},   // half a frame per second, truncated
        {10, 1'000'000},   // one microsecond
        {9, 0},            // less than a microsecond: no interval
        {0, 0},
        {-320'000, 0},     // the clock went back
    };
    g_now = 5'000'000;
    measuredFrameRate();
    for (const Case& c : cases) {
        g_now += c.ticks;
        EXPECT_EQ(measuredFrameRate(), c.rate) << c.ticks << " ticks";
    }
}

} // namespace
