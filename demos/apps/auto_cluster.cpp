#include "demos/apps/auto_cluster.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kNoSpread = 1.1920929e-7f;
constexpr float kMaxWidth = 6;

// A 0..360 degree hue on the 0..255 scale of gaColor::setHsb.
float HueByte(float degrees)
{
    return degrees / 360 * 255;
}

} // namespace

gaAutoCluster::~gaAutoCluster()
{
    core().lineWidth = 1.0f;
}

void gaAutoCluster::setup()
{
    core().backgroundColor = 0xFF000000;
    core().frameRate = 60;
    m_positions.resize(static_cast<std::size_t>(m_count));
    m_previous.resize(static_cast<std::size_t>(m_count));
    restart();
    core().autoBackground = false;
}

void gaAutoCluster::restart()
{
    m_baseHue = gaRandom(120, 300);
    for (std::size_t i = 0; i < m_positions.size(); ++i) {
        const float r = gaRandom(0, m_spawnRadius);
        const float a = gaRandom(0, kTwoPi);
        m_positions[i] = {std::cos(a) * r, std::sin(a) * r};
        m_previous[i] = m_positions[i];
    }
}

void gaAutoCluster::mousePressed(int x, int y, int button)
{
    gaBaseApp::mousePressed(x, y, button);
    restart();
    core().backgroundColor = 0xFF000000;
    m_frame = 0;
}

void gaAutoCluster::draw()
{
    gaPushMatrix();
    gaTranslate(static_cast<float>(canvasWidth / 2), static_cast<float>(canvasHeight / 2));
    if (m_frame >= m_cycle) {
        restart();
        core().backgroundColor = 0xFF000000;
        m_frame = 0;
    }
    gaColor fade;
    fade.setHsb(HueByte(m_baseHue), 102, 25.5f, 51);
    gaSetColor(fade.argb());
    gaDrawRectangle(static_cast<float>(-canvasWidth / 2), static_cast<float>(-canvasHeight / 2),
                    static_cast<float>(canvasWidth), static_cast<float>(canvasHeight));
    interact();
    drawParticles();
    m_previous = m_positions;
    ++m_frame;
    gaPopMatrix();
}

void gaAutoCluster::interact()
{
    // 1800 x 1799 pair contributions a frame. The pair (l, k) gives exactly the
    // negative of (k, l) (same distance, same group test, opposite offset), so
    // each pair is worked out once and added to both. Particle k's pairs are
    // worked out as one row into plain arrays, a loop without calls, branches
    // or dependencies between its elements, which the compiler runs several
    // pairs at a time; then the row is subtracted from the later particles and
    // summed into k in the order of l, so every sum keeps its rounding. Two
    // particles in one place have d = 0 and add nothing.
    const std::size_t n = m_previous.size();
    if (m_group.size() != n) { // the first frame: the scratch is kept from then on
        for (std::vector<float>* row : {&m_px, &m_py, &m_ax, &m_ay, &m_cx, &m_cy})
            row->resize(n);
        m_group.resize(n);
        for (std::size_t i = 0; i < n; ++i)
            m_group[i] = static_cast<int>(i % static_cast<std::size_t>(m_groups));
    }
    for (std::size_t i = 0; i < n; ++i) {
        m_px[i] = m_previous[i].x;
        m_py[i] = m_previous[i].y;
        m_ax[i] = m_positions[i].x;
        m_ay[i] = m_positions[i].y;
    }
    const float preferred = m_preferred;
    const double strength = m_strength;
    for (std::size_t k = 0; k < n; ++k) {
        const float fromX = m_px[k];
        const float fromY = m_py[k];
        const int own = m_group[k];
        const float* __restrict px = m_px.data();
        const float* __restrict py = m_py.data();
        const int* __restrict group = m_group.data();
        float* __restrict cx = m_cx.data();
        float* __restrict cy = m_cy.data();
        for (std::size_t l = k + 1; l < n; ++l) {
            const float dx = fromX - px[l];
            const float dy = fromY - py[l];
            const float dist = std::sqrt(dx * dx + dy * dy) + 1;
            const auto f = static_cast<float>(strength / (static_cast<double>(dist) * dist));
            const float settle = (preferred - dist) / preferred; // same group: settle at the distance
            const float apart = dist > preferred ? -1.0f : 1.0f; // others: pull together, push apart
            const float scale = group[l] == own ? settle : apart;
            cx[l] = dx * f * scale;
            cy[l] = dy * f * scale;
        }
        float* __restrict ax = m_ax.data();
        float* __restrict ay = m_ay.data();
        for (std::size_t l = k + 1; l < n; ++l) {
            ax[l] -= cx[l];
            ay[l] -= cy[l];
        }
        float sumX = ax[k];
        float sumY = ay[k];
        for (std::size_t l = k + 1; l < n; ++l) {
            sumX += cx[l];
            sumY += cy[l];
        }
        ax[k] = sumX;
        ay[k] = sumY;
    }
    for (std::size_t i = 0; i < n; ++i)
        m_positions[i] = {m_ax[i], m_ay[i]};
}

void gaAutoCluster::drawParticles()
{
    const std::size_t n = m_positions.size();
    float lo = 99;
    float hi = -99;
    for (std::size_t i = 0; i < n; ++i) {
        const float s = (m_positions[i] - m_previous[i]).length() / m_preferred;
        lo = std::min(lo, s);
        hi = std::max(hi, s);
    }
    const float count = static_cast<float>(n);
    const float q = 255.0f / static_cast<float>(m_cycle) * static_cast<float>(m_frame);
    for (std::size_t i = 0; i < n; ++i) {
        const float s = (m_positions[i] - m_previous[i]).length() / m_preferred;
        const float m = std::abs(lo - hi) < kNoSpread ? 0.0f : (s - lo) / (hi - lo); // relative speed
        const float index = static_cast<float>(i);
        const float group = static_cast<float>(i % static_cast<std::size_t>(m_groups));
        const float hue =
            std::fmod(group / static_cast<float>(m_groups) * 120 + (m_baseHue + 90) + m * 90, 360.0f);
        const float p1 = std::floor(index / (count * 0.3f) + 0.5f) / 3 * (1 - m) * 80 + 10;
        const float p2 = std::floor(index / (count * 0.2f) + 0.5f) / 5 * 30 + 20 + m * 30;
        gaColor colour;
        colour.setHsb(HueByte(hue), p1 / 100 * (255 - q) + q, p2 / 100 * (255 - q) + q, 255);
        gaSetColor(colour.argb());
        gaSetLineWidth(
            std::clamp(static_cast<float>(static_cast<int>((1 - m) * kMaxWidth)), 1.0f, kMaxWidth));
        gaDrawLine(m_previous[i].x, m_previous[i].y, m_positions[i].x, m_positions[i].y);
    }
}
