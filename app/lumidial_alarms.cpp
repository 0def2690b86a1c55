// The clock window's side of the alarms: its popup slots, the snooze timers
// 10 to 18 and the two messages the popups post. The alarm logic itself is
// CAlarmMonitor (app/alarms.h).
#include "app/alarm_dlg.h"
#include "app/lmd_app.h"
#include "app/lumidial.h"

namespace {

bool IsAlarmIndex(int index)
{
    return index >= 0 && index < kAlarmCount;
}

} // namespace

std::unique_ptr<CAlarmDlg> CLumidial::ShowAlarmPopup(int index, const AlarmSetting& alarm)
{
    return CreateAlarmPopup(*this, index, alarm, theApp.m_nDarkThreshold);
}

bool CLumidial::HasAlarmPopup(int index) const
{
    return IsAlarmIndex(index) && m_alarms[static_cast<std::size_t>(index)].popup != nullptr;
}

void CLumidial::OpenAlarmPopup(int index)
{
    const std::vector<AlarmSetting>& alarms = Settings().Alarms;
    if (IsAlarmIndex(index) && static_cast<std::size_t>(index) < alarms.size())
        m_alarms[static_cast<std::size_t>(index)].popup =
            ShowAlarmPopup(index, alarms[static_cast<std::size_t>(index)]);
}

void CLumidial::CloseAlarmPopup(int index)
{
    if (IsAlarmIndex(index))
        m_alarms[static_cast<std::size_t>(index)].popup.reset();
}

void CLumidial::StartSnoozeTimer(int index, int delayMs)
{
    if (IsAlarmIndex(index))
        m_timers.SetTimer(TIMER_SNOOZE + index, delayMs);
}

void CLumidial::StopSnoozeTimer(int index)
{
    if (IsAlarmIndex(index))
        m_timers.KillTimer(TIMER_SNOOZE + index);
}

void CLumidial::OnAlarmClosed(int index)
{
    m_alarmMonitor.OnClosed(index, Settings().Alarms);
}

void CLumidial::OnAlarmSnooze(int index, int delayMs)
{
    m_alarmMonitor.OnSnooze(index, delayMs);
}
