#include "controls/cex_dib.h"

#include <QPainter>

using platform::COLORREF;

CCeXDib::CCeXDib(const CCeXDib& other)
{
    CopyFrom(other);
}

CCeXDib& CCeXDib::operator=(const CCeXDib& other)
{
    if (this != &other)
        CopyFrom(other);
    return *this;
}

void CCeXDib::CopyFrom(const CCeXDib& other)
{
    Free();
    if (!Create(other.GetWidth(), other.GetHeight(), other.GetBitCount()))
        return;
    m_palette = other.m_palette;
    m_pixels = other.m_pixels;
}

bool CCeXDib::Create(int width, int height, int bits)
{
    Free();
    if (width < 1 || height < 1 || (bits != 1 && bits != 4 && bits != 8))
        return false;
    m_lineWidth = ((width * bits) + 31) / 32 * 4;
    m_numColors = 1 << bits;
    m_header = {40, width, height, 1, bits, m_lineWidth * height};
    m_palette.assign(static_cast<std::size_t>(m_numColors), 0);
    m_pixels.assign(static_cast<std::size_t>(m_lineWidth) * height, 0);
    return true;
}

void CCeXDib::Free()
{
    m_section = QImage();
    m_pixels.clear();
    m_palette.clear();
    m_header = {};
    m_lineWidth = 0;
    m_numColors = 0;
}

COLORREF CCeXDib::GetPaletteColor(int i) const
{
    return i >= 0 && i < m_numColors ? m_palette[static_cast<std::size_t>(i)] : 0;
}

void CCeXDib::SetPaletteColor(int i, COLORREF colour)
{
    if (i >= 0 && i < m_numColors)
        m_palette[static_cast<std::size_t>(i)] = colour & 0xFFFFFF;
}

int CCeXDib::GetPixelIndex(int x, int r) const
{
    if (!IsValid() || x < 0 || r < 0 || x >= GetWidth() || r >= GetHeight())
        return 0;
    const std::uint8_t* row = GetRow(r);
    switch (GetBitCount()) {
    case 8:
        return row[x];
    case 4:
        return (row[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
    default:
        return (row[x / 8] >> (7 - x % 8)) & 0x01;
    }
}

void CCeXDib::BlendPalette(COLORREF colour, int percent)
{
    const auto blend = [percent](int c, int entry) { return (c * percent + entry * (100 - percent)) / 100; };
    for (COLORREF& entry : m_palette) {
        entry = platform::Rgb(blend(platform::GetRValue(colour), platform::GetRValue(entry)),
                              blend(platform::GetGValue(colour), platform::GetGValue(entry)),
                              blend(platform::GetBValue(colour), platform::GetBValue(entry)));
    }
}

void CCeXDib::Draw(QPainter& painter, int x, int y)
{
    if (!IsValid())
        return;
    const int w = GetWidth();
    const int h = GetHeight();
    if (m_section.isNull()) {
        m_section = QImage(w, h, QImage::Format_Indexed8);
        if (m_section.isNull())
            return;
        QList<QRgb> table;
        table.reserve(m_numColors);
        for (const COLORREF c : m_palette)
            table.push_back(platform::ToPixel(c));
        m_section.setColorTable(table);
    }
    for (int r = 0; r < h; ++r) {
        uchar* const line = m_section.scanLine(h - 1 - r);
        if (GetBitCount() == 8) {
            std::copy_n(GetRow(r), w, line);
        } else {
            for (int i = 0; i < w; ++i)
                line[i] = static_cast<uchar>(GetPixelIndex(i, r));
        }
    }
    painter.drawImage(x, y, m_section);
}
