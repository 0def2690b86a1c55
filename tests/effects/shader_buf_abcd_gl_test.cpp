// CShaderBufABCD: every pass tags its output and copies what it reads, so the
// buffers show which texture reached which channel, and the counters show that
// each pair feeds back its own previous frame; the Alt key's click latch.
// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/shader_buf_abcd.h"
#include "platform/surface.h"
#include "tests/effects/buffer_shader_fixture.h"
#include "tests/effects/shader_gl_fixture.h"

#include <gtest/gtest.h>

namespace {

using lmd::test::Channels;
using lmd::test::DataFiles;
using lmd::test::ErrorSink;
using lmd::test::FragmentShader;

using RendererABCD = lmd::test::PassProbe<CShaderBufABCD>;

const char* const kSample = R"(
uniform vec2 iResolution;
uniform vec4 iMouse;
vec4 At(sampler2D s) { return texture2D(s, gl_FragCoord.xy / iResolution); }
)";

// Tags 1 to 4 in x. A: C's tag and C's count as A reads them; B: A's tag, the
// file texture's red byte, its own count; C: B's tag, B's count, its own count;
// D: A's tag, its own count.
const std::string kPassA = FragmentShader(std::string("uniform sampler2D iChannel0;\n") + kSample + R"(
void main() { vec4 c = At(iChannel0); gl_FragColor = vec4(1.0, c.x, c.w, 0.0); }
)");
const std::string kPassB = FragmentShader(
    std::string("uniform sampler2D iChannel0;\nuniform sampler2D iChannel1;\nuniform sampler2D "
                "iChannel3;\n") +
    kSample + R"(
void main()
{
    gl_FragColor = vec4(2.0, At(iChannel0).x, texture2D(iChannel3, vec2(0.5)).r * 255.0, At(iChannel1).w + 1.0);
}
)");
const std::string kPassC =
    FragmentShader(std::string("uniform sampler2D iChannel0;\nuniform sampler2D iChannel1;\n") + kSample + R"(
void main() { vec4 b = At(iChannel0); gl_FragColor = vec4(3.0, b.x, b.w, At(iChannel1).w + 1.0); }
)");
const std::string kPassD =
    FragmentShader(std::string("uniform sampler2D iChannel0;\nuniform sampler2D iChannel1;\n") + kSample + R"(
void main() { gl_FragColor = vec4(4.0, At(iChannel0).x, 0.0, At(iChannel1).w + 1.0); }
)");
const std::string kImage = FragmentShader(std::string("uniform sampler2D iChannel0;\n") + kSample + R"(
void main() { vec4 d = At(iChannel0); gl_FragColor = vec4(d.x * 50.0, d.y * 50.0, d.w, 255.0) / 255.0; }
)");
// Buffer A that shows iMouse (four floats).
const std::string kMouseA = FragmentShader(std::string(kSample) + R"(
void main() { gl_FragColor = iMouse; }
)");

class ShaderBufABCDTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        files.Write("shaders/t_abcd_a.frag", kPassA);
        files.Write("shaders/t_abcd_b.frag", kPassB);
        files.Write("shaders/t_abcd_c.frag", kPassC);
        files.Write("shaders/t_abcd_d.frag", kPassD);
        files.Write("shaders/t_abcd_image.frag", kImage);
        files.Write("shaders/t_abcd_mouse.frag", kMouseA);
        files.Save("assets/t_abcd_file.png", lmd::test::SolidPicture(2, 2, QColor(77, 0, 0)));
    }

    ErrorSink sink;
    DataFiles files;
    lmd::test::ScopedModalDesktop desktop;
    platform::Surface source{16, 16};
    platform::Surface target{16, 16};
};

