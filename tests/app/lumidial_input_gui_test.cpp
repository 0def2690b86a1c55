// The clock under the mouse and keyboard, driven for real on the test display
// (xdotool moves the X pointer; keys and wheel steps go through Qt's event
// delivery): the drag with its scrolled snapshot, the short click, zoom by wheel
// and keys, and the watch over the windows under the clock.
#include "app/lumidial.h"
#include "platform/screen_capture.h"
#include "platform/window_list.h"
#include "tests/app/clock_window_fixture.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QStyleHints>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace lmd::test;

// A window of one colour with a title, used as a window under (or over) the clock.
class Helper : public QWidget
{
public:
    Helper(const QRect& rect, QColor colour, Qt::WindowFlags extra = {})
        : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | extra), colour_(colour)
    {
        setWindowTitle(QStringLiteral("Helper"));
        setGeometry(rect);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), colour_); }

private:
    QColor colour_;
};

QString Number(int value)
{
    return QString::number(value);
}

// The pointer to the middle of the clock, and the clock ready for it.
bool PointAtClock(const CLumidial& clock)
{
    const QPoint centre = clock.geometry().center();
    return Xdotool({"mousemove", "--sync", Number(centre.x()), Number(centre.y())});
}

// Every snapshot pixel is the backdrop at the clock's place.
bool SnapshotIsBackdropAt(const CLumidial& clock, QPoint topLeft)
{
    const QImage& snapshot = clock.Snapshot().Image();
    for (int y = 0; y < snapshot.height(); ++y)
        for (int x = 0; x < snapshot.width(); ++x)
            if ((snapshot.pixel(x, y) & 0xFFFFFF) != (Pattern(topLeft.x() + x, topLeft.y() + y) & 0xFFFFFF))
                return false;
    return true;
}

void SendWheel(QWidget& window, int delta)
{
    const QPointF at(window.width() / 2.0, window.height() / 2.0);
    QWheelEvent wheel(at, window.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&window, &wheel);
}

using ClockInputTest = ClockWindowTest;

TEST_F(ClockInputTest, DragScrollsTheSnapshotAlongWithoutCapturingTheClock)
{
    CLumidial& window = ShowClock();
    ASSERT_TRUE(SnapshotIsBackdropAt(window, QPoint(210, 170)));
    const MessageCounter recaptures(window, platform::WM_RECAPTURE_BACKGROUND);
    ASSERT_TRUE(PointAtClock(window));

    // Held long enough not to count as a short click; steps right, down, and
    // diagonally, each carried out before the next.
    ASSERT_TRUE(Xdotool({"mousedown", "1", "sleep", "0.3"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.IsDragging(); }));
    EXPECT_FALSE(window.IsTimerRunning(TIMER_REPAINT));
    EXPECT_FALSE(window.IsTimerRunning(TIMER_OVERLAP));
    struct Step
    {
        int dx;
        int dy;
    };
    QPoint place(210, 170);
    for (const Step step : {Step{10, 0}, Step{0, 7}, Step{5, 4}}) {
        ASSERT_TRUE(Xdotool({"mousemove_relative", "--sync", "--", Number(step.dx), Number(step.dy)}));
        place += QPoint(step.dx, step.dy);
        ASSERT_TRUE(QTest::qWaitFor([&] { return ScreenPosition(window) == place; }))
            << place.x() << place.y();
        EXPECT_TRUE(SnapshotIsBackdropAt(window, place)) << place.x() << place.y();
    }
    ASSERT_TRUE(Xdotool({"mouseup", "1"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.IsDragging(); }));

    EXPECT_EQ(window.geometry().topLeft(), place);
    EXPECT_TRUE(SnapshotIsBackdropAt(window, place));
    EXPECT_TRUE(window.IsTimerRunning(TIMER_REPAINT));
    EXPECT_TRUE(window.IsTimerRunning(TIMER_OVERLAP));
    QTest::qWait(300); // a re-capture would have come by now
    EXPECT_EQ(recaptures.count, 0);
}

TEST_F(ClockInputTest, OnlyAShortPressRecapturesTheDesktop)
{
    CLumidial& window = ShowClock();
    ASSERT_TRUE(PointAtClock(window));
    struct Case
    {
        const char* held;
        int recaptures;
    };
    for (const Case& c : {Case{"0.15", 1}, Case{"0.4", 0}}) {
        const MessageCounter recaptures(window, platform::WM_RECAPTURE_BACKGROUND);
        ASSERT_TRUE(Xdotool({"mousedown", "1", "sleep", c.held, "mouseup", "1"}));
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return !window.IsDragging() && window.IsTimerRunning(TIMER_REPAINT); }));
        QTest::qWait(400); // the posted re-capture, if any, arrives meanwhile
        EXPECT_EQ(recaptures.count, c.recaptures) << c.held;
        // Clicks of the test must not read as a double click.
        QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval());
    }
}

