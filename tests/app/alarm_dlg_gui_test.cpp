// The alarm popup on the test display: its caption, time line, snooze list,
// text colours read back from the screen, its answers to the clock window, and
// one reminder sound per ring.
#include "app/alarm_dlg.h"
#include "app/alarms.h"
#include "controls/color_edit.h"
#include "controls/shade_button_vq.h"
#include "platform/desktop.h"
#include "platform/messages.h"
#include "tests/support/screens.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace {

using platform::AppMessageEvent;
using platform::COLORREF;

AlarmSetting Alarm(int timing, COLORREF back, const QString& message)
{
    AlarmSetting a;
    a.Enable = true;
    a.NotifyTiming = timing;
    a.Hour = 7;
    a.Minute = 30;
    a.BackColor = back;
    a.AlarmMsg = message;
    return a;
}

// Stands for the clock window: receives the popups' messages.
class MessageSink : public QObject
{
public:
    MessageSink() { platform::RegisterMainWindow(this); }
    ~MessageSink() override { platform::RegisterMainWindow(nullptr); }

    struct Message
    {
        unsigned message;
        platform::WPARAM wParam;
        platform::LPARAM lParam;
    };
    std::vector<Message> received;
    std::function<void(const Message&)> onMessage;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != AppMessageEvent::EventType())
            return QObject::event(e);
        const auto& m = static_cast<AppMessageEvent&>(*e);
        received.push_back({m.message, m.wParam, m.lParam});
        if (onMessage)
            onMessage(received.back());
        return true;
    }
};

class AlarmPopupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        clock.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        clock.setGeometry(200, 150, 130, 130);
        clock.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&clock));
    }

    std::unique_ptr<CAlarmDlg> Open(int index, const AlarmSetting& alarm)
    {
        auto popup = CreateAlarmPopup(clock, index, alarm, 150);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(popup.get()));
        return popup;
    }

    // The message edit's pixels as the screen shows them.
    static QImage MessagePixels(const CAlarmDlg& popup)
    {
        const QWidget* edit = popup.MessageEdit()->viewport();
        const QRect area(edit->mapToGlobal(QPoint(0, 0)), edit->size());
        return lmd::test::GrabScreen().copy(area);
    }

    platform::ScopedRecordingDesktop desktop;
    MessageSink sink;
    QWidget clock;
};

TEST_F(AlarmPopupTest, ShowsCaptionTimeLineMessageAndSnoozeChoices)
{
    auto popup = Open(2, Alarm(NOTIFY_DAILY, 0x7F3010, QStringLiteral("会議の時間です")));
    EXPECT_EQ(popup->windowTitle(), QStringLiteral("Lumidialアラーム No.3"));
    EXPECT_EQ(popup->pos(), clock.pos()); // at the clock's top-left corner

    // The time it opened, with the Japanese day name.
    const QString line = popup->TimeLine()->text();
    static const QRegularExpression format(
        QStringLiteral("^\\d\\d:\\d\\d  \\d{4}/\\d\\d/\\d\\d \\((日|月|火|水|木|金|土)曜日\\) に通知$"));
    EXPECT_TRUE(format.match(line).hasMatch()) << line.toStdString();
    EXPECT_EQ(FormatAlarmTimeLine(QDateTime(QDate(2024, 1, 7), QTime(7, 5))),
              QStringLiteral("07:05  2024/01/07 (日曜日) に通知"));
    EXPECT_TRUE(popup->TimeLine()->isReadOnly());

    EXPECT_EQ(popup->MessageEdit()->toPlainText(), QStringLiteral("会議の時間です"));
    const QComboBox* list = popup->SnoozeList();
    ASSERT_EQ(list->count(), 12);
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(list->itemText(0), QStringLiteral("5 分後"));
    EXPECT_EQ(list->itemText(11), QStringLiteral("3 日後"));
    EXPECT_EQ(popup->SnoozeButton()->text(), QStringLiteral("再通知"));
    EXPECT_FALSE(popup->SnoozeButton()->IsFlat());
    EXPECT_TRUE(popup->SnoozeButton()->NormalImage().IsValid());
    EXPECT_TRUE(popup->CloseButton()->IsDefaultButton());

    // A rounded window: the corners are cut away.
    EXPECT_FALSE(popup->mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(popup->mask().contains(QPoint(popup->width() - 1, popup->height() - 1)));
    EXPECT_TRUE(popup->mask().contains(QPoint(10, 10)));
    EXPECT_TRUE(popup->mask().contains(QPoint(popup->width() / 2, 0)));

    const QImage shot = lmd::test::GrabScreen().copy(popup->frameGeometry().adjusted(-10, -10, 10, 10));
    lmd::test::SaveScreen(shot, QStringLiteral("alarm_popup"));
}

TEST_F(AlarmPopupTest, TwoLineMessageFitsWithoutScrollBars)
{
    auto popup = Open(0, Alarm(NOTIFY_DAILY, 0xC0FFFF, QStringLiteral("会議の時間です\n資料を忘れずに")));
    const CColorEdit* edit = popup->MessageEdit();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(popup.get()));
    EXPECT_FALSE(edit->verticalScrollBar()->isVisible());
    EXPECT_FALSE(edit->horizontalScrollBar()->isVisible());
    EXPECT_LE(edit->document()->size().height(), edit->viewport()->height());
    lmd::test::SaveScreen(lmd::test::GrabScreen().copy(popup->frameGeometry().adjusted(-10, -10, 10, 10)),
                          QStringLiteral("alarm_popup_two_lines"));
}

