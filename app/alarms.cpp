#include "app/alarms.h"

int SnoozeDelay(int selection)
{
    if (selection < 0 || selection >= static_cast<int>(kSnoozeChoices.size()))
        return kSnoozeNoneMs;
    return kSnoozeChoices[static_cast<std::size_t>(selection)].delayMs;
}

bool AlarmAppliesOn(const AlarmSetting& alarm, const QDate& date)
{
    const int weekday = date.dayOfWeek() % 7; // 0 Sunday .. 6 Saturday
    switch (alarm.NotifyTiming) {
    case NOTIFY_DAILY:
    case NOTIFY_ONCE:
        return true;
    case NOTIFY_MON_SAT:
        return weekday >= 1 && weekday <= 6;
    case NOTIFY_MON_FRI:
        return weekday >= 1 && weekday <= 5;
    case NOTIFY_DATE:
        return alarm.Month == date.month() && alarm.Day == date.day();
    default:
        return alarm.NotifyTiming >= NOTIFY_SUNDAY && alarm.NotifyTiming <= NOTIFY_SATURDAY &&
               weekday == alarm.NotifyTiming - NOTIFY_SUNDAY;
    }
}

bool IsAlarmMinute(const AlarmSetting& alarm, const QTime& time)
{
    return alarm.Hour == time.hour() && alarm.Minute == time.minute();
}

CAlarmMonitor::CAlarmMonitor(AlarmWindow& window, Clock clock) : m_window(window), m_clock(std::move(clock))
{
}

bool CAlarmMonitor::IsIndex(int index, std::size_t count)
{
    return index >= 0 && index < kAlarmCount && static_cast<std::size_t>(index) < count;
}

bool CAlarmMonitor::IsFired(int index) const
{
    return IsIndex(index, m_fired.size()) && m_fired[static_cast<std::size_t>(index)];
}

void CAlarmMonitor::ExpireLatch(int index, const AlarmSetting& alarm, const QTime& now)
{
    if (!IsAlarmMinute(alarm, now))
        m_fired[static_cast<std::size_t>(index)] = false;
}

void CAlarmMonitor::Check(const std::vector<AlarmSetting>& alarms)
{
    const QDateTime now = m_clock();
    for (int i = 0; IsIndex(i, alarms.size()); ++i) {
        const AlarmSetting& alarm = alarms[static_cast<std::size_t>(i)];
        if (!alarm.Enable || alarm.NotifyTiming < NOTIFY_DAILY || alarm.NotifyTiming > NOTIFY_DATE)
            continue;
        ExpireLatch(i, alarm, now.time());
        if (!IsAlarmMinute(alarm, now.time()) || !AlarmAppliesOn(alarm, now.date()))
            continue;
        bool& fired = m_fired[static_cast<std::size_t>(i)];
        if (!m_window.HasAlarmPopup(i) && !fired) {
            m_window.OpenAlarmPopup(i);
            fired = true;
        }
    }
}

void CAlarmMonitor::OnClosed(int index, std::vector<AlarmSetting>& alarms)
{
    if (!IsIndex(index, alarms.size()))
        return;
    m_window.CloseAlarmPopup(index);
    AlarmSetting& alarm = alarms[static_cast<std::size_t>(index)];
    if (alarm.NotifyTiming == NOTIFY_ONCE)
        alarm.Enable = false;
}

void CAlarmMonitor::OnSnooze(int index, int delayMs)
{
    if (!IsIndex(index, m_fired.size()))
        return;
    m_window.CloseAlarmPopup(index);
    m_window.StartSnoozeTimer(index, delayMs);
}

void CAlarmMonitor::OnSnoozeTimer(int index, const std::vector<AlarmSetting>& alarms)
{
    if (!IsIndex(index, alarms.size()))
        return;
    m_window.StopSnoozeTimer(index);
    // The check may not have run since the alarm's minute ended.
    ExpireLatch(index, alarms[static_cast<std::size_t>(index)], m_clock().time());
    if (!m_window.HasAlarmPopup(index) && !m_fired[static_cast<std::size_t>(index)])
        m_window.OpenAlarmPopup(index);
}
