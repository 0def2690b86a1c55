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

// The spread over columns from..to - 1 of one row, which read no edge: new values
// two rows down and one row down up to the cell's own column, the values from
// before the pass right of it and in the row itself.
void SpreadMiddle(const std::uint8_t* __restrict twoBelow, const std::uint8_t* __restrict below,
                  const std::uint8_t* __restrict belowBefore, const std::uint8_t* __restrict before,
                  std::uint8_t* __restrict out, int from, int to)
{
    for (int c = from; c < to; ++c) {
        const auto sum = static_cast<std::uint16_t>(twoBelow[c] + below[c - 2] + below[c - 1] + below[c] +
                                                    belowBefore[c + 1] + belowBefore[c + 2] + before[c]);
        out[c] = static_cast<std::uint8_t>(sum / 7);
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

// The spread: each cell of rows 3 and up takes the mean of its neighbourhood
// below it (the cell two rows down, five cells one row down, itself), taken in
// column order, left to right, each column upwards, reading cells already
// updated in this pass. Sideways neighbours are addressed in the flat buffer, so
// at the edges they come from the ends of the neighbouring rows.
//
// The pass runs row by row instead, with the same result: a cell reads the new
// value of every cell that column order updates before it (columns to its left,
// cells below it in its own column) and the value from before the pass of every
// other cell. In the middle of a row that means: new values in the two rows
// below, except the two cells to the right one row down; the cells near the ends
// take the general rule.
void CFireRoutine::Spread()
{
    const int w = m_nWidth;
    if (w < 2) {
        return;
    }
    m_before.assign(m_fire.begin(), m_fire.end());
    const auto cells = static_cast<std::size_t>(w);
    for (int row = 3; row < m_nHeight; ++row) {
        std::uint8_t* out = m_fire.data() + static_cast<std::size_t>(row) * cells;
        const std::uint8_t* below = out - cells;      // new values
        const std::uint8_t* twoBelow = below - cells; // new values
        const std::uint8_t* belowBefore = m_before.data() + static_cast<std::size_t>(row - 1) * cells;
        const std::uint8_t* before = belowBefore + cells;
        const int inner = std::max(w - 2, 2); // columns 2 .. w - 3 read no edge
        for (int c = 0; c < std::min(2, w); ++c) {
            out[c] = static_cast<std::uint8_t>(SpreadCell(row, c));
        }
        SpreadMiddle(twoBelow, below, belowBefore, before, out, 2, inner);
        for (int c = inner; c < w; ++c) {
            out[c] = static_cast<std::uint8_t>(SpreadCell(row, c));
        }
    }
}

// The new heat of one cell by the general rule (see Spread).
int CFireRoutine::SpreadCell(int row, int column) const
{
    const int w = m_nWidth;
    const auto seen = [&](int k) -> int {
        const int r = k / w;
        const int c = k % w;
        const bool updated = r >= 3 && (c < column || (c == column && r < row));
        return updated ? m_fire[static_cast<std::size_t>(k)] : m_before[static_cast<std::size_t>(k)];
    };
    const int b = (row - 1) * w + column;
    return (seen(b - w) + seen(b - 2) + seen(b + 2) + seen(b - 1) + seen(b + 1) + seen(b) + seen(b + w)) / 7;
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
    m_colours.resize(static_cast<std::size_t>(w));
    for (int i = 0; i < h; ++i) {
        const std::uint8_t* heat = m_fire.data() + m_rowStart[static_cast<std::size_t>(i) + 3];
        for (int x = 0; x < w; ++x) {
            m_colours[static_cast<std::size_t>(x)] = m_palette[heat[x]];
        }
        pixel::BlendRow(m_colours.data(), destination + static_cast<std::size_t>(i) * w,
                        static_cast<std::size_t>(w), m_nBlend);
    }
    // The upper half fades into the source, more with height.
    const int c0 = h / 2;
    for (int i = std::max(h - 1 - c0, 0); i < h; ++i) {
        const int pct = (c0 + i - h + 1) * 100 / (h + 3 - c0);
        pixel::MixRow(source + static_cast<std::size_t>(i) * w, destination + static_cast<std::size_t>(i) * w,
                      static_cast<std::size_t>(w), pct);
    }
}
