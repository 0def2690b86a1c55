// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "about/font_bitmaps.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>

namespace about {

namespace {

// Pending errors of earlier calls, so that the check after the lists sees
// only its own; bounded, as a lost context keeps reporting.
void DrainGlErrors()
{
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

} // namespace

bool GlyphBitmap::Bit(int x, int y) const
{
    const auto at = static_cast<std::size_t>(y * BytesPerRow() + x / 8);
    return (bits[at] & (0x80u >> (x % 8))) != 0;
}

GlyphBitmap RasteriseGlyph(const QFont& font, char16_t character)
{
    const QFontMetrics metrics(font);
    const QString text(QChar{character});
    GlyphBitmap glyph;
    glyph.advance = static_cast<float>(metrics.horizontalAdvance(text));
    glyph.width = std::max(1, metrics.horizontalAdvance(text));
    glyph.height = std::max(1, metrics.ascent() + metrics.descent());
    glyph.yorig = static_cast<float>(metrics.descent());

    QImage coverage(glyph.width, glyph.height, QImage::Format_Grayscale8);
    coverage.fill(0);
    {
        QPainter painter(&coverage);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(0, metrics.ascent(), text);
    }
    const int bytesPerRow = glyph.BytesPerRow();
    glyph.bits.assign(static_cast<std::size_t>(bytesPerRow * glyph.height), 0);
    for (int row = 0; row < glyph.height; ++row) {
        // Bitmap rows run upwards from the bottom of the picture.
        const uchar* const line = coverage.constScanLine(glyph.height - 1 - row);
        for (int x = 0; x < glyph.width; ++x)
            if (line[x] >= 128)
                glyph.bits[static_cast<std::size_t>(row * bytesPerRow + x / 8)] |=
                    static_cast<std::uint8_t>(0x80u >> (x % 8));
    }
    return glyph;
}

bool UseFontBitmaps(const QFont& font, char16_t first, int count, unsigned base)
{
    DrainGlErrors();
    // glBitmap copies its bits when the list is compiled, through the unpack
    // state: byte-aligned rows, high bit first, nothing skipped.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    for (int i = 0; i < count; ++i) {
        const GlyphBitmap glyph = RasteriseGlyph(font, static_cast<char16_t>(first + i));
        glNewList(base + static_cast<GLuint>(i), GL_COMPILE);
        glBitmap(glyph.width, glyph.height, glyph.xorig, glyph.yorig, glyph.advance, 0, glyph.bits.data());
        glEndList();
    }
    glPopClientAttrib();
    return glGetError() == GL_NO_ERROR;
}

} // namespace about
