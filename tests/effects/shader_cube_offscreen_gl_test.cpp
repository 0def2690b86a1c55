// CShaderCube and CShaderCube2: the six face pictures land on the axes in the
// order +X, -X, +Y, -Y, +Z, -Z; a face that cannot be loaded shows one box and
// leaves nothing to draw, also while the box is open; the cube pass, buffer A
// and the state texture feed each other as wired.
// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/shader_cube.h"
#include "effects/shader_old_watch.h"
#include "platform/paths.h"
#include "platform/surface.h"
#include "tests/effects/buffer_shader_fixture.h"
#include "tests/effects/shader_gl_fixture.h"
#include "tests/support/hostile_files.h"

#include <QBuffer>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

using lmd::test::Channels;
using lmd::test::ErrorSink;
using lmd::test::FragmentShader;
using lmd::test::ProgramFolder;

const QColor kFaceColours[6] = {QColor(250, 0, 0),   QColor(0, 250, 0),   QColor(0, 0, 250),
                                QColor(250, 250, 0), QColor(0, 250, 250), QColor(250, 0, 250)};
const char* const kForest[6] = {"Forest1.png", "Forest2.png", "Forest3.png",
                                "Forest4.png", "Forest5.png", "Forest6.png"};

// Six columns: column i looks along axis i (+X, -X, +Y, -Y, +Z, -Z).
const std::string kAxes = FragmentShader(R"(
uniform samplerCube iChannel0;
uniform vec2 iResolution;
void main()
{
    int column = int(gl_FragCoord.x / iResolution.x * 6.0);
    vec3 axis = column == 0 ? vec3(1, 0, 0) : column == 1 ? vec3(-1, 0, 0) : column == 2 ? vec3(0, 1, 0)
              : column == 3 ? vec3(0, -1, 0) : column == 4 ? vec3(0, 0, 1) : vec3(0, 0, -1);
    gl_FragColor = textureCube(iChannel0, axis);
}
)");

class ShaderCubeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder.Write("shaders/t_axes.frag", kAxes);
        WriteFaces();
    }
    // 5 x 5: packed RGB rows of 15 bytes, not a multiple of four.
    void WriteFaces()
    {
        for (int i = 0; i < 6; ++i)
            folder.Save(QStringLiteral("_misc/") + kForest[i],
                        lmd::test::SolidPicture(5, 5, kFaceColours[i]));
    }

    ErrorSink sink;
    ProgramFolder folder;
    lmd::test::ScopedModalDesktop desktop;
    platform::Surface source{60, 10};
    platform::Surface target{60, 10};
};

using CubeProbe = lmd::test::Probe<CShaderCube>;

TEST_F(ShaderCubeTest, FacesLieOnTheAxesInOrder)
{
    CubeProbe renderer;
    ASSERT_TRUE(renderer.Create(&source, 60, 10, "t_axes"));
    ASSERT_TRUE(renderer.LoadCubemap());
    renderer.Render(target, &source);
    for (int i = 0; i < 6; ++i) {
        const auto c = Channels(target.Row(5)[i * 10 + 5]);
        EXPECT_EQ(c.r, kFaceColours[i].red()) << kForest[i];
        EXPECT_EQ(c.g, kFaceColours[i].green()) << kForest[i];
        EXPECT_EQ(c.b, kFaceColours[i].blue()) << kForest[i];
    }
    EXPECT_TRUE(desktop->texts.empty());
    EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));
}

// The colour the axes shader shows in column i, as read back.
lmd::test::Rgb8 ColumnColour(const platform::Surface& target, int i)
{
    return Channels(target.Row(5)[i * 10 + 5]);
}

