#include "demos/apps/bouncy_circles.h"

#include "demos/apps/canvas_fill.h"

namespace {

// Puts a coordinate that left [0, limit] back on the edge it crossed, with its
// velocity reversed.
void Bounce(float& position, float& velocity, float limit)
{
    if (position < 0) {
        position = 0;
        velocity = -velocity;
    }
    if (position > limit) {
        position = limit;
        velocity = -velocity;
    }
}

} // namespace

void gaBouncyCircles::setup()
{
    gaSetBackgroundAuto(false);
    gaSetBackgroundColor(0xFF000000);
    gaSetFrameRate(60);
    m_attract = false;
    m_gravity = 0.1f;
    m_friction = 0.999f;
    for (int i = 0; i < kCount; ++i) {
        m_circles.x[i] = static_cast<float>(canvasWidth / 2);
        m_circles.y[i] = static_cast<float>(canvasHeight / 2);
        m_circles.vx[i] = gaRandom(-10, 10);
        m_circles.vy[i] = gaRandom(-10, 10);
        m_circles.radius[i] = gaRandom(1, 10);
        m_circles.red[i] = static_cast<int>(gaRandom(0, 255));
        m_circles.green[i] = static_cast<int>(gaRandom(0, 255));
        m_circles.blue[i] = static_cast<int>(gaRandom(0, 255));
    }
}

void gaBouncyCircles::update()
{
    const auto width = static_cast<float>(canvasWidth);
    const auto height = static_cast<float>(canvasHeight);
    Circles& c = m_circles;
    for (int i = 0; i < kCount; ++i) {
        if (m_attract) {
            c.vx[i] = (static_cast<float>(mouseX) - c.x[i]) * 0.125f;
            c.vy[i] = (static_cast<float>(mouseY) - c.y[i]) * 0.125f;
        }
        c.vx[i] *= m_friction;
        c.vy[i] = c.vy[i] * m_friction + m_gravity;
        c.x[i] += c.vx[i];
        c.y[i] += c.vy[i];
        Bounce(c.x[i], c.vx[i], width);
        Bounce(c.y[i], c.vy[i], height);
    }
}

void gaBouncyCircles::draw()
{
    FillCanvas(0x17000000); // the last frames fade instead of going
    const Circles& c = m_circles;
    for (int i = 0; i < kCount; ++i) {
        gaSetColor(0x7F000000u | static_cast<std::uint32_t>(c.red[i] << 16 | c.green[i] << 8 | c.blue[i]));
        gaDrawCircle(c.x[i], c.y[i], c.radius[i]);
    }
}

void gaBouncyCircles::mousePressed(int x, int y, int button)
{
    gaBaseApp::mousePressed(x, y, button);
    m_attract = true;
}

void gaBouncyCircles::mouseReleased(int /*x*/, int /*y*/, int /*button*/)
{
    m_attract = false;
    scatter();
}

void gaBouncyCircles::scatter()
{
    for (int i = 0; i < kCount; ++i) {
        m_circles.vx[i] = gaRandom(-10, 10);
        m_circles.vy[i] = gaRandom(-10, 10);
    }
}
