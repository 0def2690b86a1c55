#include "effects/clouds_routine.h"

#include "effects/pixel_channels.h"
#include "platform/crt.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

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

// sums[k] += values[k] for k < count (values 0..255).
void AddRun(const int* __restrict values, std::uint16_t* __restrict sums, std::size_t count)
{
    for (std::size_t k = 0; k < count; ++k) {
        sums[k] = static_cast<std::uint16_t>(sums[k] + values[k]);
    }
}

// Each colour byte of n pixels: (cloud + source byte x keep) / 100, with cloud
// and keep given per byte (at most 255 x 100 together); the fourth bytes end 0.
void LayOver(const std::uint16_t* __restrict cloud, const std::uint16_t* __restrict keep,
             const std::uint32_t* __restrict source, std::uint32_t* __restrict destination, std::size_t n)
{
    const auto* s8 = reinterpret_cast<const std::uint8_t*>(source);
    auto* d8 = reinterpret_cast<std::uint8_t*>(destination);
    for (std::size_t k = 0; k < 4 * n; ++k) {
        const auto sum = static_cast<std::uint16_t>(cloud[k] + static_cast<std::uint16_t>(s8[k] * keep[k]));
        d8[k] = static_cast<std::uint8_t>(sum / 100);
    }
    for (std::size_t k = 0; k < n; ++k) {
        destination[k] &= 0xFFFFFFu;
    }
}

// What the three maps' values lay over each byte of a pixel, by their sum: with
// the average r = sum / 3, the cloud's part r x coverage and the source's weight
// 100 - coverage, for all four bytes.
struct Layer
{
    std::uint16_t cloud[4];
    std::uint16_t keep[4];
};

const std::array<Layer, 3 * 255 + 1>& LayerTable()
{
    static const std::array<Layer, 3 * 255 + 1> table = [] {
        std::array<Layer, 3 * 255 + 1> t{};
        for (std::size_t sum = 0; sum < t.size(); ++sum) {
            const int r = static_cast<int>(sum / 3);
            const int u = CoverageTable()[static_cast<std::size_t>(r)];
            for (int k = 0; k < 4; ++k) {
                t[sum].cloud[k] = static_cast<std::uint16_t>(r * u);
                t[sum].keep[k] = static_cast<std::uint16_t>(100 - u);
            }
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
    crt::srand(crt::Seed());
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
    const auto& layers = LayerTable();
    const auto n = static_cast<std::size_t>(w);
    m_sums.resize(n);
    m_cloud.resize(4 * n);
    m_keep.resize(4 * n);
    for (int i = 0; i < h; ++i) {
        // The maps scroll with wrap-around: each row of a map is read in two runs.
        std::fill(m_sums.begin(), m_sums.end(), std::uint16_t{0});
        for (int m = 0; m < 3; ++m) {
            const int* row = m_map[m].data() + static_cast<std::size_t>((i + m_offset[m][1]) % h) * n;
            const auto offset = static_cast<std::size_t>(m_offset[m][0]);
            AddRun(row + offset, m_sums.data(), n - offset);
            AddRun(row, m_sums.data() + (n - offset), offset);
        }
        std::uint16_t* cloud = m_cloud.data();
        std::uint16_t* keep = m_keep.data();
        for (std::size_t j = 0; j < n; ++j) {
            const Layer& layer = layers[m_sums[j]];
            std::memcpy(cloud + 4 * j, layer.cloud, sizeof layer.cloud);
            std::memcpy(keep + 4 * j, layer.keep, sizeof layer.keep);
        }
        const std::size_t at = static_cast<std::size_t>(i) * n;
        LayOver(cloud, keep, source + at, destination + at, n);
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
