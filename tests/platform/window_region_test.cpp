// Rounded rectangle regions: the stealth hole's shape.
#include "platform/window_region.h"

#include <gtest/gtest.h>

namespace {

// Pixels of a region (its area).
int Area(const QRegion& region)
{
    int area = 0;
    for (const QRect& r : region)
        area += r.width() * r.height();
    return area;
}

TEST(RoundRectRegionTest, CutsTheFourCornersAlike)
{
    struct Case
    {
        QRect rect;
        int corner;
    };
    for (const Case& c : {Case{QRect(10, 20, 52, 52), 13}, Case{QRect(-30, 5, 104, 104), 26},
                          Case{QRect(0, 0, 40, 24), 10}}) {
        const QRegion region = platform::RoundRectRegion(c.rect, c.corner, c.corner);
        EXPECT_EQ(region.boundingRect(), c.rect) << c.corner;
        // The corner pixels are cut, the edge midpoints and the middle are in.
        for (const QPoint corner :
             {c.rect.topLeft(), c.rect.topRight(), c.rect.bottomLeft(), c.rect.bottomRight()})
            EXPECT_FALSE(region.contains(corner)) << c.corner;
        for (const QPoint edge :
             {QPoint(c.rect.left(), c.rect.center().y()), QPoint(c.rect.right(), c.rect.center().y()),
              QPoint(c.rect.center().x(), c.rect.top()), QPoint(c.rect.center().x(), c.rect.bottom()),
              c.rect.center()})
            EXPECT_TRUE(region.contains(edge)) << c.corner;
        // Mirrored left-right and top-bottom it is the same region.
        QRegion mirrored;
        for (const QRect& r : region)
            mirrored += QRect(c.rect.left() + c.rect.right() - r.right(),
                              c.rect.top() + c.rect.bottom() - r.bottom(), r.width(), r.height());
        EXPECT_EQ(mirrored, region) << c.corner;
        // Each corner loses about a square less a quarter circle: (1 - pi/4) r^2.
        const double r = c.corner / 2.0;
        const double cut = c.rect.width() * c.rect.height() - Area(region);
        EXPECT_NEAR(cut, 4 * (1 - 3.14159265 / 4) * r * r, 2.0 * c.corner) << c.corner;
    }
}

TEST(RoundRectRegionTest, NoCornerOrNoRectangle)
{
    EXPECT_EQ(platform::RoundRectRegion(QRect(3, 4, 10, 8), 0, 0), QRegion(3, 4, 10, 8));
    EXPECT_TRUE(platform::RoundRectRegion(QRect(3, 4, 0, 8), 5, 5).isEmpty());
    // Corners larger than the rectangle make an ellipse-like shape inside it.
    const QRegion oval = platform::RoundRectRegion(QRect(0, 0, 20, 10), 100, 100);
    EXPECT_EQ(oval.boundingRect(), QRect(0, 0, 20, 10));
    EXPECT_FALSE(oval.contains(QPoint(1, 1)));
}

} // namespace
