#include "platform/screen_capture.h"

#include "platform/x11_window.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <optional>
#include <vector>

// Xlib last: its macros clash with Qt names.
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

namespace platform {

namespace {

// How long the windows below get to repaint after the window gave up its
// pixels, and the step between two comparisons of the area.
constexpr int kSettleLimitMs = 250;
constexpr int kSettleStepMs = 10;

// Waits for the X server to have carried out every request sent so far (the
// window's new shape included) and to have sent out the exposures.
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

// Takes the pixels of a shown window off the screen for as long as it lives.
// On X the window stays mapped with an empty bounding shape: the window
// manager keeps it where it stands, and the windows it owns stay above it
// (mapped again, it would come back on top of them until they are restacked).
// Its shape comes back afterwards, unless the program gave it a new one
// meanwhile. Without an X window (the offscreen platform) the window is hidden
// and shown again.
class PixelsTakenAway
{
public:
    explicit PixelsTakenAway(QWidget& window)
        : window_(&window), display_(XDisplay()), id_(display_ ? CurrentXWindow(window) : 0)
    {
        if (!id_) {
            window.hide();
            return;
        }
        int boundingShaped = 0;
        int unused = 0;
        unsigned int unusedSize = 0;
        XShapeQueryExtents(display_, id_, &boundingShaped, &unused, &unused, &unusedSize, &unusedSize,
                           &unused, &unused, &unused, &unusedSize, &unusedSize);
        if (boundingShaped)
            shape_ = BoundingShape();
        XShapeCombineRectangles(display_, id_, ShapeBounding, 0, 0, nullptr, 0, ShapeSet, YXBanded);
    }

    ~PixelsTakenAway()
    {
        if (!window_)
            return; // gone meanwhile
        if (!id_) {
            window_->show();
            return;
        }
        if (CurrentXWindow(*window_) != id_)
            return; // a new X window, which has its own shape
        if (!BoundingShape().rects.empty())
            return; // shaped anew meanwhile
        if (shape_)
            XShapeCombineRectangles(display_, id_, ShapeBounding, 0, 0, shape_->rects.data(),
                                    static_cast<int>(shape_->rects.size()), ShapeSet, shape_->ordering);
        else
            XShapeCombineMask(display_, id_, ShapeBounding, 0, 0, None, ShapeSet);
        XFlush(display_);
    }

    PixelsTakenAway(const PixelsTakenAway&) = delete;
    PixelsTakenAway& operator=(const PixelsTakenAway&) = delete;

private:
    struct Shape
    {
        std::vector<XRectangle> rects;
        int ordering = Unsorted;
    };

    Shape BoundingShape() const
    {
        Shape shape;
        int count = 0;
        XRectangle* const rects = XShapeGetRectangles(display_, id_, ShapeBounding, &count, &shape.ordering);
        if (rects) {
            shape.rects.assign(rects, rects + count);
            XFree(rects);
        }
        return shape;
    }

    const QPointer<QWidget> window_;
    Display* const display_;
    const unsigned long id_;
    std::optional<Shape> shape_; // none: the window had no bounding shape
};

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

    const QRect visible = OnScreen(area);
    QImage picture;
    {
        const PixelsTakenAway away(window);
        SyncWithServer();
        if (!visible.isEmpty()) {
            // The server paints a plain background at once; other windows repaint
            // at their own pace: wait until the area stops changing.
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
    }
    return ToSurface(area, picture, visible);
}

} // namespace platform
