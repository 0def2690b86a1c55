#include "app/lumidial.h"

#include <climits>
#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(ClockZoomTest, DerivedFromTheScreenWidthInWholeTens)
{
    struct Case
    {
        int screenWidth;
        int zoom;
    };
    for (const Case& c : {Case{0, 100}, Case{1366, 100}, Case{1919, 100}, Case{1920, 120}, Case{2000, 120},
                          Case{2560, 160}, Case{3840, 240}, Case{9600, 600}, Case{20000, 600}})
        EXPECT_EQ(ZoomForScreenWidth(c.screenWidth), c.zoom) << c.screenWidth;
}

TEST(ClockZoomTest, KeptWithinTwentyAndSixHundred)
{
    for (const auto& [requested, zoom] : {std::pair{-100, 20}, std::pair{0, 20}, std::pair{19, 20},
                                          std::pair{20, 20}, std::pair{600, 600}, std::pair{601, 600}})
        EXPECT_EQ(ClampZoom(requested), zoom) << requested;
}

TEST(ClockPlaceTest, OffEveryScreenComesBackOnTheNearestWithoutOverflow)
{
    // Two screens side by side, the right one lower and smaller.
    const std::vector<QRect> screens = {QRect(0, 0, 1280, 1024), QRect(1280, 200, 800, 600)};
    const QSize clock(130, 130);
    struct Case
    {
        const char* name;
        QPoint start;
        QPoint place;
    };
    const Case cases[] = {
        {"on the first screen", {100, 50}, {100, 50}},
        {"partly off the left edge stays", {-100, 50}, {-100, 50}},
        {"partly on the second screen stays", {2000, 700}, {2000, 700}},
        {"far left", {-5000, 300}, {0, 300}},
        {"far right, level with the second", {9000, 300}, {1950, 300}},
        {"far below the second: the first is nearer", {1500, 5000}, {1150, 894}},
        {"right of the second, below its corner", {3000, 900}, {1950, 670}},
        {"far above the first", {700, -3000}, {700, 0}},
        {"right of the first, above the second", {1400, 50}, {1400, 200}},
        {"the lowest int", {INT_MIN, INT_MIN}, {0, 0}},
        {"the highest int", {INT_MAX, INT_MAX}, {1950, 670}},
        {"mixed extremes", {INT_MIN, INT_MAX}, {0, 894}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceOnScreens(c.start, clock, screens), c.place) << c.name;

    // Without screens only the clamp applies; a clock larger than its screen
    // starts at the screen's corner.
    EXPECT_EQ(PlaceOnScreens({INT_MIN, INT_MAX}, clock, {}), QPoint(-kMaxPosition, kMaxPosition));
    const std::vector<QRect> small = {QRect(0, 0, 100, 100)};
    EXPECT_EQ(PlaceOnScreens({500, 500}, QSize(780, 780), small), QPoint(0, 0));
}

TEST(ClockNamesTest, DialEffectAndEffectNames)
{
    EXPECT_EQ(DialEffect(0), EFFECT_DIAL_DEFAULT);
    EXPECT_EQ(DialEffect(1), EFFECT_DIAL_SWISS_RAILWAY);
    EXPECT_EQ(DialEffect(2), EFFECT_DIAL_SEVEN_SEGMENT);
    EXPECT_EQ(DialEffect(-1), EFFECT_DIAL_DEFAULT);
    EXPECT_EQ(DialEffect(3), EFFECT_DIAL_DEFAULT);

    EXPECT_EQ(GetEffectName(0), QStringLiteral("そのまま"));
    EXPECT_EQ(GetEffectName(29), QStringLiteral("外部シェーダー"));
    for (int code : {-1, 30, 50, 80, 150})
        EXPECT_EQ(GetEffectName(code), QStringLiteral("検証用")) << code;
}

} // namespace
