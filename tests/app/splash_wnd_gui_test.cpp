// The start-up splash on the test display: placement, texts, the fade and a click.
#include "app/splash_wnd.h"
#include "platform/resources.h"
#include "tests/support/screens.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QRect WorkArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

// Opens a splash as start-up does and waits until it is on the screen.
QPointer<CSplashWnd> OpenSplash(QImage bitmap, const QRect& workArea = WorkArea())
{
    QPointer<CSplashWnd> splash = new CSplashWnd("3.50", std::move(bitmap));
    splash->Create(workArea);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(splash.data()));
    return splash;
}

// Pixels close to the text colour (0x0A0A0A) in an area of a picture.
int DarkPixels(const QImage& picture, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (picture.rect().contains(x, y) && qGray(picture.pixel(x, y)) < 70)
                ++count;
    return count;
}

struct Closer
{
    QPointer<CSplashWnd>& splash;
    ~Closer() { delete splash.data(); }
};

} // namespace

// With its picture the splash is the picture plus 4 pixels; without it, a fixed
// size that still holds the texts. Either way it sits in the middle of the work
// area and shows the version and the author in the lower right.
TEST(SplashWndTest, CentredOnTheWorkAreaWithItsTexts)
{
    const QImage picture = platform::LoadBitmap("SPLASH");
    ASSERT_FALSE(picture.isNull());
    ASSERT_GE(picture.width(), 260);
    ASSERT_GE(picture.height(), 180);

    struct Case
    {
        const char* name;
        QImage bitmap;
        QSize size;
    };
    const Case cases[] = {
        {"splash", picture, picture.size() + QSize(4, 4)},
        {"splash_without_picture", QImage(), CSplashWnd::kFallbackSize},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QPointer<CSplashWnd> splash = OpenSplash(c.bitmap);
        const Closer closer{splash};
        const QRect area = WorkArea();
        const QRect expected(area.left() + (area.width() - c.size.width()) / 2,
                             area.top() + (area.height() - c.size.height()) / 2, c.size.width(),
                             c.size.height());
        EXPECT_EQ(splash->frameGeometry(), expected);

        const QImage screen = lmd::test::GrabScreen();
        const QImage shown = screen.copy(expected);
        lmd::test::SaveScreen(shown, c.name);
        // Client pixel (x, y) is window pixel (x + 1, y + 1), inside the border.
        const QRect versionText(181, 141, 40, 18);
        const QRect authorText(151, 161, 90, 18);
        EXPECT_GT(DarkPixels(shown, versionText), 15);
        EXPECT_GT(DarkPixels(shown, authorText), 40);
        if (!c.bitmap.isNull()) {
            // The picture leaves that corner light, so the dark pixels are the texts ...
            EXPECT_EQ(DarkPixels(c.bitmap, versionText.translated(-2, -2)), 0);
            EXPECT_EQ(DarkPixels(c.bitmap, authorText.translated(-2, -2)), 0);
            // ... and elsewhere the screen shows the picture, two pixels in.
            EXPECT_EQ(shown.pixel(60, 40), c.bitmap.pixel(58, 38));
            EXPECT_EQ(shown.pixel(250, 30), c.bitmap.pixel(248, 28));
        }
    }
}

// A click closes the splash at once, during the two-second hold as well as
// during the fade.
TEST(SplashWndTest, ClickClosesAtOnce)
{
    for (const bool duringFade : {false, true}) {
        SCOPED_TRACE(duringFade ? "during the fade" : "during the hold");
        QPointer<CSplashWnd> splash = OpenSplash(platform::LoadBitmap("SPLASH"));
        const Closer closer{splash};
        if (duringFade)
            QTRY_VERIFY_WITH_TIMEOUT(splash->Alpha() < 255, 4000);
        else
            ASSERT_EQ(splash->Alpha(), 255);
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(splash.data(), Qt::LeftButton, {}, QPoint(30, 30));
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 1000);
        EXPECT_LT(clock.elapsed(), 1000);
    }
}

// Left alone, the splash holds for 2 s, fades in steps of 5 every 50 ms and
// closes itself (deleting itself) after about 4.5 s.
TEST(SplashWndTest, FadesOutAndClosesOnItsOwn)
{
    QElapsedTimer clock;
    clock.start();
    QPointer<CSplashWnd> splash = OpenSplash(platform::LoadBitmap("SPLASH"));
    const Closer closer{splash};

    QTRY_VERIFY_WITH_TIMEOUT(splash->Alpha() < 255, 4000);
    EXPECT_GE(clock.elapsed(), 1800); // the hold (coarse timers may fire up to 5 % early)
    const int firstStep = splash->Alpha();
    EXPECT_EQ((255 - firstStep) % CSplashWnd::kFadeStep, 0);
    EXPECT_NEAR(splash->windowOpacity(), firstStep / 255.0, 0.01);

    int lastSeen = firstStep;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            if (splash.isNull())
                return true;
            lastSeen = splash->Alpha();
            return false;
        },
        8000));
    EXPECT_TRUE(splash.isNull());
    EXPECT_LE(lastSeen, 10);
    EXPECT_GE(clock.elapsed(), 4000);
}
