#include "effects/dib_section_lite.h"
#include "platform/surface.h"
#include "tests/support/alloc_counter.h"

#include <gtest/gtest.h>

using platform::Rgb;
using platform::Surface;

TEST(DIBSectionLiteTest, EmptyBufferDrawsNothing)
{
    CDIBSectionLite dib;
    Surface target(4, 4);
    target.Fill(Rgb(1, 2, 3));
    EXPECT_EQ(dib.Draw(target, 0, 0), 0);
    EXPECT_EQ(dib.GetPixels(), nullptr);
    EXPECT_EQ(dib.GetWidth(), 0);
    EXPECT_EQ(target.GetPixel(0, 0), Rgb(1, 2, 3));
}

TEST(DIBSectionLiteTest, CaptureStoresRowsBottomUpAsBlueGreenRed)
{
    Surface source(3, 2);
    source.SetPixel(0, 0, Rgb(255, 0, 0)); // top-left red
    source.SetPixel(2, 1, Rgb(1, 2, 3));   // bottom-right
    CDIBSectionLite dib;
    dib.CaptureFromDC(source, 3, 2);
    ASSERT_TRUE(dib.HasSection());
    EXPECT_EQ(dib.GetWidth(), 3);
    EXPECT_EQ(dib.GetHeight(), 2);
    const std::uint8_t* bytes = dib.GetBits();
    // Top-down row 0 is buffer row 1: index 3.
    EXPECT_EQ(bytes[3 * 4 + 0], 0x00);
    EXPECT_EQ(bytes[3 * 4 + 1], 0x00);
    EXPECT_EQ(bytes[3 * 4 + 2], 0xFF);
    EXPECT_EQ(bytes[3 * 4 + 3], 0x00);          // the fourth byte carries no colour
    EXPECT_EQ(dib.GetPixels()[2], 0x00010203u); // bottom-right is in buffer row 0

    const BitmapInfoHeader& h = dib.GetBitmapInfo().bmiHeader;
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 32);
    EXPECT_EQ(h.biCompression, 0u);
}

TEST(DIBSectionLiteTest, CaptureOfASmallerSourceFillsBlack)
{
    Surface source(2, 1);
    source.Fill(Rgb(9, 9, 9));
    CDIBSectionLite dib;
    dib.CaptureFromDC(source, 3, 2);
    // Top row: two source pixels and black; bottom row (buffer row 0) all black.
    const std::uint32_t* p = dib.GetPixels();
    EXPECT_EQ(p[3], 0x00090909u);
    EXPECT_EQ(p[4], 0x00090909u);
    EXPECT_EQ(p[5], 0u);
    EXPECT_EQ(p[0], 0u);
}

