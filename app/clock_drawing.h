#pragma once
// The clock face's own arithmetic, kept apart from the window so it can be
// tested on its own: the integer rotation of the hand outlines, the packed HSL
// colours of the hands and the external frame, the GDI-style logical spaces the
// face is drawn in, the readout's texts and places, and the external frame
// builder.
#include "platform/surface.h"

#include <QImage>
#include <QPoint>
#include <QString>
#include <QTransform>
#include <cstdint>
#include <optional>
#include <span>

using platform::COLORREF;

// --- Packed HSL: hue in bits 0-7 (0..255 for 0..360 degrees), saturation in
// bits 8-15, lightness in bits 16-23. ---

using HslValue = std::uint32_t;

constexpr int HslHue(HslValue hsl)
{
    return static_cast<int>(hsl & 0xFF);
}
constexpr int HslSaturation(HslValue hsl)
{
    return static_cast<int>((hsl >> 8) & 0xFF);
}
constexpr int HslLightness(HslValue hsl)
{
    return static_cast<int>((hsl >> 16) & 0xFF);
}
constexpr HslValue MakeHsl(int hue, int saturation, int lightness)
{
    return static_cast<HslValue>((hue & 0xFF) | ((saturation & 0xFF) << 8) | ((lightness & 0xFF) << 16));
}

// Every grey (black and white too) converts to this fixed value, not to its own
// lightness: hue 120, saturation 0, lightness 120.
inline constexpr HslValue kGreyHsl = 0x780078;

// A colour as packed HSL; each part truncated.
HslValue RgbToHsl(COLORREF colour);
// Packed HSL back to a colour.
COLORREF HslToRgb(HslValue hsl);
// One channel 0..255 for hue h (degrees, any value) between m1 and m2.
int HueToRgb(double h, double m1, double m2);

// --- Hand geometry ---

// Rotates integer points clockwise (in a y-up space) in place, each coordinate
// truncated toward zero: the angle in radians is degrees * 6.28318f / 360 in
// single precision. 90 degrees takes (0, 49) to (48, 0).
void RotatePoints(std::span<QPoint> points, double degrees);

// A GDI-style logical space (MM_ANISOTROPIC): device = (logical * viewport
// extent / window extent) + viewport origin, per axis, rounded.
struct LogicalSpace
{
    QPoint windowExt;
    QPoint viewportExt;
    QPoint viewportOrg;

    QPoint ToDevice(QPoint logical) const;
    // The same mapping as a painter transform (exact, not rounded).
    QTransform Transform() const;
};

// The dial space of a clock w by h: origin at the centre, y upward, 65 units
// to the edge (window extent (65, -65), viewport extent and origin (w/2, h/2)).
LogicalSpace DialSpace(int width, int height);
// The base space: 130 by 130 units over w by h pixels, y downward, origin top-left.
LogicalSpace BaseSpace(int width, int height);

// --- Hand colours ---

struct HandColors
{
    COLORREF hour = 0;
    COLORREF minute = 0;
    COLORREF second = 0;
    bool operator==(const HandColors&) const = default;
};

// The hand colours for a colour kind: 0 the dial's fixed colours (by dial type),
// 1 derived from the frame's pixel at (27, 27), 2 the user's colours, anything
// else black.
HandColors HandColorsFor(int kind, int clockFace, COLORREF framePixel, const HandColors& custom);

// --- Readout and day number ---

struct DigitalReadout
{
    QString time;    // "%2d;%02d": the strip's ';' cell holds the colon
    QString seconds; // "%02d"
    QPoint timeAt;   // base-space points
    QPoint secondsAt;
};

// The dot-matrix texts and places for a time: with the hour hand in the lower
// half (hours 3 to 8, 15 to 20) the readout sits in the upper half, else in the
// lower half.
DigitalReadout DigitalReadoutFor(int hour, int minute, int second);

// The dial-space top-left corner of the day number for a dial type; none for a
// type that shows no day number.
std::optional<QPoint> DayNumberPosition(int clockFace, int day);

// --- External frame ---

inline constexpr int kFrameSize = 130;

// The external frame: the template's ring (its non-black pixels) filled with the
// texture tiled from its bottom-left corner; with gradation the texture's hue
// and saturation are relit by the template's lightness relative to its value at
// (8, 64), capped at 220. Black results become 0x000100 so that the ring never
// turns transparent. A null texture counts as a solid mid-grey one.
QImage BuildExtFrame(const QImage& shapeTemplate, const QImage& texture, bool gradation);
