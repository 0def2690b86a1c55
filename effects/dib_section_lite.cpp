#include "effects/dib_section_lite.h"

#include "platform/surface.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kColourMask = 0x00FFFFFFu;
constexpr std::uint32_t kOpaque = 0xFF000000u;

// One row of pixels with the fourth byte set to `fourth`. The rows never overlap
// (a buffer and a surface), which lets the compiler vectorise the loop.
void CopyRow(std::uint32_t* __restrict dst, const std::uint32_t* __restrict src, int count,
             std::uint32_t fourth)
{
    for (int i = 0; i < count; ++i)
        dst[i] = (src[i] & kColourMask) | fourth;
}

} // namespace

int ColorTableSize(int bitCount)
{
    switch (bitCount) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

bool CreateHalftonePalette(Palette& palette, int n)
{
    if (n < 1 || n > 256)
        n = 256;
    static constexpr std::uint8_t kFixed[16][3] = {
        {0, 0, 0},     {255, 255, 255}, {0, 0, 255},     {0, 255, 0},    {0, 255, 255}, {255, 0, 0},
        {255, 0, 255}, {255, 255, 0},   {0, 0, 128},     {0, 128, 0},    {0, 128, 128}, {128, 0, 0},
        {128, 0, 128}, {128, 128, 0},   {128, 128, 128}, {192, 192, 192}};
    std::vector<PaletteEntry> all;
    all.reserve(256);
    for (const auto& c : kFixed)
        all.push_back({c[0], c[1], c[2], 0});
    for (int b = 0; b < 6; ++b)
        for (int g = 0; g < 6; ++g)
            for (int r = 0; r < 6; ++r)
                all.push_back({static_cast<std::uint8_t>(r * 51), static_cast<std::uint8_t>(g * 51),
                               static_cast<std::uint8_t>(b * 51), 0});
    for (int i = 0; i < 24; ++i) {
        const auto v = static_cast<std::uint8_t>((255 * i) / 23);
        all.push_back({v, v, v, 0});
    }
    all.resize(static_cast<std::size_t>(n));
    palette.palVersion = 0x300;
    palette.entries = std::move(all);
    return true;
}

void CDIBSectionLite::DeleteObject()
{
    m_hSection = false;
    m_bmi = BitmapInfo{};
    m_nUsage = 0;
}

bool CDIBSectionLite::SetBitmap(const BitmapInfo* header, const std::uint8_t* pixels)
{
    DeleteObject();
    if (header == nullptr || pixels == nullptr)
        return false;
    m_nColorTableSize = ColorTableSize(header->bmiHeader.biBitCount);
    m_bmi.bmiHeader = header->bmiHeader;
    std::copy_n(header->bmiColors.begin(), m_nColorTableSize, m_bmi.bmiColors.begin());
    // The section itself holds no pixels of its own here: drawing always goes
    // straight from m_pBits, so only its existence is recorded.
    m_hSection = true;
    if (!CreatePalette()) {
        DeleteObject();
        return false;
    }
    return true;
}

bool CDIBSectionLite::CreatePalette()
{
    m_palette = Palette{};
    if (!m_hSection)
        return false;
    // Every buffer of the clock is 32-bit (no colour table): the halftone palette.
    return CreateHalftonePalette(m_palette, 256);
}

void CDIBSectionLite::CaptureFromDC(const platform::Surface& source, int width, int height)
{
    if (width <= 0 || height <= 0) {
        DeleteObject();
        return;
    }
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (m_pBits.size() != count)
        m_pBits.assign(count, 0);

    if (GetWidth() != width || GetHeight() != height || !m_hSection) {
        BitmapInfo info;
        info.bmiHeader.biSize = 40;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        SetBitmap(&info, GetBits());
    }

    // Device row y goes to buffer row height - 1 - y; what lies outside the source reads black.
    const int copyWidth = std::clamp(source.Width(), 0, width);
    const int copyHeight = std::clamp(source.Height(), 0, height);
    const std::uint32_t* const sourceBits = source.Bits();
    for (int y = 0; y < height; ++y) {
        std::uint32_t* row = m_pBits.data() + static_cast<std::size_t>(height - 1 - y) * width;
        const int copied = y < copyHeight ? copyWidth : 0;
        if (copied > 0)
            CopyRow(row, sourceBits + static_cast<std::size_t>(y) * source.Width(), copied, 0);
        std::fill(row + copied, row + width, 0u);
    }
}

int CDIBSectionLite::Draw(platform::Surface& target, int x, int y) const
{
    if (!m_hSection)
        return 0;
    const int width = GetWidth();
    const int height = GetHeight();
    // Target surfaces are never palette devices, so the palette is not selected.
    const int c0 = std::max(0, -x);
    const int c1 = std::min(width, target.Width() - x);
    const int r0 = std::max(0, -y);
    const int r1 = std::min(height, target.Height() - y);
    if (c1 <= c0)
        return height;
    std::uint32_t* const targetBits = target.Bits();
    for (int r = r0; r < r1; ++r) {
        const std::uint32_t* src = m_pBits.data() + static_cast<std::size_t>(height - 1 - r) * width;
        std::uint32_t* dst = targetBits + static_cast<std::size_t>(y + r) * target.Width() + (x + c0);
        CopyRow(dst, src + c0, c1 - c0, kOpaque);
    }
    return height;
}
