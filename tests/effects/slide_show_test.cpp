#include "cpu_layer_fixture.h"
#include "effects/image_path_list.h"
#include "tests/support/hostile_files.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace {

using lmd::test::CpuLayer;

constexpr std::uint32_t kSource = 0x00336699;

// Picture files in a temporary folder.
class SlideShowTest : public ::testing::Test
{
protected:
    QString Picture(const QString& name, int w, int h, std::uint32_t colour)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(0xFF000000u | colour);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(image.save(path));
        return path;
    }
    QString NotAPicture(const QString& name)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
        return path;
    }
    // Bounds of the output pixels that are not the source colour.
    static QRect Drawn(const CpuLayer& t)
    {
        QRect r;
        for (int y = 0; y < t.height; ++y) {
            for (int x = 0; x < t.width; ++x) {
                if (t.Out(x, y) != kSource) {
                    r |= QRect(x, y, 1, 1);
                }
            }
        }
        return r;
    }
    QTemporaryDir dir;
    CImagePathList list;
};

TEST_F(SlideShowTest, LetterboxKeepsTheAspectOverTheSource)
{
    struct Case
    {
        int w, h;
        QRect expected;
    };
    for (const Case c : {Case{400, 200, QRect(0, 32, 130, 65)}, Case{200, 400, QRect(32, 0, 65, 130)},
                         Case{300, 300, QRect(0, 0, 130, 130)}, Case{1000, 10, QRect(0, 64, 130, 1)},
                         Case{3, 1000, QRect()}}) { // 0 px wide: only the source shows
        list.SetPaths({Picture("p.png", c.w, c.h, 0x00FF0000)});
        CpuLayer t(130, 130, kSource);
        t.layer->SetImageList(&list);
        t.Run(EFFECT_IMAGE_SLIDESHOW);
        EXPECT_EQ(Drawn(t), c.expected) << c.w << "x" << c.h;
        if (!c.expected.isEmpty()) {
            EXPECT_EQ(t.Out(c.expected.center().x(), c.expected.center().y()), 0x00FF0000u);
        }
    }
}

TEST_F(SlideShowTest, StretchesNearestNeighbour)
{
    // Four columns of colour stretched to 130: each output column shows the
    // source column under its centre, no mixed colours at the seams.
    QImage image(4, 2, QImage::Format_RGB32);
    const std::uint32_t colours[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF};
    for (int x = 0; x < 4; ++x) {
        image.setPixel(x, 0, 0xFF000000u | colours[x]);
        image.setPixel(x, 1, 0xFF000000u | colours[x]);
    }
    ASSERT_TRUE(image.save(dir.filePath("stripes.png")));
    list.SetPaths({dir.filePath("stripes.png")});
    CpuLayer t(130, 130, kSource);
    t.layer->SetImageList(&list);
    t.Run(EFFECT_IMAGE_SLIDESHOW);
    for (int x = 0; x < 130; ++x) {
        EXPECT_EQ(t.Out(x, 64), colours[(2 * x + 1) * 4 / 260]) << x;
    }
}

TEST_F(SlideShowTest, IntervalSetsThePaceAndBadFilesAreSkipped)
{
    struct Case
    {
        int interval;
        int period; // frames
    };
    for (const Case c : {Case{10, 200}, Case{1, 20}, Case{0, 20}, Case{-3, 20}}) {
        list.SetPaths({Picture("a.png", 40, 40, 0x00FF0000), NotAPicture("b.png"),
                       Picture("c.bmp", 40, 40, 0x000000FF)});
        CpuLayer t(64, 64, kSource);
        t.layer->SetPlayInterval(c.interval);
        t.layer->SetImageList(&list);
        t.Run(EFFECT_IMAGE_SLIDESHOW); // the first frame after the list shows the first picture
        EXPECT_EQ(t.Out(5, 5), 0x00FF0000u) << c.interval;
        t.Paint([](int, int) { return 0x00FFFFFF; });
        t.Run(EFFECT_IMAGE_SLIDESHOW, c.period - 1);
        EXPECT_EQ(t.Out(5, 5), 0x00FF0000u) << c.interval; // untouched in between
        t.Run(EFFECT_IMAGE_SLIDESHOW);                     // the second file does not load: kept
        EXPECT_EQ(t.Out(5, 5), 0x00FF0000u) << c.interval;
        t.Run(EFFECT_IMAGE_SLIDESHOW, c.period);
        EXPECT_EQ(t.Out(5, 5), 0x000000FFu) << c.interval;
        EXPECT_EQ(list.Index(), 0);
    }
}

TEST_F(SlideShowTest, WhatIsNoPictureFileIsSkippedAtOnce)
{
    QFile blue(Picture("blue.png", 40, 40, 0x000000FF));
    ASSERT_TRUE(blue.open(QIODevice::ReadOnly));
    const QByteArray bluePicture = blue.readAll();
    const QString hostile = dir.filePath("hostile.png");
    for (const lmd::test::HostileCase& c : lmd::test::kHostileFiles) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(lmd::test::PlaceHostileFile(hostile, c.kind, platform::FileKind::Picture, bluePicture));
        list.SetPaths({Picture("red.png", 40, 40, 0x00FF0000), hostile});
        CpuLayer t(64, 64, kSource);
        t.layer->SetPlayInterval(1); // a picture every 20 frames
        t.layer->SetImageList(&list);
        t.Run(EFFECT_IMAGE_SLIDESHOW);
        EXPECT_EQ(t.Out(5, 5), 0x00FF0000u);
        t.Run(EFFECT_IMAGE_SLIDESHOW, 20); // the hostile file's turn: the red picture stays
        EXPECT_EQ(t.Out(5, 5), 0x00FF0000u);
        EXPECT_EQ(list.Index(), 0);
    }
}

TEST_F(SlideShowTest, WithoutPicturesTheOutputStays)
{
    CpuLayer t(32, 32, kSource);
    t.Run(EFFECT_IMAGE_SLIDESHOW, 3); // no list
    EXPECT_EQ(t.Out(3, 3), 0u);
    list.SetPaths({});
    t.layer->SetImageList(&list);
    t.Run(EFFECT_IMAGE_SLIDESHOW, 3); // an empty list
    EXPECT_EQ(t.Out(3, 3), 0u);
    list.SetPaths({dir.filePath("missing.png")});
    t.Run(EFFECT_IMAGE_SLIDESHOW, 21);
    EXPECT_EQ(t.Out(3, 3), 0u);
}

} // namespace
