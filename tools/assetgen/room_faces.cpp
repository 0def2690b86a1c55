// The room of the about dialog's teapot and refraction pages, laid into
// assets/ beside the executable: six 24-bit faces each, "room2ny.png" ...
// "room2py.png" at 128 x 128 for the teapot and "room3ny.png" ... at 256 x 256
// for the refraction scene.
//
// The room is drawn where the pages' box shows it: every face pixel stands
// for a point of the box's face (the box's corner order and strip coordinates
// decide which), and the room's colour at that point is computed, so the
// faces meet without seams and the walls stand upright. A wooden floor, a
// plastered ceiling with a round lamp, cream walls with a skirting board, and
// on the walls a window (-Z), a framed landscape (+X), a bookcase (+Z) and a
// door (-X). Each pixel averages 3 x 3 samples.
#include "tools/assetgen/assetgen.h"

#include <QImage>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

struct Vec
{
    double x, y, z;
};

struct Colour
{
    double r, g, b;
};

Colour Mix(Colour a, Colour b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour Scale(Colour c, double s)
{
    return {c.r * s, c.g * s, c.b * s};
}

// A repeatable number in [0, 1) for an integer cell.
double Hash(int a, int b)
{
    std::uint32_t h =
        static_cast<std::uint32_t>(a) * 0x8DA6B343u ^ static_cast<std::uint32_t>(b) * 0xD8163841u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return (h & 0xFFFFFF) / 16777216.0;
}

bool Inside(double v, double low, double high)
{
    return v >= low && v <= high;
}

// The floor: planks along x, each its own shade, with grain and dark seams.
Colour Floor(double x, double z)
{
    const double across = (z + 1) * 7; // seven planks from wall to wall
    const int plank = static_cast<int>(std::floor(across));
    const double along = (x + 1) * 2 + Hash(plank, 7) * 3;
    const int board = static_cast<int>(std::floor(along));
    const Colour oak{0.55, 0.36, 0.20};
    Colour c = Scale(oak, 0.8 + 0.35 * Hash(plank, board));
    c = Scale(c, 0.93 + 0.07 * std::sin(x * 40 + Hash(plank, 3) * 6 + std::sin(z * 90) * 0.8));
    const double seam =
        std::min({across - plank, plank + 1 - across, (along - board) * 0.3, (board + 1 - along) * 0.3});
    return seam < 0.025 ? Scale(c, 0.45) : c;
}

// The ceiling: warm white plaster around a round lamp with a soft glow.
Colour Ceiling(double x, double z)
{
    const double r = std::hypot(x, z);
    const Colour plaster{0.88, 0.86, 0.80};
    if (r < 0.16)
        return r < 0.13 ? Colour{1.0, 0.97, 0.85} : Colour{0.6, 0.55, 0.45};
    return Mix(plaster, Colour{1.0, 0.95, 0.82}, std::exp(-(r - 0.16) * 5) * 0.6);
}

Colour Window(double a, double h)
{
    // Sky over far hills, four panes in a white frame.
    const double u = (a + 0.45) / 0.9;
    const double v = (h - 0.35) / 0.5;
    const bool frame =
        u < 0.04 || u > 0.96 || v < 0.05 || v > 0.95 || std::abs(u - 0.5) < 0.02 || std::abs(v - 0.55) < 0.02;
    if (frame)
        return {0.95, 0.95, 0.93};
    const double hill = 0.28 + 0.08 * std::sin(u * 7 + 1) + 0.04 * std::sin(u * 19);
    if (v < hill)
        return Mix(Colour{0.20, 0.42, 0.18}, Colour{0.35, 0.55, 0.25}, v / hill);
    return Mix(Colour{0.75, 0.87, 0.98}, Colour{0.30, 0.55, 0.90}, (v - hill) / (1 - hill));
}

Colour Landscape(double a, double h)
{
    // A gilt frame round an evening sea with a low sun.
    const double u = (a + 0.35) / 0.7;
    const double v = (h - 0.4) / 0.4;
    if (u < 0.06 || u > 0.94 || v < 0.08 || v > 0.92)
        return Scale(Colour{0.80, 0.62, 0.25}, 0.75 + 0.25 * std::sin((u + v) * 60));
    const double sun = std::hypot(u - 0.62, (v - 0.45) * 0.8);
    if (v < 0.42)
        return Mix(Colour{0.05, 0.15, 0.35}, Colour{0.55, 0.35, 0.35},
                   std::exp(-std::abs(u - 0.62) * 6) * v / 0.42);
    if (sun < 0.08)
        return {1.0, 0.85, 0.45};
    return Mix(Colour{0.95, 0.55, 0.30}, Colour{0.35, 0.30, 0.60}, std::clamp((v - 0.42) / 0.5, 0.0, 1.0));
}

Colour Bookcase(double a, double h)
{
    const Colour wood{0.40, 0.25, 0.14};
    const double u = (a + 0.6) / 1.2;
    const double v = h / 0.9;
    if (u < 0.04 || u > 0.96 || v > 0.97)
        return wood;
    const double shelves = v * 5;
    const int shelf = static_cast<int>(std::floor(shelves));
    if (shelves - shelf < 0.08)
        return Scale(wood, 0.8);
    // Books of varied width, height and colour on each shelf.
    const double along = u * 30;
    const int book = static_cast<int>(std::floor(along + Hash(shelf, 1) * 0.7));
    const double top = 0.55 + 0.4 * Hash(shelf, book);
    if (shelves - shelf > top)
        return Scale(wood, 0.45);
    static const std::array<Colour, 6> covers{{{0.55, 0.10, 0.10},
                                               {0.10, 0.25, 0.50},
                                               {0.15, 0.40, 0.20},
                                               {0.70, 0.60, 0.30},
                                               {0.35, 0.15, 0.40},
                                               {0.20, 0.20, 0.20}}};
    Colour c = covers[static_cast<std::size_t>(Hash(book, shelf + 11) * covers.size())];
    const double edge = along + Hash(shelf, 1) * 0.7 - book;
    return edge < 0.08 ? Scale(c, 0.6) : c;
}

Colour Door(double a, double h)
{
    const Colour wood{0.45, 0.28, 0.16};
    const double u = (a + 0.3) / 0.6;
    const double v = h / 0.75;
    if (std::hypot((u - 0.85) * 0.6, (v - 0.5) * 0.75) < 0.03)
        return {0.85, 0.75, 0.40}; // the knob
    const bool panel = (Inside(u, 0.15, 0.85) && (Inside(v, 0.1, 0.45) || Inside(v, 0.55, 0.9)));
    const bool rim = u < 0.04 || u > 0.96 || v > 0.97;
    return rim ? Scale(wood, 0.7) : panel ? Scale(wood, 1.15) : wood;
}

// A wall: a the position along it (-1 to 1, left to right seen from inside), h
// the height above the floor (0 to 1).
Colour Wall(int wall, double a, double h)
{
    if (h < 0.07)
        return h > 0.06 ? Colour{0.25, 0.17, 0.10} : Colour{0.38, 0.26, 0.16}; // skirting board
    switch (wall) {
    case 0:
        if (Inside(a, -0.45, 0.45) && Inside(h, 0.35, 0.85))
            return Window(a, h);
        break;
    case 1:
        if (Inside(a, -0.35, 0.35) && Inside(h, 0.4, 0.8))
            return Landscape(a, h);
        break;
    case 2:
        if (Inside(a, -0.6, 0.6) && h <= 0.9)
            return Bookcase(a, h);
        break;
    default:
        if (Inside(a, -0.3, 0.3) && h <= 0.75)
            return Door(a, h);
        break;
    }
    // Cream paper with faint stripes, a little darker towards the floor.
    const double stripe = 0.97 + 0.03 * (std::fmod((a + 1) * 24, 2.0) < 1.0);
    return Scale(Colour{0.93, 0.88, 0.74}, stripe * (0.85 + 0.15 * h));
}

// The room's colour at a point of the box's surface (coordinates -1 to 1).
Colour Room(Vec p)
{
    const double ax = std::abs(p.x), ay = std::abs(p.y), az = std::abs(p.z);
    if (ay >= ax && ay >= az)
        return p.y < 0 ? Floor(p.x, p.z) : Ceiling(p.x, p.z);
    const double h = (p.y + 1) / 2;
    if (az >= ax)
        return p.z < 0 ? Wall(0, p.x, h) : Wall(2, -p.x, h);
    return p.x > 0 ? Wall(1, p.z, h) : Wall(3, -p.z, h);
}

// The box's faces in loading order (-Y, -Z, +X, +Z, -X, +Y): the corner at
// strip (s, t) = (0, 0) and the steps to s = 1 and to t = 1, in box units. On
// the walls t = 1 is the floor's edge: the files hold the walls upside down,
// as the box's corner order shows them upright (and the cube map agrees).
struct FaceFrame
{
    const char* suffix;
    Vec origin, sAxis, tAxis; // point = origin + s * sAxis + t * tAxis
};
constexpr std::array<FaceFrame, 6> kFaces{{
    {"ny", {-1, -1, 1}, {2, 0, 0}, {0, 0, -2}},
    {"nz", {1, 1, -1}, {-2, 0, 0}, {0, -2, 0}},
    {"px", {1, 1, 1}, {0, 0, -2}, {0, -2, 0}},
    {"pz", {-1, 1, 1}, {2, 0, 0}, {0, -2, 0}},
    {"nx", {-1, 1, -1}, {0, 0, 2}, {0, -2, 0}},
    {"py", {-1, 1, -1}, {2, 0, 0}, {0, 0, 2}},
}};

// One face as a picture file holds it: its top row is strip row t = 1.
QImage Face(const FaceFrame& face, int side)
{
    constexpr int kSamples = 3;
    QImage picture(side, side, QImage::Format_RGB888);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            Colour sum{0, 0, 0};
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double s = (x + (sx + 0.5) / kSamples) / side;
                    const double t = 1.0 - (y + (sy + 0.5) / kSamples) / side;
                    const Colour c = Room({face.origin.x + s * face.sAxis.x + t * face.tAxis.x,
                                           face.origin.y + s * face.sAxis.y + t * face.tAxis.y,
                                           face.origin.z + s * face.sAxis.z + t * face.tAxis.z});
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                }
            }
            const auto byte = [](double v) {
                return static_cast<int>(std::lround(std::clamp(v / (kSamples * kSamples), 0.0, 1.0) * 255));
            };
            picture.setPixel(x, y, qRgb(byte(sum.r), byte(sum.g), byte(sum.b)));
        }
    }
    return picture;
}

} // namespace

LMD_ASSET_GENERATOR(room_faces)
{
    for (const auto& [prefix, side] : {std::pair{"room2", 128}, std::pair{"room3", 256}})
        for (const FaceFrame& face : kFaces)
            out.DataImage(
                QStringLiteral("assets/%1%2.png").arg(QLatin1String(prefix), QLatin1String(face.suffix)),
                Face(face, side));
}
