#include "demos/apps/ancient_machine.h"

#include "demos/apps/flow_field.h"

namespace {

constexpr int kKeyReset = 'r';
constexpr int kKeyTarget = 't';
constexpr int kDefaultRadCoef = 8;
constexpr int kRenewed = 20; // particles appended, or dropped, per frame
constexpr float kFlowDivisor = 90;
constexpr float kScale = 135;
constexpr std::uint32_t kFadeColour = 0x05000000;
constexpr std::uint32_t kTextColour = 0xFF808080;

} // namespace

void gaAncientMachine::setup()
{
    core().backgroundColor = 0xFF000000;
    core().frameRate = 60;
    core().autoBackground = false;
}

void gaAncientMachine::draw()
{
    gaSetColor(kFadeColour);
    gaDrawRectangle(0, 0, static_cast<float>(canvasWidth), static_cast<float>(canvasHeight));
    renewParticles();
    const float a = drawAndMoveParticles();

    gaTranslate(0, 0);
    gaSetColor(kTextColour);
    gaDrawString(
        " Left-click to increment param, Right-click decrement it.\n radCoef = " + gaToString(m_radCoef) +
            "  rad = " + gaToString(static_cast<int>(a)) + "\n  [t] toggle param target  [r] reset",
        0, 0);
}

void gaAncientMachine::renewParticles()
{
    if (static_cast<int>(m_particles.size()) >= m_limit) {
        m_particles.erase(m_particles.begin(), m_particles.end() - (m_limit - kRenewed));
        return;
    }
    for (int k = 0; k < kRenewed; ++k) {
        gaVec3f p;
        p.z = gaRandom(-1, 1);
        p.y = gaRandom(-1, 1);
        p.x = gaRandom(-1, 1);
        p.normalize();
        m_particles.push_back(p);
    }
}

float gaAncientMachine::drawAndMoveParticles()
{
    float a = 0;
    int i = 0;
    for (gaVec3f& p : m_particles) {
        gaSetColor(0xFF000000 | ClampByte(i) << 16 | ClampByte(i / 3) << 8 | ClampByte(i / 5));
        gaDrawRectangle((p.x + 2) * kScale, (p.y + 1.6f) * kScale, 1, 1);
        a = m_targetRad ? static_cast<float>(m_rad) : ArithmeticFactor(2 * p.x + 2.5f, p.y + 2, m_radCoef);
        FlowStep(p, a, kFlowDivisor);
        ++i;
    }
    return a;
}

void gaAncientMachine::keyPressed(int key)
{
    if (key == kKeyTarget) {
        m_targetRad = !m_targetRad;
    } else if (key == kKeyReset) {
        m_rad = 0;
        m_radCoef = kDefaultRadCoef;
        m_targetRad = false;
    }
}

void gaAncientMachine::mousePressed(int x, int y, int button)
{
    gaBaseApp::mousePressed(x, y, button);
    const int change = button == GA_BUTTON_LEFT ? 1 : button == GA_BUTTON_RIGHT ? -1 : 0;
    (m_targetRad ? m_rad : m_radCoef) += change;
}
