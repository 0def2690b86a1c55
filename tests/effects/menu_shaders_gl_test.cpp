// The single-pass shader effects of the menu (and the hidden woodblock print):
// each one builds, animates, draws a picture with something in it, and - where
// it filters the picture below - follows that picture. A contact sheet shows
// them all over one test desktop.
// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/effect_codes.h"
#include "effects/effect_layer.h"
#include "effects/shader_renderer.h"
#include "platform/paths.h"
#include "platform/surface.h"
#include "tests/effects/contact_sheet.h"
#include "tests/effects/picture_metrics.h"
#include "tests/effects/shader_gl_fixture.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

using lmd::test::BrightnessSpread;
using lmd::test::ErrorSink;
using lmd::test::MeanDifference;
using Renderer = lmd::test::Probe<CShaderRenderer>;

constexpr int kSide = 130; // the clock at zoom 100
constexpr int kFrames = 60;
constexpr int kFramePeriodMs = 50; // the clock's frame timer

// Every single-pass shader effect of the slideshow layers (the menu's and the
// woodblock print), and whether it filters the picture below (true) or draws a
// scene of its own.
struct MenuShader
{
    int code;
    bool filters;
};
constexpr int kSceneShaders[] = {EFFECT_FLAME, EFFECT_MATRIX,      EFFECT_PLASMA_WAVES, EFFECT_RIVER,
                                 EFFECT_SEA,   EFFECT_DOTS_LOADER, EFFECT_UKIYOE};
const std::vector<MenuShader> kMenuShaders = [] {
    std::vector<MenuShader> shaders;
    for (const int code : EffectCodes(IsLayerShader))
        shaders.push_back({code, std::ranges::find(kSceneShaders, code) == std::end(kSceneShaders)});
    return shaders;
}();

std::string Label(const EffectInfo& info)
{
    return std::string(info.menuText.empty() ? info.name : info.menuText);
}

// A colourful little desktop: wallpaper, windows with text, icons, a taskbar.
// Painted in the units of the 130-pixel clock, scaled to the surface.
void PaintDesktop(platform::Surface& surface, bool alternative = false)
{
    QPainter p(&surface.Image());
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(surface.Width() / 130.0, surface.Height() / 130.0);
    QLinearGradient wall(0, 0, 130, 130);
    wall.setColorAt(0, alternative ? QColor(250, 240, 60) : QColor(30, 60, 160));
    wall.setColorAt(0.5, alternative ? QColor(240, 90, 30) : QColor(150, 60, 170));
    wall.setColorAt(1, alternative ? QColor(20, 140, 60) : QColor(250, 150, 70));
    p.fillRect(QRectF(0, 0, 130, 130), wall);
    QRadialGradient sun(alternative ? QPointF(30, 95) : QPointF(100, 28), 26);
    sun.setColorAt(0, QColor(255, 250, 200));
    sun.setColorAt(1, QColor(255, 200, 80, 0));
    p.fillRect(QRectF(0, 0, 130, 130), sun);
    const int flip = alternative ? -1 : 1;
    p.translate(alternative ? 130 : 0, 0);
    p.scale(flip, 1);
    // A document window.
    p.setPen(QPen(QColor(40, 40, 50), 1));
    p.setBrush(QColor(250, 250, 245));
    p.drawRect(QRectF(14, 22, 66, 52));
    p.fillRect(QRectF(14, 22, 66, 9), QColor(20, 120, 220));
    p.fillRect(QRectF(71, 24, 6, 5), QColor(230, 60, 50));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(9);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRectF(17, 33, 62, 40), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Lumidial 12:34 desk clock"));
    // A picture window: hills and a red roof.
    p.setBrush(QColor(120, 200, 240));
    p.drawRect(QRectF(62, 62, 52, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 170, 70));
    p.drawEllipse(QRectF(56, 84, 44, 30));
    p.drawEllipse(QRectF(84, 80, 36, 34));
    p.setBrush(QColor(210, 40, 40));
    p.drawPolygon(QPolygonF({QPointF(72, 84), QPointF(82, 74), QPointF(92, 84)}));
    // Desktop icons.
    const QColor icons[] = {QColor(250, 210, 40), QColor(40, 200, 120), QColor(240, 80, 150)};
    for (int i = 0; i < 3; ++i) {
        p.setBrush(icons[i]);
        p.drawRoundedRect(QRectF(18 + i * 16, 84, 11, 11), 3, 3);
    }
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(QRectF(94, 38, 18, 18));
    p.setBrush(QColor(20, 20, 20));
    p.drawEllipse(QRectF(101, 45, 4, 4));
    // Taskbar.
    p.resetTransform();
    p.scale(surface.Width() / 130.0, surface.Height() / 130.0);
    p.fillRect(QRectF(0, 116, 130, 14), QColor(22, 24, 30));
    p.fillRect(QRectF(4, 119, 9, 8), QColor(0, 160, 240));
    p.setPen(Qt::white);
    font.setPixelSize(8);
    p.setFont(font);
    p.drawText(QRectF(90, 116, 38, 14), Qt::AlignCenter, QStringLiteral("12:34"));
}

