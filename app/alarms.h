#pragma once
// The nine alarms at run time: the check every 3 seconds (timer 2 of the clock
// window) against the local time, the fired latch that keeps an alarm from
// ringing twice within its minute, closing (a once-only alarm switches itself
// off) and snoozing (timer 10 + index reopens the popup).
//
// The logic talks to the clock window through AlarmWindow and reads the time
// from a clock function, so it runs the same with a simulated clock and a test
// window as with the real ones.
#include "store/app_settings.h"

#include <QDateTime>
#include <array>
#include <functional>
#include <vector>

// NotifyTiming values with a meaning of their own (3 to 9: weekly, Sunday to Saturday).
enum NotifyTiming : int
{
    NOTIFY_DAILY = 0,
    NOTIFY_MON_SAT = 1,
    NOTIFY_MON_FRI = 2,
    NOTIFY_SUNDAY = 3,
    NOTIFY_SATURDAY = 9,
    NOTIFY_ONCE = 10, // every day until closed, then switched off
    NOTIFY_DATE = 11, // on Month/Day
};

// The snooze choices of the popup, in list order, and the delay each gives.
struct SnoozeChoice
{
    const char* text; // UTF-8
    int delayMs;
};
inline constexpr std::array<SnoozeChoice, 12> kSnoozeChoices = {{
    {"5 分後", 300000},
    {"10 分後", 600000},
    {"15 分後", 900000},
    {"30 分後", 1800000},
    {"1 時間後", 3600000},
    {"2 時間後", 7200000},
    {"4 時間後", 14400000},
    {"8 時間後", 28800000},
    {"半日後", 43200000},
    {"1 日後", 86400000},
    {"2 日後", 172800000},
    {"3 日後", 259200000},
}};
// The delay when no choice is selected.
inline constexpr int kSnoozeNoneMs = 60000;

// The delay of a snooze list index; kSnoozeNoneMs for -1 (none) or any index
// outside the list.
int SnoozeDelay(int selection);

// Whether the alarm's day rule lets it ring on date: 0 and 10 every day, 1
// Monday to Saturday, 2 Monday to Friday, 3 to 9 on one weekday (Sunday to
// Saturday), 11 on its Month and Day. Other values never.
bool AlarmAppliesOn(const AlarmSetting& alarm, const QDate& date);

// Whether time lies in the alarm's minute (its Hour and Minute).
bool IsAlarmMinute(const AlarmSetting& alarm, const QTime& time);

// What the alarm logic needs from the clock window: a popup slot per alarm
// and the snooze timers 10 to 18.
class AlarmWindow
{
public:
    virtual ~AlarmWindow() = default;
    virtual bool HasAlarmPopup(int index) const = 0;
    // Opens alarm index's popup (with its sound) and keeps it in the slot.
    virtual void OpenAlarmPopup(int index) = 0;
    // Destroys the popup in the slot (if any) and empties the slot.
    virtual void CloseAlarmPopup(int index) = 0;
    virtual void StartSnoozeTimer(int index, int delayMs) = 0;
    virtual void StopSnoozeTimer(int index) = 0;
};

class CAlarmMonitor
{
public:
    using Clock = std::function<QDateTime()>;

    // clock gives the local time; by default the system's.
    explicit CAlarmMonitor(AlarmWindow& window, Clock clock = &QDateTime::currentDateTime);

    void SetClock(Clock clock) { m_clock = std::move(clock); }

    // The check (timer 2): every enabled alarm with NotifyTiming 0 to 11 whose
    // minute it is and whose day rule passes rings, unless its popup is open or
    // its latch is set; ringing sets the latch. Outside its minute an alarm's
    // latch is cleared, on any day: a latch left from yesterday must not hold
    // back a snooze that runs past midnight onto a day the rule skips.
    void Check(const std::vector<AlarmSetting>& alarms);

    // WM_ALARM_CLOSED: the popup goes; a once-only alarm (NotifyTiming 10) is
    // switched off (saved with the next settings save).
    void OnClosed(int index, std::vector<AlarmSetting>& alarms);

    // WM_ALARM_SNOOZE: the popup goes and the snooze timer starts.
    void OnSnooze(int index, int delayMs);

    // Snooze timer 10 + index: stops, and reopens the popup unless it is open or
    // the alarm rang anew within its current minute. A snooze does not set the
    // latch.
    void OnSnoozeTimer(int index, const std::vector<AlarmSetting>& alarms);

    bool IsFired(int index) const;

private:
    static bool IsIndex(int index, std::size_t count);
    // Clears the latch of an alarm whose minute it is not.
    void ExpireLatch(int index, const AlarmSetting& alarm, const QTime& now);

    AlarmWindow& m_window;
    Clock m_clock;
    std::array<bool, kAlarmCount> m_fired{};
};
