#include "platform/window_painter.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {

// What a window painter sends of a frame: the bands of rows in which the new
// picture differs from the one sent before.
TEST(ChangedBandsTest, EachBandFromItsFirstToLastChangedRowAndColumn)
{
    const QRect all(0, 0, 40, 30);
    const struct
    {
        const char* what;
        std::vector<QPoint> changed;
        QRect rect;
        int bandRows;
        std::vector<QRect> bands;
    } cases[] = {
        {"nothing changed", {}, all, 8, {}},
        {"one pixel", {{5, 10}}, all, 8, {QRect(5, 10, 1, 1)}},
        {"first and last pixel of a row", {{0, 3}, {39, 3}}, all, 8, {QRect(0, 3, 40, 1)}},
        {"two pixels of one band", {{20, 9}, {3, 14}}, all, 8, {QRect(3, 9, 18, 6)}},
        {"either side of a band's end", {{4, 7}, {4, 8}}, all, 8, {QRect(4, 7, 1, 1), QRect(4, 8, 1, 1)}},
        {"bands counted from the picture's top",
         {{4, 15}, {4, 16}},
         QRect(0, 9, 40, 21),
         8,
         {QRect(4, 15, 1, 1), QRect(4, 16, 1, 1)}},
        {"bands of one row", {{1, 1}, {2, 2}}, all, 1, {QRect(1, 1, 1, 1), QRect(2, 2, 1, 1)}},
        {"the last, short band", {{7, 29}}, all, 8, {QRect(7, 29, 1, 1)}},
        {"changes outside the rectangle", {{2, 2}, {30, 20}}, QRect(10, 10, 10, 5), 8, {}},
        {"clipped to the rectangle", {{12, 12}, {30, 12}}, QRect(10, 10, 10, 5), 8, {QRect(12, 12, 1, 1)}},
        {"a rectangle beyond the picture", {{39, 29}}, QRect(30, 20, 50, 50), 8, {QRect(39, 29, 1, 1)}},
    };
    QImage before(all.size(), QImage::Format_RGB32);
    before.fill(0x336699);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QImage after = before.copy();
        for (const QPoint& p : c.changed)
            after.setPixel(p, 0x336698);
        EXPECT_EQ(platform::ChangedBands(before, after, c.rect, c.bandRows), c.bands);
    }
}

TEST(ChangedBandsTest, NothingForPicturesItCannotCompare)
{
    QImage picture(20, 20, QImage::Format_RGB32);
    picture.fill(0x336699);
    const std::pair<QImage, QImage> pairs[] = {
        {QImage(), picture},
        {picture, QImage()},
        {QImage(20, 20, QImage::Format_Grayscale8), picture},
    };
    for (const auto& [before, after] : pairs)
        EXPECT_TRUE(platform::ChangedBands(before, after, QRect(0, 0, 20, 20)).empty());
}

} // namespace
