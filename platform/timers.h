#pragma once
// Window timers with Windows SetTimer/KillTimer semantics: each timer has an id
// chosen by the window; setting an id that is already running replaces it (its
// interval restarts from now); killing an id that is not running does nothing.
// A running timer fires repeatedly until killed or until the set is destroyed.
#include <QEvent>
#include <QObject>
#include <functional>
#include <map>

namespace platform {

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

    // Starts timer id with the interval in milliseconds, replacing a running timer
    // of the same id. An interval below 10 ms is raised to 10 ms, as on Windows.
    void SetTimer(int id, int ms);

    // Stops timer id; returns false when it was not running. Safe inside the
    // timer's own callback.
    bool KillTimer(int id);

    bool IsRunning(int id) const;
    void KillAll();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    QObject* owner_;
    Callback onTimer_;
    std::map<int, int> running_; // window timer id -> Qt timer id
};

} // namespace platform
