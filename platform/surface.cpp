#include "platform/surface.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

constexpr std::uint32_t kColourMask = 0x00FFFFFFu;
constexpr std::uint32_t kOpaque = 0xFF000000u;

std::uint32_t Combine(std::uint32_t d, std::uint32_t s, RasterOp op)
{
    switch (op) {
    case RasterOp::SrcCopy:
        return s;
    case RasterOp::SrcPaint:
        return d | s;
    case RasterOp::SrcAnd:
        return d & s;
    case RasterOp::SrcInvert:
        return (d ^ s) | kOpaque;
    case RasterOp::MergePaint:
        return d | ~s;
    case RasterOp::NotSrcCopy:
        return ~s | kOpaque;
    }
    return s;
}

// One axis of a blit after clipping: destination start and count, source start.
struct Span
{
    int dst = 0;
    int src = 0;
    int count = 0;
};

// Clips a one-to-one span of n pixels to [0, dstSize) and [0, srcSize).
Span ClipSpan(int dst, int src, int n, int dstSize, int srcSize)
{
    const int skip = std::max({0, -dst, -src});
    dst += skip;
    src += skip;
    n -= skip;
    n = std::min({n, dstSize - dst, srcSize - src});
    return {dst, src, std::max(n, 0)};
}

// Offset of pixel (x, y) in a picture of the given width.
std::ptrdiff_t PixelIndex(int x, int y, int width)
{
    return static_cast<std::ptrdiff_t>(y) * width + x;
}

// Nearest-neighbour source index of destination index i of n for a source span of m.
int Sample(int i, int n, int m)
{
    return static_cast<int>((static_cast<std::int64_t>(2 * i + 1) * m) / (2 * static_cast<std::int64_t>(n)));
}

} // namespace

Surface::Surface(int width, int height)
{
    Create(width, height);
}

void Surface::Create(int width, int height)
{
    if (width <= 0 || height <= 0) {
        m_image = QImage();
        return;
    }
    if (m_image.width() != width || m_image.height() != height)
        m_image = QImage(width, height, QImage::Format_RGB32);
    Fill(0);
}

COLORREF Surface::GetPixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return 0xFFFFFFFFu;
    return FromPixel(Row(y)[x]);
}

void Surface::SetPixel(int x, int y, COLORREF colour)
{
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return;
    Row(y)[x] = ToPixel(colour);
}

void Surface::Fill(COLORREF colour)
{
    Fill(0, 0, Width(), Height(), colour);
}

void Surface::Fill(int x, int y, int width, int height, COLORREF colour)
{
    const Span cols = ClipSpan(x, 0, width, Width(), Width());
    const Span rows = ClipSpan(y, 0, height, Height(), Height());
    const std::uint32_t pixel = ToPixel(colour);
    if (cols.count == 0)
        return;
    std::uint32_t* const base = Bits();
    for (int r = 0; r < rows.count; ++r) {
        std::uint32_t* row = base + PixelIndex(cols.dst, rows.dst + r, Width());
        std::fill(row, row + cols.count, pixel);
    }
}

void Surface::PatBlt(int x, int y, int width, int height, PatOp op)
{
    switch (op) {
    case PatOp::Blackness:
        Fill(x, y, width, height, Rgb(0, 0, 0));
        return;
    case PatOp::Whiteness:
        Fill(x, y, width, height, Rgb(255, 255, 255));
        return;
    case PatOp::DstInvert: {
        const Span cols = ClipSpan(x, 0, width, Width(), Width());
        const Span rows = ClipSpan(y, 0, height, Height(), Height());
        std::uint32_t* const base = Bits();
        for (int r = 0; r < rows.count; ++r) {
            std::uint32_t* row = base + PixelIndex(cols.dst, rows.dst + r, Width());
            for (int c = 0; c < cols.count; ++c)
                row[c] = ~row[c] | kOpaque;
        }
        return;
    }
    }
}

void Surface::BitBlt(int x, int y, int width, int height, const Surface& src, int sx, int sy, RasterOp op)
{
    const Span cols = ClipSpan(x, sx, width, Width(), src.Width());
    const Span rows = ClipSpan(y, sy, height, Height(), src.Height());
    if (cols.count == 0 || rows.count == 0)
        return;
    // Within one surface, walk rows away from the overlap (memmove handles columns).
    if (op == RasterOp::SrcCopy && &src != this && cols.count == Width() && cols.count == src.Width()) {
        // Whole rows of equally wide pictures: one block.
        std::memcpy(Bits() + PixelIndex(0, rows.dst, Width()),
                    src.Bits() + PixelIndex(0, rows.src, src.Width()),
                    static_cast<std::size_t>(rows.count) * static_cast<std::size_t>(cols.count) *
                        sizeof(std::uint32_t));
        return;
    }
    const bool bottomUp = &src == this && rows.dst > rows.src;
    std::uint32_t* const dBase = Bits();
    const std::uint32_t* const sBase = src.Bits();
    for (int i = 0; i < rows.count; ++i) {
        const int r = bottomUp ? rows.count - 1 - i : i;
        std::uint32_t* d = dBase + PixelIndex(cols.dst, rows.dst + r, Width());
        const std::uint32_t* s = sBase + PixelIndex(cols.src, rows.src + r, src.Width());
        if (op == RasterOp::SrcCopy) {
            std::memmove(d, s, static_cast<std::size_t>(cols.count) * sizeof(std::uint32_t));
        } else if (&src == this && cols.dst > cols.src) {
            for (int c = cols.count - 1; c >= 0; --c)
                d[c] = Combine(d[c], s[c], op);
        } else {
            for (int c = 0; c < cols.count; ++c)
                d[c] = Combine(d[c], s[c], op);
        }
    }
}

