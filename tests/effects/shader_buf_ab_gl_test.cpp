// CShaderBufAB: buffer A from the clock alone, buffer B from A and its own
// previous frame, the image from A and B's new frame; iTimeDelta is fixed.
// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/shader_buf_ab.h"
#include "platform/surface.h"
#include "tests/effects/buffer_shader_fixture.h"
#include "tests/effects/shader_gl_fixture.h"

#include <gtest/gtest.h>

namespace {

using lmd::test::Channels;
using lmd::test::DataFiles;
using lmd::test::ErrorSink;
using lmd::test::FragmentShader;

using RendererAB = lmd::test::PassProbe<CShaderBufAB>;

class ShaderBufABTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // A: tag 1, iFrame, iTimeDelta in ms. B: tag 2, A's tag, its own count,
        // iTimeDelta in ms. Image: A's tag, B's count, B's tag.
        files.Write("shaders/t_ab_a.frag", FragmentShader(R"(
uniform int iFrame;
uniform float iTimeDelta;
void main() { gl_FragColor = vec4(1.0, float(iFrame), iTimeDelta * 1000.0, 0.0); }
)"));
        files.Write("shaders/t_ab_b.frag", FragmentShader(R"(
uniform sampler2D iChannel0;
uniform sampler2D iChannel1;
uniform vec2 iResolution;
uniform float iTimeDelta;
void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    gl_FragColor = vec4(2.0, texture2D(iChannel0, uv).x, texture2D(iChannel1, uv).z + 1.0, iTimeDelta * 1000.0);
}
)"));
        files.Write("shaders/t_ab_image.frag", FragmentShader(R"(
uniform sampler2D iChannel0;
uniform sampler2D iChannel1;
uniform vec2 iResolution;
void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec4 a = texture2D(iChannel0, uv);
    vec4 b = texture2D(iChannel1, uv);
    gl_FragColor = vec4(a.x * 100.0, b.z, b.x * 100.0, 255.0) / 255.0;
}
)"));
    }

    ErrorSink sink;
    DataFiles files;
    platform::Surface source{16, 16};
    platform::Surface target{16, 16};
};

TEST_F(ShaderBufABTest, PassesAreWiredAndBufferBFeedsBack)
{
    RendererAB renderer;
    ASSERT_TRUE(renderer.Create(&source, 16, 16, "t_ab_image"));
    ASSERT_TRUE(renderer.LoadBuffers("t_ab_a", "t_ab_b"));
    for (int frame = 1; frame <= 4; ++frame) {
        renderer.Render(target, &source);
        const auto a = renderer.Texel(renderer.BufferA().Latest(), 5, 5);
        EXPECT_EQ(a[1], frame - 1) << "iFrame";
        EXPECT_NEAR(a[2], 33.0f, 1e-3f) << "iTimeDelta is fixed";
        const auto b = renderer.Texel(renderer.BufferB().Latest(), 5, 5);
        EXPECT_EQ(b[1], 1.0f) << "B reads A";
        EXPECT_EQ(b[2], frame) << "B reads its own previous frame";
        EXPECT_NEAR(b[3], 33.0f, 1e-3f);
        const auto c = Channels(target.Row(5)[5]);
        EXPECT_EQ(c.r, 100) << "the image reads A";
        EXPECT_EQ(c.g, frame) << "the image reads B's new frame";
        EXPECT_EQ(c.b, 200);
    }
    EXPECT_TRUE(sink.Errors().empty());
    EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));
}

TEST_F(ShaderBufABTest, LoaderFailures)
{
    RendererAB renderer;
    ASSERT_TRUE(renderer.Create(&source, 16, 16, "t_ab_image"));
    // A missing A file is not shown.
    EXPECT_FALSE(renderer.LoadBuffers("t_no_such_a", "t_ab_b"));
    EXPECT_TRUE(sink.Errors().empty());
    // A missing B file shows up as an error of B; with A built but no
    // framebuffers, nothing is drawn.
    EXPECT_FALSE(renderer.LoadBuffers("t_ab_a", "t_no_such_b"));
    EXPECT_FALSE(sink.Errors().empty());
    target.Fill(platform::Rgb(9, 8, 7));
    renderer.Render(target, &source);
    EXPECT_EQ(Channels(target.Row(3)[3]).r, 9);
    EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));
}

} // namespace
