#include "app/dot_matrix_text.h"

#include "platform/resources.h"

CDotMatrixText::CDotMatrixText(int stripId, int glyphWidth, int glyphHeight, int gapX, int gapY, int lines,
                               int charsPerLine)
    : m_nStripId(stripId), m_nGlyphWidth(glyphWidth), m_nGlyphHeight(glyphHeight), m_nGapX(gapX),
      m_nGapY(gapY), m_nLines(lines), m_nCharsPerLine(charsPerLine)
{
}

void CDotMatrixText::SetText(const QString& text)
{
    if (text != m_strText)
        m_strText = text;
    if (m_nCharsPerLine == 0)
        m_nCharsPerLine = static_cast<int>(m_strText.size());
}

void CDotMatrixText::SetColors(COLORREF lit, COLORREF unlit, COLORREF key)
{
    m_crLit = lit;
    m_crUnlit = unlit;
    m_crKey = key;
}

void CDotMatrixText::LoadGlyphs()
{
    const QImage picture = platform::LoadBitmap(m_nStripId).convertToFormat(QImage::Format_RGB32);
    m_strip.Create(picture.width(), picture.height());
    if (m_strip.IsNull())
        return;
    // Each of the strip's three colours maps to its new one; any other pixel
    // stays as it is.
    const std::uint32_t lit = platform::ToPixel(kStripLit);
    const std::uint32_t unlit = platform::ToPixel(kStripUnlit);
    const std::uint32_t background = platform::ToPixel(0x000000);
    for (int y = 0; y < picture.height(); ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(picture.constScanLine(y));
        std::uint32_t* out = m_strip.Row(y);
        for (int x = 0; x < picture.width(); ++x) {
            const std::uint32_t p = in[x] | 0xFF000000u;
            out[x] = p == lit          ? platform::ToPixel(m_crLit)
                     : p == unlit      ? platform::ToPixel(m_crUnlit)
                     : p == background ? platform::ToPixel(m_crKey)
                                       : p;
        }
    }
}

void CDotMatrixText::Draw(platform::Surface& dc, int x, int y, const LogicalSpace& space) const
{
    if (m_strText.isEmpty() || m_strip.IsNull())
        return;
    const int cw = m_nGlyphWidth + m_nGapX;
    const int ch = m_nGlyphHeight + m_nGapY;
    const int limit = m_nLines == 1 ? m_nCharsPerLine : static_cast<int>(m_strText.size());
    int drawn = 0;
    for (const QChar c : m_strText) {
        if (drawn++ >= limit)
            break;
        const int code = c.unicode();
        if (code >= 32 && code < 128) {
            // The cell's corners in device pixels, so cells meet without gaps at any zoom.
            const QPoint from = space.ToDevice({x, y});
            const QPoint to = space.ToDevice({x + cw, y + ch});
            dc.TransparentBlt(from.x(), from.y(), to.x() - from.x(), to.y() - from.y(), m_strip,
                              (code - 32) % 32 * cw, (code - 32) / 32 * ch, cw, ch, kTransparent);
        }
        x += cw;
    }
}
