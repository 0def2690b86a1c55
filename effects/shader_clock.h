#pragma once
// CShaderClock: the dial faces drawn by shader (effect codes 50 to 52). Besides
// the source picture it sends the local date and time (iDate) and the colours of
// the hour, minute and second hands, which the main window writes between frames.
#include "effects/shader_renderer.h"

#include <array>
#include <functional>

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

class CShaderClock : public CShaderRenderer
{
public:
    using TimeSource = std::function<LocalDateTime()>;

    void Render(platform::Surface& target, const platform::Surface* source) override;

    // Replaces the clock (tests draw a fixed time); an empty source restores the
    // local time.
    void SetTimeSource(TimeSource source) { m_timeSource = std::move(source); }

    // Red, green, blue in 0 to 1 (each channel of the colour divided by 255).
    std::array<float, 3> m_hourColor{};
    std::array<float, 3> m_minuteColor{};
    std::array<float, 3> m_secondColor{};

private:
    TimeSource m_timeSource;
};
