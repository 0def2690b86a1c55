#include "effects/clouds_routine.h"

#include "effects/pixel_channels.h"
#include "platform/crt.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>

namespace {

constexpr int kGrid = 256; // side of the cloud grid, a power of two

// Coverage by average cloud value, one entry per value 0..255.
const std::array<int, 256>& CoverageTable()
{
    static const std::array<int, 256> table = [] {
        std::array<int, 256> t{};
        for (int r = 0; r < 256; ++r) {
            t[static_cast<std::size_t>(r)] = static_cast<int>(std::log10(r * 9 / 255 + 1) * 100);
        }
        return t;
    }();
    return table;
}

} // namespace

int CCloudsRoutine::Coverage(int r)
{
    return CoverageTable()[static_cast<std::size_t>(std::clamp(r, 0, 255))];
}

void CCloudsRoutine::Create(int width, int height)
{
    m_nWidth = std::max(width, 0);
    m_nHeight = std::max(height, 0);
    crt::srand(static_cast<unsigned>(std::time(nullptr)));
    for (std::vector<int>& map : m_map) {
        GenerateCloudMap(map);
    }
}

void CCloudsRoutine::GenerateCloudMap(std::vector<int>& map)
{
    m_grid.assign(static_cast<std::size_t>(kGrid) * kGrid, 0);
    const auto at = [this](int y, int x) -> int& {
        return m_grid[static_cast<std::size_t>((y & (kGrid - 1)) * kGrid + (x & (kGrid - 1)))];
    };
    // Midpoint displacement: each cell's centre and edge midpoints get the mean of
    // their corners plus noise that shrinks with the cell.
    for (int a = kGrid; a > 1; a /= 2) {
        const int half = a / 2;
        const int amplitude = a * m_nRoughness;
        const int offset = amplitude / 2;
        const auto noisy = [&](int mean) {
            const int n = static_cast<int>((crt::rand() % 1000) / 1000.0 * amplitude) - offset;
            return std::clamp(mean + n, 0, 255);
        };
        for (int y = 0; y < kGrid; y += a) {
            for (int x = 0; x < kGrid; x += a) {
                const int c00 = at(y, x);
                const int c10 = at(y + a, x);
                const int c01 = at(y, x + a);
                const int c11 = at(y + a, x + a);
                at(y + half, x + half) = noisy((c01 + c11 + c10 + c00) / 4);
                if (y == 0) {
                    at(y + half, x) = noisy((c00 + c10) / 2);
                }
                if (x == 0) {
                    at(y, x + half) = noisy((c00 + c01) / 2);
                }
                at(y + half, x + a) = noisy((c01 + c11) / 2);
                at(y + a, x + half) = noisy((c10 + c11) / 2);
            }
        }
    }
    // Resample the grid to the picture; the grid row follows the picture column.
    const int w = m_nWidth;
    const int h = m_nHeight;
    map.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int j = 0; j < h; ++j) {
        for (int k = 0; k < w; ++k) {
            map[static_cast<std::size_t>(j * w + k)] =
                at(static_cast<int>(k * (256.0 / w)), static_cast<int>(j * (256.0 / h)));
        }
    }
}

void CCloudsRoutine::Render(std::uint32_t* destination, const std::uint32_t* source)
{
    const int w = m_nWidth;
    const int h = m_nHeight;
    if (w <= 0 || h <= 0) {
        return;
    }
    // Offsets stay in 0..size - 1 whatever the drift (a drift beyond the size
    // would otherwise leave a negative remainder).
    const auto wrap = [](int v, int size) { return (v % size + size) % size; };
    for (int m = 0; m < 3; ++m) {
        m_offset[m][0] = wrap(w + m_drift[0] / (m + 1) + m_offset[m][0], w);
        m_offset[m][1] = wrap(h + m_drift[1] / (m + 1) + m_offset[m][1], h);
    }
    const auto& coverage = CoverageTable();
    for (int i = 0; i < h; ++i) {
        const int* rows[3];
        for (int m = 0; m < 3; ++m) {
            rows[m] = m_map[m].data() + static_cast<std::size_t>((i + m_offset[m][1]) % h) * w;
        }
        int col[3] = {m_offset[0][0], m_offset[1][0], m_offset[2][0]};
        const std::uint32_t* s = source + static_cast<std::size_t>(i) * w;
        std::uint32_t* d = destination + static_cast<std::size_t>(i) * w;
        for (int j = 0; j < w; ++j) {
            const int r = (rows[0][col[0]] + rows[1][col[1]] + rows[2][col[2]]) / 3;
            for (int& c : col) {
                if (++c == w) {
                    c = 0;
                }
            }
            const int u = coverage[static_cast<std::size_t>(r)];
            const int cloud = r * u;
            const int keep = 100 - u;
            d[j] = pixel::Map(s[j], [cloud, keep](int c) { return (cloud + c * keep) / 100; });
        }
    }
}

void CCloudsRoutine::SetDrift(int x, int y)
{
    const auto sign = [](int a, int b) { return (a > b) - (a < b); };
    m_drift[0] = -m_nDriftStep * sign(x, m_lastMouse[0]);
    m_drift[1] = m_nDriftStep * sign(y, m_lastMouse[1]);
    m_lastMouse[0] = x;
    m_lastMouse[1] = y;
}
