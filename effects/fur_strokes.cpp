#include "effects/fur_strokes.h"

#include "effects/pixel_channels.h"
#include "platform/crt.h"
#include "platform/surface.h"

#include <algorithm>
#include <cmath>

void CFurStrokes::SetSize(int width, int height)
{
    m_nWidth = width;
    m_nHeight = height;
    m_nStrokes = static_cast<int>(width * height * 0.005);
}

namespace {

// A random coordinate in 0..size - 2 from the 15-bit generator, kept inside the
// picture whatever the generator returns.
int RandomCoordinate(int size)
{
    const float v =
        static_cast<float>(crt::rand()) * (static_cast<float>(size) - 1.0f) / 32767.0f * 0.99999988f;
    return std::clamp(static_cast<int>(v), 0, std::max(size - 1, 0));
}

// (c x a + d x (255 - a) + 127) / 255 for each colour byte, a in 0..255: red and
// blue side by side in 16-bit lanes, then green (every sum stays below 65536,
// where x / 255 is (x + 1 + ((x + 1) >> 8)) >> 8); the fourth byte 0.
std::uint32_t BlendOver(std::uint32_t c, std::uint32_t d, std::uint32_t a)
{
    const auto divide = [](std::uint32_t x) {
        x += 0x00010001u;
        return ((x + ((x >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    };
    const std::uint32_t keep = 255 - a;
    const std::uint32_t redBlue = divide((c & 0xFF00FFu) * a + (d & 0xFF00FFu) * keep + 0x007F007Fu);
    const std::uint32_t green = divide(((c >> 8) & 0xFFu) * a + ((d >> 8) & 0xFFu) * keep + 0x7Fu);
    return redBlue | green << 8;
}

} // namespace

void CFurStrokes::Draw(platform::Surface& output, const std::uint32_t* pixels) const
{
    if (pixels == nullptr || m_nWidth <= 0 || m_nHeight <= 0) {
        return;
    }
    for (int k = 0; k < m_nStrokes; ++k) {
        const int y = RandomCoordinate(m_nHeight);
        const int x = RandomCoordinate(m_nWidth);
        const std::uint32_t colour =
            pixels[static_cast<std::size_t>(m_nHeight - 1 - y) * static_cast<std::size_t>(m_nWidth) + x] &
            0xFFFFFFu;
        // Brightness turns the stroke from pointing up (dark) through horizontal
        // (mid grey) to vertical and long (white).
        const float t =
            static_cast<float>(pixel::Blue(colour) + pixel::Green(colour) + pixel::Red(colour)) / 765.0f;
        const float angle = -m_fPi / 2 + m_fPi * t;
        const double half = static_cast<int>(t * 40) * 0.5;
        const int dx = static_cast<int>(std::cos(angle) * half);
        const int dy = static_cast<int>(std::sin(angle) * half);
        BlendStroke(output, static_cast<float>(x - dx), static_cast<float>(y - dy),
                    static_cast<float>(x + dx), static_cast<float>(y + dy), 2.0f, colour, 20);
    }
}

void BlendStroke(platform::Surface& target, float x1, float y1, float x2, float y2, float width,
                 std::uint32_t colour, int alpha)
{
    const float dx = x2 - x1;
    const float dy = y2 - y1;
    const float length = std::hypot(dx, dy);
    if (!(length > 0.0f) || alpha <= 0) {
        return;
    }
    alpha = std::min(alpha, 255); // an opacity beyond full would spill into the next colour byte
    // Coverage of a pixel: how far the rectangle reaches over it across and
    // along the stroke (a unit box filter on each axis of the stroke).
    const float ux = dx / length;
    const float uy = dy / length;
    const float cx = (x1 + x2) / 2;
    const float cy = (y1 + y2) / 2;
    const float reachAlong = length / 2 + 0.5f;
    const float reachAcross = width / 2 + 0.5f;
    const float extent = reachAlong + reachAcross;
    const int columns = target.Width();
    const int px0 = std::max(static_cast<int>(std::floor(std::min(x1, x2) - reachAcross)), 0);
    const int px1 = std::min(static_cast<int>(std::ceil(std::max(x1, x2) + reachAcross)), columns - 1);
    const int py0 = std::max(static_cast<int>(std::floor(std::min(y1, y2) - reachAcross)), 0);
    const int py1 =
        std::min(static_cast<int>(std::ceil(std::max(y1, y2) + reachAcross)), target.Height() - 1);
    if (px0 > px1 || py0 > py1) {
        return;
    }
    std::uint32_t* const pixels = target.Bits(); // once: each call checks the image is not shared

    // Per row, the opacities of a run of pixels first (plain arithmetic, no
    // branch, so it vectorises), then the blend of the covered ones.
    constexpr int kRun = 64;
    int opacity[kRun];
    for (int py = py0; py <= py1; ++py) {
        std::uint32_t* row = pixels + static_cast<std::ptrdiff_t>(py) * columns;
        const float ry = static_cast<float>(py) - cy;
        if (std::abs(ry) > extent) {
            continue;
        }
        for (int start = px0; start <= px1; start += kRun) {
            const int count = std::min(kRun, px1 + 1 - start);
            for (int k = 0; k < count; ++k) {
                const float rx = static_cast<float>(start + k) - cx;
                // min and max clamp as std::clamp does for these finite values.
                const float along = std::min(std::max(reachAlong - std::abs(rx * ux + ry * uy), 0.0f), 1.0f);
                const float across = std::min(std::max(reachAcross - std::abs(ry * ux - rx * uy), 0.0f), 1.0f);
                const float inside = std::abs(rx) > extent ? 0.0f : 1.0f;
                opacity[k] = static_cast<int>(static_cast<float>(alpha) * along * across * inside + 0.5f);
            }
            for (int k = 0; k < count; ++k) {
                const auto o = static_cast<std::uint32_t>(opacity[k]);
                const std::uint32_t d = row[start + k];
                row[start + k] = o == 0 ? d : 0xFF000000u | BlendOver(colour, d, o);
            }
        }
    }
}
