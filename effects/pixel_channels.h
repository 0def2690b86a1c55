#pragma once
// The colour bytes of a 32-bit pixel as the pixel buffers hold them: 0x00RRGGBB
// read as a little-endian integer (memory order blue, green, red, fourth byte).
#include <cstdint>

namespace pixel {

constexpr int Red(std::uint32_t p)
{
    return static_cast<int>((p >> 16) & 0xFF);
}
constexpr int Green(std::uint32_t p)
{
    return static_cast<int>((p >> 8) & 0xFF);
}
constexpr int Blue(std::uint32_t p)
{
    return static_cast<int>(p & 0xFF);
}

// 0x00RRGGBB from channels 0..255 (the fourth byte 0).
constexpr std::uint32_t Pack(int r, int g, int b)
{
    return static_cast<std::uint32_t>(r << 16 | g << 8 | b);
}

// x / 100 for 0 <= x < 43699 (every sum of two channel-by-percent products),
// as a multiplication and a shift that vectorising compilers keep in lanes.
constexpr std::uint32_t Div100(std::uint32_t x)
{
    return (x * 5243u) >> 19;
}

// x / 255 for 0 <= x < 65536 (channel-by-alpha products with a rounding term).
constexpr std::uint32_t Div255(std::uint32_t x)
{
    return (x + 1 + (x >> 8)) >> 8;
}

} // namespace pixel

namespace pixel {

// f applied to each colour channel of p: f(channel) -> 0..255.
template <typename F> constexpr std::uint32_t Map(std::uint32_t p, F f)
{
    return Pack(f(Red(p)), f(Green(p)), f(Blue(p)));
}

// f applied to each pair of colour channels of a and b: f(a channel, b channel) -> 0..255.
template <typename F> constexpr std::uint32_t Combine(std::uint32_t a, std::uint32_t b, F f)
{
    return Pack(f(Red(a), Red(b)), f(Green(a), Green(b)), f(Blue(a), Blue(b)));
}

} // namespace pixel
