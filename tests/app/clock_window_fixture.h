#pragma once
// The clock window on the test display over a patterned backdrop: the pattern,
// the backdrop window, where the X server places a window (its shapes come from
// tests/support/window_shape.h), and the fixture that starts the clock with only
// its effect layers showing.
// Header only: the gui suite includes it, the unit suite (no display) does not.
#include "app/lmd_app.h"
#include "app/lumidial.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/screen_capture.h"
#include "platform/x11_window.h"
#include "tests/support/window_shape.h"
#include "tests/support/xdotool.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

// Xlib last: its macros clash with Qt names.
#include <X11/Xlib.h>

namespace lmd::test {

// The backdrop's colour at screen pixel (x, y): no two neighbours alike and
// never grey in the area the clock covers.
inline QRgb Pattern(int x, int y)
{
    return qRgb((x * 7) & 0xFF, 40 + ((y * 5) % 150), 200 + ((x + y) % 50));
}

// A window behind the clock, painted with the pattern in screen coordinates,
// or with its inverse.
class Backdrop : public QWidget
{
public:
    explicit Backdrop(const QRect& rect) : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setGeometry(rect);
        Paint(false);
    }

    void Paint(bool inverted)
    {
        picture_ = QImage(size(), QImage::Format_RGB32);
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x)
                picture_.setPixel(x, y, Pattern(this->x() + x, this->y() + y) ^ (inverted ? 0xFFFFFF : 0));
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, picture_); }

private:
    QImage picture_;
};

inline Display* XDisplay()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display();
}

// The window's top-left corner on the screen, as the X server places it.
inline QPoint ScreenPosition(const QWidget& window)
{
    Display* display = XDisplay();
    int x = 0, y = 0;
    ::Window child = 0;
    XTranslateCoordinates(display, window.winId(), DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return {x, y};
}

// Counts one main-window message as the window receives it (posted or sent).
class MessageCounter : public QObject
{
public:
    MessageCounter(QObject& window, unsigned message) : message_(message) { window.installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == platform::AppMessageEvent::EventType() &&
            static_cast<platform::AppMessageEvent*>(event)->message == message_)
            ++count;
        return false;
    }

private:
    unsigned message_;
};

// The popup menu that is open now (waits for it), or null.
inline QMenu* OpenMenu()
{
    QMenu* menu = nullptr;
    const bool opened = QTest::qWaitFor(
        [&] { return (menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) != nullptr; });
    return opened ? menu : nullptr;
}

// Closes a menu and waits until it is gone.
inline void CloseMenu(QMenu* menu)
{
    const QPointer<QMenu> guard(menu);
    menu->close();
    EXPECT_TRUE(QTest::qWaitFor([&] { return guard.isNull(); })); // each menu goes once closed
}

// The item of a menu with a command id, or null.
inline QAction* FindAction(const QMenu& menu, int id)
{
    for (QAction* action : menu.actions())
        if (!action->isSeparator() && !action->menu() && action->data().toInt() == id)
            return action;
    return nullptr;
}

// Clicks the item of a menu with a command id.
inline void Click(QMenu& menu, int id)
{
    QAction* action = FindAction(menu, id);
    ASSERT_NE(action, nullptr) << id;
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(action).center());
}

// Settings for a bare clock at (x, y): no dial, hands or frame, the slideshow
// folder (and the executable's folder, so the INI goes there) in `folder`.
inline AppSettings& BareClockSettings(const QTemporaryDir& folder, int x, int y)
{
    platform::paths::SetExeDirOverride(folder.path());
    AppSettings& settings = theApp.AppSettings;
    settings = AppSettings{};
    settings.StartX = x;
    settings.StartY = y;
    settings.ClockHands = false;
    settings.UseShaderMojiban = false;
    settings.Frame = false;
    settings.ImageFolderPath = folder.path();
    return settings;
}

// The clock over a patterned backdrop, with settings that leave only the
// effect layers on screen (no dial, hands, date, readout or frame).
class ClockWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        BareClockSettings(folder, 210, 170).TopMost = true;

        backdrop.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&backdrop));
        const QRect probe(150, 150, 20, 20);
        ASSERT_TRUE(QTest::qWaitFor([&] {
            const QImage shown = platform::CaptureScreen(probe).Image();
            return (shown.pixel(5, 5) & 0xFFFFFF) == (Pattern(155, 155) & 0xFFFFFF);
        }));
    }

    void TearDown() override
    {
        clock.reset();
        platform::paths::SetExeDirOverride(QString());
    }

    CLumidial& ShowClock(std::optional<QSize> screenSize = std::nullopt)
    {
        clock = std::make_unique<CLumidial>(screenSize);
        EXPECT_TRUE(clock->Create());
        clock->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(clock.get()));
        return *clock;
    }

    QTemporaryDir folder;
    Backdrop backdrop{QRect(0, 0, 900, 700)};
    std::unique_ptr<CLumidial> clock;
};

} // namespace lmd::test