// One renderer set up as the effect layer sets up a single-pass shader code.
struct ShaderUnderTest
{
    explicit ShaderUnderTest(const MenuShader& shader, const platform::Surface& source)
        : entry(shader), info(*FindEffect(shader.code)), output(kSide, kSide)
    {
        if (!info.textures[0].empty())
            renderer.SetTextureName(std::string(info.textures[0]));
        created = renderer.Create(&source, kSide, kSide, std::string(info.image));
    }
    MenuShader entry;
    const EffectInfo& info;
    Renderer renderer;
    bool created = false;
    platform::Surface output;
    platform::Surface first{kSide, kSide};
};

class MenuShadersTest : public ::testing::Test
{
protected:
    void SetUp() override { PaintDesktop(desktop); }

    ErrorSink sink;
    platform::Surface desktop{kSide, kSide};
};

TEST_F(MenuShadersTest, EveryShaderRunsAndAnimatesAtTheClocksFrameRate)
{
    std::vector<std::unique_ptr<ShaderUnderTest>> shaders;
    for (const MenuShader& shader : kMenuShaders) {
        ASSERT_NE(FindEffect(shader.code), nullptr) << shader.code;
        ASSERT_EQ(FindEffect(shader.code)->family, EffectFamily::Shader) << shader.code;
        shaders.push_back(std::make_unique<ShaderUnderTest>(shader, desktop));
        EXPECT_TRUE(shaders.back()->created) << Label(shaders.back()->info);
    }
    ASSERT_TRUE(sink.Errors().empty()) << sink.Errors().front();

    // Sixty frames of every shader, paced by a timer of the clock's period, so
    // the first and the last frame are three seconds of animation apart.
    int frame = 0;
    QTimer timer;
    timer.setInterval(kFramePeriodMs);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (frame == kFrames)
            return;
        for (auto& s : shaders) {
            s->renderer.Render(s->output, &desktop);
            if (frame == 0)
                s->first.BitBlt(0, 0, kSide, kSide, s->output, 0, 0);
        }
        ++frame;
    });
    timer.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame == kFrames; }, 60000));
    timer.stop();

    EXPECT_TRUE(sink.Errors().empty()) << sink.Errors().front();
    for (auto& s : shaders) {
        SCOPED_TRACE(Label(s->info));
        EXPECT_EQ(s->renderer.GlError(), GLenum(GL_NO_ERROR));
        EXPECT_EQ(s->renderer.m_nFrame, kFrames);
        EXPECT_GT(MeanDifference(s->first, s->output), 1.5) << "frame 1 and frame 60 look alike";
        EXPECT_GT(BrightnessSpread(s->output), 10.0) << "the picture is (nearly) uniform";
        if (!s->info.textures[0].empty()) {
            EXPECT_NE(s->renderer.FileTexture(), 0u) << "texture " << s->info.textures[0] << " did not load";
        }
    }
}

TEST_F(MenuShadersTest, FiltersFollowTheSource)
{
    platform::Surface other(kSide, kSide);
    PaintDesktop(other, true);
    platform::Surface withDesktop(kSide, kSide), withOther(kSide, kSide), again(kSide, kSide);
    for (const MenuShader& shader : kMenuShaders) {
        if (!shader.filters)
            continue;
        ShaderUnderTest s(shader, desktop);
        SCOPED_TRACE(Label(s.info));
        ASSERT_TRUE(s.created);
        // Back to back, so the animation moves on by a few milliseconds only;
        // the change from the animation alone is the baseline.
        s.renderer.Render(withOther, &other);
        s.renderer.Render(withDesktop, &desktop);
        s.renderer.Render(again, &desktop);
        const double change = MeanDifference(withDesktop, withOther);
        EXPECT_GT(change, MeanDifference(withDesktop, again) + 10.0)
            << "a filter that does not show the picture below";
    }
    EXPECT_TRUE(sink.Errors().empty());
}