TEST(DIBSectionLiteTest, DrawRoundTripsAndClips)
{
    Surface source(5, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            source.SetPixel(x, y, Rgb(x * 40, y * 60, 7));
    CDIBSectionLite dib;
    dib.CaptureFromDC(source, 5, 4);

    Surface copy(5, 4);
    EXPECT_EQ(dib.Draw(copy, 0, 0), 4);
    EXPECT_EQ(copy.Image(), source.Image());

    // Drawn at (2, -1) into a 4 x 4 target: only the overlapping part lands.
    Surface target(4, 4);
    target.Fill(Rgb(0, 0, 255));
    dib.Draw(target, 2, -1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const int sx = x - 2, sy = y + 1;
            const bool inside = sx >= 0 && sy < 4;
            EXPECT_EQ(target.GetPixel(x, y), inside ? source.GetPixel(sx, sy) : Rgb(0, 0, 255))
                << x << "," << y;
        }
    EXPECT_EQ(target.Image().pixel(3, 0) >> 24, 0xFFu) << "drawn pixels stay opaque";
}

TEST(DIBSectionLiteTest, EffectsWriteBufferRowsThatDrawFlipped)
{
    CDIBSectionLite dib;
    dib.CaptureFromDC(Surface(2, 3), 2, 3);
    dib.GetPixels()[0] = 0x00FF0000u; // buffer row 0, column 0: red
    Surface target(2, 3);
    dib.Draw(target, 0, 0);
    EXPECT_EQ(target.GetPixel(0, 2), Rgb(255, 0, 0)); // the bottom device row
    EXPECT_EQ(target.GetPixel(0, 0), Rgb(0, 0, 0));
}

TEST(DIBSectionLiteTest, RecaptureAtTheSameSizeAllocatesNothing)
{
    Surface source(130, 130);
    CDIBSectionLite dib;
    const auto start = lmd::test::AllocationCount();
    dib.CaptureFromDC(source, 130, 130);
    ASSERT_GT(lmd::test::AllocationCount(), start) << "the first capture allocates (the counter works)";
    const std::uint32_t* pixels = dib.GetPixels();
    const auto before = lmd::test::AllocationCount();
    for (int i = 0; i < 10; ++i) {
        source.Fill(Rgb(i, 0, 0));
        dib.CaptureFromDC(source, 130, 130);
    }
    EXPECT_EQ(lmd::test::AllocationCount(), before);
    EXPECT_EQ(dib.GetPixels(), pixels);
    EXPECT_EQ(dib.GetPixels()[0], 0x00090000u);

    dib.CaptureFromDC(source, 65, 260); // same count, other shape: the header follows
    EXPECT_EQ(dib.GetWidth(), 65);
    EXPECT_EQ(dib.GetHeight(), 260);
}

TEST(DIBSectionLiteTest, DeleteObjectKeepsThePixels)
{
    Surface source(2, 2);
    source.Fill(Rgb(5, 6, 7));
    CDIBSectionLite dib;
    dib.CaptureFromDC(source, 2, 2);
    dib.DeleteObject();
    EXPECT_FALSE(dib.HasSection());
    EXPECT_EQ(dib.GetWidth(), 0);
    ASSERT_NE(dib.GetPixels(), nullptr);
    EXPECT_EQ(dib.GetPixels()[0], 0x00050607u);
    Surface target(2, 2);
    EXPECT_EQ(dib.Draw(target, 0, 0), 0);
    EXPECT_FALSE(dib.SetBitmap(nullptr, dib.GetBits()));
}

TEST(DIBSectionLiteTest, ColorTableSizes)
{
    const std::pair<int, int> cases[] = {{1, 2},  {4, 16}, {8, 256}, {16, 0},
                                         {24, 0}, {32, 0}, {0, 0},   {-8, 0}};
    for (const auto& [bits, size] : cases)
        EXPECT_EQ(ColorTableSize(bits), size) << bits;
}

TEST(DIBSectionLiteTest, HalftonePalette)
{
    for (const int n : {0, 300, -1, 256}) {
        Palette p;
        EXPECT_TRUE(CreateHalftonePalette(p, n));
        EXPECT_EQ(p.entries.size(), 256u) << n;
        EXPECT_EQ(p.palVersion, 0x300);
    }
    Palette p;
    CreateHalftonePalette(p, 256);
    const auto rgb = [&](int i) {
        const PaletteEntry& e = p.entries[static_cast<std::size_t>(i)];
        return std::array<int, 4>{e.peRed, e.peGreen, e.peBlue, e.peFlags};
    };
    EXPECT_EQ(rgb(2), (std::array<int, 4>{0, 0, 255, 0}));
    EXPECT_EQ(rgb(15), (std::array<int, 4>{192, 192, 192, 0}));
    // The cube: red fastest, then green, then blue.
    EXPECT_EQ(rgb(16 + 1), (std::array<int, 4>{51, 0, 0, 0}));
    EXPECT_EQ(rgb(16 + 6), (std::array<int, 4>{0, 51, 0, 0}));
    EXPECT_EQ(rgb(16 + 36), (std::array<int, 4>{0, 0, 51, 0}));
    EXPECT_EQ(rgb(16 + 215), (std::array<int, 4>{255, 255, 255, 0}));
    // 24 greys from 0 to 255.
    EXPECT_EQ(rgb(232 + 1), (std::array<int, 4>{11, 11, 11, 0}));
    EXPECT_EQ(rgb(255), (std::array<int, 4>{255, 255, 255, 0}));

    Palette twenty;
    CreateHalftonePalette(twenty, 20);
    ASSERT_EQ(twenty.entries.size(), 20u);
    EXPECT_EQ(twenty.entries[19].peRed, 153);
    EXPECT_EQ(twenty.entries[19].peGreen, 0);

    // A captured buffer carries the halftone palette.
    CDIBSectionLite dib;
    dib.CaptureFromDC(Surface(1, 1), 1, 1);
    EXPECT_EQ(dib.GetPalette().entries.size(), 256u);
}
