#include "effects/shader_clock.h"

#include <gtest/gtest.h>

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

} // namespace
