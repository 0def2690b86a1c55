// The OpenGL scenes drawn for real: the overlay over the source, the cycles of
// the tri-force and the angel, the tumbling cylinder, the metal lens with its
// sphere map through the effect layer, and a contact sheet of the four.
// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/effect_layer.h"
#include "effects/geometry/obj_loader.h"
#include "effects/opengl_routine.h"
#include "platform/crt.h"
#include "platform/paths.h"
#include "tests/support/screens.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <gtest/gtest.h>
#include <map>

namespace {

constexpr int kSize = 96;

// A scene with access to its context's error flag.
template <class Scene> class Probe : public Scene
{
public:
    GLenum GlError()
    {
        platform::GlCurrent current(this->m_context);
        return current ? glGetError() : static_cast<GLenum>(GL_INVALID_OPERATION);
    }
};

// A scene that draws nothing but its clear colour.
class EmptyScene : public COpenGLRoutine
{
public:
    int InitScene() override { return 0; }
    void DrawScene() override
    {
        DrawFrame([] {
            glClearColor(0, 0, 0, 0);
            glClear(GL_COLOR_BUFFER_BIT);
        });
    }
};

struct Rgb
{
    int r, g, b;
};
Rgb Channels(std::uint32_t p)
{
    return {static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF), static_cast<int>(p & 0xFF)};
}

// Pixels that are not black.
int LitPixels(const QImage& picture)
{
    int lit = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            lit += (picture.pixel(x, y) & 0xFFFFFFu) != 0;
    return lit;
}

// Runs the scene for frames 1 to last and keeps the picture of each frame asked for.
template <class Scene> std::map<int, QImage> Pictures(Scene& scene, int last, std::initializer_list<int> keep)
{
    std::map<int, QImage> pictures;
    for (int frame = 1; frame <= last; ++frame) {
        scene.DrawScene();
        if (std::find(keep.begin(), keep.end(), frame) != keep.end())
            pictures[frame] = scene.Picture().Image().copy();
    }
    return pictures;
}

platform::Surface Filled(platform::COLORREF colour)
{
    platform::Surface surface(kSize, kSize);
    surface.Fill(colour);
    return surface;
}

} // namespace

