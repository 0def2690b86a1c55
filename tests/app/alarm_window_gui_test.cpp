// The clock window's side of the alarms, on a real clock window: the popups'
// messages, the snooze timers 10 to 18 and the popups' lifetime.
#include "app/alarm_dlg.h"
#include "app/alarms.h"
#include "app/lmd_app.h"
#include "app/lumidial.h"
#include "controls/shade_button_vq.h"
#include "platform/desktop.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "tests/app/clock_window_fixture.h"

#include <QApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The open alarm popups, by alarm index.
std::map<int, CAlarmDlg*> OpenPopups()
{
    std::map<int, CAlarmDlg*> popups;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* popup = dynamic_cast<CAlarmDlg*>(widget); popup && popup->isVisible())
            popups[popup->Index()] = popup;
    }
    return popups;
}

class AlarmWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        AppSettings& settings = lmd::test::BareClockSettings(folder, 400, 300);
        // Alarm 3 rings once only, at a time the check never meets in the test.
        AlarmSetting& alarm = settings.Alarms[2];
        alarm.Enable = true;
        alarm.NotifyTiming = NOTIFY_ONCE;
        alarm.Hour = (QTime::currentTime().hour() + 12) % 24;
        alarm.BackColor = 0x4080FF;
        alarm.AlarmMsg = QStringLiteral("snoozed");

        clock = std::make_unique<CLumidial>();
        ASSERT_TRUE(clock->Create());
        clock->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(clock.get()));
    }

    void TearDown() override
    {
        clock.reset();
        platform::paths::SetExeDirOverride(QString());
    }

    platform::ScopedRecordingDesktop desktop;
    QTemporaryDir folder;
    std::unique_ptr<CLumidial> clock;
};

TEST_F(AlarmWindowTest, SnoozeTimerReopensThePopupAndCloseSwitchesTheOnceAlarmOff)
{
    EXPECT_TRUE(clock->IsTimerRunning(TIMER_ALARM));
    // A snooze of 50 ms for alarm 3 (no popup open): timer 12 reopens it.
    platform::PostAppMessage(platform::WM_ALARM_SNOOZE, 2, 50);
    QTRY_VERIFY(OpenPopups().contains(2));
    CAlarmDlg* popup = OpenPopups().at(2);
    EXPECT_FALSE(clock->IsTimerRunning(TIMER_SNOOZE + 2)); // it fires once
    EXPECT_EQ(popup->windowTitle(), QStringLiteral("Lumidialアラーム No.3"));
    EXPECT_EQ(popup->pos(), clock->pos());
    EXPECT_EQ(desktop->sounds, std::vector<QString>{QStringLiteral("Notification.Reminder")});

    // The popup's snooze: it goes, and timer 12 runs with the chosen delay.
    QPointer<CAlarmDlg> watch(popup);
    QTest::mouseClick(popup->SnoozeButton(), Qt::LeftButton);
    QTRY_VERIFY(watch.isNull()); // destroyed by the clock window
    EXPECT_TRUE(clock->IsTimerRunning(TIMER_SNOOZE + 2));
    EXPECT_TRUE(theApp.AppSettings.Alarms[2].Enable);

    // Its close: the once-only alarm is off.
    platform::PostAppMessage(platform::WM_ALARM_SNOOZE, 2, 10);
    QTRY_VERIFY(OpenPopups().contains(2));
    watch = OpenPopups().at(2);
    QTest::mouseClick(watch->CloseButton(), Qt::LeftButton);
    QTRY_VERIFY(watch.isNull());
    EXPECT_FALSE(theApp.AppSettings.Alarms[2].Enable);
    EXPECT_EQ(desktop->sounds.size(), 2u);
}

TEST_F(AlarmWindowTest, PopupsStillOpenGoWithTheClockWindow)
{
    platform::PostAppMessage(platform::WM_ALARM_SNOOZE, 5, 10);
    platform::PostAppMessage(platform::WM_ALARM_SNOOZE, 8, 10);
    // Alarm 6 and 9 are not enabled: a snooze reopens them all the same.
    QTRY_COMPARE(OpenPopups().size(), 2u);
    const QPointer<CAlarmDlg> first(OpenPopups().at(5));
    const QPointer<CAlarmDlg> second(OpenPopups().at(8));
    // Out-of-range indices are ignored.
    platform::PostAppMessage(platform::WM_ALARM_SNOOZE, 9, 10);
    platform::PostAppMessage(platform::WM_ALARM_CLOSED, 99, 0);
    QTest::qWait(50);
    EXPECT_EQ(OpenPopups().size(), 2u);

    clock->close();
    clock.reset();
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(second.isNull());
}

} // namespace
