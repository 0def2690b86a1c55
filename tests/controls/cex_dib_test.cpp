#include "controls/cex_dib.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

TEST(CeXDibTest, HeaderRowLengthAndColourTableFollowTheBitCount)
{
    struct Case
    {
        int width, bits, rowBytes, colours;
    };
    for (const Case c :
         {Case{5, 8, 8, 256}, Case{4, 8, 4, 256}, Case{9, 4, 8, 16}, Case{33, 1, 8, 2}, Case{32, 1, 4, 2}}) {
        CCeXDib dib;
        ASSERT_TRUE(dib.Create(c.width, 3, c.bits));
        EXPECT_EQ(dib.GetLineWidth(), c.rowBytes) << c.width << "x" << c.bits;
        EXPECT_EQ(dib.GetNumColors(), c.colours);
        EXPECT_EQ(dib.GetHeader().biSize, 40);
        EXPECT_EQ(dib.GetHeader().biPlanes, 1);
        EXPECT_EQ(dib.GetHeader().biSizeImage, c.rowBytes * 3);
    }
    CCeXDib dib;
    EXPECT_FALSE(dib.Create(4, 4, 24));
    EXPECT_FALSE(dib.Create(0, 4, 8));
    EXPECT_FALSE(dib.IsValid());
    EXPECT_EQ(dib.GetNumColors(), 0);
}

TEST(CeXDibTest, BlendPaletteMovesEveryEntryTowardTheColour)
{
    CCeXDib dib;
    ASSERT_TRUE(dib.Create(2, 2, 1));
    dib.SetPaletteColor(0, platform::Rgb(0, 100, 200));
    dib.SetPaletteColor(1, platform::Rgb(255, 255, 255));
    dib.BlendPalette(platform::Rgb(100, 0, 255), 25);
    // (100*25 + 0*75)/100 = 25, (0 + 100*75)/100 = 75, (255*25 + 200*75)/100 = 213.75
    EXPECT_EQ(dib.GetPaletteColor(0), platform::Rgb(25, 75, 213));
    EXPECT_EQ(dib.GetPaletteColor(1), platform::Rgb(216, 191, 255));

    CCeXDib empty;
    empty.BlendPalette(0xFFFFFF, 50); // nothing to do, no crash
    EXPECT_FALSE(empty.IsValid());
}

TEST(CeXDibTest, CopyIsIndependentAndDrawKeepsTheFirstColourTable)
{
    CCeXDib dib;
    ASSERT_TRUE(dib.Create(3, 2, 8));
    dib.SetPaletteColor(1, platform::Rgb(10, 20, 30));
    dib.SetPaletteColor(2, platform::Rgb(200, 0, 0));
    dib.GetRow(0)[0] = 1; // bottom-left
    dib.GetRow(1)[2] = 2; // top-right

    CCeXDib copy(dib);
    copy.SetPaletteColor(1, 0);
    EXPECT_EQ(dib.GetPaletteColor(1), platform::Rgb(10, 20, 30));
    EXPECT_EQ(copy.GetPixelIndex(2, 1), 2);

    QImage target(5, 4, QImage::Format_RGB32);
    target.fill(Qt::white);
    {
        QPainter painter(&target);
        dib.Draw(painter, 1, 1);
    }
    EXPECT_EQ(platform::FromPixel(target.pixel(1, 2)), platform::Rgb(10, 20, 30)); // row 0 is at the bottom
    EXPECT_EQ(platform::FromPixel(target.pixel(3, 1)), platform::Rgb(200, 0, 0));
    EXPECT_EQ(target.pixel(0, 0), 0xFFFFFFFFu);

    // New pixels show at the next draw; a new colour table does not.
    dib.GetRow(0)[1] = 2;
    dib.BlendPalette(0xFFFFFF, 100);
    {
        QPainter painter(&target);
        dib.Draw(painter, 1, 1);
    }
    EXPECT_EQ(platform::FromPixel(target.pixel(2, 2)), platform::Rgb(200, 0, 0));
}

} // namespace
