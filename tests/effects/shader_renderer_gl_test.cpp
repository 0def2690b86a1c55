// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/shader_renderer.h"
#include "platform/surface.h"
#include "platform/paths.h"
#include "tests/effects/shader_gl_fixture.h"
#include "tests/support/hostile_files.h"

#include <QColor>
#include <QFile>
#include <QElapsedTimer>
#include <QImage>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using lmd::test::Channels;
using lmd::test::DataFiles;
using lmd::test::ErrorSink;
using lmd::test::FragmentShader;
using lmd::test::PatternSurface;
using Renderer = lmd::test::Probe<CShaderRenderer>;

const std::string kPassThrough = FragmentShader(R"(
uniform sampler2D iChannel0;
void main() { gl_FragColor = texture2D(iChannel0, vTexCoord); }
)");

class ShaderRendererTest : public ::testing::Test
{
protected:
    ErrorSink sink;
    DataFiles files;
};

void ExpectNear(const platform::Surface& actual, const platform::Surface& expected, int tolerance)
{
    ASSERT_EQ(actual.Width(), expected.Width());
    ASSERT_EQ(actual.Height(), expected.Height());
    int failures = 0;
    for (int y = 0; y < expected.Height() && failures < 5; ++y)
        for (int x = 0; x < expected.Width() && failures < 5; ++x) {
            const auto a = Channels(actual.Row(y)[x]);
            const auto e = Channels(expected.Row(y)[x]);
            if (std::abs(a.r - e.r) > tolerance || std::abs(a.g - e.g) > tolerance ||
                std::abs(a.b - e.b) > tolerance) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << a.r << "," << a.g << "," << a.b
                              << " expected " << e.r << "," << e.g << "," << e.b;
                ++failures;
            }
        }
}

TEST_F(ShaderRendererTest, PassThroughReproducesTheSourceUpright)
{
    // An odd width catches row-stride mistakes in the upload and the read-back.
    files.Write("shaders/t_pass.frag", kPassThrough);
    const platform::Surface source = PatternSurface(67, 45);
    platform::Surface target(67, 45);
    Renderer renderer;
    ASSERT_TRUE(renderer.Create(&source, 67, 45, "t_pass")); // no t_pass.vert: the common one
    renderer.Render(target, &source);
    ExpectNear(target, source, 1);
    EXPECT_EQ(target.Row(0)[0] >> 24, 0xFFu) << "the target stays opaque";
    EXPECT_TRUE(sink.Errors().empty());
    EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));
}

TEST_F(ShaderRendererTest, ResolutionIsTwoFloats)
{
    // Declared as vec2: a three-float upload would not reach it and the picture
    // would stay black.
    files.Write("shaders/t_grad.frag", FragmentShader(R"(
uniform vec2 iResolution;
void main() { gl_FragColor = vec4(gl_FragCoord.xy / iResolution, 0.0, 1.0); }
)"));
    const platform::Surface source(80, 40);
    platform::Surface target(80, 40);
    Renderer renderer;
    ASSERT_TRUE(renderer.Create(&source, 80, 40, "t_grad"));
    renderer.Render(target, &source);
    for (const auto& [x, y] : {std::pair{0, 0}, {79, 0}, {0, 39}, {40, 20}, {79, 39}}) {
        const auto c = Channels(target.Row(y)[x]);
        const double r = (x + 0.5) / 80 * 255;
        const double g = (40 - 1 - y + 0.5) / 40 * 255; // gl_FragCoord.y counts from the bottom
        EXPECT_NEAR(c.r, r, 1.0) << x << "," << y;
        EXPECT_NEAR(c.g, g, 1.0) << x << "," << y;
    }
    EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));
}

const std::string kShowFrame = FragmentShader(R"(
uniform int iFrame;
void main() { gl_FragColor = vec4(float(iFrame) / 255.0, 0.0, 0.0, 1.0); }
)");

int RenderedFrame(Renderer& renderer, const platform::Surface& source)
{
    platform::Surface target(8, 8);
    renderer.Render(target, &source);
    return Channels(target.Row(4)[4]).r;
}

TEST_F(ShaderRendererTest, FrameCountContinuesAcrossCreate)
{
    files.Write("shaders/t_frame.frag", kShowFrame);
    files.Write("shaders/t_frame2.frag", kShowFrame);
    const platform::Surface source(8, 8);
    Renderer renderer;
    ASSERT_TRUE(renderer.Create(&source, 8, 8, "t_frame"));
    EXPECT_EQ(RenderedFrame(renderer, source), 0);
    EXPECT_EQ(RenderedFrame(renderer, source), 1);
    EXPECT_EQ(RenderedFrame(renderer, source), 2);
    // Another effect on the same renderer goes on counting.
    ASSERT_TRUE(renderer.Create(&source, 8, 8, "t_frame2"));
    EXPECT_EQ(RenderedFrame(renderer, source), 3);
}

