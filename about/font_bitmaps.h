#pragma once
// Text in OpenGL as bitmaps: each character of a font is rasterised by Qt into
// a one-bit glBitmap inside a display list of its own, so that a string is
// drawn with glListBase and glCallLists at the current raster position, which
// each glyph advances by its width.
//
// GL names are plain unsigned ints (GLuint), so this header needs no GL header.
#include <QFont>
#include <cstdint>
#include <vector>

namespace about {

// One character as glBitmap takes it: width x height bits, rows from the
// bottom up, each row starting on a byte (leftmost pixel in the high bit);
// the origin (xorig, yorig) is where the baseline starts inside the bitmap,
// and advance moves the raster position on.
struct GlyphBitmap
{
    int width = 0;
    int height = 0;
    float xorig = 0;
    float yorig = 0;
    float advance = 0;
    std::vector<std::uint8_t> bits;

    int BytesPerRow() const { return (width + 7) / 8; }
    // Whether the pixel at column x of row y (counted from the bottom) is set.
    bool Bit(int x, int y) const;
};

// The character's bitmap in the font: the font's full height (ascent and
// descent) by the character's advance (at least one pixel wide), set where the
// glyph covers at least half a pixel.
GlyphBitmap RasteriseGlyph(const QFont& font, char16_t character);

// Compiles one display list per character first .. first + count - 1 (UTF-16
// code units) into the lists base .. base + count - 1 (from glGenLists; the
// context current). False when OpenGL reported an error.
bool UseFontBitmaps(const QFont& font, char16_t first, int count, unsigned base);

} // namespace about
