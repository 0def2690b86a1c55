#include "app/lumidial.h"

#include <gtest/gtest.h>

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
