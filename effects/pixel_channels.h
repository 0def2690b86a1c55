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

// d's byte = f(a's byte, d's byte) for the bytes of n pixels, then the fourth bytes 0.
template <typename F>
inline void CombineRow(const std::uint32_t* __restrict a, std::uint32_t* __restrict d, std::size_t n, F f)
{
    const auto* a8 = reinterpret_cast<const std::uint8_t*>(a);
    auto* d8 = reinterpret_cast<std::uint8_t*>(d);
    for (std::size_t i = 0; i < 4 * n; ++i) {
        d8[i] = f(a8[i], d8[i]);
    }
    for (std::size_t i = 0; i < n; ++i) {
        d[i] &= 0xFFFFFFu;
    }
}

// d = (c * blend + d * (256 - blend)) >> 8 per channel of n pixels, for blend in
// 0..256: the same as ((c - d) * blend + d * 256) >> 8.
inline void BlendRow(const std::uint32_t* colours, std::uint32_t* d, std::size_t n, int blend)
{
    const auto a = static_cast<std::uint16_t>(blend);
    const auto keep = static_cast<std::uint16_t>(256 - blend);
    CombineRow(colours, d, n, [a, keep](std::uint8_t c, std::uint8_t dc) {
        const auto sum = static_cast<std::uint16_t>(static_cast<std::uint16_t>(c * a) +
                                                    static_cast<std::uint16_t>(dc * keep)); // <= 255 * 256
        return static_cast<std::uint8_t>(sum >> 8);
    });
}

// d = (d * (100 - share) + s * share) / 100 per channel of n pixels, for share in 0..100.
inline void MixRow(const std::uint32_t* s, std::uint32_t* d, std::size_t n, int share)
{
    const auto a = static_cast<std::uint16_t>(share);
    const auto keep = static_cast<std::uint16_t>(100 - share);
    CombineRow(s, d, n, [a, keep](std::uint8_t sc, std::uint8_t dc) {
        const auto sum = static_cast<std::uint16_t>(static_cast<std::uint16_t>(dc * keep) +
                                                    static_cast<std::uint16_t>(sc * a)); // <= 255 * 100
        return static_cast<std::uint8_t>(sum / 100);
    });
}

} // namespace pixel
