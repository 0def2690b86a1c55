#pragma once
// Window timers with Windows SetTimer/KillTimer semantics: each timer has an id
// chosen by the window; setting an id that is already running replaces it (its
// interval restarts from now); killing an id that is not running does nothing.
// A running timer fires repeatedly until killed or until the set is destroyed.
//
// The shortest interval is one tick of the Windows system timer, 64 a second
// (kTimerTick, 15.625 ms): a timer set below it fires once a tick, so one set to
// 1 or 10 ms fires 64 times a second, as it did there. An interval of a tick or
// more fires as asked, to the millisecond, as the program's timings count it (a
// 50 ms frame timer gives 20 frames a second; on Windows such a timer fired on
// the first tick after it was due). Each timer keeps to its own grid of
// intervals from the moment it was set; a firing that a busy thread missed is
// dropped, not made up later.
#include <QEvent>
#include <QObject>
#include <algorithm>
#include <chrono>
#include <functional>
#include <map>

namespace platform {

// The timers' tick: 64 a second.
inline constexpr std::chrono::microseconds kTimerTick{15'625};

// The interval at which a timer set to ms milliseconds fires.
constexpr std::chrono::microseconds TimerInterval(int ms)
{
    return std::max<std::chrono::microseconds>(std::chrono::milliseconds(ms), kTimerTick);
}

// Delivered to the owner (through QObject::event) when a TimerSet has no callback.
class WindowTimerEvent final : public QEvent
{
public:
    static QEvent::Type EventType();
    explicit WindowTimerEvent(int id) : QEvent(EventType()), id(id) {}
    int id;
};

class TimerSet final : public QObject
{
public:
    using Callback = std::function<void(int id)>;

    // The set belongs to owner (a QObject child of it, so it lives on the owner's
    // thread and dies with it). Each tick calls onTimer(id) when given, else sends
    // a WindowTimerEvent to the owner.
    explicit TimerSet(QObject* owner, Callback onTimer = {});
    ~TimerSet() override;

    // Starts timer id with the interval in milliseconds (fired at
    // TimerInterval(ms)), replacing a running timer of the same id.
    void SetTimer(int id, int ms);

    // Stops timer id; returns false when it was not running. Safe inside the
    // timer's own callback.
    bool KillTimer(int id);

    bool IsRunning(int id) const;
    void KillAll();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    using Clock = std::chrono::steady_clock;
    struct Running
    {
        int qtId = 0; // the one-shot Qt timer of the next firing
        std::chrono::microseconds interval{};
        Clock::time_point due; // the next firing
    };
    // Starts the Qt timer of the next firing; false when Qt has no timer left.
    bool Arm(Running& timer, Clock::time_point now);

    QObject* owner_;
    Callback onTimer_;
    std::map<int, Running> running_; // by window timer id
};

} // namespace platform
