// The texture files of the shader effects, laid beside the executable: noise in
// several flavours, pebbles, wood, lichen and an organic cell pattern. Every
// picture tiles seamlessly (the noise lattices wrap at the picture's size), so
// shaders can sample them with repeat wrapping.
//
// The two RGBA noise textures pair their channels: green is red moved by
// (37, 17) pixels and alpha is blue moved the same way, so one bilinear lookup
// returns two neighbouring slices of a 3D value noise (slice z at offset
// z * (37, 17)).
#include "tools/assetgen/assetgen.h"

#include <QColor>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// A well-mixed 32-bit hash of a lattice point and a seed.
std::uint32_t Hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed)
{
    std::uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

// Uniform in [0, 1).
double Unit(std::uint32_t x, std::uint32_t y, std::uint32_t seed)
{
    return Hash(x, y, seed) / 4294967296.0;
}

std::uint32_t Wrap(int v, int period)
{
    return static_cast<std::uint32_t>(((v % period) + period) % period);
}

// Value noise on a lattice that repeats every periodX by periodY cells, smooth
// (quintic) between points.
double ValueNoise(double x, double y, int periodX, int periodY, std::uint32_t seed)
{
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const auto fade = [](double t) { return t * t * t * (t * (t * 6 - 15) + 10); };
    const double u = fade(x - fx), v = fade(y - fy);
    const auto at = [&](int dx, int dy) {
        return Unit(Wrap(ix + dx, periodX), Wrap(iy + dy, periodY), seed);
    };
    const double top = at(0, 0) + (at(1, 0) - at(0, 0)) * u;
    const double bottom = at(0, 1) + (at(1, 1) - at(0, 1)) * u;
    return top + (bottom - top) * v;
}

// Fractal sum of value noise, tiling at the picture's size: (x, y) in [0, 1),
// the first octave has cellsX by cellsY lattice cells. Result in [0, 1].
double Fbm(double x, double y, int cellsX, int cellsY, int octaves, std::uint32_t seed)
{
    double sum = 0, amplitude = 0.5, total = 0;
    for (int o = 0; o < octaves; ++o) {
        const int px = cellsX << o, py = cellsY << o;
        sum += amplitude * ValueNoise(x * px, y * py, px, py, seed + static_cast<std::uint32_t>(o));
        total += amplitude;
        amplitude *= 0.5;
    }
    return sum / total;
}

double Fbm(double x, double y, int cells, int octaves, std::uint32_t seed)
{
    return Fbm(x, y, cells, cells, octaves, seed);
}

// Distances to the nearest and second-nearest jittered point of a tiling grid of
// cells x cells points, and the nearest point's cell id. (x, y) in [0, 1).
struct Voronoi
{
    double nearest, second;
    std::uint32_t id;
    double dx, dy; // from the nearest point to (x, y), in cell units
};

Voronoi CellsAt(double x, double y, int cells, std::uint32_t seed)
{
    const double px = x * cells, py = y * cells;
    const int ix = static_cast<int>(std::floor(px)), iy = static_cast<int>(std::floor(py));
    Voronoi v{1e9, 1e9, 0, 0, 0};
    for (int oy = -2; oy <= 2; ++oy)
        for (int ox = -2; ox <= 2; ++ox) {
            const std::uint32_t cx = Wrap(ix + ox, cells), cy = Wrap(iy + oy, cells);
            const double jx = ix + ox + 0.15 + 0.7 * Unit(cx, cy, seed);
            const double jy = iy + oy + 0.15 + 0.7 * Unit(cx, cy, seed + 1);
            const double d = std::hypot(px - jx, py - jy);
            if (d < v.nearest) {
                v.second = v.nearest;
                v = {d, v.second, cy * static_cast<std::uint32_t>(cells) + cx, px - jx, py - jy};
            } else if (d < v.second) {
                v.second = d;
            }
        }
    return v;
}

int Byte(double v)
{
    return std::clamp(static_cast<int>(std::lround(v * 255.0)), 0, 255);
}

QRgb Colour(double r, double g, double b)
{
    return qRgb(Byte(r), Byte(g), Byte(b));
}

double Mix(double a, double b, double t)
{
    return a + (b - a) * t;
}

double SmoothStep(double edge0, double edge1, double x)
{
    const double t = std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// Draws every pixel of a size x size picture from shade(u, v) with u, v in [0, 1).
template <typename Shade> QImage Paint(int size, QImage::Format format, Shade shade)
{
    QImage picture(size, size, format);
    for (int y = 0; y < size; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < size; ++x)
            row[x] = shade(static_cast<double>(x) / size, static_cast<double>(y) / size);
    }
    return picture;
}

// White RGBA noise with the paired channels described at the top.
QImage RgbaNoise(int size, std::uint32_t seed)
{
    QImage picture(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const std::uint32_t sx = Wrap(x - 37, size), sy = Wrap(y - 17, size);
            const auto red = [&](std::uint32_t px, std::uint32_t py) { return Hash(px, py, seed) >> 24; };
            const auto blue = [&](std::uint32_t px, std::uint32_t py) {
                return Hash(px, py, seed + 7) >> 24;
            };
            const auto ux = static_cast<std::uint32_t>(x), uy = static_cast<std::uint32_t>(y);
            row[x] = qRgba(static_cast<int>(red(ux, uy)), static_cast<int>(red(sx, sy)),
                           static_cast<int>(blue(ux, uy)), static_cast<int>(blue(sx, sy)));
        }
    }
    return picture;
}

