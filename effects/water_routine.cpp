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

} // namespace

void CWaterRoutine::Render(const std::uint32_t* source, std::uint32_t* destination)
{
    const int w = m_nWidth;
    const int h = m_nHeight;
    const int total = w * h;
    const int* field = m_pField1.data();

    // Draw: every interior pixel looks through the slope of the water.
    for (int y = 1; y < h - 1; ++y) {
        for (int i = y * w + 1, end = y * w + w - 1; i < end; ++i) {
            const int d = field[i] - field[i + 1];
            const int xo = d >> 3;
            const int yo = (field[i] - field[i + w]) >> 3;
            const int j = i + yo * w + xo;
            if (j <= 0 || j >= total) {
                continue;
            }
            const std::uint32_t p = source[j];
            if (!m_bLight) {
                destination[i] = p;
                continue;
            }
            destination[i] = pixel::Map(p, [d](int c) { return std::clamp(c - d, 0, 255); });
        }
    }

    // Step: the field of this page gets the damped wave of the other one.
    int* next = m_nPage == 0 ? m_pField1.data() : m_pField2.data();
    const int* old = m_nPage == 0 ? m_pField2.data() : m_pField1.data();
    for (int y = 1; y < h - 1; ++y) {
        for (int i = y * w + 1, end = y * w + w - 1; i < end; ++i) {
            const int s = old[i - w - 1] + old[i - w + 1] + old[i + w - 1] + old[i + w + 1] + old[i - w] +
                          old[i + w] + old[i - 1] + old[i + 1];
            const int t = (s >> 2) - next[i];
            next[i] = t - (t >> m_nDensity);
        }
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
