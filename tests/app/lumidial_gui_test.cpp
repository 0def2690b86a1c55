#include "app/lmd_app.h"
#include "app/lumidial.h"
#include "platform/desktop.h"
#include "platform/ini.h"
#include "platform/paths.h"
#include "platform/screen_capture.h"
#include "tests/app/clock_window_fixture.h"
#include "tests/support/screens.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTest>
#include <climits>
#include <gtest/gtest.h>

namespace {

using namespace lmd::test;

// Whether every pixel of the clock's area shows what it should: inside the
// ellipse (with a pixel of margin for the edge) the clock's picture as `inside`
// says, outside it the backdrop.
template <typename InsideCheck> bool ScreenShowsClock(const CLumidial& clock, InsideCheck inside)
{
    const QRect area = clock.geometry();
    const QImage screen = platform::CaptureScreen(area).Image();
    const QRegion& ellipse = clock.EllipseRegion();
    for (int y = 0; y < area.height(); ++y) {
        for (int x = 0; x < area.width(); ++x) {
            const QRgb pixel = screen.pixel(x, y) & 0xFFFFFF;
            const QRgb behind = Pattern(area.x() + x, area.y() + y) & 0xFFFFFF;
            const QRect around(x - 1, y - 1, 3, 3);
            const bool in = QRegion(around).subtracted(ellipse).isEmpty();
            const bool out = !ellipse.intersects(around);
            if ((in && !inside(pixel, behind)) || (out && pixel != behind))
                return false;
        }
    }
    return true;
}

bool Same(QRgb pixel, QRgb behind)
{
    return pixel == behind;
}

bool Grey(QRgb pixel, QRgb)
{
    return qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel);
}

TEST_F(ClockWindowTest, RoundWindowAtItsPlaceShowsTheDesktopBehindIt)
{
    theApp.AppSettings.EffectPtn0 = EFFECT_MONOCHROME;
    CLumidial& window = ShowClock();

    EXPECT_EQ(window.geometry(), QRect(210, 170, 130, 130));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenPosition(window) == QPoint(210, 170); }));
    EXPECT_EQ(ShapeExtents(window), QRect(0, 0, 129, 129));
    EXPECT_EQ(ShapeRegion(window, XShape::Bounding), window.EllipseRegion());
    EXPECT_EQ(ShapeRegion(window, XShape::Input), window.EllipseRegion());
    // The X server cuts the window round; Qt paints the whole square unclipped.
    EXPECT_TRUE(window.mask().isEmpty());

    // The back layer turns the desktop grey inside the ellipse; outside it the
    // window has no pixels, so the backdrop shows.
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenShowsClock(window, Grey); }));
    lmd::test::SaveScreen(platform::CaptureScreen(window.geometry().adjusted(-20, -20, 20, 20)).Image(),
                          "clock_window_monochrome");

    // Code 0 passes the desktop through unchanged: the clock cannot be told
    // from what lies behind it.
    window.OnCommand(static_cast<int>(ID_EFFECT_BACK) + EFFECT_NONE);
    EXPECT_EQ(theApp.AppSettings.EffectPtn0, EFFECT_NONE);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenShowsClock(window, Same); }));
}

TEST_F(ClockWindowTest, ZoomSizesTheWindowAndItsShape)
{
    theApp.AppSettings.Zoom = 150;
    theApp.AppSettings.EffectPtn0 = EFFECT_MONOCHROME;
    CLumidial& window = ShowClock();
    EXPECT_EQ(window.size(), QSize(195, 195));
    EXPECT_EQ(ShapeExtents(window), QRect(0, 0, 193, 193));
    EXPECT_EQ(ShapeRegion(window, XShape::Bounding), window.EllipseRegion());
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenShowsClock(window, Grey); }));
}

TEST_F(ClockWindowTest, StoredPlaceOffEveryScreenComesBackOnScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    struct Case
    {
        const char* name;
        QPoint stored;
        QPoint shown;
    };
    const Case cases[] = {
        {"lowest ints", {INT_MIN, INT_MIN}, {0, 0}},
        {"highest ints", {INT_MAX, INT_MAX}, screen.bottomRight() - QPoint(129, 129)},
        {"far right", {40000, 300}, {screen.right() - 129, 300}},
        {"far above", {500, -70000}, {500, 0}},
        {"half off the left edge stays", {-60, 300}, {-60, 300}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        theApp.AppSettings.StartX = c.stored.x();
        theApp.AppSettings.StartY = c.stored.y();
        CLumidial& window = ShowClock();
        EXPECT_EQ(window.pos(), c.shown);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenPosition(window) == c.shown; }));
        // The stored place follows, so the next start is sound too.
        EXPECT_EQ(QPoint(theApp.AppSettings.StartX, theApp.AppSettings.StartY), c.shown);
        clock.reset();
    }
}

