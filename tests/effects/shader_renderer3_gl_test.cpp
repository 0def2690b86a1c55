// CShaderRenderer3: buffer A drawn afresh from up to three inputs, the first a
// noise volume or a picture; the noise file's size rule; a missing input stops
// the loading but not the drawing.
// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/shader_renderer3.h"
#include "platform/surface.h"
#include "tests/effects/buffer_shader_fixture.h"
#include "tests/effects/shader_gl_fixture.h"
#include "tests/support/hostile_files.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

using lmd::test::Channels;
using lmd::test::DataFiles;
using lmd::test::ErrorSink;
using lmd::test::FragmentShader;

class Renderer3 : public lmd::test::PassProbe<CShaderRenderer3>
{
public:
    const std::array<unsigned, 3>& Inputs() const { return m_inputs; }
};

// The noise byte of texel (x, y, z): every byte of a 32 x 32 x 32 volume differs
// from its neighbours along each axis.
int NoiseByte(int index)
{
    return index % 251;
}

std::string NoiseFile(int bytes)
{
    std::string data(static_cast<std::size_t>(bytes), '\0');
    for (int i = 0; i < bytes; ++i)
        data[static_cast<std::size_t>(i)] = static_cast<char>(NoiseByte(i));
    return data;
}

// Buffer A: the noise texel (5, 6, 7) in red, the third input in green, iMouse
// in blue and alpha.
const std::string kNoiseBuffer = FragmentShader(R"(
uniform sampler3D iChannel0;
uniform sampler2D iChannel2;
uniform vec2 iMouse;
void main()
{
    float n = texture3D(iChannel0, (vec3(5.0, 6.0, 7.0) + 0.5) / 32.0).r;
    gl_FragColor = vec4(n, texture2D(iChannel2, vec2(0.5)).g, iMouse.x / 255.0, iMouse.y / 255.0);
}
)");

// Buffer A in red and green, the source's blue, and the image pass's own iMouse.x
// against buffer A's.
const std::string kShowBuffer = FragmentShader(R"(
uniform sampler2D iChannel0;
uniform sampler2D iChannel1;
uniform vec2 iResolution;
uniform vec2 iMouse;
void main()
{
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec4 a = texture2D(iChannel0, uv);
    float sameMouse = abs(a.b * 255.0 - iMouse.x) < 0.5 ? 1.0 : 0.0;
    gl_FragColor = vec4(a.r, a.g, texture2D(iChannel1, uv).b * sameMouse, 1.0);
}
)");

class ShaderRenderer3Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        files.Write("shaders/t_show_buffer.frag", kShowBuffer);
        files.Write("shaders/t_noise_buffer.frag", kNoiseBuffer);
        files.Write("assets/t_noise_40000.bin", NoiseFile(40000));
        files.Write("assets/t_noise_32767.bin", NoiseFile(32767));
        files.Save("assets/t_green.png", lmd::test::SolidPicture(4, 4, QColor(0, 90, 0)));
        source.Fill(platform::Rgb(0, 0, 140));
    }

    ErrorSink sink;
    DataFiles files;
    platform::Surface source{20, 20};
    platform::Surface target{20, 20};
};

TEST_F(ShaderRenderer3Test, NoiseFileNeedsAFullVolume)
{
    Renderer3 renderer;
    ASSERT_TRUE(renderer.Create(&source, 20, 20, "t_show_buffer"));
    const std::string assets = renderer.m_strAssetsDir;
    unsigned texture = 0;
    EXPECT_TRUE(renderer.Load3DNoise(texture, assets + "t_noise_40000.bin")) << "longer files pass";
    EXPECT_NE(texture, 0u);
    unsigned shortTexture = 0;
    EXPECT_FALSE(renderer.Load3DNoise(shortTexture, assets + "t_noise_32767.bin"));
    EXPECT_EQ(shortTexture, 0u);
    EXPECT_FALSE(renderer.Load3DNoise(shortTexture, assets + "t_no_such_noise.bin"));
    EXPECT_EQ(shortTexture, 0u);
    // What is no noise file (over its cap, a full volume) fails at once.
    const std::string hostile = assets + "t_hostile_noise.bin";
    for (const lmd::test::HostileCase& c : lmd::test::kHostileFiles) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(lmd::test::PlaceHostileFile(QString::fromStdString(hostile), c.kind,
                                                platform::FileKind::NoiseVolume,
                                                QByteArray::fromStdString(NoiseFile(40000))));
        EXPECT_FALSE(renderer.Load3DNoise(shortTexture, hostile));
        EXPECT_EQ(shortTexture, 0u);
    }
    lmd::test::ClearPath(QString::fromStdString(hostile));
    EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));
}

