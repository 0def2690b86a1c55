#pragma once
// Surface: a 32-bit pixel image that stands for a memory device context with a
// bitmap selected. Pixels are QImage::Format_RGB32, top-down rows, each pixel a
// 32-bit value 0xFFRRGGBB (bytes B, G, R, 0xFF in memory). The blits follow the
// device-context semantics the clock relies on: clipped to both images, no
// allocation per call, colours given as Windows colour values.
//
// Colour values at this API (COLORREF) are 0x00BBGGRR: red in the low byte, as
// the settings and the clock's tables store them. ToPixel/FromPixel convert
// between that and the stored pixel value 0xFFRRGGBB; comparisons with a key
// colour look at the colour bytes only.
#include <QImage>
#include <QPainter>
#include <cstddef>
#include <cstdint>

namespace platform {

using COLORREF = std::uint32_t;

constexpr COLORREF Rgb(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c)
{
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(COLORREF c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}

// Stored pixel (0xFFRRGGBB) of a colour value, and back (the fourth byte is dropped).
constexpr std::uint32_t ToPixel(COLORREF c)
{
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr COLORREF FromPixel(std::uint32_t p)
{
    return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}
inline QColor ToQColor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}
inline COLORREF FromQColor(const QColor& c)
{
    return Rgb(c.red(), c.green(), c.blue());
}

// Raster operations of BitBlt/StretchBlt that the clock uses (D = destination, S = source).
enum class RasterOp
{
    SrcCopy,    // S
    SrcPaint,   // D | S
    SrcAnd,     // D & S
    SrcInvert,  // D ^ S
    MergePaint, // D | ~S
    NotSrcCopy, // ~S
};

// Raster operations of PatBlt without a brush.
enum class PatOp
{
    Blackness,
    Whiteness,
    DstInvert,
};

class Surface
{
public:
    Surface() = default;
    // A new surface of the given size; its pixels start black, as a new
    // display-compatible bitmap does.
    Surface(int width, int height);

    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    Surface(Surface&&) noexcept = default;
    Surface& operator=(Surface&&) noexcept = default;

    // Replaces the picture by a black one of the given size (no allocation when
    // the size is unchanged). A size of 0 or less makes the surface empty.
    void Create(int width, int height);

    bool IsNull() const { return m_image.isNull(); }
    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }

    // All pixels, top-down, rows exactly Width() pixels apart (32-bit rows need no
    // padding); null when empty. Take the pointer once per pass: each call checks
    // that the image is not shared.
    std::uint32_t* Bits() { return reinterpret_cast<std::uint32_t*>(m_image.bits()); }
    const std::uint32_t* Bits() const { return reinterpret_cast<const std::uint32_t*>(m_image.constBits()); }

    // Row y (top-down) as Width() pixels of 0xFFRRGGBB; y must be in range.
    std::uint32_t* Row(int y) { return Bits() + static_cast<std::ptrdiff_t>(y) * Width(); }
    const std::uint32_t* Row(int y) const { return Bits() + static_cast<std::ptrdiff_t>(y) * Width(); }

    // The image itself, for QPainter, saving and reading pixels. Do not copy it
    // while painting on the surface: a shared QImage detaches on the next write.
    QImage& Image() { return m_image; }
    const QImage& Image() const { return m_image; }

    // Colour at (x, y); 0xFFFFFFFF (CLR_INVALID) outside the picture.
    COLORREF GetPixel(int x, int y) const;
    void SetPixel(int x, int y, COLORREF colour);

    // Fills the whole picture, or a rectangle of it (clipped), with a colour.
    void Fill(COLORREF colour);
    void Fill(int x, int y, int width, int height, COLORREF colour);

    // PatBlt without a brush: BLACKNESS, WHITENESS or DSTINVERT over a rectangle.
    void PatBlt(int x, int y, int width, int height, PatOp op);

    // BitBlt: width by height pixels from (sx, sy) of src to (x, y) here, combined
    // by op. Pixels whose source or destination lies outside its picture are
    // skipped. src may be this surface (overlapping areas copy correctly).
    void BitBlt(int x, int y, int width, int height, const Surface& src, int sx, int sy,
                RasterOp op = RasterOp::SrcCopy);

    // StretchBlt with the COLORONCOLOR mode: nearest neighbour, destination pixel
    // i samples source pixel sx + ((2i + 1) * sw) / (2 * width) (the source pixel
    // under the destination pixel's centre); rows likewise. Nothing happens when a
    // size is 0 or less.
    void StretchBlt(int x, int y, int width, int height, const Surface& src, int sx, int sy, int sw, int sh,
                    RasterOp op = RasterOp::SrcCopy);

    // TransparentBlt: as StretchBlt with SRCCOPY, except that source pixels of the
    // key colour are skipped (the destination keeps its pixel there).
    void TransparentBlt(int x, int y, int width, int height, const Surface& src, int sx, int sy, int sw,
                        int sh, COLORREF key);

private:
    QImage m_image;
};

// A QPainter on a surface, with antialiasing of shapes and text off (as GDI
// draws) unless asked for. Ends painting when it goes out of scope.
class SurfacePainter : public QPainter
{
public:
    enum class Quality
    {
        Aliased,
        Antialiased
    };
    explicit SurfacePainter(Surface& surface, Quality quality = Quality::Aliased);

    // Sets the font with its glyph antialiasing following the painter's quality
    // (the render hint alone does not stop the font engine from smoothing). Hides
    // QPainter::setFont: set fonts through this type.
    void setFont(const QFont& font);

private:
    Quality m_quality;
};

} // namespace platform
