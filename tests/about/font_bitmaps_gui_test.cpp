// Glyphs rasterised for glBitmap: rows from the bottom up, the origin on the
// baseline, one monospaced advance for every character of the clicks' text.
#include "about/font_bitmaps.h"
#include "platform/dialog.h"

#include <QFontMetrics>
#include <gtest/gtest.h>

namespace {

QFont ClickFont()
{
    return platform::WindowsFontFromHeight(QStringLiteral("Consolas"), -12, 400);
}

// The lowest and highest row (from the bottom) with a set bit; {-1, -1} for none.
std::pair<int, int> InkRows(const about::GlyphBitmap& glyph)
{
    std::pair<int, int> rows{-1, -1};
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x)
            if (glyph.Bit(x, y)) {
                if (rows.first < 0)
                    rows.first = y;
                rows.second = y;
            }
    return rows;
}

TEST(FontBitmapsTest, RowsRunUpwardsFromTheBottomWithTheBaselineAtTheOrigin)
{
    const QFont font = ClickFont();
    const about::GlyphBitmap dot = about::RasteriseGlyph(font, u'.');
    const about::GlyphBitmap quote = about::RasteriseGlyph(font, u'\'');
    const about::GlyphBitmap g = about::RasteriseGlyph(font, u'g');
    const about::GlyphBitmap space = about::RasteriseGlyph(font, u' ');
    const int baseline = static_cast<int>(dot.yorig);
    ASSERT_GT(baseline, 0);
    EXPECT_EQ(dot.height, QFontMetrics(font).ascent() + QFontMetrics(font).descent());
    EXPECT_EQ(static_cast<std::size_t>(dot.BytesPerRow() * dot.height), dot.bits.size());

    // The full stop sits on the baseline, the quote high above it, and g's tail below it.
    const auto [dotLow, dotHigh] = InkRows(dot);
    EXPECT_GE(dotLow, baseline - 1);
    EXPECT_LE(dotHigh, baseline + 3);
    EXPECT_GT(InkRows(quote).first, baseline + 4);
    EXPECT_LT(InkRows(g).first, baseline);
    EXPECT_EQ(InkRows(space).first, -1);
}

TEST(FontBitmapsTest, EveryCharacterOfTheTextAdvancesByTheSameMonospacedWidth)
{
    const QFont font = ClickFont();
    const float advance = about::RasteriseGlyph(font, u'C').advance;
    EXPECT_EQ(advance, static_cast<float>(QFontMetrics(font).horizontalAdvance(QLatin1Char('C'))));
    EXPECT_GE(advance, 6);
    EXPECT_LE(advance, 8);
    for (const char c : std::string("Click to change shader")) {
        const about::GlyphBitmap glyph = about::RasteriseGlyph(font, static_cast<char16_t>(c));
        EXPECT_EQ(glyph.advance, advance) << c;
        EXPECT_EQ(glyph.width, static_cast<int>(advance)) << c;
        EXPECT_EQ(glyph.xorig, 0) << c;
    }
}

} // namespace
