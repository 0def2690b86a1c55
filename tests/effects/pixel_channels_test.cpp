#include "effects/pixel_channels.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

// The row blends against the same arithmetic written one channel at a time with
// Combine, for every weight, on random pixels (any fourth byte) and row lengths
// that leave every remainder after the vectorised part.
TEST(PixelChannelsTest, RowBlendsMatchTheChannelByChannelForm)
{
    std::mt19937 random(21);
    const auto pixels = [&random](std::size_t n) {
        std::vector<std::uint32_t> row(n);
        for (std::uint32_t& p : row)
            p = static_cast<std::uint32_t>(random());
        return row;
    };
    for (std::size_t n = 0; n < 40; n += 3) {
        for (int blend = 0; blend <= 256; ++blend) {
            const std::vector<std::uint32_t> colours = pixels(n);
            std::vector<std::uint32_t> row = pixels(n);
            std::vector<std::uint32_t> expected(n);
            for (std::size_t i = 0; i < n; ++i)
                expected[i] = pixel::Combine(colours[i], row[i],
                                             [blend](int c, int d) { return ((c - d) * blend + d * 256) >> 8; });
            pixel::BlendRow(colours.data(), row.data(), n, blend);
            ASSERT_EQ(row, expected) << "blend " << blend << ", " << n << " pixels";
        }
        for (int share = 0; share <= 100; ++share) {
            const std::vector<std::uint32_t> source = pixels(n);
            std::vector<std::uint32_t> row = pixels(n);
            std::vector<std::uint32_t> expected(n);
            for (std::size_t i = 0; i < n; ++i)
                expected[i] = pixel::Combine(row[i], source[i], [share](int d, int s) {
                    return (d * (100 - share) + s * share) / 100;
                });
            pixel::MixRow(source.data(), row.data(), n, share);
            ASSERT_EQ(row, expected) << "share " << share << ", " << n << " pixels";
        }
    }
}

} // namespace
