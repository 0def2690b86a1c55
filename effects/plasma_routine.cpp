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
    std::uint8_t r1 = m_startPhase[0];
    std::uint8_t r2 = m_startPhase[1];
    std::uint8_t* index = m_index.data();
    for (int y = 0; y < m_nHeight; ++y) {
        const int rowSum = m_cos[r1] + m_cos[r2];
        std::uint8_t c1 = m_startPhase[3];
        std::uint8_t c2 = m_startPhase[2];
        for (int x = 0; x < m_nWidth; ++x) {
            *index++ = static_cast<std::uint8_t>(rowSum + m_cos[c2] + m_cos[c1]);
            c2 = static_cast<std::uint8_t>(c2 + 1);
            c1 = static_cast<std::uint8_t>(c1 + 2);
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
    const int blend = m_nBlend;
    const int share = m_nSourceShare;
    const std::size_t count = m_index.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t blended =
            pixel::Combine(m_palette[m_index[i]], destination[i],
                           [blend](int pc, int dc) { return (dc * 256 + (pc - dc) * blend) >> 8; });
        destination[i] = pixel::Combine(
            blended, source[i], [share](int c, int sc) { return (c * (100 - share) + sc * share) / 100; });
    }
    Step();
}