// Whether `xdotool search --class LMDClass` lists the window.
bool FoundByClass(const QWidget& window)
{
    QProcess search;
    search.start("xdotool", {"search", "--class", "LMDClass"});
    if (!search.waitForFinished(10000))
        return false;
    return QString::fromLatin1(search.readAllStandardOutput())
        .split('\n', Qt::SkipEmptyParts)
        .contains(QString::number(platform::CurrentXWindow(window)));
}

TEST_F(ClockWindowTest, ClassNameFindsTheWindow)
{
    CLumidial& window = ShowClock();
    EXPECT_TRUE(FoundByClass(window));
    EXPECT_EQ(window.objectName(), "LMDClass");
}

TEST_F(ClockWindowTest, ZeroZoomIsDerivedFromTheScreenWidthAndStored)
{
    struct Case
    {
        int screenWidth;
        int zoom;
    };
    for (const Case& c : {Case{1366, 100}, Case{1920, 120}, Case{3840, 240}}) {
        theApp.AppSettings.Zoom = 0;
        CLumidial& window = ShowClock(QSize(c.screenWidth, 1080));
        EXPECT_EQ(window.Zoom(), c.zoom) << c.screenWidth;
        EXPECT_EQ(theApp.AppSettings.Zoom, c.zoom) << c.screenWidth;
        EXPECT_EQ(window.size(), QSize(130 * c.zoom / 100, 130 * c.zoom / 100)) << c.screenWidth;
    }
}

TEST_F(ClockWindowTest, ZoomStaysWithinLimitsFromTheIniAndFromMessages)
{
    theApp.AppSettings.Zoom = 5000;
    CLumidial& window = ShowClock();
    EXPECT_EQ(window.Zoom(), kMaxZoom);
    EXPECT_EQ(theApp.AppSettings.Zoom, kMaxZoom);

    struct Case
    {
        platform::WPARAM requested;
        int zoom;
    };
    for (const Case& c : {Case{5, 20}, Case{0, 20}, Case{static_cast<platform::WPARAM>(-40), 20},
                          Case{90, 90}, Case{610, 600}, Case{~platform::WPARAM{0} >> 1, 600}}) {
        platform::SendAppMessage(platform::WM_SET_ZOOM, c.requested);
        EXPECT_EQ(window.Zoom(), c.zoom) << c.requested;
        EXPECT_EQ(theApp.AppSettings.Zoom, c.zoom) << c.requested;
        EXPECT_EQ(window.size(), QSize(130 * c.zoom / 100, 130 * c.zoom / 100)) << c.requested;
    }
}

TEST_F(ClockWindowTest, ZoomRebuildsTheLayersOnceItHasSettled)
{
    theApp.AppSettings.EffectPtn0 = EFFECT_MONOCHROME;
    CLumidial& window = ShowClock();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ScreenShowsClock(window, Grey); }));
    const CEffectLayer* before = window.BackLayer();
    for (int zoom : {110, 120, 130})
        platform::SendAppMessage(platform::WM_SET_ZOOM, static_cast<platform::WPARAM>(zoom));

    // Until the rebuild, no frame is painted and the old layers stay.
    EXPECT_TRUE(window.IsTimerRunning(TIMER_ZOOM_SETTLE));
    EXPECT_FALSE(window.IsTimerRunning(TIMER_REPAINT));
    EXPECT_FALSE(window.IsTimerRunning(TIMER_OVERLAP));
    EXPECT_EQ(window.BackLayer(), before);
    // Meanwhile the window shows the last frame scaled, not an empty picture.
    EXPECT_NE(window.FinalSurface().GetPixel(84, 84), 0u);

    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.IsTimerRunning(TIMER_ZOOM_SETTLE); }));
    EXPECT_TRUE(window.IsTimerRunning(TIMER_REPAINT));
    EXPECT_TRUE(window.IsTimerRunning(TIMER_OVERLAP));
    EXPECT_EQ(window.BackLayer()->Width(), 169);
    EXPECT_EQ(window.Snapshot().Width(), 169);
    EXPECT_EQ(ShapeExtents(window), QRect(0, 0, 167, 167));
    EXPECT_EQ(ShapeRegion(window, XShape::Bounding), window.EllipseRegion());
    EXPECT_EQ(ShapeRegion(window, XShape::Input), window.EllipseRegion());
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenShowsClock(window, Grey); }));
    EXPECT_EQ(ScreenPosition(window), QPoint(210, 170));
}