// The codes that receive the pointer (the layer flips it to a bottom-left
// origin): the lamp of the metal follows it, the view over the sea turns with it.
TEST_F(MenuShadersTest, ThePointerSteersTheCodesThatReceiveIt)
{
    int steered = 0;
    for (const MenuShader& shader : kMenuShaders) {
        if (FindEffect(shader.code)->mouse != EffectMouse::ShaderPos)
            continue;
        ShaderUnderTest s(shader, desktop);
        SCOPED_TRACE(Label(s.info));
        ASSERT_TRUE(s.created);
        platform::Surface left(kSide, kSide), right(kSide, kSide), again(kSide, kSide);
        s.renderer.m_ptMouse = QPoint(10, 20);
        s.renderer.Render(left, &desktop);
        s.renderer.m_ptMouse = QPoint(120, 110);
        s.renderer.Render(right, &desktop);
        s.renderer.Render(again, &desktop);
        EXPECT_GT(MeanDifference(left, right), MeanDifference(right, again) + 8.0);
        ++steered;
    }
    EXPECT_EQ(steered, 2); // Metallic and Sea
    EXPECT_TRUE(sink.Errors().empty());
}

// Every picture texture the effect table names is generated under its exact
// name, tiles at a power-of-two size, and the RGBA noise pairs its channels
// (green is red moved by (37, 17), alpha is blue moved alike) for 3D lookups.
TEST(EffectTexturesTest, EveryNamedPictureExistsAndTheNoisePairsItsChannels)
{
    int checked = 0;
    for (const EffectInfo& info : AllEffects())
        for (const std::string_view name : info.textures) {
            if (name.empty() || name.ends_with(".bin")) // 3D noise is raw data, not a picture
                continue;
            // "..\\_misc\\" names lead out of the assets folder into _misc.
            const QString path =
                platform::paths::InExeDir("assets/" + QString::fromUtf8(name.data(), name.size()));
            const QImage image(path);
            ASSERT_FALSE(image.isNull()) << path.toStdString();
            EXPECT_EQ(image.width() & (image.width() - 1), 0) << path.toStdString();
            EXPECT_EQ(image.width(), image.height()) << path.toStdString();
            ++checked;
        }
    EXPECT_GT(checked, 8);
    for (const char* name : {"st_RBGA_noise_medium.png", "st_RBGA_noise_small.png"}) {
        const QImage noise = QImage(platform::paths::InExeDir(QStringLiteral("assets/") + name))
                                 .convertToFormat(QImage::Format_ARGB32);
        const int size = noise.width();
        for (const auto& [x, y] : {std::pair{0, 0}, {5, 60}, {size - 1, 3}, {40, size - 1}}) {
            const QRgb here = noise.pixel(x, y);
            const QRgb there = noise.pixel((x + size - 37) % size, (y + size - 17) % size);
            EXPECT_EQ(qGreen(here), qRed(there)) << name << " at " << x << "," << y;
            EXPECT_EQ(qAlpha(here), qBlue(there)) << name << " at " << x << "," << y;
        }
    }
}

// Every effect through a real layer over the test desktop, labelled with its
// menu text, for people to judge: build/screens/effects.png at zoom 100 and
// effects-300.png at zoom 300.
TEST_F(MenuShadersTest, ContactSheet)
{
    for (const int zoom : {100, 300}) {
        const int cell = kSide * zoom / 100;
        platform::Surface picture(cell, cell);
        PaintDesktop(picture);
        const int count = static_cast<int>(std::size(kMenuShaders)) + 1; // + the desktop itself
        lmd::test::ContactSheet sheet(count, cell, zoom == 100 ? 6 : 5, 11);
        sheet.Place(0, QStringLiteral("(desktop)"), picture.Image());
        int k = 1;
        for (const MenuShader& shader : kMenuShaders) {
            CEffectLayer layer(cell, cell);
            layer.Create(&picture);
            layer.SetEffect(shader.code);
            const EffectInfo& info = *FindEffect(shader.code);
            for (int frame = 0; frame < 12; ++frame) {
                if (info.mouse == EffectMouse::ShaderPos)
                    layer.MouseMove(QPoint((40 + frame) * zoom / 100, 35 * zoom / 100));
                layer.Render(nullptr);
            }
            sheet.Place(k++, QString::fromStdString(Label(info)), layer.Output().Image());
        }
        sheet.Save(zoom == 100 ? QStringLiteral("effects") : QStringLiteral("effects-300"));
    }
    EXPECT_TRUE(sink.Errors().empty());
}

} // namespace