TEST_F(ShaderCubeTest, BadFacesShowOneBoxEachTurnBlackAndTheRestStay)
{
    const auto save = [](const ProgramFolder& f, int face, int side) {
        f.Save(QStringLiteral("_misc/") + kForest[face], lmd::test::SolidPicture(side, side, Qt::white));
    };
    struct Case
    {
        std::string why;
        std::function<void(const ProgramFolder&)> spoil;
        std::vector<int> bad; // faces that turn black
    };
    std::vector<Case> cases = {
        {"missing", [](const ProgramFolder& f) { f.Remove(QStringLiteral("_misc/Forest3.png")); }, {2}},
        {"not a picture", [](const ProgramFolder& f) { f.Write(QStringLiteral("_misc/Forest3.png"), "PNG?"); },
         {2}},
        {"not square",
         [](const ProgramFolder& f) {
             f.Save(QStringLiteral("_misc/Forest3.png"), lmd::test::SolidPicture(5, 6, Qt::white));
         },
         {2}},
        {"another size", [&](const ProgramFolder& f) { save(f, 2, 6); }, {2}},
        {"the first face of another size", [&](const ProgramFolder& f) { save(f, 0, 7); }, {0}},
        {"two missing",
         [](const ProgramFolder& f) {
             f.Remove(QStringLiteral("_misc/Forest2.png"));
             f.Remove(QStringLiteral("_misc/Forest6.png"));
         },
         {1, 5}},
        {"all missing",
         [](const ProgramFolder& f) {
             for (const char* face : kForest)
                 f.Remove(QStringLiteral("_misc/") + face);
         },
         {0, 1, 2, 3, 4, 5}},
    };
    // In place of a face, what is no picture file at all; over its cap, a good face.
    const QString third = platform::paths::InExeDir(QStringLiteral("_misc/Forest3.png"));
    QByteArray goodFace;
    QBuffer buffer(&goodFace);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && lmd::test::SolidPicture(5, 5, Qt::white).save(&buffer, "PNG"));
    for (const lmd::test::HostileCase& hostile : lmd::test::kHostileFiles) {
        cases.push_back({hostile.name,
                         [&](const ProgramFolder&) {
                             ASSERT_TRUE(lmd::test::PlaceHostileFile(third, hostile.kind,
                                                                     platform::FileKind::Picture, goodFace));
                         },
                         {2}});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        lmd::test::ClearPath(third);
        WriteFaces();
        c.spoil(folder);
        desktop->texts.clear();
        CubeProbe renderer;
        ASSERT_TRUE(renderer.Create(&source, 60, 10, "t_axes"));
        // A frame that runs while a box is open (the clock's timer keeps
        // painting under a modal box) must find nothing to draw with.
        int framesWhileOpen = 0;
        desktop->whileOpen = [&] {
            target.Fill(platform::Rgb(1, 2, 3));
            renderer.Render(target, &source);
            EXPECT_EQ(ColumnColour(target, 3).r, 1) << "nothing is drawn while a box is open";
            ++framesWhileOpen;
        };
        EXPECT_FALSE(renderer.LoadCubemap());
        desktop->whileOpen = nullptr;
        std::vector<QString> expected;
        for (const int face : c.bad)
            expected.push_back(QStringLiteral("Failed to load image: %1").arg(kForest[face]));
        EXPECT_EQ(desktop->texts, expected);
        EXPECT_EQ(framesWhileOpen, static_cast<int>(c.bad.size()));

        target.Fill(platform::Rgb(1, 2, 3));
        renderer.Render(target, &source);
        for (int i = 0; i < 6; ++i) {
            const bool bad = std::find(c.bad.begin(), c.bad.end(), i) != c.bad.end();
            const auto colour = ColumnColour(target, i);
            const QColor want = bad ? QColor(Qt::black) : kFaceColours[i];
            EXPECT_EQ(colour.r, want.red()) << kForest[i];
            EXPECT_EQ(colour.g, want.green()) << kForest[i];
            EXPECT_EQ(colour.b, want.blue()) << kForest[i];
        }
        EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));
    }
    EXPECT_TRUE(sink.Errors().empty());
}

// --- CShaderCube2 ---

using Cube2Probe = lmd::test::PassProbe<CShaderCube2>;

