// The layer's CPU filters: each output pixel computed from the source pixels with
// fixed arithmetic, one pass per frame over the preallocated buffers. All but the
// row shift read m_dibSource, write m_dibOutput (colour bytes only, unless a whole
// pixel is copied) and draw it into the output surface. Rows are buffer rows
// (bottom-up) except in the row shift, which works on the surfaces.
#include "effects/effect_layer.h"
#include "effects/pixel_channels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

using pixel::Blue;
using pixel::Green;
using pixel::Red;

// The pixel d with its colour bytes replaced (the fourth byte is kept).
std::uint32_t WithColour(std::uint32_t d, int r, int g, int b)
{
    return (d & 0xFF000000u) | pixel::Pack(r, g, b);
}

int Luma(std::uint32_t p)
{
    return static_cast<int>((Green(p) * 0.587 + Red(p) * 0.299) + Blue(p) * 0.114);
}

// The kernel filter's two 3 x 3 kernels, rows y - 1, y, y + 1 and columns x - 1, x, x + 1.
constexpr int kKernelA[3][3] = {{0, 1, 1}, {-1, 0, 1}, {-1, -1, 0}};
constexpr int kKernelB[3][3] = {{1, 1, 0}, {1, 0, -1}, {0, -1, -1}};

// Frosted glass, down the columns of one output row: per byte, outer gets 3 x the
// sum over the five rows r0..r4, column that plus 2 x the sum over r1..r3.
void FrostColumns(const std::uint8_t* __restrict r0, const std::uint8_t* __restrict r1,
                  const std::uint8_t* __restrict r2, const std::uint8_t* __restrict r3,
                  const std::uint8_t* __restrict r4, std::uint16_t* __restrict column,
                  std::uint16_t* __restrict outer, std::size_t bytes)
{
    for (std::size_t i = 0; i < bytes; ++i) {
        const auto inner = static_cast<std::uint16_t>(r1[i] + r2[i] + r3[i]);
        const auto five = static_cast<std::uint16_t>(3 * (inner + r0[i] + r4[i]));
        outer[i] = five;
        column[i] = static_cast<std::uint16_t>(five + 2 * inner);
    }
}

// Frosted glass, across one output row: the column sums of the byte and of the
// same byte one and two pixels away (the arrays hold two pixels of zeros before
// and after the row), plus 5 x the centre, divided by 100.
void FrostRow(const std::uint16_t* __restrict column, const std::uint16_t* __restrict outer,
              const std::uint8_t* __restrict centre, std::uint8_t* __restrict result, std::size_t bytes)
{
    for (std::size_t i = 0; i < bytes; ++i) {
        const auto sum = static_cast<std::uint16_t>(column[i - 4] + column[i] + column[i + 4] + outer[i - 8] +
                                                    outer[i + 8] + 5 * centre[i]);
        result[i] = static_cast<std::uint8_t>(sum / 100); // at most 249
    }
}

} // namespace

void CEffectLayer::ColorFilter()
{
    const int a = std::clamp(m_nFilterAlpha, 0, 255);
    const int keep = 255 - a;
    const int fr = a * platform::GetRValue(m_crFilter);
    const int fg = a * platform::GetGValue(m_crFilter);
    const int fb = a * platform::GetBValue(m_crFilter);
    const std::uint32_t* s = m_dibSource.GetPixels();
    std::uint32_t* d = m_dibOutput.GetPixels();
    // x / 255 for 0 <= x < 65536, without a division (the sums stay below 255 x 256).
    const auto div255 = [](std::uint32_t x) { return (x + 1 + (x >> 8)) >> 8; };
    const std::size_t n = static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nHeight);
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t p = s[i];
        const std::uint32_t r = div255(static_cast<std::uint32_t>(Red(p) * keep + fr));
        const std::uint32_t g = div255(static_cast<std::uint32_t>(fg + Green(p) * keep));
        const std::uint32_t b = div255(static_cast<std::uint32_t>(fb + Blue(p) * keep));
        d[i] = (d[i] & 0xFF000000u) | r << 16 | g << 8 | b;
    }
    DrawPixels();
}

