// Images and textures of the demos: loading from the assets folder, pixels
// shared between copies, and where they land on the 480 by 480 canvas.
#include "demos/core/image.h"
#include "platform/paths.h"
#include "tests/demos/canvas_fixture.h"
#include "tests/support/hostile_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

namespace {

using lmd::test::CanvasTest;
using lmd::test::InkBox;

// A folder standing for the executable's, with an assets folder in it.
class AssetsTest : public CanvasTest
{
protected:
    AssetsTest()
    {
        platform::paths::SetExeDirOverride(folder.path());
        QDir(folder.path()).mkdir(QStringLiteral("assets"));
    }
    ~AssetsTest() override { platform::paths::SetExeDirOverride(QString()); }

    QString Asset(const QString& name) const { return folder.path() + QStringLiteral("/assets/") + name; }

    QTemporaryDir folder;
};

TEST_F(AssetsTest, LoadReadsTheNamedFileInTheAssetsFolder)
{
    QImage picture(7, 5, QImage::Format_ARGB32);
    picture.fill(QColor(255, 0, 0));
    ASSERT_TRUE(picture.save(Asset(QStringLiteral("particle.png"))));

    gaImage_<unsigned char> image;
    EXPECT_TRUE(image.load("particle.png"));
    EXPECT_EQ(image.width, 7);
    EXPECT_EQ(image.height, 5);
    image.draw(100, 200);
    EXPECT_EQ(InkBox(canvas), QRect(100, 200, 7, 5));
    EXPECT_EQ(canvas.pixel(100, 200), 0xFFFF0000u);
}

TEST_F(AssetsTest, UnreadableFilesGiveEmptyImagesThatDrawNothing)
{
    QFile garbage(Asset(QStringLiteral("garbage.png")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("\x89PNG\r\n\x1a\n not a picture at all");
    garbage.close();
    QImage picture(7, 5, QImage::Format_ARGB32);
    picture.fill(QColor(255, 0, 0));
    ASSERT_TRUE(picture.save(Asset(QStringLiteral("picture.png"))));
    QFile pictureFile(Asset(QStringLiteral("picture.png")));
    ASSERT_TRUE(pictureFile.open(QIODevice::ReadOnly));
    const QByteArray pictureBytes = pictureFile.readAll();
    std::vector<std::string> names = {"missing.png", "garbage.png", ""};
    for (const lmd::test::HostileCase& c : lmd::test::kHostileFiles) {
        names.push_back("hostile" + std::to_string(names.size()) + ".png"); // one of the four hostile files
        ASSERT_TRUE(lmd::test::PlaceHostileFile(Asset(QString::fromStdString(names.back())), c.kind,
                                                platform::FileKind::Picture, pictureBytes));
    }

    for (const std::string& name : names) {
        gaImage_<unsigned char> image;
        image.allocate(3, 3); // whatever was there goes
        EXPECT_TRUE(image.load(name)) << name;
        EXPECT_EQ(image.width, 0) << name;
        EXPECT_EQ(image.height, 0) << name;
        image.setColor(0, 0, 0xFFFFFFFF);
        image.draw(10, 10);
        image.draw(10, 10, 50, 50);
    }
    EXPECT_TRUE(InkBox(canvas).isEmpty());
}

TEST_F(CanvasTest, CopiesShareTheirPixels)
{
    gaImage_<unsigned char> first;
    first.allocate(4, 3);
    first.anchorX = 0.5f;
    gaImage_<unsigned char> second;
    second = first;
    EXPECT_EQ(second.width, 4);
    EXPECT_EQ(second.height, 3);
    EXPECT_EQ(second.anchorX, 0.0f); // the anchors are not copied
    first.setColor(1, 1, 0xFFFF0000);
    second.setColor(2, 2, 0xFF00FF00);
    second.setColor(4, 0, 0xFFFFFFFF); // outside: nothing
    second.setColor(-1, 0, 0xFFFFFFFF);

    first.draw(0, 0);
    EXPECT_EQ(canvas.pixel(1, 1), 0xFFFF0000u);
    EXPECT_EQ(canvas.pixel(2, 2), 0xFF00FF00u);
    EXPECT_EQ(InkBox(canvas), QRect(1, 1, 2, 2)); // the rest is transparent
}

TEST_F(CanvasTest, DrawFromCenterCentresImagesAndTextures)
{
    gaImage_<unsigned char> image;
    image.allocate(20, 10);
    gaTexture texture;
    texture.allocate(2, 2, 6407);
    EXPECT_EQ(texture.getWidth(), 2.0f);
    EXPECT_EQ(texture.getHeight(), 2.0f);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            image.setColor(x, y, 0xFFFFFFFF);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            texture.image().setColor(x, y, 0xFFFFFFFF);

    struct Case
    {
        int drawFromCenter;
        std::function<void()> draw;
        QRect box;
    };
    const Case cases[] = {
        {0, [&] { image.draw(100, 50); }, QRect(100, 50, 20, 10)},
        {1, [&] { image.draw(100, 50); }, QRect(90, 45, 20, 10)},
        {0, [&] { image.draw(100, 50, 40, 30); }, QRect(100, 50, 40, 30)}, // the caller places it
        {1, [&] { image.draw(100, 50, 40, 30); }, QRect(100, 50, 40, 30)},
        {0, [&] { texture.draw(100, 50, 40, 30); }, QRect(100, 50, 40, 30)},
        {1, [&] { texture.draw(100, 50, 40, 30); }, QRect(80, 35, 40, 30)},
    };
    for (const Case& c : cases) {
        canvas.fill(Qt::black);
        gaSetDrawFromCenter(c.drawFromCenter);
        c.draw();
        EXPECT_EQ(InkBox(canvas), c.box) << c.drawFromCenter;
    }
}

} // namespace
