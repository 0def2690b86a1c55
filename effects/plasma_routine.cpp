#include "effects/plasma_routine.h"

#include "effects/pixel_channels.h"
#include "platform/crt.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

struct Rgb
{
    int r, g, b;
};

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kCyan{0, 255, 255};

// End points of the palette's eight 32-entry segments.
constexpr Rgb kSegments[9] = {kBlack, kBlue, kGreen, kCyan, kCyan, kCyan, kGreen, kBlue, kBlack};

int Towards(int from, int to, int n)
{
    const int diff = to - from;
    const int sign = (diff > 0) - (diff < 0);
    return from + sign * crt::MulDiv(n, std::abs(diff), 32);
}

} // namespace

void CPlasmaRoutine::Create(int width, int height)
{
    m_nWidth = std::max(width, 0);
    m_nHeight = std::max(height, 0);
    m_index.assign(static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nHeight), 0);
    for (int i = 0; i < 256; ++i) {
        m_cos[static_cast<std::size_t>(i)] = static_cast<int>(std::cos(i * 0.04908734375) * 30);
    }
    for (int k = 0; k < 8; ++k) {
        const Rgb p = kSegments[k];
        const Rgb q = kSegments[k + 1];
        for (int n = 0; n < 32; ++n) {
            const int r = Towards(p.r, q.r, n);
            const int g = Towards(p.g, q.g, n);
            const int b = Towards(p.b, q.b, n);
            m_palette[static_cast<std::size_t>(32 * k + n)] = pixel::Pack(r, g, b);
        }
    }
    Step();
    m_nBlend = 30;
    m_nSourceShare = 25;
}

void CPlasmaRoutine::Step()
{
    // Index (x, y) = cos[r1 + y] + cos[r2 + 2y] + cos[c2 + x] + cos[c1 + 2x] with
    // byte phases, kept as a byte: the column part is the same for every row.
    const auto w = static_cast<std::size_t>(m_nWidth);
    m_columnSums.resize(w);
    std::uint8_t c1 = m_startPhase[3];
    std::uint8_t c2 = m_startPhase[2];
    for (std::size_t x = 0; x < w; ++x) {
        m_columnSums[x] = static_cast<std::uint8_t>(m_cos[c2] + m_cos[c1]);
        c2 = static_cast<std::uint8_t>(c2 + 1);
        c1 = static_cast<std::uint8_t>(c1 + 2);
    }
    std::uint8_t r1 = m_startPhase[0];
    std::uint8_t r2 = m_startPhase[1];
    const std::uint8_t* columns = m_columnSums.data();
    for (int y = 0; y < m_nHeight; ++y) {
        const auto rowSum = static_cast<std::uint8_t>(m_cos[r1] + m_cos[r2]);
        std::uint8_t* index = m_index.data() + static_cast<std::size_t>(y) * w;
        for (std::size_t x = 0; x < w; ++x) {
            index[x] = static_cast<std::uint8_t>(rowSum + columns[x]);
        }
        r1 = static_cast<std::uint8_t>(r1 + 1);
        r2 = static_cast<std::uint8_t>(r2 + 2);
    }
    m_startPhase[0] = static_cast<std::uint8_t>(m_startPhase[0] + 1);
    m_startPhase[1] = static_cast<std::uint8_t>(m_startPhase[1] - 2);
    m_startPhase[2] = static_cast<std::uint8_t>(m_startPhase[2] - 1);
    m_startPhase[3] = static_cast<std::uint8_t>(m_startPhase[3] + 3);
}

void CPlasmaRoutine::Render(const std::uint32_t* source, std::uint32_t* destination)
{
    const auto w = static_cast<std::size_t>(m_nWidth);
    m_colours.resize(w);
    for (int y = 0; y < m_nHeight; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * w;
        for (std::size_t x = 0; x < w; ++x) {
            m_colours[x] = m_palette[m_index[row + x]];
        }
        pixel::BlendRow(m_colours.data(), destination + row, w, m_nBlend);
        pixel::MixRow(source + row, destination + row, w, m_nSourceShare);
    }
    Step();
}
