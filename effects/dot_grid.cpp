#include "effects/dot_grid.h"

#include "effects/pixel_channels.h"
#include "platform/surface.h"

#include <algorithm>

namespace {

// Fills the disc of radius r around pixel (cx, cy) without antialiasing: every
// pixel whose centre lies strictly inside. Colour 0x00RRGGBB at opacity alpha.
void FillDisc(platform::Surface& target, int cx, int cy, int r, std::uint32_t colour, int alpha)
{
    const int y0 = std::max(cy - r, 0);
    const int y1 = std::min(cy + r, target.Height() - 1);

    const std::uint32_t opaque = 0xFF000000u | colour;
    for (int y = y0; y <= y1; ++y) {
        const int dy = y - cy;
        // Widest |dx| with dx^2 + dy^2 < r^2.
        int reach = r;
        while (reach >= 0 && reach * reach + dy * dy >= r * r) {
            --reach;
        }
        if (reach < 0) {
            continue;
        }
        const int x0 = std::max(cx - reach, 0);
        const int x1 = std::min(cx + reach, target.Width() - 1);
        std::uint32_t* row = target.Row(y);
        for (int x = x0; x <= x1; ++x) {
            if (alpha >= 255) {
                row[x] = opaque;
                continue;
            }
            row[x] = 0xFF000000u | pixel::Combine(colour, row[x], [alpha](int c, int dc) {
                         return (c * alpha + dc * (255 - alpha) + 127) / 255;
                     });
        }
    }
}

} // namespace

void CDotGrid::Draw(platform::Surface& output, const std::uint32_t* pixels) const
{
    if (pixels == nullptr) {
        return;
    }
    // A cell of at least one pixel, so that narrow layers still step through the grid.
    const int step = std::max(m_nWidth / 20, 1);
    const int small = static_cast<int>(step * 0.5);
    const int large = static_cast<int>(step * 0.8);
    const int first = step / 2;
    for (int x = first; x < m_nWidth; x += step) {
        for (int y = first; y < m_nHeight; y += step) {
            const std::uint32_t colour =
                pixels[static_cast<std::size_t>(m_nHeight - 1 - y) * static_cast<std::size_t>(m_nWidth) + x] &
                0xFFFFFFu;
            FillDisc(output, x, y, large, colour, 64);
            FillDisc(output, x, y, small, colour, 255);
        }
    }
}
