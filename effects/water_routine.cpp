#include "effects/water_routine.h"

#include "effects/pixel_channels.h"
#include "platform/crt.h"

#include <algorithm>

void CWaterRoutine::Create(int width, int height)
{
    m_nWidth = std::max(width, 0);
    m_nHeight = std::max(height, 0);
    const auto size = static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nHeight);
    m_pField1.assign(size, 0);
    m_pField2.assign(size, 0);
    m_nPage = 0;
}

namespace {

// A random centre for a disc of radius r along an axis of the given size, kept
// clear of the border where the axis is long enough.
int RandomCentre(int size, int r)
{
    const int span = std::max(size - 2 * r - 1, 1);
    return r + crt::rand() % span + 1;
}

// Where n pixels of one row look (field points at the first, which is cell i of
// the picture; rows w apart): the source pixel j, or 0 where j falls outside
// the picture; and per byte what the slope takes off, clamped to +-255 (the
// fourth byte: 255, which clears it) or 0 where j falls outside.
void Look(const int* __restrict field, int w, int i, int total, int* __restrict from,
          std::int16_t* __restrict shade, int n)
{
    for (int x = 0; x < n; ++x) {
        const int d = field[x] - field[x + 1];
        const int j = i + x + ((field[x] - field[x + w]) >> 3) * w + (d >> 3);
        const bool inside = j > 0 && j < total;
        from[x] = inside ? j : 0;
        const auto slope = static_cast<std::int16_t>(inside ? std::clamp(d, -255, 255) : 0);
        shade[4 * x] = slope;
        shade[4 * x + 1] = slope;
        shade[4 * x + 2] = slope;
        shade[4 * x + 3] = static_cast<std::int16_t>(inside ? 255 : 0);
    }
}

// Each byte of n pixels: clamp(seen byte - shade, 0, 255), shade given per byte.
void ShadeRow(const std::uint32_t* __restrict seen, const std::int16_t* __restrict shade,
              std::uint32_t* __restrict out, std::size_t n)
{
    const auto* s8 = reinterpret_cast<const std::uint8_t*>(seen);
    auto* o8 = reinterpret_cast<std::uint8_t*>(out);
    for (std::size_t k = 0; k < 4 * n; ++k) {
        const auto v = static_cast<std::int16_t>(s8[k] - shade[k]);
        o8[k] = static_cast<std::uint8_t>(std::min<std::int16_t>(std::max<std::int16_t>(v, 0), 255));
    }
}

// The damped wave for n cells of one row: old points at the row's first cell in
// the other page's field, rows w apart.
void StepRow(const int* __restrict old, int* __restrict next, int w, int n, int density)
{
    for (int k = 0; k < n; ++k) {
        const int s = old[k - w - 1] + old[k - w + 1] + old[k + w - 1] + old[k + w + 1] + old[k - w] + old[k + w] +
                      old[k - 1] + old[k + 1];
        const int t = (s >> 2) - next[k];
        next[k] = t - (t >> density);
    }
}

} // namespace

void CWaterRoutine::Render(const std::uint32_t* source, std::uint32_t* destination)
{
    const int w = m_nWidth;
    const int h = m_nHeight;
    const int total = w * h;
    const int* field = m_pField1.data();

    // Draw: every interior pixel looks through the slope of the water at source
    // pixel j; where j falls outside the picture the pixel keeps its colour. With
    // light, each colour byte c becomes clamp(c - slope, 0, 255) and the fourth
    // byte 0; the slope is clamped to +-255 first, which changes no result.
    const int inner = std::max(w - 2, 0);
    m_seen.resize(static_cast<std::size_t>(inner));
    m_from.resize(static_cast<std::size_t>(inner));
    m_shade.resize(4 * static_cast<std::size_t>(inner));
    const bool light = m_bLight != 0;
    for (int y = 1; y < h - 1; ++y) {
        const int first = y * w + 1;
        std::uint32_t* out = destination + first;
        Look(field + first, w, first, total, m_from.data(), m_shade.data(), inner);
        for (int x = 0; x < inner; ++x) {
            const int j = m_from[static_cast<std::size_t>(x)];
            m_seen[static_cast<std::size_t>(x)] = j > 0 ? source[j] : out[x];
        }
        if (light) {
            ShadeRow(m_seen.data(), m_shade.data(), out, static_cast<std::size_t>(inner));
        } else {
            std::copy(m_seen.begin(), m_seen.end(), out);
        }
    }

    // Step: the field of this page gets the damped wave of the other one.
    int* next = m_nPage == 0 ? m_pField1.data() : m_pField2.data();
    const int* old = m_nPage == 0 ? m_pField2.data() : m_pField1.data();
    for (int y = 1; y < h - 1; ++y) {
        const int first = y * w + 1;
        StepRow(old + first, next + first, w, inner, m_nDensity);
    }
    m_nPage ^= 1;
}

void CWaterRoutine::AddDrop(int x, int y, int radius, int height, int page)
{
    std::vector<int>& field = page != 0 ? m_pField2 : m_pField1;
    const int w = m_nWidth;
    const int h = m_nHeight;
    const int r = radius;
    if (x < 0) {
        x = RandomCentre(w, r);
    }
    if (y < 0) {
        y = RandomCentre(h, r);
    }
    // The disc is clipped to rows 1..h-2 and columns 1..w-2; offset +r is left out.
    const int dyFrom = y - r > 0 ? -r : 1 - y;
    const int dyTo = y + r > h - 1 ? h - 1 - y : r;
    const int dxFrom = x - r > 0 ? -r : 1 - x;
    const int dxTo = x + r > w - 1 ? w - 1 - x : r;
    for (int dy = dyFrom; dy < dyTo; ++dy) {
        for (int dx = dxFrom; dx < dxTo; ++dx) {
            if (dx * dx + dy * dy < r * r) {
                field[static_cast<std::size_t>((y + dy) * w + x + dx)] += height;
            }
        }
    }
}
