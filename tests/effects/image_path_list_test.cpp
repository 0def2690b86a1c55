#include "effects/image_path_list.h"

#include <QStringList>
#include <gtest/gtest.h>

TEST(ImagePathListTest, ReturnsPathsInOrderAndWraps)
{
    CImagePathList list;
    list.SetPaths({"a.jpg", "b.png", "c.bmp"});
    QStringList got;
    for (int i = 0; i < 7; ++i)
        got << list.GetNextPath();
    EXPECT_EQ(got, (QStringList{"a.jpg", "b.png", "c.bmp", "a.jpg", "b.png", "c.bmp", "a.jpg"}));
    EXPECT_EQ(list.Index(), 1);
}

TEST(ImagePathListTest, EmptyListGivesEmptyText)
{
    CImagePathList list;
    EXPECT_TRUE(list.GetNextPath().isEmpty());
    EXPECT_EQ(list.Index(), 0);

    // A shorter list replacing a longer one starts again at its first path.
    list.SetPaths({"a", "b", "c"});
    list.GetNextPath();
    list.GetNextPath();
    list.SetPaths({"x"});
    EXPECT_EQ(list.GetNextPath(), "x");
    EXPECT_EQ(list.GetNextPath(), "x");
}
