// The clock's sixteen built-in frames ("FRM_..."): 130 by 130 rings of shaded
// metal, enamel or plastic with bevels, lit from the upper left, on black (the
// colour the clock keys out inside and outside the ring). The ring runs from
// radius 51 to 64 around the centre, so it covers the points (8, 64) and
// (27, 27) that the external frame and the frame-coloured hands read, and leaves
// the dial's ticks (out to radius 49) free. No ring pixel is pure black.
//
// Also "FRM_DEFAULT_IMG", the 64 by 64 seamless texture of the external frame
// when its own image cannot be read.
#include "tools/assetgen/assetgen.h"

#include <QColor>
#include <QImage>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int kSize = 130;
constexpr double kCentre = 65.0;
constexpr double kInner = 51.0;
constexpr double kOuter = 64.0;
constexpr double kPi = std::numbers::pi;
constexpr int kSamples = 4; // per pixel and axis

struct Vec3
{
    double x, y, z;
    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator*(double s) const { return {x * s, y * s, z * s}; }
    double Dot(const Vec3& o) const { return x * o.x + y * o.y + z * o.z; }
    Vec3 Normalized() const
    {
        const double length = std::sqrt(Dot(*this));
        return {x / length, y / length, z / length};
    }
};

using Colour = Vec3; // red, green, blue in 0..1

Colour FromRgb(int r, int g, int b)
{
    return {r / 255.0, g / 255.0, b / 255.0};
}

Colour Mix(const Colour& a, const Colour& b, double t)
{
    return a * (1 - t) + b * t;
}

// How a surface answers the light.
enum class Finish
{
    Metal,   // tinted reflections of a sky-and-ground surrounding, sharp highlight
    Plastic, // translucent candy plastic: glowing body, broad white gloss
    Enamel,  // opaque and glossy
};

// A decoration of the ring's colour, by position on the ring.
enum class Pattern
{
    Plain,
    Brushed, // fine concentric lines
    Flowers,
    Spots,    // round blots (dalmatian)
    Rosettes, // broken rings of blots (jaguar, panther)
};

struct FrameStyle
{
    const char* name;
    Colour base;
    Finish finish;
    Pattern pattern = Pattern::Plain;
    Colour accent{};  // colour of the pattern
    Colour accent2{}; // second pattern colour (flower centres, rosette cores)
};

// A deterministic generator for the pattern's positions.
class Lcg
{
public:
    explicit Lcg(unsigned seed) : state_(seed) {}
    double Next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) / 16777216.0;
    }

private:
    unsigned state_;
};

struct Blot
{
    double angle;  // radians around the ring
    double across; // -1 (inner edge) .. 1 (outer edge)
    double radius; // pixels
    double hue;    // 0..1, used by the flowers
};

std::vector<Blot> Blots(unsigned seed, int count, double minRadius, double maxRadius)
{
    Lcg random(seed);
    std::vector<Blot> blots;
    for (int i = 0; i < count; ++i) {
        const double angle = (i + 0.15 + 0.7 * random.Next()) * 2 * kPi / count;
        blots.push_back({angle, random.Next() * 1.4 - 0.7,
                         minRadius + (maxRadius - minRadius) * random.Next(), random.Next()});
    }
    return blots;
}

// Distance in pixels from (x, y) to a blot's centre.
double DistanceTo(const Blot& blot, double x, double y)
{
    const double r = (kInner + kOuter) / 2 + blot.across * (kOuter - kInner) / 2;
    const double bx = kCentre + r * std::cos(blot.angle);
    const double by = kCentre + r * std::sin(blot.angle);
    return std::hypot(x - bx, y - by);
}

