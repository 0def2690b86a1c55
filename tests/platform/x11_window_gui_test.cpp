// A window's place as Qt has it and as the X server has it, under the test
// display's window manager: the same from the first exposure after each show,
// whichever way the X window came about.
#include "platform/x11_window.h"

#include <QElapsedTimer>
#include <QTest>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

// Xlib last: its macros clash with Qt names.
#include <X11/Xlib.h>
#undef Expose // Xlib's event name, which would hide QEvent::Expose

namespace {

// The top-left corner of the widget's current X window on the screen, as the
// X server has it now.
QPoint ServerPosition(const QWidget& window)
{
    Display* const display = platform::XDisplay();
    int x = 0, y = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, platform::CurrentXWindow(window), DefaultRootWindow(display), 0, 0, &x, &y,
                          &child);
    return {x, y};
}

// Returns once the window manager has taken the window into a frame of its
// own (its X window's parent is not the root window any more), without letting
// Qt handle any event meanwhile: what Qt still has queued meets the frame as
// the window manager has just made it. False when that did not happen within
// a bound far beyond any window manager's pace.
bool WaitUntilFramedUnheard(const QWidget& window)
{
    Display* const display = platform::XDisplay();
    QElapsedTimer waiting;
    waiting.start();
    while (waiting.elapsed() < 10000) {
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, platform::CurrentXWindow(window), &root, &parent, &children, &count))
            return false;
        XFree(children);
        if (parent != root)
            return true;
    }
    return false;
}

// A frameless tool window as the clock and its ticker are.
std::unique_ptr<QWidget> NewWindow()
{
    return std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint);
}

// Where the window is at the first exposure of its QWindow from now on (when
// Qt hears that the window manager has mapped it), by the X server, by Qt's
// QWindow and widget, and a point inside it mapped both ways.
struct Places
{
    QPoint server;
    QPoint qwindow;
    QPoint widget;
    QPoint toGlobal;   // of kInside
    QPoint fromGlobal; // of the server's place + kInside
};
constexpr QPoint kInside(130, 40);

class FirstExposure : public QObject
{
public:
    explicit FirstExposure(QWidget& window) : window_(window)
    {
        window.windowHandle()->installEventFilter(this);
    }
    std::optional<Places> places;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && !places && static_cast<QWindow*>(watched)->isExposed()) {
            const QPoint server = ServerPosition(window_);
            places = Places{server, window_.windowHandle()->position(), window_.pos(),
                            window_.mapToGlobal(kInside), window_.mapFromGlobal(server + kInside)};
        }
        return false;
    }

private:
    QWidget& window_;
};

TEST(X11WindowTest, QtHasTheServersPlaceFromTheFirstExposureAfterEachShow)
{
    platform::KeepRealWindowPositions();
    const QRect place(600, 300, 260, 260);
    std::unique_ptr<QWidget> window;

    // How the window comes to be shown at its place; each case starts from the
    // window the one before left.
    struct Case
    {
        const char* name;
        std::function<void()> show;
    };
    const Case cases[] = {
        // The clock's order: its X window made first, at Qt's default place, then placed and shown.
        {"made, placed, shown",
         [&] {
             window = NewWindow();
             window->winId();
             window->setGeometry(place);
             window->show();
         }},
        // The ticker's order: placed first, its X window made by the show.
        {"placed, made by the show",
         [&] {
             window = NewWindow();
             window->setGeometry(place);
             window->show();
         }},
        // Hidden and shown again.
        {"shown again",
         [&] {
             window->hide();
             window->show();
         }},
        // A new X window for a changed stays-on-top flag, made at the widget's place.
        {"made anew for a flag",
         [&] {
             window->setWindowFlag(Qt::WindowStaysOnTopHint,
                                   !window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
             window->show();
         }},
    };
    // The window manager frames a window at its own pace: a few rounds give
    // each case a chance to meet its frame half built.
    for (int round = 0; round < 6; ++round) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << ", round " << round);
            c.show();
            ASSERT_TRUE(WaitUntilFramedUnheard(*window));
            const FirstExposure exposure(*window);
            ASSERT_TRUE(QTest::qWaitFor([&] { return exposure.places.has_value(); }));
            const Places& at = *exposure.places;
            EXPECT_EQ(at.server, place.topLeft());
            EXPECT_EQ(at.qwindow, at.server);
            EXPECT_EQ(at.widget, at.server);
            EXPECT_EQ(at.toGlobal, at.server + kInside);
            EXPECT_EQ(at.fromGlobal, kInside);
        }
    }
}

} // namespace
