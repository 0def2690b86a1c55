// The core's text on a 480 by 480 canvas (fonts need the display's
// application): placed by its top-left corner, line breaks, the length cap.
#include "demos/core/core.h"
#include "tests/demos/canvas_fixture.h"
#include "tests/support/screens.h"

#include <string>

namespace {

using lmd::test::CanvasTest;
using lmd::test::InkBox;

// Ink rows in the band of columns [left, right).
std::vector<int> InkRows(const QImage& picture, int left, int right)
{
    std::vector<int> rows;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = left; x < right; ++x)
            if ((picture.pixel(x, y) & 0xFFFFFF) != 0) {
                rows.push_back(y);
                break;
            }
    return rows;
}

TEST_F(CanvasTest, TextHangsFromItsTopLeftCorner)
{
    gaSetColor(0xFFFFFFFF);
    gaDrawString("Hg", 100, 200);
    const QRect ink = InkBox(canvas);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.left(), 100);
    EXPECT_GE(ink.top(), 200); // below the point, not above a baseline there
    EXPECT_LE(ink.top(), 206); // the capital starts near the top of the line
    EXPECT_LE(ink.bottom(), 200 + 18); // one line of a 13-pixel font, descender included

    canvas.fill(Qt::black);
    gaDrawString("Hg", 0, 0);
    EXPECT_FALSE(InkBox(canvas).isEmpty()); // at the canvas's corner it is all on the canvas
    EXPECT_LE(InkBox(canvas).bottom(), 18);
    lmd::test::SaveScreen(canvas.copy(0, 0, 40, 20).scaled(160, 80), QStringLiteral("demos_text_corner"));
}

TEST_F(CanvasTest, LineBreaksStartNewLines)
{
    gaSetColor(0xFFFFFFFF);
    gaDrawString("a", 10, 10);
    const QRect one = InkBox(canvas);
    canvas.fill(Qt::black);
    gaDrawString("a\nb", 10, 10);
    const QRect two = InkBox(canvas);
    EXPECT_EQ(two.left(), one.left());
    EXPECT_GT(two.bottom(), one.bottom() + 8); // a second line below the first
    // Two separate runs of ink rows: the lines do not touch.
    const std::vector<int> rows = InkRows(canvas, 0, 40);
    int runs = 0;
    for (std::size_t i = 0; i < rows.size(); ++i)
        runs += i == 0 || rows[i] != rows[i - 1] + 1;
    EXPECT_EQ(runs, 2);
}

// n zero-width spaces (one UTF-16 unit each, no ink) and then the tail.
std::string Invisible(int n, const std::string& tail)
{
    std::string text;
    for (int i = 0; i < n; ++i)
        text += "\u200B";
    return text + tail;
}

TEST_F(CanvasTest, TextBeyond255UnitsIsCut)
{
    gaSetColor(0xFFFFFFFF);
    gaDrawString(Invisible(254, "|-"), 100, 100); // the bar is the 255th unit, the dash is cut
    const QRect cut = InkBox(canvas);
    canvas.fill(Qt::black);
    gaDrawString(Invisible(254, "|"), 100, 100);
    EXPECT_FALSE(cut.isEmpty());
    EXPECT_EQ(InkBox(canvas), cut);

    canvas.fill(Qt::black);
    gaDrawString(Invisible(253, "|-"), 100, 100); // both still in
    EXPECT_GT(InkBox(canvas).width(), cut.width());
}

} // namespace
