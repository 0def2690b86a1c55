// The effect layer driving real shader renderers: set-up on the first frame after
// a code is chosen, the settings it reads, and the renderers it shares between codes.
#include "effects/effect_layer.h"
#include "tests/effects/shader_gl_fixture.h"

#include <gtest/gtest.h>

namespace {

using lmd::test::Channels;
using lmd::test::DataFiles;
using lmd::test::ErrorSink;
using lmd::test::FragmentShader;
using lmd::test::PatternSurface;

constexpr int kSize = 64;

class Settings final : public EffectSettingsSource
{
public:
    QString ExtShader() const override { return extShader; }
    QString ExtTexture() const override { return {}; }
    int ClockFace() const override
    {
        ++clockFaceReads;
        return 0;
    }

    QString extShader;
    mutable int clockFaceReads = 0;
};

// Every pixel of the output is the inverse of the source pixel (within rounding).
bool IsInverseOf(const platform::Surface& output, const platform::Surface& source)
{
    for (int y = 0; y < source.Height(); ++y)
        for (int x = 0; x < source.Width(); ++x) {
            const auto o = Channels(output.Row(y)[x]);
            const auto s = Channels(source.Row(y)[x]);
            if (std::abs(o.r + s.r - 255) > 1 || std::abs(o.g + s.g - 255) > 1 ||
                std::abs(o.b + s.b - 255) > 1)
                return false;
        }
    return true;
}

class EffectLayerGlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        files.Write("shaders/t_layer_invert.frag", FragmentShader(R"(
uniform sampler2D iChannel0;
void main() { gl_FragColor = vec4(1.0 - texture2D(iChannel0, vTexCoord).rgb, 1.0); }
)"));
        layer.SetSettings(&settings);
        layer.Create(&source);
    }

    ErrorSink sink;
    DataFiles files;
    Settings settings;
    platform::Surface source = PatternSurface(kSize, kSize);
    CEffectLayer layer{kSize, kSize};
};

} // namespace

TEST_F(EffectLayerGlTest, ExternalShaderLoadsOnceAndKeepsRunningWithoutAName)
{
    settings.extShader = "t_layer_invert";
    layer.SetEffect(EFFECT_EXTERNAL_SHADER);
    layer.Render(nullptr);
    EXPECT_FALSE(layer.SetupPending());
    EXPECT_TRUE(IsInverseOf(layer.Output(), source));

    // Chosen again with an empty ExtShader: nothing is loaded, the last shader keeps drawing.
    settings.extShader.clear();
    layer.SetEffect(EFFECT_EXTERNAL_SHADER);
    source = PatternSurface(kSize, kSize); // same picture, drawn afresh
    platform::Surface target(kSize, kSize);
    layer.Render(&target);
    EXPECT_TRUE(IsInverseOf(target, source));
    EXPECT_TRUE(sink.Errors().empty());
}

TEST_F(EffectLayerGlTest, ExternalShaderWithoutANameOnAFreshLayerDrawsNothing)
{
    layer.SetEffect(EFFECT_EXTERNAL_SHADER);
    layer.Render(nullptr);
    layer.Render(nullptr);
    EXPECT_FALSE(layer.SetupPending());
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            ASSERT_EQ(layer.Output().GetPixel(x, y), 0u) << x << "," << y;
}

TEST_F(EffectLayerGlTest, DateLayerReadsTheDialTypeOnEveryFrame)
{
    layer.SetEffect(EFFECT_CLOCK_DATE);
    for (int i = 0; i < 3; ++i)
        layer.Render(nullptr);
    EXPECT_EQ(settings.clockFaceReads, 3);
    EXPECT_FALSE(layer.SetupPending());
    EXPECT_TRUE(sink.Errors().empty()) << sink.Errors().front();
}

TEST_F(EffectLayerGlTest, PointerReachesTheShaderWithItsRowFlipped)
{
    files.Write("shaders/t_layer_mouse.frag", FragmentShader(R"(
uniform vec2 iMouse;
void main() { gl_FragColor = vec4(iMouse.x / 255.0, iMouse.y / 255.0, 0.0, 1.0); }
)"));
    settings.extShader = "t_layer_mouse";
    layer.SetEffect(EFFECT_EXTERNAL_SHADER);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {5, 20}, {kSize - 1, kSize - 1}}) {
        layer.MouseMove(QPoint(x, y));
        layer.Render(nullptr);
        const auto c = Channels(layer.Output().Row(0)[0]);
        EXPECT_EQ(c.r, x);
        EXPECT_EQ(c.g, kSize - 1 - y);
    }
}