TEST_F(ShaderBufABCDTest, ChannelsAreWiredAsTheTableSays)
{
    RendererABCD renderer;
    renderer.SetTextureName("t_abcd_file.png");
    ASSERT_TRUE(renderer.Create(&source, 16, 16, "t_abcd_image"));
    ASSERT_TRUE(renderer.LoadBuffers("t_abcd_a", "t_abcd_b", "t_abcd_c", "t_abcd_d"));
    for (int n = 1; n <= 5; ++n) {
        SCOPED_TRACE(n);
        renderer.Render(target, &source);
        const auto a = renderer.Texel(renderer.BufferA().Latest(), 7, 7);
        const auto b = renderer.Texel(renderer.BufferB().Latest(), 7, 7);
        const auto c = renderer.Texel(renderer.BufferC().Latest(), 7, 7);
        const auto d = renderer.Texel(renderer.BufferD().Latest(), 7, 7);
        // A reads C's older texture: on frame n that is C's frame n - 2 (zeros
        // before frame 3).
        EXPECT_EQ(a[1], n >= 3 ? 3.0f : 0.0f);
        EXPECT_EQ(a[2], n >= 3 ? static_cast<float>(n - 2) : 0.0f);
        EXPECT_EQ(b[1], 1.0f) << "B's iChannel0 is A";
        EXPECT_EQ(b[2], 77.0f) << "B's iChannel3 is the file texture";
        EXPECT_EQ(b[3], static_cast<float>(n)) << "B feeds back";
        EXPECT_EQ(c[1], 2.0f) << "C's iChannel0 is B";
        EXPECT_EQ(c[2], static_cast<float>(n)) << "... B's frame drawn just before";
        EXPECT_EQ(c[3], static_cast<float>(n)) << "C feeds back";
        EXPECT_EQ(d[1], 1.0f) << "D's iChannel0 is A";
        EXPECT_EQ(d[3], static_cast<float>(n)) << "D feeds back";
        const auto image = Channels(target.Row(7)[7]);
        EXPECT_EQ(image.r, 200) << "the image reads D";
        EXPECT_EQ(image.g, 50);
        EXPECT_EQ(image.b, n) << "... D's new frame";
    }
    EXPECT_TRUE(sink.Errors().empty());
    EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));
}

TEST_F(ShaderBufABCDTest, AltKeyLatchesTheClick)
{
    RendererABCD renderer;
    ASSERT_TRUE(renderer.Create(&source, 16, 16, "t_abcd_image"));
    ASSERT_TRUE(renderer.LoadBuffers("t_abcd_mouse", "t_abcd_b", "t_abcd_c", "t_abcd_d"));
    const struct
    {
        bool alt;
        QPoint pointer; // what the layer wrote before the frame
        std::array<float, 4> mouse;
    } frames[] = {
        {false, {10, 20}, {0, 0, 0, 0}},     // no button: no pointer either
        {true, {30, 40}, {30, 40, 30, 40}},  // pressed: the click is taken here
        {true, {50, 60}, {50, 60, 30, 40}},  // held: the pointer follows, the click stays
        {false, {55, 66}, {0, 0, -30, -40}}, // released: the click turns negative
        {false, {70, 80}, {0, 0, -30, -40}}, // and stays so
        {true, {5, 6}, {5, 6, 5, 6}},        // pressed again: a new click
    };
    for (const auto& frame : frames) {
        SCOPED_TRACE(frame.pointer.x());
        desktop->altDown = frame.alt;
        renderer.m_ptMouse = frame.pointer;
        renderer.Render(target, &source);
        EXPECT_EQ(renderer.Texel(renderer.BufferA().Latest()), frame.mouse);
    }
}

TEST_F(ShaderBufABCDTest, LoaderFailuresLeaveNothingToDraw)
{
    RendererABCD renderer;
    ASSERT_TRUE(renderer.Create(&source, 16, 16, "t_abcd_image"));
    EXPECT_FALSE(renderer.LoadBuffers("t_no_such_a", "t_abcd_b", "t_abcd_c", "t_abcd_d"));
    EXPECT_TRUE(sink.Errors().empty()) << "a missing A file is not shown";
    // C missing: A and B are built, but nothing may draw.
    EXPECT_FALSE(renderer.LoadBuffers("t_abcd_a", "t_abcd_b", "t_no_such_c", "t_abcd_d"));
    EXPECT_FALSE(sink.Errors().empty());
    target.Fill(platform::Rgb(9, 8, 7));
    renderer.Render(target, &source);
    EXPECT_EQ(Channels(target.Row(3)[3]).r, 9);
    EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));
}

} // namespace
