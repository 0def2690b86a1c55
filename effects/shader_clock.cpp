// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/shader_clock.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>
#include <numbers>

LocalDateTime CurrentLocalTime()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate date = now.date();
    const QTime time = now.time();
    return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second(), time.msec()};
}

std::array<float, 4> DateUniform(const LocalDateTime& time)
{
    const float seconds = static_cast<float>(time.minute * 60 + time.hour * 3600 + time.second) +
                          static_cast<float>(time.millisecond) / 1000.0f;
    return {static_cast<float>(time.year), static_cast<float>(time.month), static_cast<float>(time.day),
            seconds};
}

HandDirections HandDirectionsAt(float seconds)
{
    constexpr double kTurn = 2 * std::numbers::pi;
    const double s = seconds;
    const auto direction = [](double turns) {
        return std::array<float, 2>{static_cast<float>(std::sin(kTurn * turns)),
                                    static_cast<float>(std::cos(kTurn * turns))};
    };
    return {direction(std::fmod(s, 43200.0) / 43200.0), direction(std::fmod(s, 3600.0) / 3600.0),
            direction(std::fmod(s, 60.0) / 60.0), direction(std::floor(std::fmod(s, 3600.0) / 60.0) / 60.0),
            direction(std::min(std::fmod(s, 60.0) / 58.5, 1.0))};
}

void CShaderClock::Render(platform::Surface& target, const platform::Surface* source)
{
    static const std::int64_t start = TickCount();
    if (!BeginImagePass(source))
        return;
    SetCommonUniforms(SecondsSince(start));
    const auto date = DateUniform(m_timeSource ? m_timeSource() : CurrentLocalTime());
    glUniform4f(m_uniforms.iDate, date[0], date[1], date[2], date[3]);
    const HandDirections hands = HandDirectionsAt(date[3]);
    glUniform2fv(m_uniforms.iHourHand, 1, hands.hour.data());
    glUniform2fv(m_uniforms.iMinuteHand, 1, hands.minute.data());
    glUniform2fv(m_uniforms.iSecondHand, 1, hands.second.data());
    glUniform2fv(m_uniforms.iMinuteHandStep, 1, hands.minuteStep.data());
    glUniform2fv(m_uniforms.iSecondHandStop, 1, hands.secondStop.data());
    glUniform3fv(m_uniforms.iHourHandColor, 1, m_hourColor.data());
    glUniform3fv(m_uniforms.iMinuteHandColor, 1, m_minuteColor.data());
    glUniform3fv(m_uniforms.iSecondHandColor, 1, m_secondColor.data());
    FinishImagePass(target);
}