namespace {

// Walks the destination pixels of a stretch that land inside both pictures and
// calls put(destination pixel, source pixel) for each.
template <typename Put>
void ForEachStretched(Surface& dst, int x, int y, int width, int height, const Surface& src, int sx, int sy,
                      int sw, int sh, Put put)
{
    if (width <= 0 || height <= 0 || sw <= 0 || sh <= 0 || &src == &dst)
        return;
    const int c0 = std::max(0, -x);
    const int c1 = std::min(width, dst.Width() - x);
    const int r0 = std::max(0, -y);
    const int r1 = std::min(height, dst.Height() - y);
    std::uint32_t* const dBase = dst.Bits();
    const std::uint32_t* const sBase = src.Bits();
    for (int r = r0; r < r1; ++r) {
        const int srcRow = sy + Sample(r, height, sh);
        if (srcRow < 0 || srcRow >= src.Height())
            continue;
        const std::uint32_t* s = sBase + PixelIndex(0, srcRow, src.Width());
        std::uint32_t* d = dBase + PixelIndex(0, y + r, dst.Width());
        for (int c = c0; c < c1; ++c) {
            const int srcCol = sx + Sample(c, width, sw);
            if (srcCol >= 0 && srcCol < src.Width())
                put(d[x + c], s[srcCol]);
        }
    }
}

// s where its colour bytes differ from the key, else d: a select, no branch.
std::uint32_t KeyedPixel(std::uint32_t s, std::uint32_t d, std::uint32_t keyPixel)
{
    return (s & kColourMask) != keyPixel ? s : d;
}

// The keyed copy of one row of n pixels, in groups of eight: a group of key
// pixels only (most of a picture of clock hands) is passed over after one
// compare; any other group is written with selects. Both loops over a group
// vectorise (the rows do not overlap).
void KeyedCopyRow(const std::uint32_t* __restrict s, std::uint32_t* __restrict d, int n, std::uint32_t keyPixel)
{
    constexpr int kGroup = 8;
    int c = 0;
    for (; c + kGroup <= n; c += kGroup) {
        std::uint32_t differs = 0;
        for (int k = 0; k < kGroup; ++k)
            differs |= (s[c + k] & kColourMask) ^ keyPixel;
        if (differs == 0)
            continue;
        for (int k = 0; k < kGroup; ++k)
            d[c + k] = KeyedPixel(s[c + k], d[c + k], keyPixel);
    }
    for (; c < n; ++c)
        d[c] = KeyedPixel(s[c], d[c], keyPixel);
}

} // namespace

void Surface::StretchBlt(int x, int y, int width, int height, const Surface& src, int sx, int sy, int sw,
                         int sh, RasterOp op)
{
    if (width == sw && height == sh) {
        BitBlt(x, y, width, height, src, sx, sy, op);
        return;
    }
    ForEachStretched(*this, x, y, width, height, src, sx, sy, sw, sh,
                     [op](std::uint32_t& d, std::uint32_t s) { d = Combine(d, s, op); });
}

void Surface::TransparentBlt(int x, int y, int width, int height, const Surface& src, int sx, int sy, int sw,
                             int sh, COLORREF key)
{
    const std::uint32_t keyPixel = ToPixel(key) & kColourMask;
    if (width == sw && height == sh) {
        const Span cols = ClipSpan(x, sx, width, Width(), src.Width());
        const Span rows = ClipSpan(y, sy, height, Height(), src.Height());
        if (&src == this || cols.count == 0)
            return;
        std::uint32_t* const dBase = Bits();
        const std::uint32_t* const sBase = src.Bits();
        for (int r = 0; r < rows.count; ++r) {
            std::uint32_t* d = dBase + PixelIndex(cols.dst, rows.dst + r, Width());
            const std::uint32_t* s = sBase + PixelIndex(cols.src, rows.src + r, src.Width());
            KeyedCopyRow(s, d, cols.count, keyPixel);
        }
        return;
    }
    ForEachStretched(*this, x, y, width, height, src, sx, sy, sw, sh,
                     [keyPixel](std::uint32_t& d, std::uint32_t s) { d = KeyedPixel(s, d, keyPixel); });
}

SurfacePainter::SurfacePainter(Surface& surface, Quality quality)
    : QPainter(&surface.Image()), m_quality(quality)
{
    const bool smooth = quality == Quality::Antialiased;
    setRenderHint(QPainter::Antialiasing, smooth);
    setRenderHint(QPainter::TextAntialiasing, smooth);
    setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    setFont(font());
}

void SurfacePainter::setFont(const QFont& font)
{
    QFont f(font);
    const auto strategy = static_cast<int>(f.styleStrategy());
    if (m_quality == Quality::Aliased)
        f.setStyleStrategy(static_cast<QFont::StyleStrategy>(strategy | QFont::NoAntialias));
    else
        f.setStyleStrategy(static_cast<QFont::StyleStrategy>(strategy & ~QFont::NoAntialias));
    QPainter::setFont(f);
}

} // namespace platform
