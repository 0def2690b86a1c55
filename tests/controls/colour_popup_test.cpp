// The colour popup's keyboard table and screen fit, and the default marker.
#include "controls/color_button.h"
#include "controls/colour_popup.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr int D = DEFAULT_BOX_VALUE;
constexpr int C = CUSTOM_BOX_VALUE;
constexpr int None = INVALID_COLOUR;

// Presses the key from start until the selection comes back to the first one
// it reached, and returns every selection on the way.
std::vector<int> Walk(int key, bool hasDefault, bool hasCustom)
{
    std::vector<int> seen;
    int at = NextColourSelection(None, key, hasDefault, hasCustom);
    const int first = at;
    do {
        seen.push_back(at);
        at = NextColourSelection(at, key, hasDefault, hasCustom);
    } while (at != first && seen.size() < 100);
    return seen;
}

std::vector<int> Cells(int from, int to)
{
    std::vector<int> cells;
    for (int i = from; from <= to ? i <= to : i >= to; i += from <= to ? 1 : -1)
        cells.push_back(i);
    return cells;
}

std::vector<int> Join(std::vector<int> a, const std::vector<int>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(ColourPopupKeysTest, RightAndLeftRunThroughEveryStateInOneCycle)
{
    // Right from nothing: the custom box, the default box, then cells 0 .. 39
    // and back; Left runs the same cycle the other way.
    EXPECT_EQ(Walk(Qt::Key_Right, true, true), Join({C, D}, Cells(0, 39)));
    EXPECT_EQ(Walk(Qt::Key_Left, true, true), Join({D, C}, Cells(39, 0)));
    EXPECT_EQ(Walk(Qt::Key_Right, true, false), Join({D}, Cells(0, 39)));
    EXPECT_EQ(Walk(Qt::Key_Left, true, false), Join({D}, Cells(39, 0)));
    EXPECT_EQ(Walk(Qt::Key_Right, false, true), Join({C}, Cells(0, 39)));
    EXPECT_EQ(Walk(Qt::Key_Left, false, true), Join({C}, Cells(39, 0)));
    EXPECT_EQ(Walk(Qt::Key_Right, false, false), Cells(0, 39));
    EXPECT_EQ(Walk(Qt::Key_Left, false, false), Cells(39, 0));
}

TEST(ColourPopupKeysTest, UpAndDownFromEveryStartState)
{
    struct Config
    {
        bool hasDefault, hasCustom;
        int downFromNone, upFromNone;
        int downFromLastRow, upFromFirstRow; // leaving the grid
        int downFromDefault, upFromDefault, downFromCustom, upFromCustom;
    };
    const Config configs[] = {
        {true, true, C, D, C, D, 0, C, D, 39},
        {true, false, D, D, D, D, 0, 39, D, D},
        {false, true, C, C, C, C, C, C, 0, 39},
        {false, false, 0, 39, 0, 39, 0, 39, 0, 39},
    };
    for (const Config& c : configs) {
        SCOPED_TRACE(testing::Message() << "default " << c.hasDefault << " custom " << c.hasCustom);
        const auto down = [&](int from) {
            return NextColourSelection(from, Qt::Key_Down, c.hasDefault, c.hasCustom);
        };
        const auto up = [&](int from) {
            return NextColourSelection(from, Qt::Key_Up, c.hasDefault, c.hasCustom);
        };
        EXPECT_EQ(down(None), c.downFromNone);
        EXPECT_EQ(up(None), c.upFromNone);
        for (int cell = 0; cell < 40; ++cell) {
            SCOPED_TRACE(cell);
            EXPECT_EQ(down(cell), cell < 32 ? cell + 8 : c.downFromLastRow);
            EXPECT_EQ(up(cell), cell >= 8 ? cell - 8 : c.upFromFirstRow);
        }
        // A box counts only where it exists; otherwise it is treated as no selection.
        EXPECT_EQ(down(D), c.downFromDefault);
        EXPECT_EQ(up(D), c.upFromDefault);
        EXPECT_EQ(down(C), c.downFromCustom);
        EXPECT_EQ(up(C), c.upFromCustom);
    }
    // Other keys keep the selection.
    EXPECT_EQ(NextColourSelection(17, Qt::Key_Home, true, true), 17);
}

TEST(ColourPopupFitTest, StaysOnTheScreenOfItsButton)
{
    const QRect primary(0, 0, 1280, 1024);
    const QRect second(1280, 0, 1920, 1080); // a second screen to the right
    struct Case
    {
        QRect popup;
        QRect screen;
        QPoint expected;
    };
    const Case cases[] = {
        {{100, 100, 150, 140}, primary, {100, 100}},            // fits
        {{1200, 100, 150, 140}, primary, {1130, 100}},          // right edge: shifted left by the excess
        {{-30, 100, 150, 140}, primary, {0, 100}},              // left edge
        {{100, 950, 150, 140}, primary, {100, 950 - 140 - 22}}, // bottom: above the 22-pixel button
        {{1300, 100, 150, 140}, second, {1300, 100}},           // fits the second screen, not the primary
        {{3100, 1000, 150, 140}, second, {3050, 1000 - 162}},
        {{1250, 100, 150, 140}, second, {1280, 100}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitPopupToScreen(c.popup, c.screen, 22), c.expected) << c.popup.x() << "," << c.popup.y();
}

TEST(ColourDefaultMarkerTest, MarkerIsStoredAsTheFieldDefault)
{
    EXPECT_EQ(CLR_DEFAULT, 0xFF000000u);
    EXPECT_EQ(ColourOrDefault(CLR_DEFAULT, 0x00FFFF), 0x00FFFFu);
    EXPECT_EQ(ColourOrDefault(0x000000, 0x00FFFF), 0x000000u); // black is a colour
    EXPECT_EQ(ColourOrDefault(0xCBC0FF, 0x00FFFF), 0xCBC0FFu);
    // The marker is none of the table's colours.
    for (const ColourTableEntry& e : kColourTable)
        EXPECT_NE(e.crColour, CLR_DEFAULT);
    EXPECT_STREQ(kColourTable[24].szName, "Pink");
    EXPECT_EQ(kColourTable[24].crColour, 0xCBC0FFu);
    EXPECT_STREQ(kColourTable[35].szName, "Pale green ");
}

} // namespace