TEST_F(AlarmPopupTest, MessageTextIsWhiteOnDarkAndBlackOnLightBackgrounds)
{
    struct Case
    {
        COLORREF back; // largest component 127 or 160, dark threshold 150
        COLORREF text;
    };
    for (const Case c : {Case{0x7F2040, 0xFFFFFF}, Case{0x2040A0, 0x000000}}) {
        SCOPED_TRACE(c.back);
        auto popup = Open(0, Alarm(NOTIFY_DAILY, c.back, QStringLiteral("起床 WAKE UP")));
        EXPECT_EQ(popup->MessageEdit()->GetTextColor(), c.text);
        const QImage pixels = MessagePixels(*popup);
        int back = 0;
        int text = 0;
        int other = 0; // black on dark or white on light: a wrong colour
        for (int y = 0; y < pixels.height(); ++y) {
            for (int x = 0; x < pixels.width(); ++x) {
                const COLORREF p = platform::FromPixel(pixels.pixel(x, y));
                back += p == c.back;
                text += p == c.text;
                other += p == (c.text ^ 0xFFFFFF);
            }
        }
        EXPECT_GT(back, pixels.width() * pixels.height() / 2);
        EXPECT_GT(text, 20);
        EXPECT_EQ(other, 0);
        lmd::test::SaveScreen(pixels,
                              QStringLiteral("alarm_popup_text_%1").arg(c.back, 6, 16, QLatin1Char('0')));
    }
    EXPECT_EQ(AlarmTextColor(0x7F7F7F, 150), 0xFFFFFFu);
    EXPECT_EQ(AlarmTextColor(0x00A000, 150), 0x000000u);
    EXPECT_EQ(AlarmTextColor(0x000095, 150), 0xFFFFFFu); // 149
    EXPECT_EQ(AlarmTextColor(0x960000, 150), 0x000000u); // 150
}

TEST_F(AlarmPopupTest, ButtonsAndKeysAnswerTheClockWindow)
{
    auto popup = Open(4, Alarm(NOTIFY_DAILY, 0xFFFFFF, QStringLiteral("test")));
    // Escape does nothing.
    QTest::keyClick(popup.get(), Qt::Key_Escape);
    QTest::qWait(20);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_TRUE(sink.received.empty());

    // Snooze with the list's choice; with none selected, one minute.
    popup->SnoozeList()->setCurrentIndex(3);
    QTest::mouseClick(popup->SnoozeButton(), Qt::LeftButton);
    QTRY_COMPARE(sink.received.size(), 1u);
    EXPECT_EQ(sink.received[0].message, platform::WM_ALARM_SNOOZE);
    EXPECT_EQ(sink.received[0].wParam, 4u);
    EXPECT_EQ(sink.received[0].lParam, 1800000);
    popup->SnoozeList()->setCurrentIndex(-1);
    QTest::mouseClick(popup->SnoozeButton(), Qt::LeftButton);
    QTRY_COMPARE(sink.received.size(), 2u);
    EXPECT_EQ(sink.received[1].lParam, 60000);
    EXPECT_TRUE(popup->isVisible()); // the clock window closes it

    // Enter closes, as the close button does.
    QTest::keyClick(popup.get(), Qt::Key_Return);
    QTRY_COMPARE(sink.received.size(), 3u);
    EXPECT_EQ(sink.received[2].message, platform::WM_ALARM_CLOSED);
    EXPECT_EQ(sink.received[2].wParam, 4u);
}

