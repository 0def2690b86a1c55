#include "app/clock_drawing.h"

#include "platform/crt.h"

#include <algorithm>
#include <cmath>

// --- Packed HSL ---

HslValue RgbToHsl(COLORREF colour)
{
    const double r = platform::GetRValue(colour) / 255.0;
    const double g = platform::GetGValue(colour) / 255.0;
    const double b = platform::GetBValue(colour) / 255.0;
    const double max = std::max({r, g, b});
    const double min = std::min({r, g, b});
    const int lightness = static_cast<int>((max + min) * 0.5 * 255);
    if (max == min)
        return kGreyHsl;

    const double delta = max - min;
    const double saturation = lightness > 128 ? delta / (2 - max - min) : delta / (max + min);
    double hue = 0;
    if (r == max)
        hue = (g - b) / delta;
    else if (g == max)
        hue = (b - r) / delta + 2;
    else
        hue = (r - g) / delta + 4;
    hue *= 60;
    if (hue < 0)
        hue += 360;
    return MakeHsl(static_cast<int>(hue * 255 / 360), static_cast<int>(saturation * 255), lightness);
}

int HueToRgb(double h, double m1, double m2)
{
    h = std::fmod(h, 360.0);
    if (h < 0)
        h += 360;
    double v = m1;
    if (h < 60)
        v = m1 + (m2 - m1) * h / 60;
    else if (h < 180)
        v = m2;
    else if (h < 240)
        v = m1 + (m2 - m1) * (240 - h) / 60;
    return static_cast<int>(v * 255);
}

COLORREF HslToRgb(HslValue hsl)
{
    double hue = std::fmod(HslHue(hsl) * 360.0 / 255, 360.0);
    if (hue < 0)
        hue += 360;
    const double s = std::clamp(HslSaturation(hsl) / 255.0, 0.0, 1.0);
    const double l = std::clamp(HslLightness(hsl) / 255.0, 0.0, 1.0);
    const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double m1 = 2 * l - m2;
    const int red = HueToRgb(hue + 120, m1, m2) & 0xFF;
    const int green = HueToRgb(hue, m1, m2) & 0xFF;
    const int blue = HueToRgb(hue - 120, m1, m2) & 0xFF;
    return static_cast<COLORREF>(red + green * 256 + blue * 65536);
}

// --- Hand geometry ---

void RotatePoints(std::span<QPoint> points, double degrees)
{
    // The constant is single precision; the trigonometry is not: with it, 90
    // degrees falls just short of a right angle and (0, 49) truncates to (48, 0).
    const double radians = degrees * 6.28318f / 360;
    const double c = std::cos(radians);
    const double s = std::sin(radians);
    for (QPoint& p : points) {
        const double x = p.x();
        const double y = p.y();
        p = QPoint(static_cast<int>(x * c + y * s), static_cast<int>(y * c - x * s));
    }
}

QPoint LogicalSpace::ToDevice(QPoint logical) const
{
    return {crt::MulDiv(logical.x(), viewportExt.x(), windowExt.x()) + viewportOrg.x(),
            crt::MulDiv(logical.y(), viewportExt.y(), windowExt.y()) + viewportOrg.y()};
}

QTransform LogicalSpace::Transform() const
{
    return QTransform(static_cast<double>(viewportExt.x()) / windowExt.x(), 0, 0,
                      static_cast<double>(viewportExt.y()) / windowExt.y(), viewportOrg.x(), viewportOrg.y());
}

LogicalSpace DialSpace(int width, int height)
{
    const int half = kFrameSize / 2;
    return {{half, -half}, {width / 2, height / 2}, {width / 2, height / 2}};
}

LogicalSpace BaseSpace(int width, int height)
{
    return {{kFrameSize, kFrameSize}, {width, height}, {0, 0}};
}

// --- Hand colours ---

namespace {

// The frame colour with its lightness moved by delta away from the nearer end
// of the scale: up while at most limit, else down.
COLORREF Relit(HslValue hsl, int delta, int limit)
{
    const int lightness = HslLightness(hsl);
    const int relit = lightness <= limit ? lightness + delta : lightness - delta;
    return HslToRgb(MakeHsl(HslHue(hsl), HslSaturation(hsl), relit));
}

} // namespace

