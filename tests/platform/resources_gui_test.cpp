// The embedded resources drawn by tools/assetgen, looked up by name and number.
#include "platform/resources.h"

#include <QPixmap>
#include <gtest/gtest.h>

TEST(ResourcesTest, SplashPictureAndProgramIcon)
{
    const QImage splash = platform::LoadBitmap("SPLASH");
    ASSERT_FALSE(splash.isNull());
    EXPECT_GE(splash.width(), 260);
    EXPECT_GE(splash.height(), 180);
    EXPECT_EQ(splash.format(), QImage::Format_RGB32);
    EXPECT_EQ(platform::LoadBitmap(QString("SPLASH")), splash);

    const QIcon icon = platform::LoadIcon("LMD_ICON_1");
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    for (const int size : {16, 32, 48})
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    // Round: transparent corners, an opaque middle.
    const QImage small = icon.pixmap(16, 16).toImage();
    EXPECT_EQ(qAlpha(small.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(small.pixel(8, 8)), 255);
}

// Each kind has its own names; a missing resource gives an empty result, never
// something of another kind.
TEST(ResourcesTest, MissingResourcesAreEmpty)
{
    EXPECT_TRUE(platform::LoadBitmap("LMD_ICON_1").isNull());
    EXPECT_TRUE(platform::LoadBitmap(99999).isNull());
    EXPECT_TRUE(platform::LoadIcon("SPLASH").isNull());
    EXPECT_EQ(platform::LoadCursor("NO_SUCH_CUR", Qt::CrossCursor).shape(), Qt::CrossCursor);
    EXPECT_TRUE(platform::LoadResource("menu", "NO_SUCH_MENU").isEmpty());
    EXPECT_EQ(platform::ResourcePath("bitmap", 150), ":/bitmap/150");
}
