// CShaderOldWatch: buffer A from the glyph atlas and the organic picture with
// its fixed channel sizes, buffer B from A and its own previous frame, the image
// from the gallery cube map, the wood, A and B with a three-float iMouse; a
// missing picture stops the loader silently, a bad cube face does not.
// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/shader_old_watch.h"
#include "platform/surface.h"
#include "tests/effects/buffer_shader_fixture.h"
#include "tests/effects/shader_gl_fixture.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

using lmd::test::Channels;
using lmd::test::ErrorSink;
using lmd::test::FragmentShader;
using lmd::test::ProgramFolder;
using lmd::test::SolidPicture;

using WatchProbe = lmd::test::PassProbe<CShaderOldWatch>;

constexpr int kSide = 16;

// A: texel column 0 holds the glyph atlas's and the organic picture's red and
// iFrame; column 1 the channel sizes, packed: (size 0 x, size 0 y, 10 x size 1 x
// + size 2 x, the z's and size 3 as digits).
const std::string kWatchA = FragmentShader(R"(
uniform sampler2D iChannel1;
uniform sampler2D iChannel2;
uniform int iFrame;
uniform vec3 iChannelResolution[4];
void main()
{
    vec3 r0 = iChannelResolution[0], r1 = iChannelResolution[1];
    vec3 r2 = iChannelResolution[2], r3 = iChannelResolution[3];
    if (gl_FragCoord.x < 1.0)
        gl_FragColor = vec4(texture2D(iChannel1, vec2(0.5)).r * 255.0, texture2D(iChannel2, vec2(0.5)).r * 255.0,
                            float(iFrame), 0.0);
    else
        gl_FragColor = vec4(r0.x, r0.y, 10.0 * r1.x + r2.x,
                            1000.0 * r0.z + 100.0 * r1.z + 10.0 * r2.z + r1.y - r2.y + r3.x + r3.y + r3.z);
}
)");
// B: A's glyph red, and a count up from its own previous frame.
const std::string kWatchB = FragmentShader(R"(
uniform sampler2D iChannel0;
uniform sampler2D iChannel1;
uniform vec2 iResolution;
void main()
{
    gl_FragColor = vec4(texture2D(iChannel0, vec2(0.5 / iResolution.x, 0.5)).r,
                        texture2D(iChannel1, gl_FragCoord.xy / iResolution).g + 1.0, 0.0, 0.0);
}
)");
// Image, in three columns: (+X face red, -Y face green, wood red), (A's glyph
// red via B, B's count, iMouse.z), (iMouse.x, iMouse.y, A's organic red).
const std::string kWatchImage = FragmentShader(R"(
uniform samplerCube iChannel0;
uniform sampler2D iChannel1;
uniform sampler2D iChannel2;
uniform sampler2D iChannel3;
uniform vec2 iResolution;
uniform vec3 iMouse;
void main()
{
    vec4 b = texture2D(iChannel3, gl_FragCoord.xy / iResolution);
    vec4 a = texture2D(iChannel2, vec2(0.5 / iResolution.x, 0.5));
    vec3 c;
    if (gl_FragCoord.x < iResolution.x / 3.0)
        c = vec3(textureCube(iChannel0, vec3(1, 0, 0)).r * 255.0, textureCube(iChannel0, vec3(0, -1, 0)).g * 255.0,
                 texture2D(iChannel1, vec2(0.5)).r * 255.0);
    else if (gl_FragCoord.x < 2.0 * iResolution.x / 3.0)
        c = vec3(b.r, b.g, iMouse.z);
    else
        c = vec3(iMouse.x, iMouse.y, a.g);
    gl_FragColor = vec4(c / 255.0, 1.0);
}
)");

// A picture as PNG bytes, to be written under any name (the loaders go by
// content), so that its colours arrive exactly.
std::string Png(const QImage& picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes.toStdString();
}

const char* const kGallery[6] = {"UffiziGallery1.jpg", "UffiziGallery2.jpg", "UffiziGallery3.jpg",
                                 "UffiziGallery4.jpg", "UffiziGallery5.jpg", "UffiziGallery6.jpg"};

class ShaderOldWatchTest : public ::testing::Test
{
protected:
    void SetUp() override { WriteFiles(); }
    void WriteFiles()
    {
        folder.Write("shaders/t_watch_a.frag", kWatchA);
        folder.Write("shaders/t_watch_b.frag", kWatchB);
        folder.Write("shaders/t_watch_image.frag", kWatchImage);
        // Pictures of other sizes than the fixed 256 the shader is told.
        folder.Write(QStringLiteral("assets/st_wood.jpg"), Png(SolidPicture(8, 4, QColor(40, 0, 0))));
        folder.Write(QStringLiteral("_misc/st_font1.png"), Png(SolidPicture(32, 32, QColor(60, 0, 0))));
        folder.Write(QStringLiteral("assets/st_Organic3.jpg"), Png(SolidPicture(3, 5, QColor(80, 0, 0))));
        for (int i = 0; i < 6; ++i)
            folder.Write(QStringLiteral("_misc/") + kGallery[i],
                         Png(SolidPicture(4, 4, QColor(100 + 10 * i, 100 + 10 * i, 0))));
    }

