// CShaderRenderer2: buffer A feeds back its own previous frame (ping-pong) and
// the image pass shows the frame just drawn; a failed loader leaves nothing to
// draw with.
// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/shader_renderer2.h"
#include "platform/surface.h"
#include "tests/effects/buffer_shader_fixture.h"
#include "tests/effects/shader_gl_fixture.h"

#include <gtest/gtest.h>

namespace {

using lmd::test::Channels;
using lmd::test::DataFiles;
using lmd::test::ErrorSink;
using lmd::test::FragmentShader;

using Renderer2 = lmd::test::PassProbe<CShaderRenderer2>;

// Buffer A counts frames in red and keeps the iFrame it saw in green.
const std::string kCountingBuffer = FragmentShader(R"(
uniform sampler2D iChannel0;
uniform vec2 iResolution;
uniform int iFrame;
void main()
{
    vec4 previous = texture2D(iChannel0, gl_FragCoord.xy / iResolution);
    gl_FragColor = vec4(previous.r + 1.0, float(iFrame), 0.0, 1.0);
}
)");

// Red: buffer A's count; green: the source; blue: 255 when both passes saw one iFrame.
const std::string kCountingImage = FragmentShader(R"(
uniform sampler2D iChannel0;
uniform sampler2D iChannel1;
uniform vec2 iResolution;
uniform int iFrame;
void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec4 a = texture2D(iChannel0, uv);
    float sameFrame = a.g == float(iFrame) ? 1.0 : 0.0;
    gl_FragColor = vec4(a.r / 255.0, texture2D(iChannel1, uv).g, sameFrame, 1.0);
}
)");

class ShaderRenderer2Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        files.Write("shaders/t_count_image.frag", kCountingImage);
        files.Write("shaders/t_count_buffer.frag", kCountingBuffer);
        source.Fill(platform::Rgb(0, 200, 0));
    }

    ErrorSink sink;
    DataFiles files;
    platform::Surface source{24, 16};
    platform::Surface target{24, 16};
};

TEST_F(ShaderRenderer2Test, BufferACountsFramesThroughItsOwnPreviousFrame)
{
    Renderer2 renderer;
    ASSERT_TRUE(renderer.Create(&source, 24, 16, "t_count_image"));
    ASSERT_TRUE(renderer.LoadBufferA("t_count_buffer"));
    const BufferPass& a = renderer.BufferA();
    for (int frame = 1; frame <= 5; ++frame) {
        renderer.Render(target, &source);
        // The first frame reads texture 0 (zeros) and draws into texture 1, the
        // next one reads texture 1 and draws into texture 0, and so on.
        EXPECT_EQ(a.current, frame % 2) << frame;
        EXPECT_EQ(renderer.Texel(a.Latest(), 3, 3)[0], frame);
        const auto c = Channels(target.Row(8)[12]);
        EXPECT_EQ(c.r, frame) << "the image pass shows the frame just drawn";
        EXPECT_EQ(c.g, 200) << "the source picture is iChannel1";
        EXPECT_EQ(c.b, 255) << "both passes get the same iFrame";
    }
    EXPECT_EQ(renderer.m_nFrame, 5);
    EXPECT_TRUE(sink.Errors().empty());
    EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));
}

TEST_F(ShaderRenderer2Test, FailedLoaderAfterARecreateDrawsNothing)
{
    Renderer2 renderer;
    ASSERT_TRUE(renderer.Create(&source, 24, 16, "t_count_image"));
    ASSERT_TRUE(renderer.LoadBufferA("t_count_buffer"));
    renderer.Render(target, &source);
    // A new set-up whose buffer file is missing: the names of the first set-up
    // belonged to the context that Create replaced and must not be drawn with.
    ASSERT_TRUE(renderer.Create(&source, 24, 16, "t_count_image"));
    EXPECT_EQ(renderer.BufferA().program, 0u);
    EXPECT_EQ(renderer.BufferA().framebuffer, 0u);
    EXPECT_FALSE(renderer.LoadBufferA("t_no_such_buffer"));
    target.Fill(platform::Rgb(1, 2, 3));
    renderer.Render(target, &source);
    const auto c = Channels(target.Row(8)[12]);
    EXPECT_EQ(c.r, 1);
    EXPECT_EQ(c.g, 2);
    EXPECT_EQ(c.b, 3);
    EXPECT_TRUE(sink.Errors().empty()) << "a missing buffer file is not shown";
    EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));
}

TEST_F(ShaderRenderer2Test, BufferThatDoesNotLinkIsNotShown)
{
    // Compiles, but has no main: only the link fails.
    files.Write("shaders/t_no_main.frag", FragmentShader("float Unused() { return 1.0; }\n"));
    Renderer2 renderer;
    ASSERT_TRUE(renderer.Create(&source, 24, 16, "t_count_image"));
    EXPECT_FALSE(renderer.LoadBufferA("t_no_main"));
    EXPECT_EQ(renderer.BufferA().program, 0u);
    EXPECT_TRUE(sink.Errors().empty());
}

} // namespace
