#include "demos/apps/arithmetic_owl.h"

#include "demos/apps/flow_field.h"
#include "platform/crt.h"

#include <cmath>
#include <ctime>

namespace {

constexpr int kKeyReset = 'r';
constexpr int kKeyFade = 't';
constexpr int kDefaultRadCoef = 8;
constexpr int kBorn = 20;  // particles appended per frame below the limit
constexpr int kDying = 10; // oldest particles removed per frame above it
constexpr float kTurn = 0.7853982f;
constexpr float kFlowDivisor = 120;
constexpr float kTwoPi = 6.2831855f;
constexpr std::uint32_t kTextColour = 0xFF808080;

float Unit()
{
    return static_cast<float>(crt::rand()) / crt::RAND_MAX_VALUE;
}

} // namespace

void gaArithmeticOwl::setup()
{
    m_clearNext = true;
    m_particles.clear();
    crt::srand(static_cast<unsigned>(std::time(nullptr)));
}

void gaArithmeticOwl::draw()
{
    if (m_clearNext) {
        gaSetColor(0xFF000000);
        gaDrawRectangle(0, 0, static_cast<float>(canvasWidth), static_cast<float>(canvasHeight));
        m_clearNext = false;
        core().autoBackground = false;
    }
    gaSetColor(static_cast<std::uint32_t>(m_fade) << 24);
    gaDrawRectangle(0, 0, static_cast<float>(canvasWidth), static_cast<float>(canvasHeight));

    gaPushTransform();
    gaTranslateTransform(static_cast<float>(canvasWidth / 2), static_cast<float>(canvasHeight / 2));
    gaRotateTransform(kTurn);
    drawAndMoveParticles();
    renewParticles();
    gaPopTransform();
    gaTranslate(0, 0);

    gaSetColor(kTextColour);
    gaDrawString(" Left-click to increment param, Right-click decrement it.\n radCoef = " +
                     gaToString(m_radCoef) + "      [r] reset",
                 0, 0);
}

void gaArithmeticOwl::drawAndMoveParticles()
{
    const float s = static_cast<float>(m_size) / 10;
    const int n = static_cast<int>(m_particles.size());
    for (int i = 0; i < n; ++i) {
        gaVec3f& p = m_particles[static_cast<std::size_t>(i)];
        const int g = (n - i) * 6 * 255 / m_limit; // older particles are brighter
        gaSetColor(ClampByte(g / 10) << 24 | ClampByte(g) << 16 | ClampByte(g / 3) << 8 | ClampByte(g / 5));
        gaDrawRectangleTransformed(2 * s * p.x, 2 * s * p.y, 1, 1);
        FlowStep(p, ArithmeticFactor(2 * p.x + 2.5f, 2 * p.y + 2, m_radCoef), kFlowDivisor);
    }
}

void gaArithmeticOwl::renewParticles()
{
    if (static_cast<int>(m_particles.size()) > m_limit) {
        m_particles.erase(m_particles.begin(), m_particles.begin() + kDying);
        return;
    }
    for (int k = 0; k < kBorn; ++k) { // uniform on the unit sphere
        const float theta = Unit() * kTwoPi;
        const float z = Unit() * 2 - 1;
        const float r = std::sqrt(1 - z * z);
        m_particles.push_back({std::cos(theta) * r, std::sin(theta) * r, z});
    }
}

void gaArithmeticOwl::keyPressed(int key)
{
    if (key == kKeyReset)
        m_radCoef = kDefaultRadCoef;
    else if (key == kKeyFade)
        m_fade = !m_fade;
    setup();
}

void gaArithmeticOwl::mousePressed(int x, int y, int button)
{
    gaBaseApp::mousePressed(x, y, button);
    if (button == GA_BUTTON_LEFT)
        ++m_radCoef;
    else if (button == GA_BUTTON_RIGHT)
        --m_radCoef;
    setup();
}