TEST_F(ShaderRendererTest, RenderersShareOneTimeBase)
{
    // iTime in milliseconds, spread over three bytes.
    files.Write("shaders/t_time.frag", FragmentShader(R"(
uniform float iTime;
void main() {
    float ms = floor(iTime * 1000.0 + 0.5);
    gl_FragColor = vec4(mod(ms, 256.0), mod(floor(ms / 256.0), 256.0), floor(ms / 65536.0), 255.0) / 255.0;
}
)"));
    const platform::Surface source(4, 4);
    platform::Surface target(4, 4);
    const auto millis = [&](Renderer& renderer) {
        renderer.Render(target, &source);
        const auto c = Channels(target.Row(0)[0]);
        return c.r + c.g * 256 + c.b * 65536;
    };
    Renderer first;
    ASSERT_TRUE(first.Create(&source, 4, 4, "t_time"));
    first.Render(target, &source);
    // The second layer starts clearly later: a clock of its own would run
    // behind the first one by that much.
    QElapsedTimer apart;
    apart.start();
    while (apart.elapsed() < 60) {
    }
    Renderer second;
    ASSERT_TRUE(second.Create(&source, 4, 4, "t_time"));
    QElapsedTimer between;
    between.start();
    const int a = millis(first);
    const int b = millis(second);
    // One time base: the second reading is later by no more than the time
    // the two frames took (plus the millisecond rounding).
    EXPECT_GE(b, a);
    EXPECT_LE(b - a, between.elapsed() + 1);
}

TEST_F(ShaderRendererTest, MouseAndMojibanTypeReachTheShader)
{
    files.Write("shaders/t_uniforms.frag", FragmentShader(R"(
uniform vec2 iMouse;
uniform int iMojibanType;
void main() { gl_FragColor = vec4(iMouse / 255.0, float(iMojibanType) / 255.0, 1.0); }
)"));
    const platform::Surface source(4, 4);
    platform::Surface target(4, 4);
    Renderer renderer;
    ASSERT_TRUE(renderer.Create(&source, 4, 4, "t_uniforms"));
    renderer.m_ptMouse = {17, 200};
    renderer.m_nMojibanType = 2;
    renderer.Render(target, &source);
    const auto c = Channels(target.Row(1)[1]);
    EXPECT_EQ(c.r, 17);
    EXPECT_EQ(c.g, 200);
    EXPECT_EQ(c.b, 2);
}

TEST_F(ShaderRendererTest, NamesIntoTheMiscFolderAreFound)
{
    files.Write("_misc/t_misc.frag", FragmentShader(R"(
void main() { gl_FragColor = vec4(0.0, 1.0, 0.0, 1.0); }
)"));
    const platform::Surface source(4, 4);
    platform::Surface target(4, 4);
    Renderer renderer;
    ASSERT_TRUE(renderer.Create(&source, 4, 4, "..\\_misc\\t_misc"));
    renderer.Render(target, &source);
    EXPECT_EQ(Channels(target.Row(2)[2]).g, 255);
    EXPECT_TRUE(sink.Errors().empty());
}

// Texture files of any depth and any width reach the shader unchanged, top row
// first (iChannel1 is sampled at the output's own pixel centres).
TEST_F(ShaderRendererTest, TextureFilesOfAnyLayoutUploadExactly)
{
    files.Write("shaders/t_tex.frag", FragmentShader(R"(
uniform sampler2D iChannel1;
void main() { gl_FragColor = texture2D(iChannel1, vec2(vTexCoord.x, 1.0 - vTexCoord.y)); }
)"));
    QImage rgb(5, 3, QImage::Format_RGB888); // 15-byte rows: no 4-byte alignment
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            rgb.setPixelColor(x, y, QColor(x * 50, y * 100, 255 - x * 40));
    QImage grey(7, 3, QImage::Format_Grayscale8);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x)
            grey.setPixel(x, y, qRgb(x * 30 + y, x * 30 + y, x * 30 + y));
    for (const QImage& image : {rgb, grey}) {
        SCOPED_TRACE(image.format());
        files.Save("assets/t_tex.png", image);
        const platform::Surface source(image.width(), image.height());
        platform::Surface target(image.width(), image.height());
        Renderer renderer;
        renderer.SetTextureName("t_tex.png");
        ASSERT_TRUE(renderer.Create(&source, image.width(), image.height(), "t_tex"));
        renderer.Render(target, &source);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor want = image.pixelColor(x, y);
                const auto got = Channels(target.Row(y)[x]);
                EXPECT_EQ(got.r, want.red()) << x << "," << y;
                EXPECT_EQ(got.g, want.green()) << x << "," << y;
                EXPECT_EQ(got.b, want.blue()) << x << "," << y;
            }
        EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));
    }
}

