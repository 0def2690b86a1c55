#include "platform/window_painter.h"

#include "platform/x11_window.h"

#include <QImage>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <cstring>

// Xlib last: its macros clash with Qt names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform {

namespace {

// Whether the server keeps pixels of `depth` in 32 bits.
bool ThirtyTwoBitPixels(Display* display, int depth)
{
    int count = 0;
    XPixmapFormatValues* const formats = XListPixmapFormats(display, &count);
    const bool found =
        formats && std::any_of(formats, formats + count, [depth](const XPixmapFormatValues& f) {
            return f.depth == depth && f.bits_per_pixel == 32;
        });
    if (formats)
        XFree(formats);
    return found;
}

// The window's depth when 32-bit pixels in host order show in it as they are, else 0.
int PictureDepth(Display* display, Window window)
{
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || !attributes.visual)
        return 0;
    const Visual& visual = *attributes.visual;
    const bool fits = visual.c_class == TrueColor && (attributes.depth == 24 || attributes.depth == 32) &&
                      visual.red_mask == 0xFF0000 && visual.green_mask == 0xFF00 &&
                      visual.blue_mask == 0xFF && ThirtyTwoBitPixels(display, attributes.depth);
    return fits ? attributes.depth : 0;
}

// Copies `rect` of `from` into the same place of `to` (32-bit pictures of one size).
void CopyRect(const QImage& from, QImage& to, const QRect& rect)
{
    const auto bytes = static_cast<std::size_t>(rect.width()) * 4;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        std::memcpy(to.scanLine(y) + std::size_t{4} * static_cast<std::size_t>(rect.x()),
                    from.constScanLine(y) + std::size_t{4} * static_cast<std::size_t>(rect.x()), bytes);
}

} // namespace

std::vector<QRect> ChangedBands(const QImage& before, const QImage& after, const QRect& rect, int bandRows)
{
    std::vector<QRect> bands;
    const QRect area = rect & after.rect() & before.rect();
    if (area.isEmpty() || bandRows < 1 || before.depth() != 32 || after.depth() != 32)
        return bands;
    const auto row = [&](const QImage& picture, int y) {
        return reinterpret_cast<const std::uint32_t*>(picture.constScanLine(y)) + area.x();
    };
    const int width = area.width();
    QRect band;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const std::uint32_t* const was = row(before, y);
        const std::uint32_t* const is = row(after, y);
        if (std::memcmp(was, is, static_cast<std::size_t>(width) * 4) != 0) {
            int left = 0;
            while (was[left] == is[left])
                ++left;
            int right = width - 1;
            while (was[right] == is[right])
                --right;
            band |= QRect(area.x() + left, y, right - left + 1, 1);
        }
        // A band ends at its last row, or at the rectangle's.
        if ((y + 1) % bandRows == 0 || y == area.bottom()) {
            if (!band.isEmpty())
                bands.push_back(band);
            band = QRect();
        }
    }
    return bands;
}

// An X window that fits the picture format, with a graphics context for it.
struct WindowPainter::Target
{
    Target(Display* display, Window window, int depth)
        : display(display), window(window), depth(depth), gc(XCreateGC(display, window, 0, nullptr))
    {
    }
    ~Target() { XFreeGC(display, gc); }
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    Display* const display;
    const Window window;
    const int depth;
    const GC gc;
};

WindowPainter::WindowPainter() = default;
WindowPainter::~WindowPainter() = default;

bool WindowPainter::Supports(const QWidget& widget)
{
    Display* const display = XDisplay();
    const unsigned long window = CurrentXWindow(widget);
    return display && window && PictureDepth(display, window) != 0;
}

bool WindowPainter::Put(const QWidget& widget, const QImage& picture, const QRect& rect, Send send)
{
    Display* const display = XDisplay();
    const unsigned long window = CurrentXWindow(widget);
    if (!display || !window || picture.depth() != 32)
        return false;
    if (!target_ || target_->window != window || target_->display != display) {
        target_.reset();
        shown_ = QImage(); // a new window shows nothing of ours yet
        if (const int depth = PictureDepth(display, window))
            target_ = std::make_unique<Target>(display, window, depth);
    }
    if (!target_)
        return false;
    if (shown_.size() != picture.size() || shown_.format() != picture.format())
        shown_ = QImage();

    const QRect area = rect & picture.rect();
    if (send == Send::kWhole || shown_.isNull()) {
        // The first changes to a window it does not know go out whole.
        const QRect whole = shown_.isNull() && send == Send::kChanges ? picture.rect() : area;
        if (!SendRect(picture, whole))
            return false;
        if (shown_.isNull() && whole == picture.rect())
            shown_ = picture.copy();
        else if (!shown_.isNull())
            CopyRect(picture, shown_, whole);
    } else {
        for (const QRect& band : ChangedBands(shown_, picture, area)) {
            if (!SendRect(picture, band))
                return false;
            CopyRect(picture, shown_, band);
        }
    }
    XFlush(display);
    return true;
}

bool WindowPainter::SendRect(const QImage& picture, const QRect& rect) const
{
    if (rect.isEmpty())
        return true;
    // An image over the picture's own pixels: Xlib copies the rectangle out of
    // them into its requests (splitting it when it is large) and converts the
    // byte order when the server's differs.
    XImage image{};
    image.width = picture.width();
    image.height = picture.height();
    image.format = ZPixmap;
    image.data = const_cast<char*>(reinterpret_cast<const char*>(picture.constBits())); // read only
    image.byte_order = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? LSBFirst : MSBFirst;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = image.byte_order;
    image.bitmap_pad = 32;
    image.depth = target_->depth;
    image.bytes_per_line = static_cast<int>(picture.bytesPerLine());
    image.bits_per_pixel = 32;
    image.red_mask = 0xFF0000;
    image.green_mask = 0xFF00;
    image.blue_mask = 0xFF;
    if (!XInitImage(&image))
        return false;
    XPutImage(target_->display, target_->window, target_->gc, &image, rect.x(), rect.y(), rect.x(), rect.y(),
              static_cast<unsigned>(rect.width()), static_cast<unsigned>(rect.height()));
    return true;
}

} // namespace platform