TEST_F(ClockWindowTest, RecaptureTakesTheNewDesktopNeverTheClockItself)
{
    theApp.AppSettings.EffectPtn0 = EFFECT_MONOCHROME;
    CLumidial& window = ShowClock();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ScreenShowsClock(window, Grey); }));

    // The desktop under the clock changes; the clock still shows the old one
    // until it is asked to look again.
    backdrop.Paint(true);
    const QRect corner(window.x(), window.y(), 4, 4);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return (platform::CaptureScreen(corner).Image().pixel(1, 1) & 0xFFFFFF) ==
               ((Pattern(corner.x() + 1, corner.y() + 1) ^ 0xFFFFFF) & 0xFFFFFF);
    }));
    platform::PostAppMessage(platform::WM_RECAPTURE_BACKGROUND);

    const auto snapshotIsNewDesktop = [&] {
        const QImage& snapshot = window.Snapshot().Image();
        for (int y = 0; y < snapshot.height(); ++y)
            for (int x = 0; x < snapshot.width(); ++x)
                if ((snapshot.pixel(x, y) & 0xFFFFFF) != ((Pattern(210 + x, 170 + y) ^ 0xFFFFFF) & 0xFFFFFF))
                    return false;
        return true;
    };
    EXPECT_TRUE(QTest::qWaitFor(snapshotIsNewDesktop));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenPosition(window) == QPoint(210, 170); }));
}

TEST_F(ClockWindowTest, FrameTypeOutsideTheSlotsFallsBackOrIsIgnored)
{
    theApp.AppSettings.FrameType = 18;
    ShowClock();
    EXPECT_EQ(theApp.AppSettings.FrameType, 1);

    for (int type : {-1, 18, 1000}) {
        platform::SendAppMessage(platform::WM_SET_FRAME_TYPE, static_cast<platform::WPARAM>(type));
        EXPECT_EQ(theApp.AppSettings.FrameType, 1) << type;
    }
    platform::SendAppMessage(platform::WM_SET_FRAME_TYPE, 17);
    EXPECT_EQ(theApp.AppSettings.FrameType, 17);
}

TEST_F(ClockWindowTest, ShowErrorShowsItsTextOnceAndIgnoresAMessageWithoutText)
{
    const platform::ScopedRecordingDesktop desktop;
    ShowClock();

    platform::PostAppMessage(platform::WM_SHOW_ERROR, 0, 0,
                             std::make_unique<std::string>("shader_x.frag: 行 3 error"));
    platform::PostAppMessage(platform::WM_SHOW_ERROR);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !desktop->messageBoxes.empty(); }));
    platform::SendAppMessage(platform::WM_SHOW_ERROR);
    QCoreApplication::processEvents();

    ASSERT_EQ(desktop->messageBoxes.size(), 1u);
    EXPECT_EQ(desktop->messageBoxes[0].text, QStringLiteral("shader_x.frag: 行 3 error"));
    EXPECT_TRUE(desktop->messageBoxes[0].style & platform::MB_ICONERROR);
}

TEST_F(ClockWindowTest, ImageSourceScansTheFolderAndKeepsTheIntervalAboveZero)
{
    for (const char* name : {"b.PNG", "a.jpg", "notes.txt", "sub/c.bmp"}) {
        const QString path = folder.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QImage picture(8, 8, QImage::Format_RGB32);
        picture.fill(Qt::red);
        ASSERT_TRUE(QString(name).endsWith("txt") ||
                    picture.save(path, QFileInfo(path).suffix().toUpper().toLatin1()));
    }
    // The slideshow divides by its interval: 0 must still run.
    theApp.AppSettings.EffectPtn0 = EFFECT_IMAGE_SLIDESHOW;
    theApp.AppSettings.PlayInterval = 0;
    CLumidial& window = ShowClock();

    const QDir dir(folder.path());
    ASSERT_EQ(window.ImageList().Paths().size(), 2u);
    EXPECT_EQ(dir.relativeFilePath(window.ImageList().Paths()[0]), "a.jpg");
    EXPECT_EQ(dir.relativeFilePath(window.ImageList().Paths()[1]), "b.PNG");
    const std::uint64_t frames = window.BackLayer()->FrameCount();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.BackLayer()->FrameCount() > frames + 3; }));

    theApp.AppSettings.SearchSub = true;
    platform::SendAppMessage(platform::WM_SET_IMAGE_SOURCE, 1, 0,
                             std::make_unique<std::string>(folder.path().toStdString()));
    EXPECT_EQ(window.ImageList().Paths().size(), 3u);
    platform::SendAppMessage(platform::WM_SET_IMAGE_SOURCE, 0, -5);
    const std::uint64_t later = window.BackLayer()->FrameCount();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.BackLayer()->FrameCount() > later + 3; }));
}

