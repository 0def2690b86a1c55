// The data of the buffer-pass and cube-map shader sets, laid into _misc and
// assets beside the executable:
//   - "Forest1.png" to "Forest6.png": a clearing in a conifer forest under a
//     summer sky, and "UffiziGallery1.jpg" to "UffiziGallery6.jpg": a long
//     gallery hall with paintings, vaulted skylights and a marble floor. Both are
//     cube maps: every face pixel is drawn from the direction it stands for, so
//     the faces meet without seams. Face order +X, -X, +Y, -Y, +Z, -Z, each with
//     its top row first as the renderer uploads it.
//   - "GrayNoise3D.bin": a 32 x 32 x 32 volume of random bytes (x fastest).
//   - "st_font1.png": a 16 x 16 grid of the 256 character codes, white on
//     transparent, 16 pixels a cell.
//   - "st_Organic3.jpg": tiling cells of a living surface with veins between them.
#include "tools/assetgen/assetgen.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kFaceSide = 256;

struct Vec3
{
    double x, y, z;
};

Vec3 operator*(Vec3 v, double s)
{
    return {v.x * s, v.y * s, v.z * s};
}
Vec3 operator+(Vec3 a, Vec3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
double Dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec3 Normalized(Vec3 v)
{
    return v * (1.0 / std::sqrt(Dot(v, v)));
}
Vec3 Mix(Vec3 a, Vec3 b, double t)
{
    return a + (b + a * -1.0) * t;
}

double Clamp01(double v)
{
    return std::clamp(v, 0.0, 1.0);
}

double Smooth(double edge0, double edge1, double x)
{
    const double t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

// A 32-bit mix of three integers and a seed.
std::uint32_t Hash3(std::int32_t x, std::int32_t y, std::int32_t z, std::uint32_t seed)
{
    std::uint32_t h = seed * 0x9E3779B9u;
    for (const std::int32_t v : {x, y, z}) {
        h ^= static_cast<std::uint32_t>(v) * 0x85EBCA6Bu;
        h = (h << 13 | h >> 19) * 5u + 0xE6546B64u;
    }
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

double Random(std::int32_t x, std::int32_t y, std::int32_t z, std::uint32_t seed)
{
    return Hash3(x, y, z, seed) / 4294967296.0;
}

// Smooth 3D value noise in [0, 1]; period > 0 wraps the lattice in x and y.
double Noise(Vec3 p, std::uint32_t seed, int period = 0)
{
    const double fx = std::floor(p.x), fy = std::floor(p.y), fz = std::floor(p.z);
    const auto ix = static_cast<std::int32_t>(fx), iy = static_cast<std::int32_t>(fy),
               iz = static_cast<std::int32_t>(fz);
    const auto fade = [](double t) { return t * t * (3 - 2 * t); };
    const double u = fade(p.x - fx), v = fade(p.y - fy), w = fade(p.z - fz);
    const auto wrap = [period](std::int32_t i) { return period > 0 ? ((i % period) + period) % period : i; };
    const auto at = [&](int dx, int dy, int dz) {
        return Random(wrap(ix + dx), wrap(iy + dy), iz + dz, seed);
    };
    const auto lerp = [](double a, double b, double t) { return a + (b - a) * t; };
    return lerp(lerp(lerp(at(0, 0, 0), at(1, 0, 0), u), lerp(at(0, 1, 0), at(1, 1, 0), u), v),
                lerp(lerp(at(0, 0, 1), at(1, 0, 1), u), lerp(at(0, 1, 1), at(1, 1, 1), u), v), w);
}

double Fbm(Vec3 p, std::uint32_t seed, int octaves, int period = 0)
{
    double sum = 0, amplitude = 0.5, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * Noise(p, seed + static_cast<std::uint32_t>(o), period);
        total += amplitude;
        amplitude *= 0.5;
        p = p * 2.0;
        period *= 2;
    }
    return sum / total;
}

QRgb ToRgb(Vec3 c)
{
    const auto byte = [](double v) { return static_cast<int>(std::lround(Clamp01(v) * 255.0)); };
    return qRgb(byte(c.x), byte(c.y), byte(c.z));
}

// The direction of face pixel (x, y), y counted from the top row, in the
// OpenGL cube-map layout (faces +X, -X, +Y, -Y, +Z, -Z).
Vec3 FaceDirection(int face, int x, int y, int side)
{
    const double sc = 2.0 * (x + 0.5) / side - 1.0;
    const double tc = 2.0 * (y + 0.5) / side - 1.0;
    switch (face) {
    case 0:
        return Normalized({1, -tc, -sc});
    case 1:
        return Normalized({-1, -tc, sc});
    case 2:
        return Normalized({sc, 1, tc});
    case 3:
        return Normalized({sc, -1, -tc});
    case 4:
        return Normalized({sc, -tc, 1});
    default:
        return Normalized({-sc, -tc, -1});
    }
}

template <typename Scene> QImage Face(int face, Scene scene)
{
    QImage picture(kFaceSide, kFaceSide, QImage::Format_RGB32);
    for (int y = 0; y < kFaceSide; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < kFaceSide; ++x)
            row[x] = ToRgb(scene(FaceDirection(face, x, y, kFaceSide)));
    }
    return picture.convertToFormat(QImage::Format_RGB888);
}

// --- The forest ---

const Vec3 kSunDirection = Normalized({0.55, 0.42, 0.72});

Vec3 ForestSky(Vec3 d)
{
    const double up = Clamp01(d.y);
    Vec3 sky = Mix({0.78, 0.86, 0.92}, {0.22, 0.47, 0.86}, std::pow(up, 0.55));
    // Soft cumulus: noise on the sky dome, thinner towards the horizon.
    const Vec3 cloudPoint = d * (3.2 / (0.25 + up));
    const double cloud = Smooth(0.52, 0.78, Fbm(cloudPoint, 11, 5)) * Smooth(0.02, 0.25, up);
    sky = Mix(sky, Vec3{0.97, 0.97, 0.95} * (0.85 + 0.15 * up), cloud * 0.85);
    const double sun = std::max(0.0, Dot(d, kSunDirection));
    return sky + Vec3{1.0, 0.9, 0.7} * (std::pow(sun, 400.0) * 2.0 + std::pow(sun, 12.0) * 0.25);
}

// One ring of conifers around the clearing: trees trees per turn, their feet at
// elevation foot, heights up to height (radians of elevation).
struct TreeRing
{
    int trees;
    double foot, height;
    Vec3 colour;
    std::uint32_t seed;
};

// Coverage (0 or 1, softened at the edge) of the ring's silhouettes at
// (azimuth, elevation), and the brightness variation inside a tree.
double RingCover(const TreeRing& ring, double azimuth, double elevation, double& shade)
{
    const double cell = azimuth / (2 * kPi) * ring.trees;
    double cover = 0;
    for (int k = -1; k <= 1; ++k) {
        const int index = static_cast<int>(std::floor(cell)) + k;
        const int id = ((index % ring.trees) + ring.trees) % ring.trees;
        const double centre = index + 0.5 + (Random(id, 0, 0, ring.seed) - 0.5) * 0.6;
        const double h = ring.height * (0.55 + 0.45 * Random(id, 1, 0, ring.seed));
        const double along = (elevation - ring.foot) / h; // 0 at the foot, 1 at the tip
        if (along < 0 || along > 1)
            continue;
        // Tiers of drooping branches: the width saws down towards the tip.
        const double tiers = 7.0;
        const double tier = along * tiers - std::floor(along * tiers);
        const double width = (1.0 - along) * (0.55 + 0.35 * (1.0 - tier)) * 0.9 + 0.04;
        const double dx = std::abs(cell - centre);
        const double edge = Smooth(width, width - 0.06, dx);
        if (edge > cover) {
            cover = edge;
            shade = 0.8 + 0.35 * (1.0 - tier) * (centre - cell > 0 ? 0.6 : 1.0);
        }
    }
    return cover;
}

Vec3 ForestGround(Vec3 d)
{
    // The clearing's floor seen from 1.7 units up: grass with patches of moss,
    // flowers and bare earth.
    const double t = 1.7 / std::max(-d.y, 1e-3);
    const Vec3 p{d.x * t, 0.0, d.z * t};
    const double patches = Fbm(Vec3{p.x * 0.3, p.z * 0.3, 0.5}, 21, 4);
    const double blades = Fbm(Vec3{p.x * 10.0, p.z * 10.0, 1.5}, 23, 4);
    Vec3 grass = Mix({0.18, 0.34, 0.10}, {0.42, 0.58, 0.18}, patches);
    grass = grass * (0.75 + 0.45 * blades);
    const double earth = Smooth(0.62, 0.7, Fbm(Vec3{p.x * 0.12, p.z * 0.12, 3.5}, 29, 3));
    grass = Mix(grass, Vec3{0.36, 0.27, 0.17} * (0.8 + 0.3 * blades), earth);
    const double flower = Smooth(0.93, 0.97, Noise(Vec3{p.x * 3.0, p.z * 3.0, 7.5}, 31));
    grass = Mix(grass, {0.95, 0.9, 0.45}, flower * (1.0 - earth));
    // Haze towards the horizon.
    return Mix(grass, {0.62, 0.72, 0.74}, Smooth(8.0, 60.0, t) * 0.7);
}

Vec3 Forest(Vec3 d)
{
    const double elevation = std::asin(std::clamp(d.y, -1.0, 1.0));
    const double azimuth = std::atan2(d.z, d.x) + kPi; // 0 to 2 pi, seamless around
    Vec3 colour = d.y > 0 ? ForestSky(d) : ForestGround(d);
    // Far rings first, each one nearer, taller and darker than the last.
    static const TreeRing rings[] = {
        {90, -0.02, 0.16, {0.36, 0.50, 0.50}, 41},
        {60, -0.05, 0.30, {0.15, 0.30, 0.21}, 43},
        {34, -0.12, 0.62, {0.06, 0.18, 0.09}, 47},
    };
    for (const TreeRing& ring : rings) {
        double shade = 1.0;
        const double cover = RingCover(ring, azimuth, elevation, shade);
        if (cover <= 0)
            continue;
        const double needles = 0.8 + 0.4 * Noise(d * 90.0, ring.seed + 7);
        // The sun side of the forest is lit a little.
        const double lit =
            0.85 + 0.3 * Clamp01(std::cos(azimuth - std::atan2(kSunDirection.z, kSunDirection.x) - kPi));
        colour = Mix(colour, ring.colour * (shade * needles * lit), cover);
    }
    return colour;
}

// --- The gallery ---

constexpr double kHallHalfWidth = 3.0;
constexpr double kFloor = -1.6, kCeiling = 3.6, kHallHalfLength = 40.0;
constexpr double kBay = 3.2; // one painting per bay along each wall

// A painting's picture at (u, v) in [0, 1]: a small landscape or portrait.
Vec3 Painting(int id, double u, double v)
{
    const double kind = Random(id, 5, 0, 61);
    const Vec3 top{0.35 + 0.5 * Random(id, 1, 0, 61), 0.45 + 0.4 * Random(id, 2, 0, 61),
                   0.6 + 0.35 * Random(id, 3, 0, 61)};
    const Vec3 earth{0.25 + 0.3 * Random(id, 4, 0, 61), 0.2 + 0.25 * Random(id, 6, 0, 61),
                     0.08 + 0.1 * Random(id, 7, 0, 61)};
    const double texture = 0.85 + 0.3 * Fbm(Vec3{u * 9, v * 9, static_cast<double>(id)}, 63, 3);
    if (kind < 0.5) {
        // Landscape: sky, hills, a tree.
        const double hill = 0.45 + 0.1 * std::sin(u * 7 + id) + 0.05 * std::sin(u * 17 + 2 * id);
        Vec3 c = v > hill ? Mix(top * 1.1, Vec3{0.95, 0.85, 0.6}, Smooth(hill + 0.25, hill, v)) : earth * 1.4;
        const double treeX = 0.25 + 0.5 * Random(id, 8, 0, 61);
        if (std::hypot((u - treeX) * 1.6, v - hill - 0.12) < 0.12 ||
            (std::abs(u - treeX) < 0.015 && v < hill + 0.05))
            c = Vec3{0.1, 0.22, 0.08};
        return c * texture;
    }
    // Portrait: a dark ground, a figure with a pale face and a coloured robe.
    Vec3 c = earth * 0.6;
    const double headR = 0.13;
    if (std::hypot((u - 0.5) * 1.3, v - 0.66) < headR)
        c = Vec3{0.88, 0.7, 0.55};
    else if (v < 0.55 && std::abs(u - 0.5) < 0.1 + (0.55 - v) * 0.7)
        c = top * 0.8;
    return c * texture;
}

Vec3 GalleryWall(Vec3 hit, double side)
{
    const double z = hit.z;
    const double y = hit.y;
    const int bay = static_cast<int>(std::floor(z / kBay));
    const double inBay = z / kBay - bay;
    Vec3 wall{0.62, 0.22, 0.16}; // damask red
    wall = wall * (0.9 + 0.15 * Noise(Vec3{z * 6, y * 6, side}, 71));
    if (y < -0.7)
        wall = Vec3{0.78, 0.74, 0.66} * (0.9 + 0.1 * Noise(Vec3{z * 3, y * 3, side}, 73)); // stone dado
    if (std::abs(y + 0.7) < 0.04 || std::abs(y - 2.55) < 0.06)
        wall = {0.88, 0.84, 0.74}; // mouldings
    if (y > 2.6)
        wall = {0.9, 0.87, 0.8}; // plaster frieze
    // Pilasters between the bays.
    if (inBay < 0.06 || inBay > 0.94)
        wall = Vec3{0.85, 0.82, 0.74} * (0.9 + 0.1 * std::cos(inBay * 40));
    // The painting of the bay, in a gilt frame.
    const int id = bay * 2 + (side > 0 ? 1 : 0);
    const double width = 0.5 + 0.2 * Random(id, 9, 0, 61);
    const double height = 1.2 + 0.8 * Random(id, 10, 0, 61);
    const double u = (inBay - 0.5) / width * kBay / 2.0 + 0.5;
    const double v = (y - 0.2) / height + 0.5;
    const double frame = 0.05;
    if (u > -frame && u < 1 + frame && v > -frame && v < 1 + frame) {
        if (u < 0 || u > 1 || v < 0 || v > 1)
            return Vec3{0.78, 0.6, 0.25} * (0.8 + 0.4 * Noise(Vec3{u * 40, v * 40, 1}, 75));
        return Painting(id, u, v);
    }
    return wall;
}

Vec3 GalleryFloor(Vec3 hit)
{
    // Diagonal marble tiles in two tones, with veins.
    const double a = (hit.x + hit.z) * 0.7, b = (hit.x - hit.z) * 0.7;
    const bool dark = (static_cast<int>(std::floor(a)) + static_cast<int>(std::floor(b))) % 2 != 0;
    const double vein =
        Smooth(0.47, 0.5, std::abs(Fbm(Vec3{hit.x * 1.5, hit.z * 1.5, 0.3}, 81, 4) - 0.5) + 0.45);
    Vec3 c = dark ? Vec3{0.42, 0.36, 0.32} : Vec3{0.86, 0.83, 0.78};
    c = c * (0.92 + 0.1 * vein);
    const double ga = a - std::floor(a), gb = b - std::floor(b);
    if (ga < 0.02 || gb < 0.02)
        c = c * 0.7;
    // A soft sheen of the skylights along the centre.
    return c + Vec3{0.25, 0.24, 0.22} * Smooth(1.6, 0.0, std::abs(hit.x)) * 0.4;
}

Vec3 GalleryCeiling(Vec3 hit)
{
    // A coffered vault with a skylight in every bay.
    const double inBay = hit.z / kBay - std::floor(hit.z / kBay);
    Vec3 c{0.92, 0.9, 0.84};
    if (std::abs(hit.x) < 1.1 && inBay > 0.2 && inBay < 0.8)
        return Vec3{1.0, 0.98, 0.92} * 1.15; // skylight
    const double coffer = std::abs(std::sin(hit.x * 4.0)) * std::abs(std::sin(hit.z * 4.0));
    c = c * (0.75 + 0.2 * coffer);
    if (inBay < 0.05 || inBay > 0.95)
        c = {0.8, 0.66, 0.38}; // gilt ribs
    return c;
}

Vec3 Gallery(Vec3 d)
{
    // The nearest of the hall's six planes along d.
    double t = 1e9;
    int surface = 0;
    const auto consider = [&](double distance, int id) {
        if (distance > 0 && distance < t) {
            t = distance;
            surface = id;
        }
    };
    if (d.x != 0)
        consider((d.x > 0 ? kHallHalfWidth : -kHallHalfWidth) / d.x, d.x > 0 ? 1 : 2);
    if (d.y != 0)
        consider((d.y > 0 ? kCeiling : kFloor) / d.y, d.y > 0 ? 3 : 4);
    if (d.z != 0)
        consider((d.z > 0 ? kHallHalfLength : -kHallHalfLength) / d.z, 5);
    const Vec3 hit = d * t;
    Vec3 c;
    switch (surface) {
    case 1:
    case 2:
        c = GalleryWall(hit, surface == 1 ? 1.0 : -1.0);
        break;
    case 3:
        c = GalleryCeiling(hit);
        break;
    case 4:
        c = GalleryFloor(hit);
        break;
    default: {
        // The far ends: a bright arched doorway into the next room.
        const bool door = std::abs(hit.x) < 1.2 && (hit.y < 1.4 || std::hypot(hit.x, hit.y - 1.4) < 1.2);
        c = door ? Vec3{1.0, 0.95, 0.85} : Vec3{0.62, 0.24, 0.18};
        break;
    }
    }
    // Light falls off along the hall.
    return Mix(c, {0.5, 0.42, 0.36}, Smooth(6.0, 40.0, t) * 0.6);
}

// --- Small pictures ---

QImage GlyphAtlas()
{
    QImage atlas(256, 256, QImage::Format_ARGB32);
    atlas.fill(Qt::transparent);
    QPainter p(&atlas);
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(14);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    for (int code = 32; code < 256; ++code) {
        if (code >= 127 && code < 161)
            continue; // control codes of Latin-1
        const QRect cell((code % 16) * 16, (code / 16) * 16, 16, 16);
        p.drawText(cell, Qt::AlignCenter, QString(QChar(code)));
    }
    p.end();
    return atlas;
}

QImage OrganicCells()
{
    constexpr int side = 256, cells = 8;
    QImage picture(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < side; ++x) {
            const double px = (x + 0.5) * cells / side, py = (y + 0.5) * cells / side;
            double nearest = 9, second = 9;
            double id = 0;
            for (int oy = -1; oy <= 1; ++oy)
                for (int ox = -1; ox <= 1; ++ox) {
                    const int cx = static_cast<int>(std::floor(px)) + ox,
                              cy = static_cast<int>(std::floor(py)) + oy;
                    const int wx = ((cx % cells) + cells) % cells, wy = ((cy % cells) + cells) % cells;
                    const double jx = cx + 0.2 + 0.6 * Random(wx, wy, 0, 91);
                    const double jy = cy + 0.2 + 0.6 * Random(wx, wy, 1, 91);
                    const double dd = std::hypot(px - jx, py - jy);
                    if (dd < nearest) {
                        second = nearest;
                        nearest = dd;
                        id = Random(wx, wy, 2, 91);
                    } else if (dd < second) {
                        second = dd;
                    }
                }
            const double vein = Smooth(0.0, 0.12, second - nearest);
            const double mottle = Fbm(Vec3{px * 2, py * 2, 0.5}, 93, 4, cells * 2);
            const Vec3 flesh = Mix({0.55, 0.42, 0.2}, {0.7, 0.62, 0.32}, id) * (0.75 + 0.45 * mottle);
            const Vec3 colour = Mix({0.18, 0.1, 0.05}, flesh * (0.7 + 0.3 * Smooth(0.0, 0.5, nearest)), vein);
            row[x] = ToRgb(colour);
        }
    }
    return picture;
}

QByteArray NoiseVolume()
{
    QByteArray bytes(32 * 32 * 32, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(Hash3(i % 32, (i / 32) % 32, i / 1024, 101) >> 24);
    return bytes;
}

} // namespace

LMD_ASSET_GENERATOR(cube_maps)
{
    for (int face = 0; face < 6; ++face) {
        const QString n = QString::number(face + 1);
        out.DataImage(QStringLiteral("_misc/Forest%1.png").arg(n), Face(face, Forest));
        out.DataImage(QStringLiteral("_misc/UffiziGallery%1.jpg").arg(n), Face(face, Gallery));
    }
    out.DataFile(QStringLiteral("_misc/GrayNoise3D.bin"), NoiseVolume());
    out.DataImage(QStringLiteral("_misc/st_font1.png"), GlyphAtlas());
    out.DataImage(QStringLiteral("assets/st_Organic3.jpg"), OrganicCells());
}
