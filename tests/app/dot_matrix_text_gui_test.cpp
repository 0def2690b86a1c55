// The dot-matrix drawer with the real glyph strips (embedded resources).
#include "app/dot_matrix_text.h"
#include "platform/resources.h"

#include <gtest/gtest.h>
#include <set>

namespace {

using platform::COLORREF;

struct StripShape
{
    int id;
    QSize size;
    int cellWidth, cellHeight;
    int pitchX, pitchY, dotWidth, dotHeight;
};

const StripShape kStrips[] = {
    {150, {512, 66}, 16, 22, 3, 3, 2, 2}, // time: 2 by 2 dots, 3 apart
    {151, {352, 45}, 11, 15, 2, 2, 1, 2}, // seconds: 1 by 2 dots, rows touching
};

// Whether pixel (x, y) of a cell lies on a dot, and which dot.
bool OnDot(const StripShape& s, int x, int y, int& column, int& row)
{
    column = x / s.pitchX;
    row = y / s.pitchY;
    return column < 5 && row < 7 && x % s.pitchX < s.dotWidth && y % s.pitchY < s.dotHeight;
}

// The 5 by 7 lit pattern of a character's cell, read from the strip.
std::vector<bool> Pattern(const QImage& strip, const StripShape& s, char c)
{
    const int index = c - 32;
    const int left = index % 32 * s.cellWidth;
    const int top = index / 32 * s.cellHeight;
    std::vector<bool> lit;
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 5; ++column)
            lit.push_back(platform::FromPixel(strip.pixel(left + column * s.pitchX, top + row * s.pitchY)) ==
                          CDotMatrixText::kStripLit);
    return lit;
}

TEST(GlyphStripTest, ExactGridSizesAndThreeColours)
{
    for (const StripShape& s : kStrips) {
        SCOPED_TRACE(s.id);
        const QImage strip = platform::LoadBitmap(s.id);
        ASSERT_EQ(strip.size(), s.size);
        std::set<std::vector<bool>> distinct;
        for (int y = 0; y < strip.height(); ++y)
            for (int x = 0; x < strip.width(); ++x) {
                const COLORREF c = platform::FromPixel(strip.pixel(x, y));
                int column = 0, row = 0;
                if (OnDot(s, x % s.cellWidth, y % s.cellHeight, column, row))
                    ASSERT_TRUE(c == CDotMatrixText::kStripLit || c == CDotMatrixText::kStripUnlit)
                        << x << "," << y;
                else
                    ASSERT_EQ(c, 0u) << x << "," << y;
            }
        // Every dot is one colour throughout.
        for (int cell = 0; cell < 96; ++cell)
            for (int y = 0; y < s.cellHeight; ++y)
                for (int x = 0; x < s.cellWidth; ++x) {
                    int column = 0, row = 0;
                    if (!OnDot(s, x, y, column, row))
                        continue;
                    const int left = cell % 32 * s.cellWidth;
                    const int top = cell / 32 * s.cellHeight;
                    ASSERT_EQ(strip.pixel(left + x, top + y),
                              strip.pixel(left + column * s.pitchX, top + row * s.pitchY));
                }
        // The printable characters are told apart (':' and ';' share the colon).
        for (char c = 33; c < 127; ++c)
            distinct.insert(Pattern(strip, s, c));
        EXPECT_EQ(distinct.size(), 93);
        EXPECT_EQ(Pattern(strip, s, ';'), Pattern(strip, s, ':'));
        EXPECT_EQ(Pattern(strip, s, ' '), std::vector<bool>(35, false));
        // Digits light a fair share of their dots.
        for (char c = '0'; c <= '9'; ++c) {
            const std::vector<bool> lit = Pattern(strip, s, c);
            EXPECT_GE(std::count(lit.begin(), lit.end(), true), 10) << c;
        }
    }
}

TEST(DotMatrixTextTest, DrawsCellsScaledToTheSpaceLeavingTheKeyOut)
{
    CDotMatrixText drawer(150, 14, 20, 2, 2, 1, 5);
    drawer.SetColors(0x00FF00, CDotMatrixText::kTransparent, CDotMatrixText::kTransparent);
    drawer.LoadGlyphs();
    drawer.SetText("8:");

    // Twice the base size: each strip pixel covers 2 by 2 device pixels.
    platform::Surface dc(260, 260);
    dc.Fill(0x123456);
    drawer.Draw(dc, 10, 20, BaseSpace(260, 260));
    const platform::Surface& strip = drawer.Strip();
    for (int i = 0; i < 2; ++i) {
        const int code = QString("8:")[i].unicode() - 32;
        for (int y = 0; y < 22; ++y)
            for (int x = 0; x < 16; ++x) {
                const COLORREF dot = strip.GetPixel(code % 32 * 16 + x, code / 32 * 22 + y);
                const COLORREF expected = dot == CDotMatrixText::kTransparent ? 0x123456 : dot;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        ASSERT_EQ(dc.GetPixel(20 + 32 * i + 2 * x + dx, 40 + 2 * y + dy), expected)
                            << i << ": " << x << "," << y;
            }
    }
    // Nothing beyond the two cells.
    EXPECT_EQ(dc.GetPixel(20 + 64, 40), 0x123456u);
    EXPECT_EQ(dc.GetPixel(19, 40), 0x123456u);
}

TEST(DotMatrixTextTest, StopsAfterTheLineAndSkipsCharactersWithoutAGlyph)
{
    CDotMatrixText drawer(151, 10, 14, 1, 1, 1, 3);
    drawer.SetColors(0x0000FF, 0x00FF00, CDotMatrixText::kTransparent);
    drawer.LoadGlyphs();
    const LogicalSpace space = BaseSpace(130, 130);
    const auto drawnColumns = [&](const QString& text) {
        drawer.SetText(text);
        platform::Surface dc(130, 20);
        drawer.Draw(dc, 0, 0, space);
        int right = -1;
        for (int x = 0; x < dc.Width(); ++x)
            for (int y = 0; y < dc.Height(); ++y)
                if (dc.GetPixel(x, y) != 0)
                    right = x;
        return right + 1;
    };
    EXPECT_EQ(drawnColumns("88888"), 3 * 11 - 2); // three cells; the last cell's gap stays empty
    EXPECT_EQ(drawnColumns(""), 0);
    // A character outside 32..127 leaves its cell empty and the next one moves on.
    EXPECT_EQ(drawnColumns(QString("8") + QChar(0x3042) + "8"), 3 * 11 - 2);
    EXPECT_EQ(drawnColumns(QString(QChar(7))), 0);
}

} // namespace
