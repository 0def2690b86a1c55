// The lists of effects that tests and benchmarks go through, derived from the
// effect table: together they hold every code of the table exactly once, so a
// new code cannot slip past all of them.
#include "effects/effect_codes.h"

#include <gtest/gtest.h>
#include <map>

namespace {

TEST(EffectListsTest, EveryCodeIsInExactlyOneList)
{
    const auto isScene = [](const EffectInfo& info) {
        return info.family == EffectFamily::OpenGLScene || info.family == EffectFamily::MetalLens;
    };
    // The clock's own layers (dial, date, frame) and the external shader are
    // tested with the clock and the settings.
    const auto isClockOwn = [](const EffectInfo& info) {
        return info.family == EffectFamily::ShaderClock || info.family == EffectFamily::ExternalShader ||
               info.code == EFFECT_CLOCK_DATE || info.code == EFFECT_FRAME_TORUS;
    };
    std::map<int, int> lists;
    for (const auto& codes : {EffectCodes([](const EffectInfo& info) { return RunsOnCpu(info.family); }),
                              EffectCodes(IsLayerShader),
                              EffectCodes([](const EffectInfo& info) { return IsShaderSet(info.family); }),
                              EffectCodes(isScene), EffectCodes(isClockOwn)})
        for (const int code : codes)
            ++lists[code];
    for (const EffectInfo& info : AllEffects())
        EXPECT_EQ(lists[info.code], 1) << info.name;
    EXPECT_EQ(lists.size(), AllEffects().size());

    // A few codes where they belong.
    EXPECT_TRUE(RunsOnCpu(FindEffect(EFFECT_FIRE)->family));
    EXPECT_TRUE(IsLayerShader(*FindEffect(EFFECT_UKIYOE)));
    EXPECT_FALSE(IsLayerShader(*FindEffect(EFFECT_FRAME_TORUS)));
    EXPECT_TRUE(IsShaderSet(FindEffect(EFFECT_CUBE_BUFFER)->family));
    EXPECT_TRUE(IsShaderSet(FindEffect(EFFECT_MYSTIFY)->family));
}

} // namespace
