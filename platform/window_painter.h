#pragma once
// Puts a finished picture straight onto a widget's X window, past Qt's
// backing store.
//
// A window repainted twenty times a second in small pieces pays twice for the
// backing store: each piece is copied into it, and before the next paint may
// touch the shared-memory image the server read last time, Qt waits for the
// server (a round trip). `WindowPainter::Put` sends the rectangle of the
// picture in PutImage requests instead: one copy out of the picture, nothing
// waited for.
//
// The picture is 32-bit pixels in host order (QImage RGB32 / ARGB32, alpha
// ignored) of the window's size. The window must be on a TrueColor visual of
// 24 or 32 bits depth with 8-bit red, green and blue at bits 16, 8 and 0:
// `Supports` says whether a widget's window is such. A widget that is painted
// this way sets Qt::WA_PaintOnScreen and has no paint engine; `Put` is then
// its whole paint.
#include <QRect>
#include <memory>

class QImage;
class QWidget;

namespace platform {

class WindowPainter
{
public:
    WindowPainter();
    ~WindowPainter();
    WindowPainter(const WindowPainter&) = delete;
    WindowPainter& operator=(const WindowPainter&) = delete;

    // Whether `Put` can show pictures in the widget's X window (it has one,
    // on X11, with the visual above).
    static bool Supports(const QWidget& widget);

    // Copies `rect` of `picture` to the same place of the widget's current X
    // window and sends it off. False (nothing sent) when the widget has no X
    // window or it does not fit the picture format.
    bool Put(const QWidget& widget, const QImage& picture, const QRect& rect);

private:
    struct Target;
    std::unique_ptr<Target> target_; // the X window last painted and its graphics context
};

} // namespace platform
