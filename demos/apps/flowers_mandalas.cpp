#include "demos/apps/flowers_mandalas.h"

#include "demos/apps/canvas_fill.h"

#include <algorithm>
#include <cmath>
#include <numbers>

void gaFlowersMandalas::Petal::step()
{
    theta += omega;
    gaVec2f u{std::cos(theta), std::sin(theta)};
    u.normalize();
    const gaVec2f p = gaVec2f{cx, cy} + u * ((R - r) * 0.5f);
    gaVec2f v{std::cos(static_cast<float>(n) * theta), std::sin(static_cast<float>(n) * theta)};
    v.normalize();
    const gaVec2f q = p - v * (r * 0.5f);
    x0 = p.x;
    y0 = p.y;
    x1 = q.x;
    y1 = q.y;
}

gaFlowersMandalas::~gaFlowersMandalas()
{
    gaSetLineWidth(1.0f);
}

void gaFlowersMandalas::setup()
{
    m_clearPending = true;
    m_centerX = canvasWidth / 2;
    m_centerY = canvasHeight / 2;
    m_size = std::min(canvasWidth, canvasHeight);
    m_symmetry = static_cast<int>(gaRandom(3, 9));
    m_petalCount = static_cast<int>(gaRandom(4, 10));
    m_petals.clear();
    const float size = static_cast<float>(m_size);
    const int sharedRatio = m_aligned ? static_cast<int>(gaRandom(6, 13)) : 0;
    const auto channel = [] { return static_cast<unsigned char>(gaRandom(100, 255)); };
    for (int i = 0; i < m_petalCount; ++i) {
        Petal petal;
        petal.R = gaRandom(size * 2 / 3, size);
        petal.r = gaRandom(20, size / 2.5f);
        petal.cx = static_cast<float>(m_centerX);
        petal.cy = static_cast<float>(m_centerY);
        petal.theta = 2 * std::numbers::pi_v<float> / static_cast<float>(m_symmetry);
        petal.omega = 0.02f;
        petal.color.b = channel();
        petal.color.g = channel();
        petal.color.r = channel();
        petal.color.a = 50;
        petal.n = m_aligned ? sharedRatio : static_cast<int>(gaRandom(6, 13));
        petal.step();
        m_petals.push_back(petal);
    }
}

void gaFlowersMandalas::update()
{
    if (m_paused)
        return;
    for (Petal& petal : m_petals)
        petal.step();
}

void gaFlowersMandalas::draw()
{
    StartPictureOnce(m_clearPending, 0xFF190C03);
    if (!m_paused) {
        for (const Petal& petal : m_petals) {
            gaSetLineWidth(2);
            gaSetColor(petal.color.argb());
            gaDrawLine(petal.x0, petal.y0, petal.x1, petal.y1);
            gaDrawEllipse(petal.x1, petal.y1, 4, 4);
        }
    }
    gaSetColor(0xFF648C64);
    gaDrawString("Left-click to Pause, and Right-click to create a new one, and 't' to Toggle alignment.", 0,
                 0);
}

void gaFlowersMandalas::keyPressed(int key)
{
    if (key != 't')
        return;
    m_aligned = !m_aligned;
    setup();
}

void gaFlowersMandalas::mousePressed(int x, int y, int button)
{
    gaBaseApp::mousePressed(x, y, button);
    if (button == GA_BUTTON_LEFT)
        m_paused = !m_paused;
    else if (button == GA_BUTTON_RIGHT)
        setup();
}
