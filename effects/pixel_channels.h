#pragma once
// The colour bytes of a 32-bit pixel as the pixel buffers hold them: 0x00RRGGBB
// read as a little-endian integer (memory order blue, green, red, fourth byte).
#include <cstddef>
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

// Whole rows of pixels, channel by channel. Each loop runs over the bytes of the
// rows with every step in 16-bit lanes (all intermediate values fit), so that it
// vectorises; the fourth bytes are computed along and then cleared, as Pack
// clears them. The rows must not overlap.
namespace pixel {

// d = (c * blend + d * (256 - blend)) >> 8 per channel of n pixels, for blend in
// 0..256: the same as ((c - d) * blend + d * 256) >> 8.
inline void BlendRow(const std::uint32_t* __restrict colours, std::uint32_t* __restrict d, std::size_t n,
                     int blend)
{
    const auto* c8 = reinterpret_cast<const std::uint8_t*>(colours);
    auto* d8 = reinterpret_cast<std::uint8_t*>(d);
    const auto a = static_cast<std::uint16_t>(blend);
    const auto keep = static_cast<std::uint16_t>(256 - blend);
    for (std::size_t i = 0; i < 4 * n; ++i) {
        const auto sum = static_cast<std::uint16_t>(static_cast<std::uint16_t>(c8[i] * a) +
                                                    static_cast<std::uint16_t>(d8[i] * keep)); // <= 255 * 256
        d8[i] = static_cast<std::uint8_t>(sum >> 8);
    }
    for (std::size_t i = 0; i < n; ++i) {
        d[i] &= 0xFFFFFFu;
    }
}

// d = (d * (100 - share) + s * share) / 100 per channel of n pixels, for share in 0..100.
inline void MixRow(const std::uint32_t* __restrict s, std::uint32_t* __restrict d, std::size_t n, int share)
{
    const auto* s8 = reinterpret_cast<const std::uint8_t*>(s);
    auto* d8 = reinterpret_cast<std::uint8_t*>(d);
    const auto a = static_cast<std::uint16_t>(share);
    const auto keep = static_cast<std::uint16_t>(100 - share);
    for (std::size_t i = 0; i < 4 * n; ++i) {
        const auto sum = static_cast<std::uint16_t>(static_cast<std::uint16_t>(d8[i] * keep) +
                                                    static_cast<std::uint16_t>(s8[i] * a)); // <= 255 * 100
        d8[i] = static_cast<std::uint8_t>(sum / 100);
    }
    for (std::size_t i = 0; i < n; ++i) {
        d[i] &= 0xFFFFFFu;
    }
}

} // namespace pixel
