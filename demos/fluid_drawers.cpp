#include "demos/fluid_drawers.h"

#include "demos/core/core.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace nvq::fluid {

namespace {

constexpr float kMaxVectorLengthSquared = 6.250001e-08f;
constexpr float kVectorLength = 50000.0f;

// min(value, 255), truncated and kept to its low byte; a value beyond the int
// range (or not a number) gives 0, as the integer conversion's overflow does.
unsigned char ToByte(float value)
{
    const float limited = std::fmin(value, 255.0f);
    return std::fabs(limited) < 2147483648.0f ? static_cast<unsigned char>(static_cast<int>(limited))
                                              : static_cast<unsigned char>(0);
}

struct Rgb8
{
    unsigned char r, g, b;
};

} // namespace

Solver* DrawerBase::setup(Solver* fluid)
{
    solver = fluid;
    pixels.assign(fluid ? static_cast<std::size_t>(fluid->cellsX) * static_cast<std::size_t>(fluid->cellsY) *
                              static_cast<std::size_t>(bytesPerPixel())
                        : 0,
                  0);
    if (fluid)
        allocateTexture();
    return fluid;
}

void DrawerBase::draw(float x, float y)
{
    draw(x, y, static_cast<float>(canvasWidth), static_cast<float>(canvasHeight));
}

void DrawerBase::draw(float x, float y, float w, float h)
{
    if (!enabled || !solver || !solver->valid)
        return;
    switch (mode) {
    case kColor:
        drawColor(x, y, w, h);
        break;
    case kMotion:
        drawMotion(x, y, w, h);
        break;
    case kSpeed:
        drawSpeed(x, y, w, h);
        break;
    case kVectors:
        drawVectors(x, y, w);
        break;
    default:
        break;
    }
}

template <typename Pixel> void DrawerBase::drawBuffer(float x, float y, float w, float h, Pixel pixel)
{
    const int bytes = bytesPerPixel();
    if (pixels.size() != static_cast<std::size_t>(solver->cellsX) * static_cast<std::size_t>(solver->cellsY) *
                             static_cast<std::size_t>(bytes))
        return; // the grid changed since setup
    unsigned char* out = pixels.data();
    for (int j = 1; j <= solver->cellsY; ++j) {
        for (int i = 1; i <= solver->cellsX; ++i, out += bytes) {
            const Rgb8 rgb = pixel(solver->cellIndex(i, j));
            out[0] = rgb.r;
            out[1] = rgb.g;
            out[2] = rgb.b;
            if (withAlpha)
                out[3] = 255;
        }
    }
    uploadPixels();
    blitTexture(x, y, w, h);
}

void DrawerBase::drawColor(float x, float y, float w, float h)
{
    const float gain = 255.0f * brightness;
    const auto channel = [this, gain](float value) {
        const unsigned char byte = ToByte(value * gain);
        return invert ? static_cast<unsigned char>(255 - byte) : byte;
    };
    if (solver->doRGB) {
        drawBuffer(x, y, w, h, [&](int k) {
            const Rgb& c = solver->color[k];
            return Rgb8{channel(c.r), channel(c.g), channel(c.b)};
        });
    } else {
        drawBuffer(x, y, w, h, [&](int k) {
            const unsigned char grey = channel(solver->density[k]);
            return Rgb8{grey, grey, grey};
        });
    }
}

void DrawerBase::drawMotion(float x, float y, float w, float h)
{
    const float gainX = static_cast<float>(solver->cellsX + 2) * 255.0f * brightness;
    const float gainY = static_cast<float>(solver->cellsY + 2) * 255.0f * brightness;
    drawBuffer(x, y, w, h, [&](int k) {
        const Vec2& v = solver->velocity[k];
        return Rgb8{ToByte(std::fabs(v.x) * gainX), ToByte(std::fabs(v.y) * gainY), 0};
    });
}

void DrawerBase::drawSpeed(float x, float y, float w, float h)
{
    const float widthCells = static_cast<float>(solver->cellsX + 2);
    const float heightCells = static_cast<float>(solver->cellsY + 2);
    const float gain = 255.0f * brightness;
    drawBuffer(x, y, w, h, [&](int k) {
        const Vec2& v = solver->velocity[k];
        const unsigned char grey =
            ToByte((std::fabs(v.y) * heightCells + std::fabs(v.x) * widthCells) * gain);
        return Rgb8{grey, grey, grey};
    });
}

void DrawerBase::drawVectors(float x, float y, float w)
{
    gaPushMatrix();
    gaTranslate(x, y);
    gaScale(w / static_cast<float>(solver->cellsX)); // one cell is one unit
    const float t = (1.0f / static_cast<float>(solver->cellsX + 2)) * vectorThreshold *
                    (1.0f / static_cast<float>(solver->cellsY + 2));
    const float t2 = t * t;
    const std::uint32_t grey =
        static_cast<std::uint32_t>(static_cast<unsigned char>(ToByte(brightness * 255.0f)) / 2);
    gaSetColor(grey << 24 | grey << 16 | grey << 8 | grey);
    const int stride = 1 + std::max(vectorStep, 0);
    for (int j = 0; j < solver->cellsY; j += stride) {
        for (int i = 0; i < solver->cellsX; i += stride) {
            Vec2 v = solver->velocity[solver->cellIndex(i + 1, j + 1)];
            const float d2 = v.x * v.x + v.y * v.y;
            if (!(d2 > t2))
                continue;
            if (d2 > kMaxVectorLengthSquared) {
                v.x *= kMaxVectorLengthSquared / d2;
                v.y *= kMaxVectorLengthSquared / d2;
            }
            const float fi = static_cast<float>(i);
            const float fj = static_cast<float>(j);
            gaDrawLine(fi, fj, fi + v.x * vectorScale * kVectorLength,
                       fj + v.y * vectorScale * kVectorLength);
        }
    }
    gaPopMatrix();
}

void DrawerGl::allocateTexture()
{
    texture.allocate(solver->cellsX, solver->cellsY, textureFormat);
}

void DrawerGl::uploadPixels()
{
    const int width = static_cast<int>(texture.getWidth());
    const int height = static_cast<int>(texture.getHeight());
    const int bytes = bytesPerPixel();
    if (pixels.size() <
        static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * static_cast<std::size_t>(bytes))
        return;
    const unsigned char* in = pixels.data();
    gaImage_<unsigned char>& image = texture.image();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x, in += bytes)
            image.setColor(x, y,
                           0xFF000000u | std::uint32_t(in[0]) << 16 | std::uint32_t(in[1]) << 8 | in[2]);
}

void DrawerGl::blitTexture(float x, float y, float w, float h)
{
    texture.draw(x, y, w, h);
}

} // namespace nvq::fluid