// The clock window's part, as CLumidial plays it: popups in slots, the
// messages routed to the alarm logic, snooze timers kept for the test to fire.
class PopupWindow : public AlarmWindow
{
public:
    explicit PopupWindow(QWidget& clock) : clock_(clock) {}

    bool HasAlarmPopup(int index) const override { return popups.contains(index); }
    void OpenAlarmPopup(int index) override
    {
        popups[index] = CreateAlarmPopup(clock_, index, (*alarms)[static_cast<std::size_t>(index)], 150);
    }
    void CloseAlarmPopup(int index) override { popups.erase(index); }
    void StartSnoozeTimer(int index, int delayMs) override { snoozes[index] = delayMs; }
    void StopSnoozeTimer(int index) override { snoozes.erase(index); }

    std::vector<AlarmSetting>* alarms = nullptr;
    std::map<int, std::unique_ptr<CAlarmDlg>> popups;
    std::map<int, int> snoozes;

private:
    QWidget& clock_;
};

TEST_F(AlarmPopupTest, EachRingRequestsTheReminderSoundOnce)
{
    std::vector<AlarmSetting> alarms(kAlarmCount);
    alarms[6] = Alarm(NOTIFY_ONCE, 0x00C0FF, QStringLiteral("一度だけ"));
    PopupWindow window(clock);
    window.alarms = &alarms;
    QDateTime now(QDate(2024, 1, 1), QTime(7, 29, 58));
    CAlarmMonitor monitor(window, [&now] { return now; });
    sink.onMessage = [&](const MessageSink::Message& m) {
        if (m.message == platform::WM_ALARM_CLOSED)
            monitor.OnClosed(static_cast<int>(m.wParam), alarms);
        else if (m.message == platform::WM_ALARM_SNOOZE)
            monitor.OnSnooze(static_cast<int>(m.wParam), static_cast<int>(m.lParam));
    };

    monitor.Check(alarms);
    EXPECT_TRUE(desktop->sounds.empty());
    for (int i = 0; i < 10; ++i) { // 07:30:01 .. 07:30:28: one ring
        now = now.addSecs(3);
        monitor.Check(alarms);
    }
    ASSERT_TRUE(window.HasAlarmPopup(6));
    EXPECT_EQ(desktop->sounds, std::vector<QString>{QStringLiteral("Notification.Reminder")});

    // Snoozed: the popup goes, the timer runs; its expiry rings again, with one more sound.
    QTest::mouseClick(window.popups[6]->SnoozeButton(), Qt::LeftButton);
    QTRY_VERIFY(!window.HasAlarmPopup(6));
    ASSERT_EQ(window.snoozes.at(6), 300000);
    EXPECT_TRUE(alarms[6].Enable);
    now = now.addMSecs(300000);
    monitor.OnSnoozeTimer(6, alarms);
    ASSERT_TRUE(window.HasAlarmPopup(6));
    EXPECT_EQ(desktop->sounds.size(), 2u);
    EXPECT_EQ(window.popups[6]->windowTitle(), QStringLiteral("Lumidialアラーム No.7"));

    // Closed: the once-only alarm is off.
    QTest::mouseClick(window.popups[6]->CloseButton(), Qt::LeftButton);
    QTRY_VERIFY(!window.HasAlarmPopup(6));
    EXPECT_FALSE(alarms[6].Enable);
    EXPECT_EQ(desktop->sounds.size(), 2u);
}

} // namespace