TEST(OpenGLRoutineGlTest, SceneStandsOverTheSourceAtHalfBrightness)
{
    // Nothing drawn: the source shows with every channel halved.
    EmptyScene empty;
    ASSERT_EQ(empty.Create(nullptr, kSize, kSize), 0);
    for (const auto& [colour, expected] : {std::pair{platform::Rgb(255, 255, 255), 0x7F7F7Fu},
                                           std::pair{platform::Rgb(200, 101, 3), 0x643201u}}) {
        const platform::Surface source = Filled(colour);
        platform::Surface target(kSize, kSize);
        empty.Render(target, source);
        for (int y = 0; y < kSize; y += 7)
            for (int x = 0; x < kSize; x += 5)
                ASSERT_EQ(target.Row(y)[x] & 0xFFFFFFu, expected) << x << "," << y;
    }

    // A drawn scene stands opaque where it is not black.
    Probe<C3DTriForce> scene;
    ASSERT_EQ(scene.Create(nullptr, kSize, kSize), 0);
    const platform::Surface white = Filled(platform::Rgb(255, 255, 255));
    platform::Surface target(kSize, kSize);
    for (int frame = 0; frame < 150; ++frame)
        scene.Render(target, white);
    const QImage& picture = scene.Picture().Image();
    int scenePixels = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const std::uint32_t drawn = picture.pixel(x, y) & 0xFFFFFFu;
            const std::uint32_t out = target.Row(y)[x] & 0xFFFFFFu;
            ASSERT_EQ(out, drawn != 0 ? drawn : 0x7F7F7Fu) << x << "," << y;
            scenePixels += drawn != 0;
        }
    EXPECT_GT(scenePixels, kSize * kSize / 10);
    EXPECT_EQ(scene.GlError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(OpenGLRoutineGlTest, TriForceCycle)
{
    Probe<C3DTriForce> scene;
    ASSERT_EQ(scene.Create(nullptr, kSize, kSize), 0);
    auto pictures = Pictures(scene, 422, {1, 60, 100, 140, 300, 420, 421, 422});
    // The prisms spin until frame 140 (three full turns) and then stand still.
    EXPECT_TRUE(pictures[140] == pictures[300]);
    EXPECT_TRUE(pictures[300] == pictures[420]);
    EXPECT_FALSE(pictures[100] == pictures[140]);
    // Frame 421 draws nothing new, frame 422 starts over, tiny.
    EXPECT_TRUE(pictures[421] == pictures[420]);
    EXPECT_TRUE(pictures[422] == pictures[1]);
    EXPECT_LT(LitPixels(pictures[1]), LitPixels(pictures[60]));
    EXPECT_LT(LitPixels(pictures[60]), LitPixels(pictures[300]));
    // Golden light: every lit pixel is red over green over blue.
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const Rgb p = Channels(pictures[300].pixel(x, y));
            if (p.r + p.g + p.b != 0) {
                ASSERT_GE(p.r, p.g) << x << "," << y;
                ASSERT_GE(p.g, p.b) << x << "," << y;
            }
        }
    EXPECT_EQ(scene.GlError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(OpenGLRoutineGlTest, AngelOpensItsWingsAndStartsOver)
{
    Probe<CAngel> scene;
    ASSERT_EQ(scene.Create(nullptr, kSize, kSize), 0);
    auto pictures = Pictures(scene, 302, {1, 50, 99, 150, 201, 250, 300, 301, 302});
    // Closed and still until frame 100, opening until 200, open and still to 300.
    EXPECT_TRUE(pictures[1] == pictures[99]);
    EXPECT_FALSE(pictures[99] == pictures[150]);
    EXPECT_FALSE(pictures[150] == pictures[250]);
    EXPECT_TRUE(pictures[201] == pictures[300]);
    EXPECT_TRUE(pictures[301] == pictures[300]);
    EXPECT_TRUE(pictures[302] == pictures[1]);
    // The open wings reach further out than the closed ones.
    EXPECT_GT(LitPixels(pictures[250]), LitPixels(pictures[50]));
    // Closed, the wings hide the red body; open, it shows between them.
    const auto reddish = [](const QImage& picture) {
        int count = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const Rgb p = Channels(picture.pixel(x, y));
                count += p.r > p.b + 60;
            }
        return count;
    };
    EXPECT_LT(reddish(pictures[50]), 10);
    EXPECT_GT(reddish(pictures[250]), 20);
    EXPECT_EQ(scene.GlError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(OpenGLRoutineGlTest, CylinderTumblesInGrey)
{
    crt::srand(1); // speeds -0.9975, 0.1272 and -0.6134 degrees per frame
    Probe<C3DCylinder> scene;
    ASSERT_EQ(scene.Create(nullptr, kSize, kSize), 0);
    auto pictures = Pictures(scene, 60, {1, 2, 60});
    EXPECT_FALSE(pictures[1] == pictures[2]);
    EXPECT_FALSE(pictures[2] == pictures[60]);
    // White light on the default material: every lit pixel is a grey.
    int lit = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const Rgb p = Channels(pictures[60].pixel(x, y));
            ASSERT_TRUE(p.r == p.g && p.g == p.b) << x << "," << y;
            lit += p.r != 0;
        }
    EXPECT_GT(lit, kSize * kSize / 20);
    // A new set-up draws new speeds and starts from the camera's view again.
    ASSERT_EQ(scene.Create(nullptr, kSize, kSize), 0);
    EXPECT_EQ(scene.GlError(), static_cast<GLenum>(GL_NO_ERROR));
}

namespace {

class MetalLensGlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string path = platform::paths::InExeDir("assets/lens.obj").toStdString();
        ASSERT_TRUE(LoadObjModel(path, lens));
        layer.Create(&source);
        layer.SetLensMesh(&lens);
        layer.SetEffect(EFFECT_METAL_LENS);
    }

    void Paint(platform::COLORREF colour)
    {
        source.Fill(colour);
        layer.RecaptureSource();
    }

    Rgb Centre() const { return Channels(layer.Output().Row(kSize / 2)[kSize / 2]); }

    ObjMesh lens;
    platform::Surface source{kSize, kSize};
    CEffectLayer layer{kSize, kSize};
};

} // namespace

TEST_F(MetalLensGlTest, SphereMapFollowsTheSourceOnEvenFrames)
{
    Paint(platform::Rgb(230, 40, 30));
    layer.Render(nullptr); // frame 0: set-up and first picture
    const Rgb red = Centre();
    EXPECT_GT(red.r, red.g + 40);
    EXPECT_GT(red.r, red.b + 40);
    // The corners show the grey background (0.3).
    const Rgb corner = Channels(layer.Output().Row(0)[0]);
    EXPECT_NEAR(corner.r, 77, 1);
    EXPECT_EQ(corner.r, corner.b);

    // Odd frames leave the output as it is, even ones draw the new source.
    Paint(platform::Rgb(30, 60, 230));
    const QImage before = layer.Output().Image().copy();
    layer.Render(nullptr);
    EXPECT_TRUE(layer.Output().Image() == before);
    layer.Render(nullptr);
    const Rgb blue = Centre();
    EXPECT_GT(blue.b, blue.r + 40);
    EXPECT_GT(blue.b, blue.g + 20);
}

