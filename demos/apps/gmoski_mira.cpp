#include "demos/apps/gmoski_mira.h"

#include <cstdio>

namespace {

constexpr std::uint32_t kPointColour = 0xFFFFFFFF;
constexpr std::uint32_t kTextColour = 0xFF648C64;
constexpr double kUnitsAcross = 30;
constexpr double kStart = 0.1;
constexpr double kSweepStep = 0.001;
constexpr int kKeyReset = 'c';

// f(t) = c t + 2 (1 - c) t^2 / (1 + t^2).
double F(double t, double c)
{
    return c * t + 2 * (1 - c) * t * t / (1 + t * t);
}

} // namespace

void gaGmoskiMira::setup()
{
    core().frameRate = 60;
}

gaGmoskiMira::Point gaGmoskiMira::iterate(Point p, const Params& params)
{
    const auto& [a, b, c] = params;
    const double x = p.y + a * p.y * (1 - b * p.y * p.y) + F(p.x, c);
    return {x, F(x, c) - p.x};
}

void gaGmoskiMira::draw()
{
    gaSetColor(kPointColour);
    gaTranslate(static_cast<float>(canvasWidth * 0.5), static_cast<float>(canvasHeight * 0.5));
    const double sx = canvasWidth / kUnitsAcross;
    const double sy = canvasHeight / kUnitsAcross;
    gaDrawRectangle(static_cast<float>(kStart * sx), static_cast<float>(-kStart * sy), 1, 1);
    Point p{kStart, kStart};
    for (int i = 0; i < m_iterations; ++i) {
        p = iterate(p, m_params);
        gaDrawRectangle(static_cast<float>(p.x * sx), static_cast<float>(-p.y * sy), 1, 1);
    }
    sweep();

    gaTranslate(0, 0);
    gaSetColor(kTextColour);
    char values[96];
    std::snprintf(values, sizeof values, "   a=%.3f, b=%.3f, c=%.3f",
                  static_cast<double>(static_cast<float>(m_params.a)),
                  static_cast<double>(static_cast<float>(m_params.b)),
                  static_cast<double>(static_cast<float>(m_params.c)));
    gaDrawString(std::string(" Left-click to Pause, and Right-click to Reset params a, b, c. \n") + values, 0,
                 0);
}

void gaGmoskiMira::sweep()
{
    m_params.c += kSweepStep;
    if (m_params.c > 1) {
        m_params.b += kSweepStep;
        m_params.c = m_initial.c;
    }
}

void gaGmoskiMira::keyPressed(int key)
{
    if (key == kKeyReset)
        reset();
}

void gaGmoskiMira::mousePressed(int x, int y, int button)
{
    gaBaseApp::mousePressed(x, y, button);
    if (button == GA_BUTTON_LEFT) {
        m_running = !m_running;
        core().running = m_running;
    } else if (button == GA_BUTTON_RIGHT) {
        reset();
    }
}
