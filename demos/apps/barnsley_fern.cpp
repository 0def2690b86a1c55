#include "demos/apps/barnsley_fern.h"

#include <algorithm>
#include <cmath>

namespace {

// A colour channel from a value clamped to 0..255 and truncated.
std::uint32_t Channel(float value)
{
    return static_cast<std::uint32_t>(std::clamp(value, 0.0f, 255.0f));
}

} // namespace

void gaBarnsleyFern2::setup()
{
    gaSetBackgroundColor(0xFF000000);
}

void gaBarnsleyFern2::draw()
{
    m_recursion = {};
    gaSaveTransform();
    gaTranslateTransform(static_cast<float>(canvasWidth) * 0.5f, static_cast<float>(canvasHeight));
    drawBranch(m_trunkLength);
    gaRestoreTransform();
    gaTranslate(0, 0);
    gaSetColor(0xFF808080);
    gaDrawString(" Left-click to increment param, Right-click decrement it.\n branchLenThreshScale = " +
                     gaToString(m_branchLenThreshScale),
                 0, 0);
    gaDrawString(gaToString(measuredFrameRate()) + " FPS", 10, 450);
}

void gaBarnsleyFern2::drawBranch(float len)
{
    ++m_depth;
    ++m_recursion.calls;
    m_recursion.deepest = std::max(m_recursion.deepest, m_depth);
    const float v = 315.0f - 18.0f * static_cast<float>(m_depth);
    gaSetColor(0xFF000000 | Channel(v) << 16 | 0xFF00 | Channel(v * 0.25f));
    gaDrawLineTransformed(0, 0, 0, -len);
    gaTranslateTransform(0, -len);
    const auto e =
        static_cast<float>(std::sin(m_depth * 0.5 + static_cast<double>(core().frameNum) * 0.05) * 0.05);
    const auto branch = [this](float length) {
        gaSaveTransform();
        drawBranch(length);
        gaRestoreTransform();
    };
    gaRotateTransform(e + 0.06f);
    if (static_cast<float>(m_branchLenThreshScale) * len > 5)
        branch(len * 0.8f);
    gaRotateTransform(-0.06f - e);
    gaTranslateTransform(0, len * 0.4f);
    gaRotateTransform(e - 1);
    if (4 * len > 9)
        branch(4 * len / 9);
    gaRotateTransform(2 * e + 2);
    if (4 * len > 9)
        branch(4 * len / 9);
    gaRotateTransform(-1 - e);
    gaTranslateTransform(0, len * 0.6f);
    --m_depth;
}

void gaBarnsleyFern2::mousePressed(int x, int y, int button)
{
    gaBaseApp::mousePressed(x, y, button);
    if (button == GA_BUTTON_LEFT)
        ++m_branchLenThreshScale;
    else if (button == GA_BUTTON_RIGHT && m_branchLenThreshScale > 0)
        --m_branchLenThreshScale;
}
