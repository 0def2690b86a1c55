#include "demos/apps/dragon_curve.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr std::uint32_t kPaperColour = 0xFFF0F0F0;
constexpr std::uint32_t kInkColour = 0xFF000000;
constexpr std::uint32_t kTextColour = 0xFF808080;
constexpr float kOriginX = 150;
constexpr float kOriginY = 300;
constexpr int kWalkEvery = 10;
constexpr double kTurn = 1.5;
constexpr double kNamedTolerance = 1e-9;

struct Curve
{
    double a;
    std::uint32_t colour;
    const char* label;
};
constexpr Curve kCurves[] = {
    {1.0, 0xFF6478A0, "  Heighway dragon curve"},
    {-1.0, 0xFF648C64, "  Levy C dragon"},
};

const Curve* NamedCurve(double a)
{
    for (const Curve& curve : kCurves)
        if (std::abs(a - curve.a) < kNamedTolerance)
            return &curve;
    return nullptr;
}

// The direction kept while the walk is paused (one for the process).
int pausedDirection = 0;

} // namespace

gaDragonCurve::Point gaDragonCurve::map(Point p, double a, int branch)
{
    if (branch == 0)
        return {(p.x - p.y) * 0.5, (p.x + p.y) * 0.5};
    return {1 - (p.x + a * p.y) * 0.5, (p.x - a * p.y) * 0.5};
}

const char* gaDragonCurve::curveName(double a)
{
    const Curve* const curve = NamedCurve(a);
    return curve ? curve->label : "";
}

void gaDragonCurve::walk()
{
    if (core().frameNum % kWalkEvery != 0)
        return;
    m_a = m_direction * m_step + m_a;
    if (m_a >= kTurn)
        m_direction = -1;
    else if (m_a <= -kTurn)
        m_direction = +1;
}

void gaDragonCurve::draw()
{
    gaSetColor(kPaperColour);
    gaDrawRectangle(0, 0, static_cast<float>(canvasWidth), static_cast<float>(canvasHeight));
    gaSetColor(kInkColour);
    gaTranslate(kOriginX, kOriginY);
    const double hw = canvasWidth / 2;
    const double hh = canvasHeight / 2;
    walk();

    gaDrawRectangle(0, 0, 1, 1);
    Point p;
    for (int i = 0; i < m_pointsPerFrame; ++i) {
        p = map(p, m_a, gaRandom(0, 1) > 0.5f ? 0 : 1);
        gaDrawRectangle(static_cast<float>(p.x * hw), static_cast<float>(-p.y * hh), 1, 1);
    }

    gaTranslate(0, 0);
    gaSetColor(kTextColour);
    char value[32];
    std::snprintf(value, sizeof value, "%.1f", m_a);
    gaDrawString(std::string(" Left-click to Pause.   a = ") + value, 0, 0);
    if (const Curve* const curve = NamedCurve(m_a)) {
        gaSetColor(curve->colour);
        gaDrawString(curve->label, 0, 10);
    }
}

void gaDragonCurve::mousePressed(int x, int y, int button)
{
    gaBaseApp::mousePressed(x, y, button);
    if (button != GA_BUTTON_LEFT)
        return;
    if (m_direction != 0) {
        pausedDirection = m_direction;
        m_direction = 0;
    } else {
        m_direction = pausedDirection;
    }
}