void CEffectLayer::Monochrome()
{
    const std::uint32_t* s = m_dibSource.GetPixels();
    std::uint32_t* d = m_dibOutput.GetPixels();
    const std::size_t n = static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nHeight);
    for (std::size_t i = 0; i < n; ++i) {
        const int v = std::max(Luma(s[i]), 50);
        d[i] = WithColour(d[i], v, v, v);
    }
    DrawPixels();
}

void CEffectLayer::Sepia()
{
    const std::uint32_t* s = m_dibSource.GetPixels();
    std::uint32_t* d = m_dibOutput.GetPixels();
    const std::size_t n = static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nHeight);
    for (std::size_t i = 0; i < n; ++i) {
        const int luma = Luma(s[i]);
        d[i] = WithColour(d[i], luma * 255 >> 8, luma * 226 >> 8, luma * 212 >> 8);
    }
    DrawPixels();
}

void CEffectLayer::FrostedGlass()
{
    // The weights are 3 over the 5 x 5 square, plus 2 over the inner 3 x 3 square,
    // plus 5 at the centre; neighbours outside the picture are left out (no
    // renormalisation). Per output row, each byte is first summed down its column
    // (five rows, weighted 3, and the inner three again, weighted 2), then across
    // with the byte sums one and two pixels (four and eight bytes) away. Every
    // step runs over whole rows of bytes in 16-bit lanes (the total stays below
    // 98 x 255), so the loops vectorise; rows outside the picture read a row of
    // zeros. The fourth bytes are summed too and then dropped.
    const int w = m_nWidth;
    const int h = m_nHeight;
    const std::size_t bytes = static_cast<std::size_t>(w) * 4;
    constexpr std::size_t kPad = 8; // two pixels of zero sums on each side of a row
    m_frostSums.assign(2 * (bytes + 2 * kPad), 0);
    m_frostBytes.assign(2 * bytes, 0);
    std::uint16_t* column = m_frostSums.data() + kPad; // 3 x five rows + 2 x three rows
    std::uint16_t* outer = column + bytes + 2 * kPad;  // 3 x five rows
    const std::uint8_t* zeros = m_frostBytes.data();
    std::uint8_t* result = m_frostBytes.data() + bytes;
    const auto* s = reinterpret_cast<const std::uint8_t*>(m_dibSource.GetPixels());
    const auto row = [&](int y) { return y >= 0 && y < h ? s + static_cast<std::size_t>(y) * bytes : zeros; };
    std::uint32_t* d = m_dibOutput.GetPixels();
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* r0 = row(y - 2);
        const std::uint8_t* r1 = row(y - 1);
        const std::uint8_t* r2 = row(y);
        const std::uint8_t* r3 = row(y + 1);
        const std::uint8_t* r4 = row(y + 2);
        FrostColumns(r0, r1, r2, r3, r4, column, outer, bytes);
        FrostRow(column, outer, r2, result, bytes);
        std::uint32_t* out = d + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        for (int x = 0; x < w; ++x) {
            std::uint32_t p;
            std::memcpy(&p, result + 4 * static_cast<std::size_t>(x), 4);
            out[x] = (out[x] & 0xFF000000u) | (p & 0xFFFFFFu);
        }
    }
    DrawPixels();
}

void CEffectLayer::Portal()
{
    // Every device row rotated left by t pixels, t following a sine over the rows
    // (period 120 steps) whose phase advances one step per frame.
    const int w = m_nWidth;
    const float k = m_fPi * 2 / 120;
    const double rowsPerStep = w * 0.00462;
    for (int y = 0; y < m_nHeight; ++y) {
        const int phase = static_cast<int>(y / rowsPerStep + static_cast<double>(m_nFrameCount));
        const float angle = static_cast<float>(phase % 120) * k;
        const int t = static_cast<int>(std::sin(static_cast<double>(angle)) * 20 + 30);
        m_dcOutput.BitBlt(0, y, w - t, 1, *Source(), t, y);
        m_dcOutput.BitBlt(w - t, y, t, 1, *Source(), 0, y);
    }
}