TEST_F(MetalLensGlTest, WithoutAMeshOnlyTheBackground)
{
    layer.SetLensMesh(nullptr);
    layer.SetEffect(EFFECT_METAL_LENS);
    Paint(platform::Rgb(230, 40, 30));
    layer.Render(nullptr);
    for (int y = 0; y < kSize; y += 5)
        for (int x = 0; x < kSize; x += 5)
            ASSERT_EQ(layer.Output().Row(y)[x] & 0xFFFFFFu, layer.Output().Row(0)[0] & 0xFFFFFFu);
    EXPECT_NEAR(Centre().g, 77, 1);
}

namespace {

// A small desktop for the contact sheet: a warm sky, a sun, two windows.
void PaintBackdrop(platform::Surface& s)
{
    QPainter p(&s.Image());
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient sky(QPointF(s.Width() * 0.3, s.Height() * 0.2), s.Width());
    sky.setColorAt(0, QColor(255, 214, 140));
    sky.setColorAt(0.5, QColor(90, 140, 210));
    sky.setColorAt(1, QColor(20, 40, 90));
    p.fillRect(QRect(0, 0, s.Width(), s.Height()), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 240, 120));
    p.drawEllipse(QPointF(s.Width() * 0.3, s.Height() * 0.2), 14, 14);
    p.setBrush(QColor(236, 236, 230));
    p.drawRect(14, 70, 60, 40);
    p.setBrush(QColor(40, 130, 90));
    p.drawRect(80, 60, 40, 55);
    p.fillRect(0, s.Height() - 12, s.Width(), 12, QColor(30, 30, 36));
}

} // namespace

TEST(GlEffectsSheetTest, FourScenesThroughTheLayer)
{
    const int cell = 130, label = 18, pad = 6;
    struct Shot
    {
        int code;
        int frames;
        const char* title;
    };
    const Shot shots[] = {
        {EFFECT_TRIFORCE, 60, "15 トライフォース @60"}, {EFFECT_TRIFORCE, 300, "15 トライフォース @300"},
        {EFFECT_ANGEL, 150, "84 angel @150"},           {EFFECT_ANGEL, 260, "84 angel @260"},
        {EFFECT_CYLINDER, 90, "86 cylinder @90"},       {EFFECT_METAL_LENS, 2, "89 metal lens @2"},
    };
    platform::Surface desktop(cell, cell);
    PaintBackdrop(desktop);
    ObjMesh lens;
    ASSERT_TRUE(LoadObjModel(platform::paths::InExeDir("assets/lens.obj").toStdString(), lens));

    const int columns = 3;
    const int rows = (static_cast<int>(std::size(shots)) + columns - 1) / columns;
    QImage sheet(pad + columns * (cell + pad), pad + rows * (cell + label + pad), QImage::Format_RGB32);
    sheet.fill(QColor(48, 48, 52));
    QPainter p(&sheet);
    QFont font(QStringLiteral("Noto Sans CJK JP"));
    font.setPixelSize(10);
    p.setFont(font);
    p.setPen(Qt::white);
    crt::srand(7);
    for (std::size_t k = 0; k < std::size(shots); ++k) {
        CEffectLayer layer(cell, cell);
        layer.Create(&desktop);
        layer.SetLensMesh(&lens);
        layer.SetEffect(shots[k].code);
        for (int frame = 0; frame < shots[k].frames; ++frame)
            layer.Render(nullptr);
        const int x = pad + static_cast<int>(k % columns) * (cell + pad);
        const int y = pad + static_cast<int>(k / columns) * (cell + label + pad);
        p.drawText(QRect(x, y, cell, label), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromUtf8(shots[k].title));
        p.drawImage(x, y + label, layer.Output().Image());
        // Each scene drew something of its own over the darkened desktop.
        EXPECT_FALSE(layer.Output().Image() == desktop.Image()) << shots[k].title;
        EXPECT_GT(LitPixels(layer.Output().Image()), cell * cell / 2) << shots[k].title;
    }
    p.end();
    lmd::test::SaveScreen(sheet, QStringLiteral("gl-effects"));
}
