// The room's pictures as the upload reads them and the room box's geometry.
#include "about/room_box.h"
#include "tests/support/hostile_files.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>

namespace {

TEST(CheckerboardTest, ColouredSquaresAreClearWhiteOnesOpaque)
{
    const QImage board = about::Checkerboard(128, qRgb(108, 63, 50));
    ASSERT_EQ(board.size(), QSize(128, 128));
    ASSERT_EQ(board.format(), QImage::Format_RGBA8888);
    struct Case
    {
        int x, y;
        std::array<uchar, 4> bytes; // red, green, blue, alpha in memory
    };
    const Case cases[] = {
        {0, 0, {108, 63, 50, 0}},      {15, 15, {108, 63, 50, 0}}, {16, 0, {255, 255, 255, 255}},
        {0, 16, {255, 255, 255, 255}}, {16, 16, {108, 63, 50, 0}}, {127, 0, {255, 255, 255, 255}},
        {127, 127, {108, 63, 50, 0}},
    };
    for (const Case& c : cases) {
        const uchar* const pixel = board.constScanLine(c.y) + 4 * c.x;
        EXPECT_EQ((std::array<uchar, 4>{pixel[0], pixel[1], pixel[2], pixel[3]}), c.bytes)
            << c.x << "," << c.y;
    }
}

class RoomFacePictureTest : public ::testing::Test
{
protected:
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

TEST_F(RoomFacePictureTest, AnyPictureBecomesSideSquaredBlueGreenRedBottomRowFirst)
{
    // A small 32-bit picture with an alpha channel: red on top, blue below.
    QImage picture(40, 30, QImage::Format_ARGB32);
    picture.fill(qRgba(255, 0, 0, 128));
    for (int y = 15; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            picture.setPixel(x, y, qRgba(0, 0, 255, 255));
    ASSERT_TRUE(picture.save(Path("small.png")));

    const QImage face = about::RoomFacePicture(Path("small.png"), 256, qRgb(1, 2, 3));
    ASSERT_EQ(face.size(), QSize(256, 256));
    ASSERT_EQ(face.format(), QImage::Format_BGR888);
    ASSERT_EQ(face.bytesPerLine(), 3 * 256) << "rows as the upload reads them";
    // The first row in memory is the picture's bottom: blue, bytes blue first.
    const uchar* const first = face.constScanLine(0);
    EXPECT_EQ((std::array<uchar, 3>{first[0], first[1], first[2]}), (std::array<uchar, 3>{255, 0, 0}));
    const uchar* const last = face.constScanLine(255);
    EXPECT_EQ(last[2], 255); // red
    EXPECT_EQ(last[0], 0);
}

TEST_F(RoomFacePictureTest, WhatIsNoPictureGivesTheCheckerboard)
{
    QFile text(Path("notes.png"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    ASSERT_EQ(mkfifo(Path("pipe.png").toLocal8Bit().constData(), 0600), 0);
    const QImage board = about::Checkerboard(128, qRgb(0, 255, 0));
    for (const char* name : {"missing.png", "notes.png", "pipe.png"})
        EXPECT_EQ(about::RoomFacePicture(Path(name), 128, qRgb(0, 255, 0)), board) << name;
    EXPECT_EQ(about::RoomFacePicture(dir.path(), 128, qRgb(0, 255, 0)), board) << "a folder";

    QImage blue(128, 128, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    QByteArray picture;
    QBuffer buffer(&picture);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && blue.save(&buffer, "PNG"));
    for (const lmd::test::HostileCase& c : lmd::test::kHostileFiles) {
        ASSERT_TRUE(lmd::test::PlaceHostileFile(Path("hostile.png"), c.kind, platform::FileKind::Picture, picture));
        EXPECT_EQ(about::RoomFacePicture(Path("hostile.png"), 128, qRgb(0, 255, 0)), board) << c.name;
    }
}

TEST(RoomBoxTest, SixSquaresRoundTheOriginInFaceOrder)
{
    constexpr float kHalf = 50.0f;
    const about::RoomBox box = about::MakeRoomBox(kHalf);
    // Outward normals in the loading order: -Y, -Z, +X, +Z, -X, +Y.
    const std::array<std::array<float, 3>, 6> normals{
        {{0, -1, 0}, {0, 0, -1}, {1, 0, 0}, {0, 0, 1}, {-1, 0, 0}, {0, 1, 0}}};
    for (int face = 0; face < 6; ++face) {
        const auto& n = normals[static_cast<std::size_t>(face)];
        std::set<std::array<float, 3>> corners;
        for (int corner = 0; corner < 4; ++corner) {
            const auto i = static_cast<std::size_t>(4 * face + corner);
            const std::array<float, 3> p{box.positions[3 * i], box.positions[3 * i + 1],
                                         box.positions[3 * i + 2]};
            corners.insert(p);
            EXPECT_EQ(
                (std::array<float, 3>{box.normals[3 * i], box.normals[3 * i + 1], box.normals[3 * i + 2]}),
                n);
            // On the face's own plane, at the box's corners.
            EXPECT_FLOAT_EQ(p[0] * n[0] + p[1] * n[1] + p[2] * n[2], kHalf) << face;
            for (const float v : p)
                EXPECT_FLOAT_EQ(std::abs(v), kHalf);
            // Strip coordinates: the face's eighth, top edge first.
            const float u = box.texCoords[2 * i];
            EXPECT_TRUE(u == face / 8.0f || u == (face + 1) / 8.0f) << face << " " << corner;
            EXPECT_EQ(box.texCoords[2 * i + 1], corner < 2 ? 1.0f : 0.0f);
        }
        EXPECT_EQ(corners.size(), 4u);
        // Consecutive corners are neighbours (an edge of the square, not its diagonal).
        for (int corner = 0; corner < 4; ++corner) {
            const auto a = static_cast<std::size_t>(4 * face + corner);
            const auto b = static_cast<std::size_t>(4 * face + (corner + 1) % 4);
            float length = 0;
            for (std::size_t axis = 0; axis < 3; ++axis)
                length += std::abs(box.positions[3 * a + axis] - box.positions[3 * b + axis]);
            EXPECT_FLOAT_EQ(length, 2 * kHalf);
        }
    }
}

} // namespace