QImage GrayNoise(int size, std::uint32_t seed)
{
    return Paint(size, QImage::Format_RGB32, [&](double u, double v) {
        const int g = static_cast<int>(
            Hash(static_cast<std::uint32_t>(u * size), static_cast<std::uint32_t>(v * size), seed) >> 24);
        return qRgb(g, g, g);
    });
}

// Blue noise: white noise made to lose its low frequencies by repeatedly
// subtracting a wrapped blur and re-spreading the values evenly by rank.
QImage BlueNoise(int size, std::uint32_t seed)
{
    const std::size_t count = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
    std::vector<double> value(count), blurred(count), line(static_cast<std::size_t>(size));
    for (std::size_t i = 0; i < count; ++i)
        value[i] = Unit(static_cast<std::uint32_t>(i), 0, seed);
    std::vector<std::size_t> order(count);
    const auto at = [size](int x, int y) {
        return static_cast<std::size_t>(Wrap(y, size)) * static_cast<std::size_t>(size) + Wrap(x, size);
    };
    const std::array<double, 5> kernel = {0.0625, 0.25, 0.375, 0.25, 0.0625};
    for (int round = 0; round < 6; ++round) {
        // Separable binomial blur, twice in each direction, with wrapping.
        blurred = value;
        for (int pass = 0; pass < 4; ++pass) {
            const bool horizontal = pass % 2 == 0;
            for (int a = 0; a < size; ++a) {
                for (int b = 0; b < size; ++b) {
                    double sum = 0;
                    for (int k = -2; k <= 2; ++k)
                        sum += kernel[static_cast<std::size_t>(k + 2)] *
                               blurred[horizontal ? at(b + k, a) : at(a, b + k)];
                    line[static_cast<std::size_t>(b)] = sum;
                }
                for (int b = 0; b < size; ++b)
                    blurred[horizontal ? at(b, a) : at(a, b)] = line[static_cast<std::size_t>(b)];
            }
        }
        for (std::size_t i = 0; i < count; ++i)
            value[i] -= blurred[i];
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::sort(order.begin(), order.end(),
                  [&](std::size_t l, std::size_t r) { return value[l] < value[r]; });
        for (std::size_t rank = 0; rank < count; ++rank)
            value[order[rank]] = (static_cast<double>(rank) + 0.5) / static_cast<double>(count);
    }
    QImage picture(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int g = Byte(value[at(x, y)]);
            picture.setPixel(x, y, qRgb(g, g, g));
        }
    return picture;
}

// Rounded stones of many greys and browns, lit from the upper left, in dark sand.
QImage Pebbles(int size)
{
    constexpr int kCells = 9;
    return Paint(size, QImage::Format_RGB32, [](double u, double v) {
        const Voronoi cell = CellsAt(u, v, kCells, 11);
        const double edge = cell.second - cell.nearest; // 0 on the border between stones
        const double body = SmoothStep(0.0, 0.22, edge);
        // Dome-shaped stone: height from the distance to the border, normal from
        // the offset to the stone's centre.
        const double nx = -cell.dx * 1.6, ny = -cell.dy * 1.6;
        const double light = std::clamp(0.6 + 0.45 * (nx * -0.6 + ny * -0.7) + 0.25 * body, 0.0, 1.3);
        const double tone = Unit(cell.id, 3, 5);
        const double warm = Unit(cell.id, 4, 5);
        const double grain = Fbm(u, v, 32, 3, 21);
        double r = Mix(0.42, 0.72, tone) + 0.12 * warm;
        double g = Mix(0.40, 0.68, tone) + 0.05 * warm;
        double b = Mix(0.38, 0.62, tone) - 0.04 * warm;
        const double shade = light * (0.8 + 0.35 * grain);
        const double sand = 0.16 + 0.12 * Fbm(u, v, 64, 2, 31);
        r = Mix(sand * 1.2, r * shade, body);
        g = Mix(sand * 1.05, g * shade, body);
        b = Mix(sand * 0.85, b * shade, body);
        return Colour(r, g, b);
    });
}