// The ring's own colour at a point, with its pattern.
Colour Albedo(const FrameStyle& style, const std::vector<Blot>& blots, double x, double y, double radius)
{
    switch (style.pattern) {
    case Pattern::Plain:
        return style.base;
    case Pattern::Brushed: {
        const double line = 0.5 + 0.5 * std::sin(radius * 9.0 + std::sin(radius * 2.3) * 2.0);
        return style.base * (0.9 + 0.14 * line);
    }
    case Pattern::Flowers: {
        Colour c = style.base;
        for (const Blot& blot : blots) {
            const double dx = x - (kCentre + (kInner + kOuter) / 2 * std::cos(blot.angle));
            const double dy = y - (kCentre + (kInner + kOuter) / 2 * std::sin(blot.angle));
            const double d = std::hypot(dx, dy);
            if (d > 7.5)
                continue;
            // Five round petals around a centre.
            const double petals = 4.6 + 1.8 * std::cos(5 * std::atan2(dy, dx) + blot.hue * 6);
            const Colour petal = blot.hue < 0.33   ? FromRgb(238, 90, 150)
                                 : blot.hue < 0.66 ? FromRgb(250, 170, 40)
                                                   : FromRgb(120, 150, 240);
            if (d < 1.9)
                c = style.accent2;
            else if (d < petals)
                c = Mix(petal, FromRgb(255, 255, 255), 0.25 * (1 - d / petals));
        }
        return c;
    }
    case Pattern::Spots: {
        for (const Blot& blot : blots)
            if (DistanceTo(blot, x, y) < blot.radius)
                return style.accent;
        return style.base;
    }
    case Pattern::Rosettes: {
        for (const Blot& blot : blots) {
            const double d = DistanceTo(blot, x, y);
            if (d > blot.radius + 1.2)
                continue;
            if (d < blot.radius - 1.4)
                return style.accent2; // the rosette's lighter or darker core
            // The rim, broken into three or four blots.
            const double around = std::atan2(y - kCentre - (kInner + kOuter) / 2 * std::sin(blot.angle),
                                             x - kCentre - (kInner + kOuter) / 2 * std::cos(blot.angle));
            if (std::sin(around * 3.5 + blot.hue * 9) > -0.35)
                return style.accent;
        }
        return style.base;
    }
    }
    return style.base;
}

// The ring's cross-section: height of a rounded bevel with a flat crown and a
// fine groove, as a normal. across runs from -1 (inner edge) to 1 (outer edge).
Vec3 Normal(double across, double dx, double dy)
{
    const double crown = 0.42;
    double slope = 0;
    if (std::abs(across) > crown) {
        const double s = (std::abs(across) - crown) / (1 - crown);
        slope = std::copysign(s / std::sqrt(std::max(1e-4, 1 - s * s * 0.97)), across);
    }
    // A shallow groove around the crown's inner edge: the bevel of an inlay.
    const double groove = across + 0.18;
    if (std::abs(groove) < 0.07)
        slope += groove > 0 ? 0.9 : -0.9;
    return Vec3{dx * slope, dy * slope, 1}.Normalized();
}

Colour Shade(const FrameStyle& style, const Colour& albedo, const Vec3& n)
{
    const Vec3 light = Vec3{-0.55, -0.65, 0.55}.Normalized();
    const Vec3 half = (light + Vec3{0, 0, 1}).Normalized();
    const double diffuse = std::max(0.0, n.Dot(light));
    const double facing = std::max(0.0, n.Dot(half));
    switch (style.finish) {
    case Finish::Metal: {
        // What the metal mirrors: a bright sky over a sharp horizon and a dark
        // ground, so the bevels show bands of light and shade as polished metal does.
        const double up = -n.y * 0.8 - n.x * 0.35;
        const double sky = std::clamp((up + 0.08) / 0.16, 0.0, 1.0);
        const Colour ground = Mix(FromRgb(30, 27, 26), FromRgb(90, 84, 78), std::clamp(-up, 0.0, 1.0));
        const Colour heaven = Mix(FromRgb(255, 250, 236), FromRgb(170, 180, 196), std::clamp(up, 0.0, 1.0));
        const Colour surround = Mix(ground, heaven, sky);
        const Colour tinted{albedo.x * surround.x, albedo.y * surround.y, albedo.z * surround.z};
        return tinted * (0.6 + 0.5 * diffuse) +
               Mix(albedo, FromRgb(255, 255, 255), 0.6) * std::pow(facing, 60) * 0.9;
    }
    case Finish::Plastic: {
        // Light passes into the body: a glow toward the inner side, a broad gloss.
        const Colour body = albedo * (0.45 + 0.55 * diffuse) + albedo * 0.18 * (1 - n.z);
        return body + FromRgb(255, 255, 255) * (std::pow(facing, 22) * 0.65 + std::pow(facing, 200) * 0.3);
    }
    case Finish::Enamel:
        return albedo * (0.3 + 0.75 * diffuse) + FromRgb(255, 255, 255) * std::pow(facing, 90) * 0.75;
    }
    return albedo;
}

// Channels 0..255; never pure black and never an exact grey, so that the ring is
// never keyed out and every pixel carries a hue for the colour routines.
QRgb ToPixel(const Colour& c)
{
    int r = std::clamp(static_cast<int>(std::lround(c.x * 255)), 0, 255);
    int g = std::clamp(static_cast<int>(std::lround(c.y * 255)), 0, 255);
    int b = std::clamp(static_cast<int>(std::lround(c.z * 255)), 0, 255);
    if (r == g && g == b) {
        if (b > 0)
            --b;
        else
            ++g;
    }
    return qRgb(r, g, b);
}

