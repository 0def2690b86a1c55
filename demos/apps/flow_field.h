#pragma once
// The integer "arithmetic" flow of the flow-field figures: a particle moves by
// (sin(e y), cos(e x)) / divisor, where the angle factor e comes from an
// exclusive-or of two truncated coordinates times an integer coefficient.
#include "demos/core/core.h"

#include <algorithm>
#include <cmath>

// (a xor b) x coefficient, a and b truncated toward zero.
inline float ArithmeticFactor(float a, float b, int coefficient)
{
    return static_cast<float>((static_cast<int>(a) ^ static_cast<int>(b)) * coefficient);
}

// x += sin(e y) / divisor and y += cos(e x) / divisor with the old x; z stays.
inline void FlowStep(gaVec3f& p, float e, float divisor)
{
    const float x = p.x;
    p.x = x + std::sin(e * p.y) / divisor;
    p.y = p.y + std::cos(e * x) / divisor;
}

// A colour component limited to 0..255.
inline std::uint32_t ClampByte(int value)
{
    return static_cast<std::uint32_t>(std::clamp(value, 0, 255));
}
