#include "platform/timers.h"

#include <QCoreApplication>
#include <QTimerEvent>

namespace platform {

QEvent::Type WindowTimerEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

TimerSet::TimerSet(QObject* owner, Callback onTimer)
    : QObject(owner), owner_(owner), onTimer_(std::move(onTimer))
{
}

TimerSet::~TimerSet()
{
    KillAll();
}

void TimerSet::SetTimer(int id, int ms)
{
    KillTimer(id);
    const Clock::time_point now = Clock::now();
    Running timer{0, TimerInterval(ms), now + TimerInterval(ms)};
    if (Arm(timer, now))
        running_[id] = timer;
}

bool TimerSet::Arm(Running& timer, Clock::time_point now)
{
    // Qt counts whole milliseconds: rounding up keeps every firing on or after its due time.
    timer.qtId = startTimer(std::chrono::ceil<std::chrono::milliseconds>(timer.due - now), Qt::PreciseTimer);
    return timer.qtId != 0;
}

bool TimerSet::KillTimer(int id)
{
    const auto it = running_.find(id);
    if (it == running_.end())
        return false;
    killTimer(it->second.qtId);
    running_.erase(it);
    return true;
}

bool TimerSet::IsRunning(int id) const
{
    return running_.contains(id);
}

void TimerSet::KillAll()
{
    for (const auto& [id, timer] : running_)
        killTimer(timer.qtId);
    running_.clear();
}

void TimerSet::timerEvent(QTimerEvent* event)
{
    const auto it = std::find_if(running_.begin(), running_.end(),
                                 [event](const auto& entry) { return entry.second.qtId == event->timerId(); });
    if (it == running_.end())
        return; // killed while its tick was already queued
    const int id = it->first;
    Running& timer = it->second;
    killTimer(timer.qtId);
    // The next firing is the first due time of the grid after now: the ones a
    // busy thread missed are dropped.
    const Clock::time_point now = Clock::now();
    timer.due += timer.interval;
    if (timer.due <= now)
        timer.due += timer.interval * ((now - timer.due) / timer.interval + 1);
    if (!Arm(timer, now))
        running_.erase(it);
    // Armed before the call, so that the callback may kill or set this id again.
    if (onTimer_) {
        onTimer_(id);
    } else if (owner_) {
        WindowTimerEvent tick(id);
        QCoreApplication::sendEvent(owner_, &tick);
    }
}

} // namespace platform
