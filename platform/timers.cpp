#include "platform/timers.h"

#include <QCoreApplication>
#include <QTimerEvent>
#include <algorithm>

namespace platform {
namespace {

constexpr int kMinimumIntervalMs = 10;

} // namespace

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
    const int qtId = startTimer(std::max(ms, kMinimumIntervalMs), Qt::PreciseTimer);
    if (qtId != 0)
        running_[id] = qtId;
}

bool TimerSet::KillTimer(int id)
{
    const auto it = running_.find(id);
    if (it == running_.end())
        return false;
    killTimer(it->second);
    running_.erase(it);
    return true;
}

bool TimerSet::IsRunning(int id) const
{
    return running_.contains(id);
}

void TimerSet::KillAll()
{
    for (const auto& [id, qtId] : running_)
        killTimer(qtId);
    running_.clear();
}

void TimerSet::timerEvent(QTimerEvent* event)
{
    const auto it = std::find_if(running_.begin(), running_.end(),
                                 [event](const auto& entry) { return entry.second == event->timerId(); });
    if (it == running_.end())
        return; // killed while its tick was already queued
    const int id = it->first;
    if (onTimer_) {
        onTimer_(id);
    } else if (owner_) {
        WindowTimerEvent tick(id);
        QCoreApplication::sendEvent(owner_, &tick);
    }
}

} // namespace platform
