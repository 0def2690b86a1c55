#include "app/image_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A folder tree with pictures of every accepted extension in mixed case, files
// that are no pictures, nested folders, a link back to the root (a loop) and a
// link to a picture.
class ImageFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        for (const char* name :
             {"b.jpeg", "a.JPG", "c.gif", "d", "e.Png", "F.bmp", "g.jpg.txt", "h.tar.BMP", ".jpg",
              "sub/x.png", "sub/deeper/y.JpEg", "sub/notes.txt", "Z/z.jpg", "pics.jpg/inner.png"})
            Touch(name);
        ASSERT_TRUE(QFile::link(root.path(), Path("sub/loop")));
        ASSERT_TRUE(QFile::link(Path("sub"), Path("linked")));
        ASSERT_TRUE(QFile::link(Path("a.JPG"), Path("alias.jpg")));
    }

    QString Path(const QString& relative) const { return root.filePath(relative); }

    void Touch(const QString& relative) const
    {
        const QString path = Path(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    }

    std::vector<QString> Scan(bool recursive) const
    {
        std::vector<QString> paths;
        ScanImageFolder(root.path(), paths, recursive);
        std::vector<QString> relative;
        for (const QString& path : paths)
            relative.push_back(QDir(root.path()).relativeFilePath(path));
        return relative;
    }

    QTemporaryDir root;
};

TEST_F(ImageFolderTest, TopLevelOnlyTakesPicturesInNameOrder)
{
    const std::vector<QString> expected{".jpg",  "a.JPG", "alias.jpg", "b.jpeg",
                                        "e.Png", "F.bmp", "h.tar.BMP"};
    EXPECT_EQ(Scan(false), expected);
}

TEST_F(ImageFolderTest, RecursiveEntersFoldersWhereTheyFallButNeverFollowsFolderLinks)
{
    const std::vector<QString> expected{".jpg",
                                        "a.JPG",
                                        "alias.jpg",
                                        "b.jpeg",
                                        "e.Png",
                                        "F.bmp",
                                        "h.tar.BMP",
                                        "pics.jpg/inner.png",
                                        "sub/deeper/y.JpEg",
                                        "sub/x.png",
                                        "Z/z.jpg"};
    EXPECT_EQ(Scan(true), expected);
}

TEST_F(ImageFolderTest, MissingFolderAddsNothingAndKeepsWhatTheListHeld)
{
    std::vector<QString> paths{"kept"};
    ScanImageFolder(Path("does-not-exist"), paths, true);
    ScanImageFolder(QString(), paths, false);
    EXPECT_EQ(paths, std::vector<QString>{"kept"});
}

TEST(ImageFileNameTest, ExtensionAfterTheLastDotDecides)
{
    struct Case
    {
        const char* name;
        bool image;
    };
    for (const Case& c : {Case{"a.jpg", true}, Case{"a.JPEG", true}, Case{"a.PnG", true}, Case{"a.bmp", true},
                          Case{"a.gif", false}, Case{"jpg", false}, Case{"a.jpg.", false},
                          Case{"a.jpgx", false}, Case{"a.tiff.png", true}, Case{"a.png.tiff", false}})
        EXPECT_EQ(IsImageFileName(QString::fromUtf8(c.name)), c.image) << c.name;
}

} // namespace