QImage DrawFrame(const FrameStyle& style, unsigned seed)
{
    std::vector<Blot> blots;
    if (style.pattern == Pattern::Flowers)
        blots = Blots(seed, 9, 0, 0);
    else if (style.pattern == Pattern::Spots)
        blots = Blots(seed, 17, 1.6, 3.2);
    else if (style.pattern == Pattern::Rosettes)
        blots = Blots(seed, 20, 2.6, 3.8);

    QImage frame(kSize, kSize, QImage::Format_RGB32);
    frame.fill(Qt::black);
    for (int py = 0; py < kSize; ++py) {
        for (int px = 0; px < kSize; ++px) {
            Colour sum{0, 0, 0};
            int covered = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double x = px + (sx + 0.5) / kSamples;
                    const double y = py + (sy + 0.5) / kSamples;
                    const double radius = std::hypot(x - kCentre, y - kCentre);
                    if (radius < kInner || radius > kOuter)
                        continue;
                    const double across = (radius - kInner) / (kOuter - kInner) * 2 - 1;
                    const Vec3 n = Normal(across, (x - kCentre) / radius, (y - kCentre) / radius);
                    sum = sum + Shade(style, Albedo(style, blots, x, y, radius), n);
                    ++covered;
                }
            }
            // Edge pixels take the ring's colour when mostly covered and fade
            // toward a dark rim when barely covered; a sliver stays transparent.
            const double coverage = static_cast<double>(covered) / (kSamples * kSamples);
            if (coverage < 0.3)
                continue;
            const Colour mean = sum * (1.0 / covered);
            frame.setPixel(px, py, ToPixel(mean * std::min(1.0, 0.35 + coverage)));
        }
    }
    return frame;
}

const std::array<FrameStyle, 16> kFrames = {{
    {"FRM_HYAKUSIKI", FromRgb(236, 184, 64), Finish::Metal, Pattern::Brushed},
    {"FRM_BONDIEBLUE", FromRgb(0, 150, 178), Finish::Plastic},
    {"FRM_BLUEBERRY", FromRgb(38, 96, 210), Finish::Plastic},
    {"FRM_GRAPE", FromRgb(118, 52, 160), Finish::Plastic},
    {"FRM_LIME", FromRgb(118, 206, 40), Finish::Plastic},
    {"FRM_STRAWBERRY", FromRgb(224, 44, 78), Finish::Plastic},
    {"FRM_TANGERINE", FromRgb(250, 128, 24), Finish::Plastic},
    {"FRM_INDIGO", FromRgb(64, 52, 150), Finish::Enamel},
    {"FRM_GRAPHITE", FromRgb(108, 114, 126), Finish::Metal, Pattern::Brushed},
    {"FRM_SNOW", FromRgb(236, 240, 246), Finish::Enamel},
    {"FRM_SAGE", FromRgb(146, 166, 124), Finish::Enamel},
    {"FRM_RUBY", FromRgb(178, 14, 44), Finish::Metal},
    {"FRM_FLOWER_POWER", FromRgb(70, 150, 90), Finish::Enamel, Pattern::Flowers, {}, FromRgb(255, 220, 60)},
    {"FRM_BLUE_DALMATIAN", FromRgb(214, 226, 244), Finish::Plastic, Pattern::Spots, FromRgb(30, 60, 170)},
    {"FRM_JAGUAR", FromRgb(222, 168, 84), Finish::Enamel, Pattern::Rosettes, FromRgb(52, 34, 20),
     FromRgb(186, 120, 50)},
    {"FRM_PANTHER", FromRgb(46, 44, 52), Finish::Enamel, Pattern::Rosettes, FromRgb(20, 18, 24),
     FromRgb(34, 32, 40)},
}};

// A seamless 64 by 64 wood texture: every term is periodic over the tile.
QImage DrawDefaultTexture()
{
    constexpr int kTile = 64;
    QImage texture(kTile, kTile, QImage::Format_RGB32);
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            const double u = 2 * kPi * x / kTile;
            const double v = 2 * kPi * y / kTile;
            const double rings = std::sin(5 * v + 1.3 * std::sin(u) + 0.6 * std::sin(2 * u + v));
            const double fibre = std::sin(17 * v + 3 * std::sin(3 * u)) * 0.5 + std::sin(29 * v + u) * 0.25;
            const double t = 0.5 + 0.35 * rings + 0.08 * fibre;
            const Colour wood = Mix(FromRgb(92, 52, 26), FromRgb(196, 138, 78), std::clamp(t, 0.0, 1.0));
            texture.setPixel(x, y, ToPixel(wood));
        }
    }
    return texture;
}

} // namespace

LMD_ASSET_GENERATOR(frames)
{
    unsigned seed = 7;
    for (const FrameStyle& style : kFrames)
        out.Bitmap(style.name, DrawFrame(style, seed++));
    out.Bitmap("FRM_DEFAULT_IMG", DrawDefaultTexture());
}
