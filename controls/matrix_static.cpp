#include "controls/matrix_static.h"

#include "platform/resources.h"

#include <QPainter>

using platform::COLORREF;

QImage CreateMappedBitmap(const QImage& picture, std::span<const ColorMap> map)
{
    QImage mapped = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < mapped.height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(mapped.scanLine(y));
        for (int x = 0; x < mapped.width(); ++x) {
            const COLORREF colour = platform::FromPixel(row[x]);
            for (const ColorMap& entry : map) {
                if (colour == entry.from) {
                    row[x] = platform::ToPixel(entry.to);
                    break;
                }
            }
        }
    }
    return mapped;
}

CMatrixStatic::CMatrixStatic(QWidget* parent) : QFrame(parent)
{
    // The client edge of the templates: a 2-pixel sunken border.
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setAttribute(Qt::WA_OpaquePaintEvent); // the paint fills every pixel
}

void CMatrixStatic::SetGlyphBitmap(int bitmapId, int width, int height, int gapX, int gapY)
{
    m_nBitmapId = bitmapId;
    m_nCharWidth = width;
    m_nCharHeight = height;
    m_nGapX = gapX;
    m_nGapY = gapY;
    m_strip = platform::LoadBitmap(bitmapId);
    m_mapped = QImage();
    update();
}

void CMatrixStatic::SetDotColors(COLORREF lit, COLORREF unlit, COLORREF background)
{
    m_crLit = lit;
    m_crUnlit = unlit;
    m_crBackground = background;
    m_mapped = QImage();
    update();
}

void CMatrixStatic::SetDisplayText(const QString& text)
{
    if (text == m_strText)
        return;
    m_strText = text;
    if (m_nCharsPerLine == 0)
        m_nCharsPerLine = static_cast<int>(text.size());
    update();
}

void CMatrixStatic::SetCharsPerLine(int n)
{
    if (m_nCharsPerLine == 0)
        m_nCharsPerLine = n;
    const int edge = 2 * frameWidth();
    resize(n * CellWidth() + edge, contentsRect().height() + edge);
}

void CMatrixStatic::SetLineCount(int n)
{
    if (m_nLines == 0)
        m_nLines = n;
    const int edge = 2 * frameWidth();
    resize(contentsRect().width() + edge, n * CellHeight() + edge);
}

const QImage& CMatrixStatic::MappedStrip()
{
    if (m_mapped.isNull() && !m_strip.isNull()) {
        const ColorMap map[] = {
            {kStripLit, m_crLit},
            {kStripUnlit, m_crUnlit},
            {kStripBackground, m_crBackground},
        };
        m_mapped = CreateMappedBitmap(m_strip, map);
    }
    return m_mapped;
}

void CMatrixStatic::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event); // the edge
    if (m_strText.isEmpty())
        return;
    QPainter painter(this);
    const QRect client = contentsRect();
    painter.setClipRect(client);
    painter.fillRect(client, platform::ToQColor(m_crBackground));
    const QImage& strip = MappedStrip();
    const int cw = CellWidth();
    const int ch = CellHeight();
    int x = 0;
    int y = 0;
    int count = 0;
    int line = 1;
    for (const QChar c : m_strText) {
        // The low byte of the code unit, signed, as the strip's index.
        const int code = static_cast<signed char>(c.unicode() & 0xFF);
        if (code >= 32 && code < 128) {
            const int index = code - 32;
            painter.drawImage(client.left() + x, client.top() + y, strip, index % 32 * cw, index / 32 * ch, cw,
                              ch);
        } // any other code leaves its cell in the background colour
        x += cw;
        if (++count != m_nCharsPerLine)
            continue;
        if (m_nLines == 1 || (m_nLines > 1 && line == m_nLines))
            break;
        if (m_nLines > 1) {
            count = 0;
            x = 0;
            y += ch;
            ++line;
        }
    }
}
