#pragma once
// CCeXDib: a small palette bitmap of 1, 4 or 8 bits per pixel, kept as a header,
// a colour table and pixel rows bottom-up (row 0 is the bottom row), each row
// padded to a multiple of four bytes. The shade buttons generate their
// backgrounds into it.
#include "platform/surface.h"

#include <QImage>
#include <cstdint>
#include <vector>

class QPainter;

class CCeXDib
{
public:
    // The fields of the bitmap header that carry information.
    struct Header
    {
        int biSize = 0; // 40 while an image exists
        int biWidth = 0;
        int biHeight = 0;
        int biPlanes = 0;
        int biBitCount = 0;
        int biSizeImage = 0; // row bytes * height
    };

    CCeXDib() = default;
    // A copy: the same size and bit count, the whole buffer copied.
    CCeXDib(const CCeXDib& other);
    CCeXDib& operator=(const CCeXDib& other);

    // A new image (frees any previous one). bits is 1, 4 or 8; the colour table
    // then has 2, 16 or 256 black entries and every pixel is index 0. Other bit
    // counts or a size below 1 leave the image empty. Returns false when empty.
    bool Create(int width, int height, int bits);
    void Free();

    bool IsValid() const { return !m_pixels.empty(); }
    int GetWidth() const { return m_header.biWidth; }
    int GetHeight() const { return m_header.biHeight; }
    int GetBitCount() const { return m_header.biBitCount; }
    // Bytes per pixel row: ((width * bits) + 31) / 32 * 4.
    int GetLineWidth() const { return m_lineWidth; }
    // Colour-table entries: 2, 16 or 256 (0 while empty).
    int GetNumColors() const { return m_numColors; }
    const Header& GetHeader() const { return m_header; }

    // Colour-table entry i as a colour value (0x00BBGGRR).
    platform::COLORREF GetPaletteColor(int i) const;
    void SetPaletteColor(int i, platform::COLORREF colour);

    // Row r counted from the bottom (0) to the top, as stored.
    std::uint8_t* GetRow(int r) { return m_pixels.data() + static_cast<std::size_t>(r) * m_lineWidth; }
    const std::uint8_t* GetRow(int r) const
    {
        return m_pixels.data() + static_cast<std::size_t>(r) * m_lineWidth;
    }
    // The colour index of pixel (x, r), r counted from the bottom; 0 outside.
    int GetPixelIndex(int x, int r) const;

    // Every colour-table entry moves percent % toward colour:
    // (colour * percent + entry * (100 - percent)) / 100 per channel.
    void BlendPalette(platform::COLORREF colour, int percent);

    // Draws the image with its top-left corner at (x, y), at its own size. The
    // colour table is taken at the first draw and kept from then on (as a DIB
    // section made once would); the pixels are taken at every draw.
    void Draw(QPainter& painter, int x, int y);

private:
    void CopyFrom(const CCeXDib& other);

    Header m_header;
    int m_lineWidth = 0;
    int m_numColors = 0;
    std::vector<platform::COLORREF> m_palette;
    std::vector<std::uint8_t> m_pixels; // rows bottom-up

    QImage m_section; // made at the first draw, rows top-down, 8-bit indexed
};