TEST_F(ClockInputTest, WheelStepsRebuildTheLayersOnceHalfASecondAfterTheLast)
{
    theApp.AppSettings.Zoom = 120;
    CLumidial& window = ShowClock();
    ASSERT_TRUE(PointAtClock(window));
    const int generation = window.LayerGeneration();

    // The time of the last wheel step the clock received.
    QElapsedTimer clock;
    clock.start();
    qint64 lastWheel = -1;
    struct WheelWatch : QObject
    {
        std::function<void()> seen;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Wheel)
                seen();
            return false;
        }
    } watch;
    watch.seen = [&] { lastWheel = clock.elapsed(); };
    window.installEventFilter(&watch);

    ASSERT_TRUE(Xdotool({"click", "--repeat", "3", "--delay", "80", "4"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.Zoom() == 150; }));
    EXPECT_EQ(window.LayerGeneration(), generation);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.LayerGeneration() != generation; }, 3000));
    const qint64 rebuilt = clock.elapsed();
    EXPECT_GE(rebuilt - lastWheel, kZoomSettleMs * 9 / 10); // timers may fire a little early
    EXPECT_EQ(window.BackLayer()->Width(), 195);

    QTest::qWait(kZoomSettleMs + 200);
    EXPECT_EQ(window.LayerGeneration(), generation + 1);
}

TEST_F(ClockInputTest, WheelAndKeysZoomWithinTheLimits)
{
    CLumidial& window = ShowClock();
    enum Input
    {
        WheelUp,
        WheelDown,
        End,
        Home,
    };
    struct Case
    {
        int from;
        Input input;
        int to;
    };
    for (const Case& c :
         {Case{25, WheelDown, 20}, Case{20, WheelDown, 20}, Case{120, WheelDown, 110},
          Case{120, WheelUp, 130}, Case{600, WheelUp, 600}, Case{90, End, 130}, Case{90, Home, 110}}) {
        platform::SendAppMessage(platform::WM_SET_ZOOM, static_cast<platform::WPARAM>(c.from));
        switch (c.input) {
        case WheelUp:
        case WheelDown:
            SendWheel(window, c.input == WheelUp ? 120 : -120);
            break;
        case End:
            QTest::keyClick(&window, Qt::Key_End);
            break;
        case Home:
            QTest::keyClick(&window, Qt::Key_Home);
            break;
        }
        EXPECT_EQ(window.Zoom(), c.to) << c.from << " " << c.input;
        EXPECT_EQ(theApp.AppSettings.Zoom, c.to) << c.from << " " << c.input;
    }

    // F11 goes to the full zoom and back to where it was.
    platform::SendAppMessage(platform::WM_SET_ZOOM, 120);
    QTest::keyClick(&window, Qt::Key_F11);
    EXPECT_EQ(window.Zoom(), 600);
    EXPECT_EQ(window.size(), QSize(780, 780));
    QTest::keyClick(&window, Qt::Key_F11);
    EXPECT_EQ(window.Zoom(), 120);
    EXPECT_EQ(window.size(), QSize(156, 156));
}

// The index of a window in the stack (topmost 0), -1 when not listed.
int StackIndex(WId id)
{
    const std::vector<platform::TopLevelWindow> windows = platform::EnumTopLevelWindows();
    for (std::size_t i = 0; i < windows.size(); ++i)
        if (windows[i].id == id)
            return static_cast<int>(i);
    return -1;
}

// How many pixels of the picture are the helpers' dark green.
int DarkGreenPixels(const QImage& picture)
{
    int green = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            green += (picture.pixel(x, y) & 0xFFFFFF) == (QColor(Qt::darkGreen).rgb() & 0xFFFFFF);
    return green;
}

// Whether the window manager lists the window as shown.
bool ListedVisible(const QWidget& window)
{
    for (const platform::TopLevelWindow& entry : platform::EnumTopLevelWindows())
        if (entry.id == window.winId())
            return entry.visible;
    return false;
}

class OverlapWatchTest : public ClockWindowTest
{
protected:
    // The clock and a helper window away from it; the first overlap check has
    // recorded the windows under the clock (it runs a second after the start).
    CLumidial& Start(bool topMost, Qt::WindowFlags helperFlags = {})
    {
        theApp.AppSettings.TopMost = topMost;
        CLumidial& window = ShowClock();
        helper = std::make_unique<Helper>(QRect(600, 500, 90, 90), Qt::darkGreen, helperFlags);
        helper->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(helper.get()));
        QTest::qWait(kOverlapMs + 300);
        return window;
    }

    void MoveHelperOntoTheClock()
    {
        helper->move(250, 200);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenPosition(*helper) == QPoint(250, 200); }));
    }

    std::unique_ptr<Helper> helper;
};

TEST_F(OverlapWatchTest, AWindowMovedUnderTheClockRecapturesOnce)
{
    CLumidial& window = Start(true);
    ASSERT_GT(StackIndex(helper->winId()), StackIndex(window.winId()));
    const MessageCounter recaptures(window, platform::WM_RECAPTURE_BACKGROUND);
    MoveHelperOntoTheClock();
    EXPECT_TRUE(QTest::qWaitFor([&] { return recaptures.count > 0; }, kOverlapMs + 200));
    QTest::qWait(2 * kOverlapMs + 200); // further checks find nothing new
    EXPECT_EQ(recaptures.count, 1);
    // The re-capture took the helper into the snapshot.
    EXPECT_EQ(window.Snapshot().GetPixel(60, 60), platform::Rgb(0, 128, 0));
}