TEST_F(ShaderRendererTest, MissingTextureLeavesTheShaderDrawingWithNone)
{
    files.Write("shaders/t_tex.frag", FragmentShader(R"(
uniform sampler2D iChannel1;
void main() { gl_FragColor = texture2D(iChannel1, vTexCoord) + vec4(0.0, 0.0, 0.5, 0.0); }
)"));
    // Missing, or in its place what is no picture file (over its cap, a red picture).
    QImage redImage(4, 4, QImage::Format_RGB32);
    redImage.fill(Qt::red);
    QFile redFile(files.Save("assets/t_red.png", redImage));
    ASSERT_TRUE(redFile.open(QIODevice::ReadOnly));
    const QByteArray redPicture = redFile.readAll();
    std::vector<std::pair<std::string, std::optional<lmd::test::HostileFile>>> cases = {{"missing", {}}};
    for (const lmd::test::HostileCase& hostile : lmd::test::kHostileFiles)
        cases.emplace_back(hostile.name, hostile.kind);
    const QString hostilePath = platform::paths::InExeDir(QStringLiteral("assets/t_hostile.png"));
    for (const auto& [name, hostile] : cases) {
        SCOPED_TRACE(name);
        if (hostile) {
            ASSERT_TRUE(lmd::test::PlaceHostileFile(hostilePath, *hostile, platform::FileKind::Picture, redPicture));
        }
        const platform::Surface source(4, 4);
        platform::Surface target(4, 4);
        Renderer renderer;
        renderer.SetTextureName(hostile ? "t_hostile.png" : "t_no_such_texture.png");
        EXPECT_FALSE(renderer.Create(&source, 4, 4, "t_tex"));
        EXPECT_EQ(renderer.FileTexture(), 0u);
        renderer.Render(target, &source);
        const auto c = Channels(target.Row(0)[0]);
        EXPECT_EQ(c.r, 0);
        EXPECT_NEAR(c.b, 128, 1);
        EXPECT_TRUE(sink.Errors().empty());
        EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));
    }
    lmd::test::ClearPath(hostilePath);
}

// Each broken shader gives one error text, no program, nothing drawn and no GL
// error left behind.
struct BrokenShader
{
    const char* name;
    const char* vertex;   // "" for none (the common vertex shader)
    const char* fragment; // nullptr: the file is missing
    const char* errorStart;
};

const BrokenShader kBroken[] = {
    {"missing", "", nullptr, "Failed to load shader file(s)."},
    {"fragment", "", "void main() { gl_FragColor = vec4(1.0) }\n", "Shader compile error (FRAGMENT):\n"},
    {"vertex", "#version 120\nvoid main() { gl_Position = 1.0; }\n",
     "void main() { gl_FragColor = vec4(1.0); }\n", "Shader compile error (VERTEX):\n"},
    {"link", "", "vec4 undefinedColour();\nvoid main() { gl_FragColor = undefinedColour(); }\n",
     "Shader program link error:\n"},
};

void PrintTo(const BrokenShader& broken, std::ostream* out)
{
    *out << broken.name;
}

class BrokenShaderTest : public ShaderRendererTest, public ::testing::WithParamInterface<BrokenShader>
{
};

TEST_P(BrokenShaderTest, ReportsOnceAndDrawsNothing)
{
    const BrokenShader& broken = GetParam();
    const QString stem = QString("t_broken_%1").arg(broken.name);
    if (*broken.vertex)
        files.Write("shaders/" + stem + ".vert", broken.vertex);
    if (broken.fragment)
        files.Write("shaders/" + stem + ".frag", FragmentShader(broken.fragment));
    const platform::Surface source = PatternSurface(16, 16);
    platform::Surface target(16, 16);
    target.Fill(platform::Rgb(1, 2, 3));
    Renderer renderer;
    EXPECT_FALSE(renderer.Create(&source, 16, 16, stem.toStdString()));
    EXPECT_EQ(renderer.Program(), 0u);
    renderer.Render(target, &source);
    EXPECT_EQ(target.GetPixel(8, 8), platform::Rgb(1, 2, 3)) << "the target keeps its picture";
    const auto& errors = sink.Errors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind(broken.errorStart, 0), 0u) << errors[0];
    if (std::string(broken.errorStart).back() == '\n') {
        EXPECT_GT(errors[0].size(), std::string(broken.errorStart).size()) << "the compiler's log follows";
    }
    EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));
}

INSTANTIATE_TEST_SUITE_P(Cases, BrokenShaderTest, ::testing::ValuesIn(kBroken),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ShaderRendererTest, CreateAfterAFailureStartsClean)
{
    // A broken effect followed by a good one on the same renderer: one error
    // (from the broken one) and a working picture.
    files.Write("shaders/t_pass.frag", kPassThrough);
    const platform::Surface source = PatternSurface(9, 7);
    platform::Surface target(9, 7);
    Renderer renderer;
    EXPECT_FALSE(renderer.Create(&source, 9, 7, "t_absent"));
    ASSERT_TRUE(renderer.Create(&source, 9, 7, "t_pass"));
    renderer.Render(target, &source);
    ExpectNear(target, source, 1);
    EXPECT_EQ(sink.Errors().size(), 1u);
    renderer.Free();
    renderer.Free();
    EXPECT_EQ(renderer.Program(), 0u);
}

} // namespace