// Cube pass: red counts up from the previous cube map (each face reads its own
// centre), green is the state texel (0, 0) in red, blue the face index.
const std::string kCubePass = FragmentShader(R"(
uniform samplerCube iChannel0;
uniform sampler2D iChannel1;
uniform int iFace;
uniform vec2 iResolution;
void main()
{
    vec3 axis = iFace == 0 ? vec3(1, 0, 0) : iFace == 1 ? vec3(-1, 0, 0) : iFace == 2 ? vec3(0, 1, 0)
              : iFace == 3 ? vec3(0, -1, 0) : iFace == 4 ? vec3(0, 0, 1) : vec3(0, 0, -1);
    float count = textureCube(iChannel0, axis).r + 1.0;
    gl_FragColor = vec4(count, texture2D(iChannel1, vec2(0.25, 0.5)).r, float(iFace), iResolution.x);
}
)");
// Buffer A: the new cube map seen along -Y, and the Forest map's red along +X.
const std::string kCubeBufferA = FragmentShader(R"(
uniform samplerCube iChannel0;
uniform samplerCube iChannel1;
uniform vec3 iMouse;
void main()
{
    vec4 c = textureCube(iChannel0, vec3(0, -1, 0));
    gl_FragColor = vec4(c.r, c.g, c.b + textureCube(iChannel1, vec3(1, 0, 0)).r * 255.0, c.a + iMouse.z);
}
)");
const std::string kCubeImage = FragmentShader(R"(
uniform sampler2D iChannel0;
uniform vec2 iResolution;
void main()
{
    vec4 a = texture2D(iChannel0, gl_FragCoord.xy / iResolution);
    gl_FragColor = vec4(a.r, a.g, a.b - 0.5, 255.0) / 255.0;
}
)");

TEST_F(ShaderCubeTest, CubePassBufferAAndStateFeedEachOther)
{
    folder.Write("_misc/InterLiquidMetalBlob_CubeA.frag", kCubePass);
    folder.Write("_misc/InterLiquidMetalBlob_BufferA.frag", kCubeBufferA);
    folder.Write("_misc/t_cube_image.frag", kCubeImage);
    Cube2Probe renderer;
    ASSERT_TRUE(renderer.Create(&source, 60, 10, "..\\_misc\\t_cube_image"));
    ASSERT_TRUE(renderer.LoadCubemap());
    ASSERT_TRUE(renderer.LoadBufferA());
    ASSERT_TRUE(renderer.LoadCubeA());
    desktop->altDown = true;
    renderer.m_ptMouse = QPoint(4, 5);
    // The cube pass runs on frames 1, 3, 5 (iFrame 0, 2, 4): its count goes up
    // every other frame, and the state it takes in is buffer A of the frame
    // before, which saw the cube pass's count of two frames before.
    for (int n = 1; n <= 5; ++n) {
        SCOPED_TRACE(n);
        renderer.Render(target, &source);
        const auto a = renderer.Texel(renderer.BufferA().Latest(), 1, 0);
        EXPECT_EQ(a[0], (n + 1) / 2) << "the cube pass reads the cube map it drew before";
        EXPECT_EQ(a[1], (n - 1) / 2) << "the state is buffer A of the frame before";
        EXPECT_NEAR(a[2], 3.0f + 250.0f, 1e-3f) << "-Y is face 3; the Forest map is iChannel1";
        EXPECT_EQ(a[3], 1024.0f + 4.0f) << "1024-pixel faces; iMouse's third float is the click x";
        const auto image = Channels(target.Row(5)[30]);
        EXPECT_EQ(image.r, (n + 1) / 2);
        EXPECT_EQ(image.g, (n - 1) / 2);
    }
    EXPECT_EQ(renderer.m_nFrame, 5);
    EXPECT_TRUE(sink.Errors().empty());
    EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));
}

TEST_F(ShaderCubeTest, CubeBufferLoadersShowMissingFiles)
{
    Cube2Probe renderer;
    folder.Write("_misc/t_cube_image.frag", kCubeImage);
    ASSERT_TRUE(renderer.Create(&source, 60, 10, "..\\_misc\\t_cube_image"));
    ASSERT_TRUE(renderer.LoadCubemap());
    EXPECT_FALSE(renderer.LoadBufferA());
    EXPECT_FALSE(renderer.LoadCubeA());
    const std::vector<std::string> expected = {"Failed to BufferA load shader file(s).",
                                               "Failed to CubeA load shader file(s)."};
    EXPECT_EQ(sink.Errors(), expected);
    target.Fill(platform::Rgb(1, 2, 3));
    renderer.Render(target, &source);
    EXPECT_EQ(Channels(target.Row(5)[30]).r, 1) << "nothing is drawn";
    EXPECT_EQ(renderer.GlError(), GLenum(GL_NO_ERROR));
}

} // namespace
