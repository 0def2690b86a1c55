#include "demos/fireworks/backgrounds.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr std::uint32_t kOpaqueBlue = 0xFF0000FF;

// Hue and saturation on a 0 to 255 scale and the brightness (the largest
// component) of a colour.
struct Hsb
{
    float hue = 0.0f;
    float saturation = 0.0f;
    float brightness = 0.0f;
};

Hsb ToHsb(const gaColor& colour)
{
    const float r = colour.r;
    const float g = colour.g;
    const float b = colour.b;
    const float max = std::max({r, g, b});
    const float min = std::min({r, g, b});
    if (max == min)
        return {0.0f, 0.0f, max};
    const float delta = max - min;
    float h = 0.0f;
    if (r == max)
        h = (g - b) / delta + (g < b ? 6.0f : 0.0f);
    else if (g == max)
        h = (b - r) / delta + 2.0f;
    else
        h = (r - g) / delta + 4.0f;
    return {h * 255.0f / 6.0f, delta * 255.0f / max, max};
}

std::uint32_t Argb(unsigned alpha, float r, float g, float b)
{
    // Truncated; the brightness keeps every channel within 0 to 255.
    const auto byte = [](float v) { return v > 0.0f ? static_cast<std::uint32_t>(std::min(v, 255.0f)) : 0u; };
    return (alpha & 0xFF) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b);
}

// The colour of brightness v with the hue and saturation of `hsb`.
std::uint32_t HsvColour(const Hsb& hsb, float v, unsigned alpha)
{
    if (v == 0.0f)
        return Argb(alpha, 0, 0, 0);
    if (hsb.saturation == 0.0f)
        return Argb(alpha, v, v, v);
    const float h6 = hsb.hue * 6.0f / 255.0f;
    const float s = hsb.saturation / 255.0f;
    const float i = std::floor(h6);
    const float f = h6 - i;
    const float p = (1.0f - s) * v;
    const float q = (1.0f - f * s) * v;
    const float t = (1.0f - (1.0f - f) * s) * v;
    switch (static_cast<int>(i)) {
    case 1: return Argb(alpha, q, v, p);
    case 2: return Argb(alpha, p, v, t);
    case 3: return Argb(alpha, p, q, v);
    case 4: return Argb(alpha, t, p, v);
    case 5: return Argb(alpha, v, p, q);
    default: return Argb(alpha, v, t, p); // 0 and 6
    }
}

} // namespace

PreRenderedBackground::PreRenderedBackground(int width, int height)
    : m_width(static_cast<float>(width)), m_height(static_cast<float>(height))
{
    m_image.allocate(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            m_image.setColor(x, y, kOpaqueBlue);
}

void PreRenderedBackground::draw()
{
    m_image.draw(0.0f, 0.0f);
}

GradationBackground::GradationBackground(int width, int height, gaColor top, gaColor bottom, float exponent)
    : PreRenderedBackground(width, height)
{
    const float vTop = std::max({top.r, top.g, top.b});
    const Hsb hsb = ToHsb(bottom);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y) {
            const float t = static_cast<float>(y) / m_height;
            const float v = (vTop + t * (hsb.brightness - vTop)) * std::pow(t, exponent);
            m_image.setColor(x, y, HsvColour(hsb, v, top.a));
        }
}
