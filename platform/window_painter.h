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
// A frame that moves a few hands changes thin slivers of a larger rectangle:
// sent as `kChanges`, the rectangle goes out only where it differs from what
// the painter put before, band by band (ChangedBands), which spares the copies
// through the socket and the server's work for the rest.
//
// The picture is 32-bit pixels in host order (QImage RGB32 / ARGB32, alpha
// ignored) of the window's size. The window must be on a TrueColor visual of
// 24 or 32 bits depth with 8-bit red, green and blue at bits 16, 8 and 0:
// `Supports` says whether a widget's window is such. A widget that is painted
// this way sets Qt::WA_PaintOnScreen and has no paint engine; `Put` is then
// its whole paint.
#include <QImage>
#include <QRect>
#include <memory>
#include <vector>

class QWidget;

namespace platform {

// Rows per band of ChangedBands.
inline constexpr int kChangedBandRows = 8;

// Where `rect` of `after` differs from `before` (pictures of one size and 32-bit
// pixels): for each band of `bandRows` picture rows (counted from row 0) that
// holds differing pixels, the rectangle from its first to its last differing
// row and from the leftmost to the rightmost differing column; top to bottom.
std::vector<QRect> ChangedBands(const QImage& before, const QImage& after, const QRect& rect,
                                int bandRows = kChangedBandRows);

class WindowPainter
{
public:
    enum class Send
    {
        kWhole,   // all of the rectangle (the window lost it, or shows something else)
        kChanges, // what differs from the painter's last pictures, within the rectangle
    };

    WindowPainter();
    ~WindowPainter();
    WindowPainter(const WindowPainter&) = delete;
    WindowPainter& operator=(const WindowPainter&) = delete;

    // Whether `Put` can show pictures in the widget's X window (it has one,
    // on X11, with the visual above).
    static bool Supports(const QWidget& widget);

    // Copies `rect` of `picture` to the same place of the widget's current X
    // window and sends it off. A new X window, or a picture of another size, gets
    // the whole picture the first time it is sent changes. False (nothing sent)
    // when the widget has no X window or it does not fit the picture format.
    bool Put(const QWidget& widget, const QImage& picture, const QRect& rect, Send send);

private:
    struct Target;
    bool SendRect(const QImage& picture, const QRect& rect) const;

    std::unique_ptr<Target> target_; // the X window last painted and its graphics context
    QImage shown_;                   // what that window shows, as sent; null until known
};

} // namespace platform
