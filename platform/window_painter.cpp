#include "platform/window_painter.h"

#include "platform/x11_window.h"

#include <QGuiApplication>
#include <QImage>
#include <QWidget>
#include <algorithm>

// Xlib last: its macros clash with Qt names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace platform {

namespace {

Display* XDisplay()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

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

} // namespace

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

bool WindowPainter::Put(const QWidget& widget, const QImage& picture, const QRect& rect)
{
    Display* const display = XDisplay();
    const unsigned long window = CurrentXWindow(widget);
    if (!display || !window || picture.depth() != 32)
        return false;
    if (!target_ || target_->window != window || target_->display != display) {
        target_.reset();
        if (const int depth = PictureDepth(display, window))
            target_ = std::make_unique<Target>(display, window, depth);
    }
    if (!target_)
        return false;
    const QRect area = rect & picture.rect();
    if (area.isEmpty())
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
    XPutImage(display, window, target_->gc, &image, area.x(), area.y(), area.x(), area.y(),
              static_cast<unsigned>(area.width()), static_cast<unsigned>(area.height()));
    XFlush(display);
    return true;
}

} // namespace platform
