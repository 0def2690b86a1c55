#pragma once
// CShaderClock: the dial faces drawn by shader (effect codes 50 to 52). Besides
// the source picture it sends the local date and time (iDate) and the colours of
// the hour, minute and second hands, which the main window writes between frames.
#include "effects/shader_renderer.h"

#include <QRect>
#include <QSize>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A local date and time to the millisecond.
struct LocalDateTime
{
    int year = 0;
    int month = 0; // 1 to 12
    int day = 0;   // 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// The current local time (the default time source of CShaderClock).
LocalDateTime CurrentLocalTime();

// iDate: year, month, day, and the seconds since local midnight with the
// milliseconds.
std::array<float, 4> DateUniform(const LocalDateTime& time);

// Where the hands point at a time of day (seconds since local midnight, as in
// iDate.w): (sin, cos) of each hand's clock angle, 0 at twelve, clockwise. The
// hour, minute and second hands sweep; minuteStep jumps from minute to minute,
// secondStop sweeps the dial in 58.5 s and waits at twelve for the next minute
// (the railway clock's hands). The dials take them as the uniforms iHourHand,
// iMinuteHand, iSecondHand, iMinuteHandStep and iSecondHandStop, once per frame
// instead of once per pixel.
struct HandDirections
{
    std::array<float, 2> hour, minute, second, minuteStep, secondStop;
};
HandDirections HandDirectionsAt(float seconds);

// A hand of a dial drawn by shader, in dial units (65 from the centre to the
// window's edge): along its direction it reaches from back units behind the
// centre to tip units before it, never more than halfWidth to either side
// (counterweights and discs included).
struct DialHand
{
    float back, tip, halfWidth;
    // Where its shadow lies from it, in dial units (x right, y up).
    std::array<float, 2> shadow;
};

// The hands of a dial (hour, minute, second) and which of HandDirections they
// follow: the railway dial's minute hand jumps and its second hand waits
// (minuteStep, secondStop).
struct DialHands
{
    std::array<DialHand, 3> hands;
    bool railway;
};

// The hands of the dial drawn by a shader file of the shaders folder (by name),
// for the dials whose picture changes nowhere else while the source stays:
// LM_Clock and SwissRailwayClock. None for any other name.
std::optional<DialHands> DialHandsOf(std::string_view shaderName);

// The directions the dial's hands follow (hour, minute, second).
std::array<std::array<float, 2>, 3> FollowedDirections(const HandDirections& directions, bool railway);

// Appends to corners two triangles (x, y, u, v per corner, as kFullScreenQuad)
// that cover every pixel centre of a width x height dial whose colour a hand's
// move from direction from to direction to can change: the hand at both
// directions with its shadow (at most 4.5 units away) and its soft edge.
// Returns false, appending nothing, for a move of more than about 30 degrees,
// which one such quad would not cover tightly.
bool AddHandMove(const DialHand& hand, std::array<float, 2> from, std::array<float, 2> to, QSize size,
                 std::vector<float>& corners);

// The pixels (row 0 at the top) of a width x height output whose centres
// triangles of corners can cover.
QRect PixelBounds(const std::vector<float>& corners, QSize size);

class CShaderClock : public CShaderRenderer
{
public:
    using TimeSource = std::function<LocalDateTime()>;

    // CShaderRenderer::Create, and the hands of the dial of that name.
    bool Create(const platform::Surface* source, int width, int height, const std::string& name);

    // One frame. A frame after SetSourceUnchanged, with the hand colours of the
    // frame before, draws the LM_Clock and SwissRailwayClock dials only where a
    // hand was or now is, and nothing when no hand moved: the target must then
    // still hold the previous frame. ChangedRect tells what the frame changed.
    void Render(platform::Surface& target, const platform::Surface* source) override;

    // Replaces the clock (tests draw a fixed time); an empty source restores the
    // local time.
    void SetTimeSource(TimeSource source) { m_timeSource = std::move(source); }

    // Red, green, blue in 0 to 1 (each channel of the colour divided by 255).
    std::array<float, 3> m_hourColor{};
    std::array<float, 3> m_minuteColor{};
    std::array<float, 3> m_secondColor{};

private:
    // What the last frame drew with, besides the source.
    struct Drawn
    {
        std::array<std::array<float, 2>, 3> hands;
        std::array<float, 9> colours;
        bool operator==(const Drawn&) const = default;
    };
    // The triangles of the hands' moves since the last frame, or false when the
    // frame must draw everything.
    bool CollectHandMoves(const Drawn& now);

    TimeSource m_timeSource;
    std::optional<DialHands> m_dialHands;
    std::optional<Drawn> m_lastDrawn;
    std::vector<float> m_moveCorners; // reused across frames
};