// Plank of wood: growth rings round an axis that wanders slowly, fine fibres
// along the grain and a few darker streaks.
QImage Wood(int size)
{
    return Paint(size, QImage::Format_RGB32, [](double u, double v) {
        const double warp = Fbm(u, v, 3, 4, 41) - 0.5;
        const double rings = (u + 0.35 * warp + 0.05 * std::sin(2 * kPi * v)) * 14.0;
        const double ring = 0.5 + 0.5 * std::cos(2 * kPi * rings);
        const double late = std::pow(ring, 6.0); // narrow dark latewood bands
        const double fibres =
            ValueNoise(u * 256, v * 8, 256, 8, 43) * 0.6 + ValueNoise(u * 128, v * 4, 128, 4, 44) * 0.4;
        const double streak = SmoothStep(0.55, 0.8, Fbm(u, v, 12, 2, 3, 45));
        double r = 0.72 - 0.26 * late - 0.08 * fibres - 0.1 * streak;
        double g = 0.50 - 0.21 * late - 0.07 * fibres - 0.08 * streak;
        double b = 0.30 - 0.14 * late - 0.05 * fibres - 0.05 * streak;
        return Colour(r, g, b);
    });
}

// Grey stone with blotches of yellow-green lichen and a few orange spots.
QImage Lichen(int size)
{
    return Paint(size, QImage::Format_RGB32, [](double u, double v) {
        const double stone = 0.36 + 0.22 * Fbm(u, v, 16, 5, 51);
        const double cover = Fbm(u, v, 6, 5, 52);
        const double lichen = SmoothStep(0.48, 0.56, cover);
        const double rim = SmoothStep(0.46, 0.5, cover) - lichen;
        const double crust = Fbm(u, v, 48, 3, 53);
        const double orange = SmoothStep(0.68, 0.74, Fbm(u, v, 10, 4, 54)) * (1 - lichen);
        double r = Mix(stone, 0.62 + 0.2 * crust, lichen) - 0.15 * rim;
        double g = Mix(stone * 1.02, 0.66 + 0.18 * crust, lichen) - 0.15 * rim;
        double b = Mix(stone * 1.05, 0.22 + 0.1 * crust, lichen) - 0.12 * rim;
        r = Mix(r, 0.85, orange * 0.9);
        g = Mix(g, 0.45, orange * 0.9);
        b = Mix(b, 0.12, orange * 0.9);
        return Colour(r, g, b);
    });
}

// Soft living tissue: warped cells with darker walls and lighter nuclei.
QImage Organic(int size)
{
    constexpr int kCells = 10;
    return Paint(size, QImage::Format_RGB32, [](double u, double v) {
        const double wu = u + 0.03 * (Fbm(u, v, 4, 3, 61) - 0.5);
        const double wv = v + 0.03 * (Fbm(u, v, 4, 3, 62) - 0.5);
        const Voronoi cell = CellsAt(std::fmod(wu + 1, 1), std::fmod(wv + 1, 1), kCells, 63);
        const double wall = 1 - SmoothStep(0.0, 0.12, cell.second - cell.nearest);
        const double nucleus = 1 - SmoothStep(0.08, 0.2, cell.nearest);
        const double tint = Unit(cell.id, 7, 64);
        const double mottle = Fbm(u, v, 24, 4, 65);
        double r = 0.72 + 0.12 * tint + 0.1 * mottle - 0.38 * wall + 0.12 * nucleus;
        double g = 0.42 + 0.08 * tint + 0.1 * mottle - 0.28 * wall + 0.16 * nucleus;
        double b = 0.38 - 0.05 * tint + 0.06 * mottle - 0.22 * wall + 0.1 * nucleus;
        return Colour(r, g, b);
    });
}

} // namespace

LMD_ASSET_GENERATOR(effect_textures)
{
    out.DataImage("assets/st_RBGA_noise_medium.png", RgbaNoise(256, 1));
    out.DataImage("assets/st_RBGA_noise_small.png", RgbaNoise(64, 2));
    out.DataImage("assets/st_GrayNoiseMedium.png", GrayNoise(256, 3));
    out.DataImage("assets/st_GrayNoiseSmall.png", GrayNoise(64, 5));
    out.DataImage("assets/st_Pebbles.png", Pebbles(512));
    out.DataImage("assets/st_wood.jpg", Wood(512));
    out.DataImage("assets/st_lichen.jpg", Lichen(512));
    out.DataImage("assets/st_Organic2.jpg", Organic(512));
    out.DataImage("_misc/BlueNoise.png", BlueNoise(256, 4));
}
