// Millisecond timer for the step profile and the time-of-impact statistics.
#pragma once

#include <chrono>

class phStepTimer
{
public:
    phStepTimer() : m_start(std::chrono::steady_clock::now()) {}
    void Reset() { m_start = std::chrono::steady_clock::now(); }
    // Milliseconds since construction or the last reset.
    float GetMilliseconds() const
    {
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - m_start;
        return static_cast<float>(elapsed.count());
    }

private:
    std::chrono::steady_clock::time_point m_start;
};
