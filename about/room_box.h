#pragma once
// The textured room of the about dialog's OpenGL controls: six pictures from the
// assets folder (a coloured checkerboard stands in for one that cannot be read),
// laid side by side into one strip texture for the box drawn around the viewer
// and into the faces of a cube map for what the model reflects or refracts.
//
// The face order is the loading order: -Y, -Z, +X, +Z, -X, +Y. Face k takes
// strip columns k x side to (k + 1) x side - 1; the strip is 8 x side wide, its
// last two sides never written.
#include <QImage>
#include <QRgb>
#include <QString>
#include <array>

namespace about {

inline constexpr int kRoomFaceCount = 6;

// The faces' file name endings, after the prefix ("room2" + "ny" + ".png").
extern const std::array<const char*, kRoomFaceCount> kRoomFaceSuffixes;
// The checkerboard colour of each face.
extern const std::array<QRgb, kRoomFaceCount> kRoomFaceColors;

// A side x side checkerboard of 16-pixel squares, bytes red, green, blue, alpha
// (Format_RGBA8888): the square of band row r and band column c has the colour
// with alpha 0 when r + c is even and is opaque white when it is odd.
QImage Checkerboard(int side, QRgb color);

// The picture of a face as the upload reads it: the file converted to 24-bit
// blue-green-red pixels (Format_BGR888), scaled to side x side whatever its size
// and depth, rows bottom first. A file that is missing, not a regular file or
// not a picture gives the face's checkerboard instead.
QImage RoomFacePicture(const QString& file, int side, QRgb color);

// The room box: six quads around the origin, half size half in each axis, in
// face order, four corners each with the face's outward normal and its strip
// texture coordinates (face k spans u = k/8 to (k + 1)/8, first two corners at
// v = 1, last two at v = 0).
struct RoomBox
{
    static constexpr int kCorners = 4 * kRoomFaceCount;
    std::array<float, 3 * kCorners> positions;
    std::array<float, 3 * kCorners> normals;
    std::array<float, 2 * kCorners> texCoords;
};
RoomBox MakeRoomBox(float half);

// GL (context current, GLEW initialised). Loads the six faces prefix + suffix +
// ".png" from the assets folder beside the executable at side x side, and
// defines strip (8 x side by side, RGBA) and cubeMap from them; both get linear
// filters and wrap in s and t (GL_CLAMP or GL_CLAMP_TO_EDGE). Leaves no
// texture bound.
void UploadRoom(unsigned strip, unsigned cubeMap, int side, const char* prefix, int wrap);

// The room scenes' projection (current matrix mode kept): a 45 degree
// perspective for a width x height view between the two planes.
void SetRoomProjection(int width, int height, double zNear, double zFar);

// Draws the box from its arrays as quads (fixed-function arrays: vertex,
// normal, texture coordinate 0).
void DrawRoomBox(const RoomBox& box);

} // namespace about
