// The fireworks overlay (fonts need the display's application): exactly the
// frame rate, the particle count and the sprites, drawn over the frame; and
// the demo running in the DEMO dialog, the overlay shown while a mouse button
// is held on the canvas.
#include "demos/fireworks/fireworks.h"
#include "demos/gax_dlg.h"
#include "demos/gax_static.h"
#include "platform/crt.h"
#include "tests/demos/canvas_fixture.h"
#include "tests/demos/demo_dialog_fixture.h"
#include "tests/support/screens.h"

#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

using namespace lmd::test;

std::int64_t g_now = 0; // the overlay's clock, in 100-ns ticks

std::int64_t TestClock()
{
    return g_now;
}

// The sprites of the overlay as the demo's list has them: the rocket, the
// eleven spark colours, the trail.
struct SpriteSpec
{
    float red, green, blue, core;
    int size;
};
const SpriteSpec kRocket{1, 1, 0.9f, 4, 20};
const SpriteSpec kTrail{1, 1, 0.9f, 1, 10};
const float kSparkColours[11][3] = {
    {1, 1, 1},       {1, 0.5f, 0.5f}, {1, 0.75f, 0.5f}, {1, 1, 0.5f},     {0.75f, 1, 0.5f}, {0.5f, 1, 0.5f},
    {0.5f, 1, 0.75f}, {0.5f, 1, 1},   {0.5f, 0.75f, 1}, {0.75f, 0.5f, 1}, {1, 0.5f, 6.0f},
};
// The bytes the spark colours come out as (the last blue wraps around).
const QRgb kSparkBytes[11] = {
    qRgb(255, 255, 255), qRgb(255, 127, 127), qRgb(255, 191, 127), qRgb(255, 255, 127),
    qRgb(191, 255, 127), qRgb(127, 255, 127), qRgb(127, 255, 191), qRgb(127, 255, 255),
    qRgb(127, 191, 255), qRgb(191, 127, 255), qRgb(255, 127, 250),
};

gaImage_<unsigned char> Sprite(const SpriteSpec& s)
{
    return fireworks::makeParticleImage(s.red, s.green, s.blue, 1, s.core, s.size);
}

class FireworksOverlayTest : public ::testing::Test
{
protected:
    FireworksOverlayTest()
    {
        canvasWidth = kCanvasSize;
        canvasHeight = kCanvasSize;
        gaSetTickClock(&TestClock);
    }
    ~FireworksOverlayTest() override { gaSetTickClock(nullptr); }

    // A seeded demo run for `frames` frames on a black canvas; a button goes
    // down before the last frame when `held`.
    static QImage Run(int frames, bool held)
    {
        QImage canvas(kCanvasSize, kCanvasSize, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        crt::srand(3);
        fireworks demo;
        demo.setup();
        for (int n = 0; n < frames; ++n) {
            if (held && n == frames - 1)
                demo.mousePressed(100, 100, GA_BUTTON_LEFT);
            QPainter painter(&canvas);
            const gaFrameScope frame(demo, painter);
            demo.update();
            demo.draw();
            demo.core().frameNum = n + 1;
        }
        return canvas;
    }
};

TEST_F(FireworksOverlayTest, OverlayDrawsTheRateTheCountAndTheSpritesOverTheFrame)
{
    struct Case
    {
        bool firstReadout; // the first readout of the process, or one 32 ms after another
        const char* rate;
    };
    const Case cases[] = {{true, "0 FPS"}, {false, "31 FPS"}};
    for (const Case& c : cases) {
        const QImage plain = Run(40, false);
        gaSetTickClock(&TestClock);
        g_now = 133'000'000'000'000'000;
        if (!c.firstReadout) {
            measuredFrameRate();
            g_now += 320'000;
        }
        const QImage shown = Run(40, true);

        // The same frame with the overlay drawn over it as the demo lists it.
        // Counter 39: the rocket and the nine specks of its trail so far.
        QImage expected = plain;
        {
            QPainter painter(&expected);
            gaBaseApp reference;
            const gaFrameScope frame(reference, painter);
            gaSetDrawFromCenter(1);
            gaTranslate(kCanvasSize / 2, 0);
            gaSetColor(0xFFFFFFFF);
            gaDrawString(c.rate, 150, 5);
            gaDrawString("10 particles", 150, 20);
            Sprite(kRocket).draw(-220, 20);
            for (int i = 0; i < 11; ++i)
                fireworks::makeParticleImage(kSparkColours[i][0], kSparkColours[i][1], kSparkColours[i][2], 1, 1, 20)
                    .draw(-220 + 20.0f * i, 40);
            Sprite(kTrail).draw(-220, 60);
        }
        EXPECT_NE(shown, plain);
        EXPECT_EQ(shown, expected) << c.rate;
        // The sprites' middles are opaque: their colour bytes as they are.
        EXPECT_EQ(shown.pixel(20, 20), 0xFF000000 | qRgb(255, 255, 229));
        EXPECT_EQ(shown.pixel(20, 60), 0xFF000000 | qRgb(255, 255, 229));
        for (int i = 0; i < 11; ++i)
            EXPECT_EQ(shown.pixel(20 + 20 * i, 40), kSparkBytes[i]) << "spark colour " << i;
        SaveScreen(shown, QStringLiteral("fireworks_overlay"));
    }
}

TEST(FireworksDialogTest, RunsInTheDemoDialogWithTheOverlayWhileAButtonIsHeld)
{
    MainWindowStub mainWindow;
    CGaxDlg dialog;
    dialog.Create();
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));

    QComboBox& list = *dialog.DemoListBox();
    list.setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(&list, Qt::Key_Down);
    ASSERT_EQ(list.currentIndex(), 3);
    EXPECT_EQ(list.currentText(), QStringLiteral("\tFireworks"));
    auto* const demo = dynamic_cast<fireworks*>(dialog.CurrentApp());
    ASSERT_NE(demo, nullptr);

    // The first rocket goes up at counter 30 (or 270) and bursts some 110 frames later.
    ASSERT_TRUE(QTest::qWaitFor([&] { return demo->particleCount() > 450; }, 60000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return demo->particleCount() > 700; }, 10000)); // sparks spread, gunpowder falls

    CGaxStatic& canvas = *dialog.Canvas();
    const QPoint client = canvas.contentsRect().topLeft();
    const auto overlayShown = [&] {
        const QImage& back = canvas.BackBuffer();
        for (int i = 0; i < 11; ++i)
            if (back.pixel(20 + 20 * i, 40) != kSparkBytes[i])
                return false;
        return true;
    };
    EXPECT_FALSE(overlayShown());
    QTest::mousePress(&canvas, Qt::LeftButton, {}, client + QPoint(300, 300));
    ASSERT_TRUE(QTest::qWaitFor(overlayShown, 5000));
    const int frame = dialog.FrameCount();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.FrameCount() > frame + 2; }, 5000));
    EXPECT_TRUE(overlayShown()); // every frame while held
    SaveScreen(GrabScreen().copy(dialog.frameGeometry()), QStringLiteral("fireworks_dialog"));

    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, client + QPoint(300, 300));
    const int released = dialog.FrameCount();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.FrameCount() > released + 2; }, 5000));
    EXPECT_FALSE(overlayShown()); // the gradient lies over it from the next frame
    dialog.close();
}

} // namespace