    bool Load(WatchProbe& renderer)
    {
        return renderer.Create(&source, kSide, kSide, "t_watch_image") &&
               renderer.LoadTextures("t_watch_a", "t_watch_b");
    }

    ErrorSink sink;
    ProgramFolder folder;
    lmd::test::ScopedModalDesktop desktop;
    platform::Surface source{kSide, kSide};
    platform::Surface target{kSide, kSide};
};

TEST_F(ShaderOldWatchTest, PassesAreWiredAsTheWatchNeeds)
{
    WatchProbe renderer;
    ASSERT_TRUE(Load(renderer));
    desktop->altDown = true;
    renderer.m_ptMouse = QPoint(7, 9);
    for (int frame = 1; frame <= 3; ++frame) {
        SCOPED_TRACE(frame);
        renderer.Render(target, &source);
        const auto glyphs = renderer.Texel(renderer.BufferA().Latest(), 0, 0);
        EXPECT_NEAR(glyphs[0], 60.0f, 0.5f) << "iChannel1 of A is the glyph atlas of the _misc folder";
        EXPECT_NEAR(glyphs[1], 80.0f, 0.5f) << "iChannel2 of A is the organic picture";
        EXPECT_EQ(glyphs[2], frame - 1) << "iFrame";
        const auto sizes = renderer.Texel(renderer.BufferA().Latest(), 1, 0);
        EXPECT_EQ(sizes[0], kSide);
        EXPECT_EQ(sizes[1], kSide);
        EXPECT_EQ(sizes[2], 10 * 256 + 256) << "256 x 256 for both pictures, whatever their size";
        EXPECT_EQ(sizes[3], 1110) << "z is 1, 1, 1 and the fourth size is 0";
        const auto b = renderer.Texel(renderer.BufferB().Latest(), 5, 5);
        EXPECT_NEAR(b[0], 60.0f, 0.5f) << "B reads A";
        EXPECT_EQ(b[1], frame) << "B reads its own previous frame";

        const auto left = Channels(target.Row(5)[2]);
        EXPECT_EQ(left.r, 100) << "+X is the first gallery face";
        EXPECT_EQ(left.g, 130) << "-Y is the fourth";
        EXPECT_EQ(left.b, 40) << "iChannel1 of the image is the wood";
        const auto middle = Channels(target.Row(5)[8]);
        EXPECT_EQ(middle.r, 60) << "the image reads B";
        EXPECT_EQ(middle.g, frame);
        EXPECT_EQ(middle.b, 7) << "iMouse's third float is the click x";
        const auto right = Channels(target.Row(5)[14]);
        EXPECT_EQ(right.r, 7);
        EXPECT_EQ(right.g, 9);
        EXPECT_EQ(right.b, 80) << "the image reads A";
    }
    desktop->altDown = false;
    renderer.Render(target, &source);
    EXPECT_EQ(Channels(target.Row(5)[8]).b, 0) << "without Alt iMouse is (0, 0, 0)";
    EXPECT_EQ(Channels(target.Row(5)[14]).r, 0);
    EXPECT_TRUE(desktop->texts.empty());
    EXPECT_TRUE(sink.Errors().empty());
    EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));
}

TEST_F(ShaderOldWatchTest, MissingPictureStopsTheLoaderWithoutAWord)
{
    for (const char* picture : {"assets/st_wood.jpg", "_misc/st_font1.png", "assets/st_Organic3.jpg"}) {
        SCOPED_TRACE(picture);
        WriteFiles();
        folder.Remove(QString::fromLatin1(picture));
        WatchProbe renderer;
        EXPECT_FALSE(Load(renderer));
        target.Fill(platform::Rgb(1, 2, 3));
        renderer.Render(target, &source);
        EXPECT_EQ(Channels(target.Row(5)[8]).r, 1) << "nothing is drawn";
        EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));
    }
    EXPECT_TRUE(desktop->texts.empty());
    EXPECT_TRUE(sink.Errors().empty());
}

TEST_F(ShaderOldWatchTest, BadGalleryFaceTurnsBlackAndTheWatchRuns)
{
    folder.Remove(QStringLiteral("_misc/UffiziGallery1.jpg"));
    WatchProbe renderer;
    ASSERT_TRUE(Load(renderer));
    ASSERT_EQ(desktop->texts.size(), 1u);
    EXPECT_EQ(desktop->texts[0], QStringLiteral("Failed to load image: UffiziGallery1.jpg"));
    renderer.Render(target, &source);
    const auto left = Channels(target.Row(5)[2]);
    EXPECT_EQ(left.r, 0) << "the missing +X face is black";
    EXPECT_EQ(left.g, 130) << "-Y is kept";
    EXPECT_EQ(left.b, 40) << "the pictures after the cube map are loaded";
    EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));
}

} // namespace
