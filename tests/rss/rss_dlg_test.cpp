// The ticker window's arithmetic: its hit zones, its place beside the clock,
// the shape its skin gives it, and the artwork it is drawn from.
#include "platform/resources.h"
#include "rss/contour_bitmap.h"
#include "rss/rss_dlg.h"

#include <gtest/gtest.h>

namespace {

TEST(RssDlgTest, HitZonesInTheirOrder)
{
    struct Case
    {
        QPoint point;
        int zone;
    };
    const Case cases[] = {
        {{5, 5}, HTCLOSE},      {{3, 2}, HTCLOSE},      {{12, 11}, HTCLOSE},     {{13, 5}, HTCLIENT},
        {{20, 5}, HTMINBUTTON}, {{15, 2}, HTMINBUTTON}, {{24, 11}, HTMINBUTTON}, {{25, 5}, HTCLIENT},
        {{100, 8}, HTCAPTION},  {{29, 1}, HTCAPTION},   {{204, 14}, HTCAPTION},  {{205, 8}, HTCLIENT},
        {{10, 40}, HTCAPTION},  {{5, 15}, HTCAPTION},   {{29, 67}, HTCAPTION},   {{30, 40}, HTCLIENT},
        {{100, 50}, HTCLIENT},  {{2, 1}, HTCLIENT},     {{28, 0}, HTCLIENT},     {{29, 15}, HTCAPTION},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.point.x() << ',' << c.point.y());
        EXPECT_EQ(RssHitTest(c.point), c.zone);
    }
}

TEST(RssDlgTest, TickerGoesBelowAClockUpTheScreenAndAboveOneDownIt)
{
    struct Case
    {
        QRect clock;
        int screenHeight;
        QPoint expected;
    };
    const Case cases[] = {
        {{100, 50, 200, 200}, 1024, {100, 250}},  // right below
        {{100, 511, 200, 200}, 1024, {100, 711}}, // top 511 < 512
        {{100, 512, 200, 200}, 1024, {100, 442}}, // 70 above the top
        {{-40, 900, 300, 100}, 1025, {-40, 830}}, // 1025 / 2 = 512
        {{}, 1024, {0, 0}},                       // no clock
    };
    for (const Case& c : cases)
        EXPECT_EQ(TickerPosition(c.clock, c.screenHeight), c.expected);
}

// Every pixel of the transparent colour, and only those, lies outside.
TEST(RssDlgTest, ContourRegionLeavesOutExactlyTheTransparentPixels)
{
    const QRgb key = qRgb(255, 0, 255);
    QImage picture(23, 7, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, (x * 7 + y * 3) % 5 == 0 || x == 22 ? key : qRgb(x * 10, y * 30, 254));
    picture.setPixel(4, 4, qRgb(254, 0, 255)); // close to the key is not the key
    const QRegion region = CContourBitmap(picture).CreateRegion(key);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            EXPECT_EQ(region.contains(QPoint(x, y)), picture.pixel(x, y) != key) << x << ',' << y;
    EXPECT_FALSE(region.contains(QPoint(23, 0)));
    EXPECT_TRUE(CContourBitmap().CreateRegion(key).isEmpty());
}

TEST(RssDlgTest, SkinAndButtonStripArtwork)
{
    const CContourBitmap skin(platform::LoadBitmap(CRssDlg::IDB_SKIN));
    ASSERT_EQ(skin.Size(), QSize(423, 68));
    EXPECT_EQ(skin.CornerColor() & 0xFFFFFFu, 0xFF00FFu);
    const QRegion shape = skin.CreateRegion(skin.CornerColor());
    // The boxes, the title strip, the left column and the ticker's place are inside.
    for (const QPoint inside : {QPoint(5, 5), QPoint(20, 5), QPoint(100, 8), QPoint(10, 40), QPoint(200, 50),
                                QPoint(415, 60), QPoint(40, 25)})
        EXPECT_TRUE(shape.contains(inside)) << inside.x() << ',' << inside.y();
    // Outside the outline: beside the tab, and the rounded corners.
    for (const QPoint outside :
         {QPoint(0, 0), QPoint(300, 5), QPoint(422, 13), QPoint(0, 67), QPoint(422, 67)})
        EXPECT_FALSE(shape.contains(outside)) << outside.x() << ',' << outside.y();

    const QImage strip = platform::LoadBitmap(CRssDlg::IDB_NEXT);
    ASSERT_EQ(strip.size(), QSize(54, 18));
    // Three different frames.
    EXPECT_NE(strip.copy(0, 0, 18, 18), strip.copy(18, 0, 18, 18));
    EXPECT_NE(strip.copy(0, 0, 18, 18), strip.copy(36, 0, 18, 18));
}

} // namespace