HandColors HandColorsFor(int kind, int clockFace, COLORREF framePixel, const HandColors& custom)
{
    switch (kind) {
    case 0:
        return clockFace == 1 ? HandColors{0x000000, 0x000000, 0x120AB4}
                              : HandColors{0xC0C0C0, 0xFFFFFF, 0x5FBA68};
    case 1: {
        const HslValue hsl = RgbToHsl(framePixel);
        return {Relit(hsl, 50, 170), Relit(hsl, 30, 190), framePixel};
    }
    case 2:
        return custom;
    default:
        return {};
    }
}

// --- Readout and day number ---

DigitalReadout DigitalReadoutFor(int hour, int minute, int second)
{
    const bool handBelow = (hour >= 3 && hour <= 8) || (hour >= 15 && hour <= 20);
    DigitalReadout readout;
    readout.time = QStringLiteral("%1;%2").arg(hour, 2).arg(minute, 2, 10, QChar('0'));
    readout.seconds = QStringLiteral("%1").arg(second, 2, 10, QChar('0'));
    readout.timeAt = handBelow ? QPoint(25, 35) : QPoint(25, 72);
    readout.secondsAt = handBelow ? QPoint(53, 18) : QPoint(53, 96);
    return readout;
}

std::optional<QPoint> DayNumberPosition(int clockFace, int day)
{
    const int shift = day >= 1 && day <= 9 ? 5 : 0; // one digit sits further right
    switch (clockFace) {
    case 0:
        return QPoint(29 + shift, 7);
    case 1:
        return QPoint(20 + shift, 7);
    case 2:
        return QPoint(-7 + shift, -29);
    default:
        return std::nullopt;
    }
}

// --- External frame ---

namespace {

// Pixel (x, row) of a picture read as a bottom-up buffer: row 0 is the bottom row.
COLORREF BufferPixel(const QImage& picture, int x, int row)
{
    return platform::FromPixel(picture.pixel(x, picture.height() - 1 - row));
}

} // namespace

QImage BuildExtFrame(const QImage& shapeTemplate, const QImage& texture, bool gradation)
{
    constexpr COLORREF kBlack = 0x000000;
    constexpr COLORREF kNearBlack = platform::Rgb(0, 1, 0);
    constexpr int kMaxLightness = 220;

    QImage frame(kFrameSize, kFrameSize, QImage::Format_RGB32);
    frame.fill(Qt::black);
    if (shapeTemplate.width() < kFrameSize || shapeTemplate.height() < kFrameSize)
        return frame; // no shape: no ring
    const QImage shape =
        shapeTemplate.convertToFormat(QImage::Format_RGB32).copy(0, 0, kFrameSize, kFrameSize);
    QImage tile = texture.convertToFormat(QImage::Format_RGB32);
    if (tile.isNull()) {
        tile = QImage(1, 1, QImage::Format_RGB32);
        tile.fill(QColor(128, 128, 128));
    }
    const int tw = tile.width();
    const int th = tile.height();

    // The ring's lightness at the left side, mid-height, is the reference.
    const int reference = HslLightness(RgbToHsl(BufferPixel(shape, 8, 65)));
    for (int y = 0; y < kFrameSize; ++y) {
        auto* out = reinterpret_cast<QRgb*>(frame.scanLine(kFrameSize - 1 - y));
        for (int x = 0; x < kFrameSize; ++x) {
            const COLORREF t = BufferPixel(shape, x, y);
            if (t == kBlack)
                continue;
            const COLORREF u = BufferPixel(tile, x % tw, y % th);
            COLORREF chosen = u;
            if (gradation) {
                const HslValue texel = RgbToHsl(u);
                const int lightness =
                    std::clamp(HslLightness(RgbToHsl(t)) + HslLightness(texel) - reference, 0, kMaxLightness);
                chosen = HslToRgb(MakeHsl(HslHue(texel), HslSaturation(texel), lightness));
            }
            if (chosen == kBlack)
                chosen = kNearBlack;
            out[x] = platform::ToPixel(chosen);
        }
    }
    return frame;
}
