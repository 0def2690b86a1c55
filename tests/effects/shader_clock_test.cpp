#include "effects/shader_clock.h"

#include <array>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace {

TEST(DateUniformTest, SecondsSinceMidnightWithMilliseconds)
{
    const struct
    {
        LocalDateTime time;
        float seconds;
    } cases[] = {
        {{2024, 2, 29, 0, 0, 0, 0}, 0.0f},
        {{2024, 2, 29, 9, 5, 30, 250}, 9 * 3600 + 5 * 60 + 30.25f},
        {{2024, 2, 29, 16, 40, 0, 0}, 16 * 3600 + 40 * 60.0f},
        {{1999, 12, 31, 23, 59, 59, 990}, 86399.99f}, // a float holds about 8 ms here
    };
    for (const auto& c : cases) {
        const auto date = DateUniform(c.time);
        EXPECT_EQ(date[0], static_cast<float>(c.time.year));
        EXPECT_EQ(date[1], static_cast<float>(c.time.month));
        EXPECT_EQ(date[2], static_cast<float>(c.time.day));
        EXPECT_FLOAT_EQ(date[3], c.seconds);
        EXPECT_LT(date[3], 86400.0f);
    }
}

TEST(HandDirectionsTest, HandsPointAtTheTimeOfDay)
{
    // Directions as (sin, cos) of the clock angle: (0, 1) at twelve, (1, 0) at
    // three, (0, -1) at six, (-1, 0) at nine.
    using Direction = std::array<float, 2>;
    const struct
    {
        float seconds;
        Direction hour, minute, second, minuteStep, secondStop;
    } cases[] = {
        {0.0f, {0, 1}, {0, 1}, {0, 1}, {0, 1}, {0, 1}},
        {3 * 3600.0f, {1, 0}, {0, 1}, {0, 1}, {0, 1}, {0, 1}},
        // 00:45:30: the second hand at six, the jumping minute hand at nine.
        {2730.0f, {0.38671f, 0.92220f}, {-0.99863f, 0.05234f}, {0, -1}, {-1, 0}, {-0.08047f, -0.99676f}},
        // The railway second hand: a full turn in 58.5 s, then it waits at twelve.
        {14.625f, {0.00213f, 1}, {0.02552f, 0.99967f}, {0.99923f, 0.03926f}, {0, 1}, {1, 0}},
        {59.0f, {0.00858f, 0.99996f}, {0.10279f, 0.99470f}, {-0.10453f, 0.99452f}, {0, 1}, {0, 1}},
        {86399.5f, {-0.00007f, 1}, {-0.00087f, 1}, {-0.05234f, 0.99863f}, {-0.10453f, 0.99452f}, {0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.seconds);
        const HandDirections hands = HandDirectionsAt(c.seconds);
        const std::pair<const Direction&, const Direction&> pairs[] = {{hands.hour, c.hour},
                                                                       {hands.minute, c.minute},
                                                                       {hands.second, c.second},
                                                                       {hands.minuteStep, c.minuteStep},
                                                                       {hands.secondStop, c.secondStop}};
        for (const auto& [got, expected] : pairs) {
            EXPECT_NEAR(got[0], expected[0], 1e-4);
            EXPECT_NEAR(got[1], expected[1], 1e-4);
        }
    }
}

TEST(DateUniformTest, CurrentLocalTimeIsAValidDate)
{
    const LocalDateTime now = CurrentLocalTime();
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(now.day, 1);
    EXPECT_LE(now.day, 31);
    EXPECT_LT(now.hour, 24);
    EXPECT_LT(now.millisecond, 1000);
}

// The hour and minute east of UTC by `offsetMinutes`, at the moment `at`.
std::pair<int, int> ClockAt(std::time_t at, int offsetMinutes)
{
    const std::time_t shifted = at + offsetMinutes * 60;
    std::tm utc{};
    gmtime_r(&shifted, &utc);
    return {utc.tm_hour, utc.tm_min};
}

TEST(DateUniformTest, CurrentLocalTimeFollowsAChangeOfZoneWithinSeconds)
{
    // POSIX zone strings need no zone files. The clock reads the zone again
    // at most once a second, so each change shows within about a second.
    const std::optional<std::string> saved =
        std::getenv("TZ") ? std::optional<std::string>(std::getenv("TZ")) : std::nullopt;
    const struct
    {
        const char* zone;
        int offsetMinutes;
    } zones[] = {{"LMD-9", 9 * 60}, {"LMD+3:30", -(3 * 60 + 30)}, {"LMD-9", 9 * 60}};
    for (const auto& zone : zones) {
        SCOPED_TRACE(zone.zone);
        setenv("TZ", zone.zone, 1);
        bool followed = false;
        for (int i = 0; i < 60 && !followed; ++i) { // up to 3 s
            const std::time_t before = std::time(nullptr);
            const LocalDateTime now = CurrentLocalTime();
            const std::pair<int, int> shown{now.hour, now.minute};
            followed = shown == ClockAt(before, zone.offsetMinutes) ||
                       shown == ClockAt(std::time(nullptr), zone.offsetMinutes);
            if (!followed)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        EXPECT_TRUE(followed);
    }
    if (saved)
        setenv("TZ", saved->c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

} // namespace
