#include "demos/apps/buddhabrot.h"

#include "demos/apps/orbit.h"

#include <algorithm>
#include <climits>
#include <locale>
#include <sstream>

namespace {

constexpr std::uint32_t kStatusColour = 0xFFC0C0C0;
constexpr int kSkippedIterates = 4; // the first iterates lie near c for every orbit

struct CommaNumPunct : std::numpunct<char>
{
    char do_thousands_sep() const override { return ','; }
    std::string do_grouping() const override { return "\3"; }
};

} // namespace

std::string gaBuddhabrot::formatWithComma(int value)
{
    std::ostringstream text;
    text.imbue(std::locale(std::locale::classic(), new CommaNumPunct)); // the locale owns the facet
    text << value;
    return text.str();
}

void gaBuddhabrot::setup()
{
    core().frameRate = 15;
    core().autoBackground = false;
    m_histogram.resize(static_cast<std::size_t>(m_N) * static_cast<std::size_t>(m_N));
}

void gaBuddhabrot::draw()
{
    sample();
    if (++m_frame % kRepaintEvery == 0)
        repaint();
}

void gaBuddhabrot::sample()
{
    for (int s = 0; s < m_samplesPerFrame; ++s) {
        const float cr = gaRandom(-2, 1);
        const float ci = gaRandom(-1.5f, 1.5f);
        if (EscapeIteration(cr, ci, m_bailout) == 0)
            continue;
        trace(cr, ci);
        if (m_exposures < INT_MAX) // about 8000 a frame: reached after hours, then it stays
            ++m_exposures;
    }
}

void gaBuddhabrot::trace(float cr, float ci)
{
    float re = 0;
    float im = 0;
    for (int k = 0; k < m_bailout; ++k) {
        const float next = re * re - im * im + cr;
        im = 2 * re * im + ci;
        re = next;
        if (k >= kSkippedIterates) {
            const int row = static_cast<int>((re + 2.0) * m_N / 3.0);
            const int column = static_cast<int>((im + 1.5) * m_N / 3.0);
            if (row >= 0 && row < m_N && column >= 0 && column < m_N)
                ++m_histogram[static_cast<std::size_t>(row * m_N + column)];
        }
        if (re * re + im * im > 4)
            break;
    }
}

void gaBuddhabrot::repaint()
{
    m_maximum = m_histogram.empty() ? 0 : *std::max_element(m_histogram.begin(), m_histogram.end());
    const double scale = m_maximum / 2.5; // cells above 40 % of the maximum are white
    for (int i = 0; i < m_N; ++i) {
        for (int j = 0; j < m_N; ++j) {
            const int v = m_histogram[static_cast<std::size_t>(i * m_N + j)];
            // An empty histogram is black rather than 0 / 0.
            const float t = m_maximum > 0 ? static_cast<float>(std::min(1.0, v / scale)) : 0.0f;
            const auto grey = static_cast<std::uint32_t>(static_cast<unsigned char>(t * 255));
            gaSetColor(0xFF000000 | grey << 16 | grey << 8 | grey);
            gaDrawRectangle(static_cast<float>(j * canvasWidth / m_N),
                            static_cast<float>(i * canvasHeight / m_N), 1, 1);
        }
    }
    gaTranslate(0, 0);
    gaSetColor(kStatusColour);
    gaDrawString("bailout:  " + gaToString(m_bailout) + "    exposures: " + formatWithComma(m_exposures), 0,
                 0);
}
