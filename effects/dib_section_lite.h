#pragma once
// CDIBSectionLite: the effects' 32-bit pixel buffer. Pixels are 4 bytes each in
// memory order blue, green, red and a fourth byte without colour (0x00RRGGBB read
// as a little-endian 32-bit value; captures store the fourth byte as 0, Draw
// ignores it); rows are bottom-up, so column x of the
// picture's top-down row y is pixel (height - 1 - y) * width + x. Effects read and
// write that array directly; CaptureFromDC and Draw convert rows where the buffer
// meets a Surface.
#include <array>
#include <cstdint>
#include <vector>

namespace platform {
class Surface;
}

// The bitmap header of a buffer (the fields the clock fills in).
struct BitmapInfoHeader
{
    std::uint32_t biSize = 0;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0; // positive: rows stored bottom-up
    std::uint16_t biPlanes = 0;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0; // 0 = BI_RGB
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

struct RgbQuad
{
    std::uint8_t rgbBlue = 0;
    std::uint8_t rgbGreen = 0;
    std::uint8_t rgbRed = 0;
    std::uint8_t rgbReserved = 0;
};

// Header plus a colour table of 256 entries.
struct BitmapInfo
{
    BitmapInfoHeader bmiHeader;
    std::array<RgbQuad, 256> bmiColors{};
};

struct PaletteEntry
{
    std::uint8_t peRed = 0;
    std::uint8_t peGreen = 0;
    std::uint8_t peBlue = 0;
    std::uint8_t peFlags = 0;
};

// A logical palette (version 0x300); empty when no palette has been made.
struct Palette
{
    std::uint16_t palVersion = 0;
    std::vector<PaletteEntry> entries;
};

// Number of colour-table entries for a bit count: 1 -> 2, 4 -> 16, 8 -> 256, else 0.
int ColorTableSize(int bitCount);

// Fills palette with the first n entries of the fixed halftone palette (16 system
// colours, the 6x6x6 colour cube, 24 greys); n outside 1..256 counts as 256.
bool CreateHalftonePalette(Palette& palette, int n);

class CDIBSectionLite
{
public:
    CDIBSectionLite() = default;
    ~CDIBSectionLite() = default;
    CDIBSectionLite(const CDIBSectionLite&) = delete;
    CDIBSectionLite& operator=(const CDIBSectionLite&) = delete;

    // Forgets the section: header and colour table zeroed, usage 0. The pixels stay.
    void DeleteObject();

    // Replaces the content with the top-left width x height pixels of source
    // (pixels outside the source read as black). No allocation when the size is
    // unchanged. A size of 0 or less leaves the buffer empty.
    void CaptureFromDC(const platform::Surface& source, int width, int height);

    // Makes the section and palette for a header; false (and empty) for a null
    // header or pixel pointer.
    bool SetBitmap(const BitmapInfo* header, const std::uint8_t* pixels);

    bool CreatePalette();

    // Draws the pixels with their top-left corner at (x, y), clipped to target;
    // returns the number of scan lines drawn (the height), 0 without a section.
    int Draw(platform::Surface& target, int x, int y) const;

    // The picture's size from the header (0 when empty).
    int GetWidth() const { return m_bmi.bmiHeader.biWidth; }
    int GetHeight() const { return m_bmi.bmiHeader.biHeight; }
    bool HasSection() const { return m_hSection; }

    // The pixels: GetWidth() x GetHeight() values, bottom-up rows; null before the
    // first capture.
    std::uint8_t* GetBits()
    {
        return m_pBits.empty() ? nullptr : reinterpret_cast<std::uint8_t*>(m_pBits.data());
    }
    const std::uint8_t* GetBits() const
    {
        return m_pBits.empty() ? nullptr : reinterpret_cast<const std::uint8_t*>(m_pBits.data());
    }
    std::uint32_t* GetPixels() { return m_pBits.empty() ? nullptr : m_pBits.data(); }
    const std::uint32_t* GetPixels() const { return m_pBits.empty() ? nullptr : m_pBits.data(); }

    const BitmapInfo& GetBitmapInfo() const { return m_bmi; }
    const Palette& GetPalette() const { return m_palette; }

private:
    bool m_hSection = false; // a section exists for the current header
    BitmapInfo m_bmi;
    std::vector<std::uint32_t> m_pBits;
    int m_nUsage = 0; // DIB_RGB_COLORS
    int m_nColorTableSize = 0;
    Palette m_palette;
};