TEST_F(ShaderRenderer3Test, InputsReachBufferAAndAMissingOneStopsTheLoading)
{
    Renderer3 renderer;
    ASSERT_TRUE(renderer.Create(&source, 20, 20, "t_show_buffer"));
    renderer.m_b3DNoise = true;
    renderer.m_textureNames = {"t_noise_40000.bin", "t_no_such_picture.png", "t_green.png"};
    EXPECT_FALSE(renderer.LoadBufferA("t_noise_buffer"));
    EXPECT_NE(renderer.Inputs()[0], 0u);
    EXPECT_EQ(renderer.Inputs()[1], 0u);
    EXPECT_EQ(renderer.Inputs()[2], 0u) << "names after a failure are not loaded";
    EXPECT_TRUE(sink.Errors().empty()) << "a missing input is not shown";

    renderer.m_ptMouse = QPoint(77, 9);
    renderer.Render(target, &source);
    const auto c = Channels(target.Row(10)[10]);
    // x varies fastest, then y, then z.
    EXPECT_EQ(c.r, NoiseByte(5 + 6 * 32 + 7 * 32 * 32)) << "the noise volume's layout";
    EXPECT_EQ(c.g, 0) << "an input that was not loaded reads black";
    EXPECT_EQ(c.b, 140) << "the source is iChannel1 of the image pass, and both passes get iMouse";
    EXPECT_NEAR(renderer.Texel(renderer.BufferA().Latest())[3] * 255.0f, 9.0f, 1e-3f);
    EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));

    // With every input present, the third one is there as well.
    renderer.m_textureNames = {"t_noise_40000.bin", "t_green.png", "t_green.png"};
    ASSERT_TRUE(renderer.Create(&source, 20, 20, "t_show_buffer"));
    EXPECT_TRUE(renderer.LoadBufferA("t_noise_buffer"));
    renderer.Render(target, &source);
    EXPECT_EQ(Channels(target.Row(10)[10]).g, 90);
}

TEST_F(ShaderRenderer3Test, BufferAIsClearedAndRedrawnEveryFrame)
{
    // Additive blending would pile frames up if the clear were missing; here a
    // shader that draws only where iMouse points leaves the rest of A empty.
    files.Write("shaders/t_spot_buffer.frag", FragmentShader(R"(
uniform vec2 iMouse;
void main()
{
    if (distance(gl_FragCoord.xy, iMouse + 0.5) > 0.5)
        discard;
    gl_FragColor = vec4(1.0);
}
)"));
    Renderer3 renderer;
    ASSERT_TRUE(renderer.Create(&source, 20, 20, "t_show_buffer"));
    renderer.m_b3DNoise = false;
    renderer.m_textureNames.clear();
    ASSERT_TRUE(renderer.LoadBufferA("t_spot_buffer"));
    renderer.m_ptMouse = QPoint(3, 4);
    renderer.Render(target, &source);
    EXPECT_EQ(renderer.Texel(renderer.BufferA().Latest(), 3, 4)[0], 1.0f);
    renderer.m_ptMouse = QPoint(15, 12);
    renderer.Render(target, &source);
    EXPECT_EQ(renderer.Texel(renderer.BufferA().Latest(), 3, 4)[0], 0.0f) << "last frame's spot stayed";
    EXPECT_EQ(renderer.Texel(renderer.BufferA().Latest(), 15, 12)[0], 1.0f);
    EXPECT_TRUE(sink.Errors().empty());
}

} // namespace