void CEffectLayer::KernelFilter()
{
    // A mask: white where the picture is bright and flat, black at edges and in
    // dark areas. The one-pixel border is not written.
    const int w = m_nWidth;
    const int h = m_nHeight;
    const std::uint32_t* s = m_dibSource.GetPixels();
    std::uint32_t* d = m_dibOutput.GetPixels();
    for (int y = 1; y < h - 1; ++y) {
        for (int x = 1; x < w - 1; ++x) {
            int ga[3] = {}, gb[3] = {};
            for (int ky = 0; ky < 3; ++ky) {
                const std::uint32_t* row = s + static_cast<std::ptrdiff_t>(y - 1 + ky) * w + x - 1;
                for (int kx = 0; kx < 3; ++kx) {
                    const std::uint32_t p = row[kx];
                    const int channels[3] = {Blue(p), Green(p), Red(p)};
                    for (int c = 0; c < 3; ++c) {
                        ga[c] += kKernelA[ky][kx] * channels[c];
                        gb[c] += kKernelB[ky][kx] * channels[c];
                    }
                }
            }
            const std::uint32_t p = s[static_cast<std::ptrdiff_t>(y) * w + x];
            bool white = Blue(p) >= 80 && Green(p) >= 80 && Red(p) >= 80;
            for (int c = 0; c < 3; ++c) {
                white = white && std::abs(ga[c]) <= 100 && std::abs(gb[c]) <= 100;
            }
            const int v = white ? 255 : 0;
            std::uint32_t& out = d[static_cast<std::ptrdiff_t>(y) * w + x];
            out = WithColour(out, v, v, v);
        }
    }
    DrawPixels();
}

void CEffectLayer::Fisheye()
{
    const int w = m_nWidth;
    const int h = m_nHeight;
    if (w < 3 || h < 3) {
        return; // no interior to sample from
    }
    const int hw = w / 2;
    const int hh = h / 2;
    const double c = static_cast<double>(hh) * hh;
    const double dd = static_cast<double>(hw) * hw;
    const double scale = 0.845 / (c + dd);
    const std::uint32_t* s = m_dibSource.GetPixels();
    std::uint32_t* d = m_dibOutput.GetPixels();
    // The output pixel at offset (i, j) from the centre shows the source at
    // (i / f, j / f), f shrinking towards the corners; sources are clamped to the
    // second row or column from the edge.
    for (int i = -hw; i < hw; ++i) {
        for (int j = -hh; j < hh; ++j) {
            const double f = 1 - scale * (static_cast<double>(i) * i + static_cast<double>(j) * j);
            const int sx = std::clamp(hw + static_cast<int>(i / f), 1, w - 2);
            const int sy = std::clamp(hh - static_cast<int>(j / f) - 1, 1, h - 2);
            d[static_cast<std::ptrdiff_t>(hh - j - 1) * w + i + hw] =
                s[static_cast<std::ptrdiff_t>(sy) * w + sx];
        }
    }
    DrawPixels();
}

void CEffectLayer::BlockMosaic()
{
    const int w = m_nWidth;
    const int h = m_nHeight;
    int side = static_cast<int>(w * 0.04);
    if (side < 2) {
        side = 1;
    }
    const std::uint32_t* s = m_dibSource.GetPixels();
    std::uint32_t* d = m_dibOutput.GetPixels();
    // Blocks from (0, 0); those of the last column and row are cut at the edge.
    for (int by = 0; by < h; by += side) {
        const int ey = std::min(by + side, h);
        for (int bx = 0; bx < w; bx += side) {
            const int ex = std::min(bx + side, w);
            int r = 0, g = 0, b = 0;
            for (int y = by; y < ey; ++y) {
                for (int x = bx; x < ex; ++x) {
                    const std::uint32_t p = s[static_cast<std::ptrdiff_t>(y) * w + x];
                    r += Red(p);
                    g += Green(p);
                    b += Blue(p);
                }
            }
            const int count = (ey - by) * (ex - bx);
            r = std::min(r / count, 255);
            g = std::min(g / count, 255);
            b = std::min(b / count, 255);
            for (int y = by; y < ey; ++y) {
                for (int x = bx; x < ex; ++x) {
                    std::uint32_t& out = d[static_cast<std::ptrdiff_t>(y) * w + x];
                    out = WithColour(out, r, g, b);
                }
            }
        }
    }
    DrawPixels();
}
