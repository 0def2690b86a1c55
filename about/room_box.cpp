// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "about/room_box.h"

#include "platform/paths.h"
#include "platform/run_time_files.h"

#include <GL/glu.h>
#include <algorithm>

namespace about {

namespace {

constexpr int kSquare = 16;    // checkerboard square side in pixels
constexpr int kStripSides = 8; // the strip is 8 faces wide

// Cube-map faces of the loading order.
constexpr std::array<GLenum, kRoomFaceCount> kCubeFaces{
    GL_TEXTURE_CUBE_MAP_NEGATIVE_Y, GL_TEXTURE_CUBE_MAP_NEGATIVE_Z, GL_TEXTURE_CUBE_MAP_POSITIVE_X,
    GL_TEXTURE_CUBE_MAP_POSITIVE_Z, GL_TEXTURE_CUBE_MAP_NEGATIVE_X, GL_TEXTURE_CUBE_MAP_POSITIVE_Y,
};

// The corners of each face as signs of x, y, z, and its outward normal.
struct BoxFace
{
    std::array<std::array<signed char, 3>, 4> corners;
    std::array<signed char, 3> normal;
};
constexpr std::array<BoxFace, kRoomFaceCount> kBoxFaces{{
    {{{{-1, -1, -1}, {+1, -1, -1}, {+1, -1, +1}, {-1, -1, +1}}}, {0, -1, 0}},
    {{{{+1, -1, -1}, {-1, -1, -1}, {-1, +1, -1}, {+1, +1, -1}}}, {0, 0, -1}},
    {{{{+1, -1, +1}, {+1, -1, -1}, {+1, +1, -1}, {+1, +1, +1}}}, {+1, 0, 0}},
    {{{{-1, -1, +1}, {+1, -1, +1}, {+1, +1, +1}, {-1, +1, +1}}}, {0, 0, +1}},
    {{{{-1, -1, -1}, {-1, -1, +1}, {-1, +1, +1}, {-1, +1, -1}}}, {-1, 0, 0}},
    {{{{-1, +1, +1}, {+1, +1, +1}, {+1, +1, -1}, {-1, +1, -1}}}, {0, +1, 0}},
}};

} // namespace

const std::array<const char*, kRoomFaceCount> kRoomFaceSuffixes{"ny", "nz", "px", "pz", "nx", "py"};
const std::array<QRgb, kRoomFaceCount> kRoomFaceColors{
    qRgb(108, 63, 50), qRgb(0, 255, 0),   qRgb(0, 0, 255),
    qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(50, 46, 43),
};

QImage Checkerboard(int side, QRgb color)
{
    QImage board(side, side, QImage::Format_RGBA8888);
    for (int y = 0; y < side; ++y) {
        uchar* const row = board.scanLine(y);
        for (int x = 0; x < side; ++x) {
            const bool white = (y / kSquare + x / kSquare) % 2 != 0;
            uchar* const pixel = row + 4 * x;
            pixel[0] = white ? 255 : static_cast<uchar>(qRed(color));
            pixel[1] = white ? 255 : static_cast<uchar>(qGreen(color));
            pixel[2] = white ? 255 : static_cast<uchar>(qBlue(color));
            pixel[3] = white ? 255 : 0;
        }
    }
    return board;
}

QImage RoomFacePicture(const QString& file, int side, QRgb color)
{
    QImage picture = platform::ReadPictureFile(file);
    if (picture.isNull())
        return Checkerboard(side, color);
    // Whatever its size and depth, the upload reads side x side pixels of three
    // bytes: convert and scale first, so it never reads past the picture.
    if (picture.size() != QSize(side, side))
        picture = picture.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return picture.convertToFormat(QImage::Format_BGR888).mirrored(false, true);
}

RoomBox MakeRoomBox(float half)
{
    RoomBox box{};
    for (int face = 0; face < kRoomFaceCount; ++face) {
        const BoxFace& f = kBoxFaces[static_cast<std::size_t>(face)];
        for (int corner = 0; corner < 4; ++corner) {
            const auto i = static_cast<std::size_t>(4 * face + corner);
            for (std::size_t axis = 0; axis < 3; ++axis) {
                box.positions[3 * i + axis] = half * f.corners[static_cast<std::size_t>(corner)][axis];
                box.normals[3 * i + axis] = f.normal[axis];
            }
            box.texCoords[2 * i] =
                static_cast<float>(face + (corner == 1 || corner == 2 ? 1 : 0)) / kStripSides;
            box.texCoords[2 * i + 1] = corner < 2 ? 1.0f : 0.0f;
        }
    }
    return box;
}

void UploadRoom(unsigned strip, unsigned cubeMap, int side, const char* prefix, int wrap)
{
    const QString assets = platform::paths::InExeDir(QStringLiteral("assets"));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glBindTexture(GL_TEXTURE_2D, strip);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kStripSides * side, side, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    for (int face = 0; face < kRoomFaceCount; ++face) {
        const auto k = static_cast<std::size_t>(face);
        const QString file = platform::paths::Combine(assets, QString::fromLatin1(prefix) +
                                                                  QString::fromLatin1(kRoomFaceSuffixes[k]) +
                                                                  QStringLiteral(".png"));
        const QImage picture = RoomFacePicture(file, side, kRoomFaceColors[k]);
        const GLenum format = picture.format() == QImage::Format_BGR888 ? GL_BGR : GL_RGBA;
        // QImage rows start on 4-byte boundaries, as alignment 4 reads them.
        glTexSubImage2D(GL_TEXTURE_2D, 0, face * side, 0, side, side, format, GL_UNSIGNED_BYTE,
                        picture.constBits());
        glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMap);
        glTexImage2D(kCubeFaces[k], 0, GL_RGBA, side, side, 0, format, GL_UNSIGNED_BYTE, picture.constBits());
        glBindTexture(GL_TEXTURE_2D, strip);
    }
    for (const GLenum target : {GLenum{GL_TEXTURE_2D}, GLenum{GL_TEXTURE_CUBE_MAP}}) {
        glBindTexture(target, target == GL_TEXTURE_2D ? strip : cubeMap);
        glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(target, GL_TEXTURE_WRAP_S, wrap);
        glTexParameteri(target, GL_TEXTURE_WRAP_T, wrap);
        glBindTexture(target, 0);
    }
}

void SetRoomProjection(int width, int height, double zNear, double zFar)
{
    GLint mode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / std::max(height, 1), zNear, zFar);
    glMatrixMode(static_cast<GLenum>(mode));
}

void DrawRoomBox(const RoomBox& box)
{
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, box.positions.data());
    glNormalPointer(GL_FLOAT, 0, box.normals.data());
    glTexCoordPointer(2, GL_FLOAT, 0, box.texCoords.data());
    glDrawArrays(GL_QUADS, 0, RoomBox::kCorners);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

} // namespace about
