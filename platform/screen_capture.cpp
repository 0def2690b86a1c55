#include "platform/screen_capture.h"

#include "platform/x11_window.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

// Xlib last: its macros clash with Qt names.
#include <X11/Xlib.h>

namespace platform {

namespace {

// How long the windows below get to repaint after the clock is hidden, and the
// step between two comparisons of the area.
constexpr int kSettleLimitMs = 250;
constexpr int kSettleStepMs = 10;

// Waits for the X server to have carried out every request sent so far (the
// unmap of the hidden window included) and to have sent out the exposures.
void SyncWithServer()
{
    if (Display* const display = XDisplay())
        XSync(display, False);
}

// Runs the event loop for a short while, so that expose events reach the windows
// of this process and the X server hears from the other clients.
void ProcessEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

QImage GrabArea(const QRect& area)
{
    QScreen* const screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return screen->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The on-screen part of area, grabbed and placed where it belongs in a black
// surface of the area's size.
Surface ToSurface(const QRect& area, const QImage& picture, const QRect& visible)
{
    Surface surface(area.width(), area.height());
    if (!picture.isNull()) {
        SurfacePainter painter(surface);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(visible.topLeft() - area.topLeft(), picture);
    }
    return surface;
}

QRect OnScreen(const QRect& area)
{
    QScreen* const screen = QGuiApplication::primaryScreen();
    return screen ? area & screen->virtualGeometry() : QRect();
}

} // namespace

Surface CaptureScreen(const QRect& area)
{
    if (area.isEmpty())
        return {};
    const QRect visible = OnScreen(area);
    return ToSurface(area, visible.isEmpty() ? QImage() : GrabArea(visible), visible);
}

Surface CaptureBehind(QWidget& window, const QRect& area)
{
    if (!window.isVisible())
        return CaptureScreen(area);
    if (area.isEmpty())
        return {};

    const QPointer<QWidget> guard(&window);
    window.hide();
    SyncWithServer();

    const QRect visible = OnScreen(area);
    QImage picture;
    if (!visible.isEmpty()) {
        // The server paints a plain background at once; other windows repaint at
        // their own pace: wait until the area stops changing.
        picture = GrabArea(visible);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < kSettleLimitMs) {
            ProcessEventsFor(kSettleStepMs);
            SyncWithServer();
            QImage next = GrabArea(visible);
            const bool settled = next == picture;
            picture = std::move(next);
            if (settled)
                break;
        }
    }

    if (guard)
        window.show();
    return ToSurface(area, picture, visible);
}

} // namespace platform