// Whether the tray icon's own window is up (Qt makes one per icon on X11).
bool TrayIconWindowExists()
{
    for (const QWidget* widget : QApplication::topLevelWidgets())
        if (QByteArray(widget->metaObject()->className()).contains("SystemTrayIcon") && widget->isVisible())
            return true;
    return false;
}

TEST_F(ClockWindowTest, TopMostChangeKeepsTheShapeAndTheClass)
{
    theApp.AppSettings.EffectPtn0 = EFFECT_MONOCHROME;
    CLumidial& window = ShowClock();
    // A change of the top-most flag makes the native window anew: it keeps
    // the clock's shapes (pixels and pointer) and class.
    for (int change = 0; change < 2; ++change) {
        const unsigned long before = platform::CurrentXWindow(window);
        window.SetTopMost(!theApp.AppSettings.TopMost);
        theApp.AppSettings.TopMost = !theApp.AppSettings.TopMost;
        ASSERT_NE(platform::CurrentXWindow(window), before); // a new X window indeed
        // The new X window is round from the start.
        EXPECT_EQ(ShapeRegion(window, XShape::Bounding), window.EllipseRegion());
        EXPECT_EQ(ShapeRegion(window, XShape::Input), window.EllipseRegion());
        EXPECT_TRUE(window.mask().isEmpty());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_TRUE(FoundByClass(window));
        EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenShowsClock(window, Grey); }));
    }
}

TEST_F(ClockWindowTest, ExitCommandStopsEveryTimerRemovesTheTrayIconAndStoresThePosition)
{
    const QString ini = folder.filePath("LMD.ini");
    ASSERT_TRUE(platform::WriteProfileInt(ini, u"GENERAL", u"StartX", 100));
    ASSERT_TRUE(platform::WriteProfileInt(ini, u"GENERAL", u"StartY", 80));
    ASSERT_TRUE(platform::WriteProfileInt(ini, u"MOJIBAN", u"UseShaderMojiban", 0));
    ASSERT_TRUE(platform::WriteProfileInt(ini, u"FRAME", u"Frame", 0));
    const std::unique_ptr<CLumidial> mainWindow = theApp.InitInstance();
    CLumidial& window = *mainWindow;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(FoundByClass(window));
    ASSERT_NE(window.TrayIcon(), nullptr);
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        EXPECT_TRUE(QTest::qWaitFor([] { return TrayIconWindowExists(); }));
    }
    EXPECT_EQ(window.TrayIcon()->toolTip(), "Lumidial");

    window.move(333, 222);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ScreenPosition(window) == QPoint(333, 222); }));
    window.OnCommand(ID_QUIT);

    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.TrayIcon(), nullptr);
    EXPECT_FALSE(TrayIconWindowExists());
    for (int id : {TIMER_REPAINT, TIMER_ALARM, TIMER_OVERLAP, TIMER_ZOOM_SETTLE})
        EXPECT_FALSE(window.IsTimerRunning(id)) << id;
    // Nothing is painted any more (a negative: it takes a short wait to see).
    const std::uint64_t frames = window.BackLayer()->FrameCount();
    QTest::qWait(300);
    EXPECT_EQ(window.BackLayer()->FrameCount(), frames);

    theApp.ExitInstance();
    EXPECT_EQ(platform::GetProfileInt(ini, u"GENERAL", u"StartX", -1), 333);
    EXPECT_EQ(platform::GetProfileInt(ini, u"GENERAL", u"StartY", -1), 222);
}

TEST_F(ClockWindowTest, ExitDuringAPendingZoomSettleStartsNoTimerLater)
{
    CLumidial& window = ShowClock();
    platform::SendAppMessage(platform::WM_SET_ZOOM, 140);
    window.close();
    QTest::qWait(kZoomSettleMs + 200);
    for (int id : {TIMER_REPAINT, TIMER_OVERLAP, TIMER_ZOOM_SETTLE})
        EXPECT_FALSE(window.IsTimerRunning(id)) << id;
}

} // namespace