TEST_F(OverlapWatchTest, TheClockShowsTheNewDesktopWithThePaintAfterARecapture)
{
    Start(true);
    MoveHelperOntoTheClock();
    platform::SendAppMessage(platform::WM_RECAPTURE_BACKGROUND);
    // The paints due now, well before the next frame of the timer.
    QCoreApplication::processEvents();
    const QImage shown = platform::CaptureScreen(helper->geometry()).Image();
    EXPECT_GT(DarkGreenPixels(shown), shown.width() * shown.height() / 2);
}

TEST_F(OverlapWatchTest, AWindowAboveTheClockOrTopMostOffRecapturesNothing)
{
    struct Case
    {
        bool topMost;
        Qt::WindowFlags helperFlags;
    };
    for (const Case& c : {Case{true, Qt::WindowStaysOnTopHint}, Case{false, {}}}) {
        CLumidial& window = Start(c.topMost, c.helperFlags);
        if (c.topMost) {
            helper->raise();
            ASSERT_TRUE(
                QTest::qWaitFor([&] { return StackIndex(helper->winId()) < StackIndex(window.winId()); }));
        }
        const MessageCounter recaptures(window, platform::WM_RECAPTURE_BACKGROUND);
        MoveHelperOntoTheClock();
        QTest::qWait(2 * kOverlapMs + 300); // two checks at least
        EXPECT_EQ(recaptures.count, 0) << c.topMost;
        helper.reset();
        clock.reset();
    }
}

TEST_F(OverlapWatchTest, ChecksDuringADesktopCaptureAreLeftOut)
{
    CLumidial& window = Start(true);
    const MessageCounter recaptures(window, platform::WM_RECAPTURE_BACKGROUND);
    // Captures back to back for three overlap periods: the window has given up
    // its pixels for most of that time, and the captures process events, timers
    // included.
    int captures = 0;
    QElapsedTimer running;
    running.start();
    while (running.elapsed() < 3 * kOverlapMs) {
        platform::SendAppMessage(platform::WM_RECAPTURE_BACKGROUND);
        ++captures;
    }
    // Captures alone never ask for further captures.
    QTest::qWait(2 * kOverlapMs + 300);
    EXPECT_EQ(recaptures.count, captures);
}

TEST_F(OverlapWatchTest, PageUpChecksEvenWithoutTopMost)
{
    CLumidial& window = Start(false);
    const MessageCounter recaptures(window, platform::WM_RECAPTURE_BACKGROUND);
    // The first manual check finds a list where none was.
    QTest::keyClick(&window, Qt::Key_PageUp);
    EXPECT_TRUE(QTest::qWaitFor([&] { return recaptures.count == 1 && ListedVisible(window); }));
    QTest::keyClick(&window, Qt::Key_PageUp);
    MoveHelperOntoTheClock();
    QTest::keyClick(&window, Qt::Key_PageUp);
    EXPECT_TRUE(QTest::qWaitFor([&] { return recaptures.count == 2 && ListedVisible(window); }));
    QTest::qWait(200);
    EXPECT_EQ(recaptures.count, 2);
}

TEST_F(OverlapWatchTest, PageDownListsTheTitledWindowsBelowAndPauseShowsTheFirst)
{
    CLumidial& window = Start(true);
    const MessageCounter recaptures(window, platform::WM_RECAPTURE_BACKGROUND);
    MoveHelperOntoTheClock();
    ASSERT_TRUE(QTest::qWaitFor([&] { return recaptures.count == 1 && ListedVisible(window); }, 3000));
    Helper away(QRect(700, 20, 50, 50), Qt::red); // below the clock, but not under it
    away.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&away));
    QTest::keyClick(&window, Qt::Key_PageDown);
    const auto& below = window.WindowsBelowList();
    ASSERT_FALSE(below.empty());
    ASSERT_TRUE(ListedVisible(window));
    EXPECT_EQ(below.front().id, helper->winId());
    EXPECT_EQ(below.front().title, "Helper");
    for (const platform::TopLevelWindow& entry : below) {
        EXPECT_NE(entry.id, window.winId());
        EXPECT_NE(entry.id, away.winId());
        EXPECT_TRUE(entry.rect.intersects(window.geometry()));
    }

    QTest::keyClick(&window, Qt::Key_Pause);
    auto* test = qobject_cast<QLabel*>(window.TestWindow());
    ASSERT_NE(test, nullptr);
    EXPECT_TRUE(test->isVisible());
    EXPECT_EQ(test->windowTitle(), "Test Window");
    // The helper as far as it shows: it lies under the clock, whose face shows
    // it too, but with the hands sweeping over it, so most of it is green.
    const QImage shown = test->pixmap().toImage().copy(helper->rect());
    ASSERT_FALSE(shown.isNull());
    EXPECT_GT(DarkGreenPixels(shown), shown.width() * shown.height() / 2);
}

} // namespace
