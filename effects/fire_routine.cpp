#include "effects/fire_routine.h"

#include "effects/pixel_channels.h"
#include "platform/crt.h"
#include "platform/surface.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Writes a gradient from Windows colour a to Windows colour b over the palette: step s of the
// largest channel difference m lands on first + (int)(s * (span / m)).
void Gradient(std::array<std::uint32_t, 256>& palette, int first, float span, std::uint32_t a,
              std::uint32_t b)
{
    using platform::GetBValue;
    using platform::GetGValue;
    using platform::GetRValue;
    const int dr = GetRValue(b) - GetRValue(a);
    const int dg = GetGValue(b) - GetGValue(a);
    const int db = GetBValue(b) - GetBValue(a);
    const int m = std::max({std::abs(dr), std::abs(dg), std::abs(db)});
    const float fm = static_cast<float>(m);
    for (int s = 0; s < m; ++s) {
        const float fs = static_cast<float>(s);
        const int index = first + static_cast<int>(fs * (span / fm));
        if (index >= 255) {
            continue;
        }
        const auto channel = [&](int diff, int start) {
            return static_cast<int>(fs * (static_cast<float>(diff) / fm) + static_cast<float>(start));
        };
        palette[static_cast<std::size_t>(index)] =
            pixel::Pack(channel(dr, GetRValue(a)), channel(dg, GetGValue(a)), channel(db, GetBValue(a)));
    }
}

} // namespace

void CFireRoutine::Create(int width, int height)
{
    m_nBlend = 30;
    m_nWidth = std::max(width, 0);
    m_nHeight = std::max(height, 0) + 3;
    m_rowStart.resize(static_cast<std::size_t>(m_nHeight));
    for (int i = 0; i < m_nHeight; ++i) {
        m_rowStart[static_cast<std::size_t>(i)] = i * m_nWidth;
    }
    m_fire.assign(static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nHeight), 0);
    InitFire();
}

void CFireRoutine::InitFire()
{
    m_palette.fill(0);
    for (int k = 0; k < 3; ++k) {
        Gradient(m_palette, 85 * k, 85.0f, m_colors[static_cast<std::size_t>(k)],
                 m_colors[static_cast<std::size_t>(k) + 1]);
    }
    std::fill_n(m_palette.begin(), m_nBlackEntries, 0u);
    // The low end again, squeezed: black to red over entries 35..69.
    Gradient(m_palette, 35, 35.0f, m_colors[0], m_colors[1]);
}

void CFireRoutine::Seed()
{
    std::uint8_t* row = m_fire.data() + m_rowStart[static_cast<std::size_t>(m_nSeedRow)];
    std::fill_n(row, m_nWidth, std::uint8_t{0});
    // Runs of full heat, separated by at least one cold cell.
    for (int i = 0; i < m_nWidth; ++i) {
        if (crt::rand() % 101 < m_nSeedChance) {
            const int len = crt::rand() % m_nMaxRun + 1;
            for (int k = 0; k < len && i < m_nWidth; ++k) {
                row[i++] = 254;
            }
        }
    }
}

void CFireRoutine::Spread()
{
    // Each cell takes the mean of its neighbourhood below it, column by column
    // and upwards, reading cells already updated in this pass. Sideways neighbours
    // are addressed in the flat buffer, so at the edges they come from the ends of
    // the neighbouring rows (in bounds for widths of 2 and more).
    const int w = m_nWidth;
    if (w < 2) {
        return;
    }
    std::uint8_t* f = m_fire.data();
    for (int i = 0; i < w; ++i) {
        for (int j = 2; j <= m_nHeight - 2; ++j) {
            const int c = j * w + i;
            f[c + w] = static_cast<std::uint8_t>(
                (f[c - w] + f[c - 2] + f[c + 2] + f[c - 1] + f[c + 1] + f[c] + f[c + w]) / 7);
        }
    }
}

void CFireRoutine::Render(const std::uint32_t* source, std::uint32_t* destination)
{
    if (m_fire.empty()) {
        return;
    }
    Seed();
    Spread();
    const int w = m_nWidth;
    const int h = m_nHeight - 3; // picture rows
    const int blend = m_nBlend;
    for (int i = 0; i < h; ++i) {
        const std::uint8_t* heat = m_fire.data() + m_rowStart[static_cast<std::size_t>(i) + 3];
        std::uint32_t* d = destination + static_cast<std::size_t>(i) * w;
        for (int x = 0; x < w; ++x) {
            d[x] = pixel::Combine(m_palette[heat[x]], d[x],
                                  [blend](int pc, int dc) { return ((pc - dc) * blend + dc * 256) >> 8; });
        }
    }
    // The upper half fades into the source, more with height.
    const int c0 = h / 2;
    for (int i = std::max(h - 1 - c0, 0); i < h; ++i) {
        const int pct = (c0 + i - h + 1) * 100 / (h + 3 - c0);
        const std::uint32_t* s = source + static_cast<std::size_t>(i) * w;
        std::uint32_t* d = destination + static_cast<std::size_t>(i) * w;
        for (int x = 0; x < w; ++x) {
            d[x] = pixel::Combine(s[x], d[x],
                                  [pct](int sc, int dc) { return (dc * (100 - pct) + sc * pct) / 100; });
        }
    }
}
