// The alarm page "アラーム" on the test display, with a recording main window
// and recording choosers: the nine rows' controls and values, what each
// control writes into its alarm, the message colours and the scrolling.
#include "controls/color_edit.h"
#include "controls/shade_button_vq.h"
#include "settings/choosers.h"
#include "settings/prop_page4.h"
#include "tests/settings/settings_fixture.h"
#include "tests/support/screens.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QScrollBar>
#include <QSet>
#include <QTimeEdit>
#include <QWheelEvent>
#include <memory>

namespace {

using namespace lmd::test;

class PropPage4Test : public SettingsPageTest
{
protected:
    void SetUp() override
    {
        SettingsPageTest::SetUp();
        for (AlarmSetting& alarm : Settings().Alarms)
            alarm.BackColor = 0xFFFFFF;
        AlarmSetting& second = Settings().Alarms[1];
        second = {true, 11, 12, 24, 7, 5, 0x808080, "起床"};
        Settings().Alarms[4] = {false, 3, 0, 0, 23, 59, 0xC0C0C0, "ゴミ出し"};
        Settings().Alarms[8] = {true, 10, 2, 30, 12, 0, 0x969696, "last"}; // February 30th: no date
    }

    CPropPage4& Open()
    {
        page = OpenPage<CPropPage4>(mainWindow);
        page->resize(381, 259); // the dialog's page area
        return *page;
    }

    template <typename T> T* Row(int id, int i) const { return page->Item<T>(id + i); }
    AlarmSetting& Alarm(int i) { return Settings().Alarms[static_cast<std::size_t>(i)]; }

    ScopedRecordingChoosers choosers;
    std::unique_ptr<CPropPage4> page;
};

// Nine rows of six controls, each with its id, kind and the alarm's values;
// the date picker is enabled for "日付指定" only; white text on dark
// backgrounds (largest byte below 150), black on light ones.
TEST_F(PropPage4Test, NineRowsShowTheAlarms)
{
    Open();
    QSet<QWidget*> controls;
    for (int i = 0; i < 9; ++i) {
        const AlarmSetting& alarm = Alarm(i);
        auto* check = Row<QCheckBox>(CPropPage4::IDC_SWITCH, i);
        auto* combo = Row<QComboBox>(CPropPage4::IDC_TIMING, i);
        auto* date = Row<QDateEdit>(CPropPage4::IDC_DATE, i);
        auto* time = Row<QTimeEdit>(CPropPage4::IDC_TIME, i);
        auto* edit = dynamic_cast<CColorEdit*>(page->GetDlgItem(CPropPage4::IDC_MESSAGE + i));
        auto* button = dynamic_cast<CShadeButtonVq*>(page->GetDlgItem(CPropPage4::IDC_COLOR + i));
        ASSERT_TRUE(check && combo && date && time && edit && button) << i;
        controls += {check, combo, date, time, edit, button};

        EXPECT_EQ(check->text(), QString("アラーム%1").arg(i + 1));
        EXPECT_EQ(check->isChecked(), alarm.Enable) << i;
        ASSERT_EQ(combo->count(), 12);
        EXPECT_EQ(combo->itemText(0), "毎日");
        EXPECT_EQ(combo->itemText(10), "1回だけ");
        EXPECT_EQ(combo->itemText(11), "日付指定");
        EXPECT_EQ(combo->currentIndex(), alarm.NotifyTiming) << i;
        EXPECT_EQ(date->isEnabled(), alarm.NotifyTiming == 11) << i;
        EXPECT_EQ(date->displayFormat(), "MM/dd");
        EXPECT_EQ(time->displayFormat(), "HH:mm");
        EXPECT_EQ(time->time(), QTime(alarm.Hour, alarm.Minute)) << i;
        EXPECT_EQ(edit->toPlainText(), alarm.AlarmMsg) << i;
        EXPECT_EQ(edit->GetBackgroundColor(), alarm.BackColor) << i;
        EXPECT_FALSE(edit->isReadOnly());
    }
    EXPECT_EQ(controls.size(), 54);
    EXPECT_EQ(Row<QDateEdit>(CPropPage4::IDC_DATE, 1)->text(), "12/24");
    EXPECT_EQ(Row<QTimeEdit>(CPropPage4::IDC_TIME, 1)->text(), "07:05");
    // No February 30th: the picker shows today, and the record keeps its day
    // until a date is picked (the alarm is not dated).
    EXPECT_EQ(Row<QDateEdit>(CPropPage4::IDC_DATE, 8)->date(), QDate::currentDate());
    EXPECT_EQ(Alarm(8).Day, 30);

    const std::pair<int, platform::COLORREF> textColours[] = {
        {1, 0xFFFFFF}, // 0x808080: largest byte 128
        {4, 0x000000}, // 0xC0C0C0: 192
        {8, 0x000000}, // 0x969696: exactly 150
        {0, 0x000000},
    };
    for (const auto& [i, text] : textColours)
        EXPECT_EQ(page->MessageEdit(i)->GetTextColor(), text) << i;
    EXPECT_TRUE(mainWindow.Messages().empty());
    SaveScreen(page->grab().toImage(), "prop_page4");
}

// Switch, repetition, date, time and message go into their alarm at once;
// "日付指定" enables the date picker and stores the date it shows, a date
// typed with the keys is stored like a picked one. Nothing is posted.
TEST_F(PropPage4Test, EditsGoIntoTheAlarm)
{
    Open();
    Click(Row<QCheckBox>(CPropPage4::IDC_SWITCH, 0));
    EXPECT_TRUE(Alarm(0).Enable);

    auto* date = Row<QDateEdit>(CPropPage4::IDC_DATE, 0);
    ChooseEntry(Row<QComboBox>(CPropPage4::IDC_TIMING, 0), 11);
    EXPECT_EQ(Alarm(0).NotifyTiming, 11);
    EXPECT_TRUE(date->isEnabled());
    EXPECT_EQ(QDate(2000, Alarm(0).Month, Alarm(0).Day), QDate(2000, date->date().month(), date->date().day()));

    date->setFocus();
    QTest::keyClick(date, Qt::Key_Home); // the month
    QTest::keyClick(date, Qt::Key_Up);
    EXPECT_EQ(Alarm(0).Month, date->date().month());
    EXPECT_EQ(Alarm(0).Day, date->date().day());
    const int month = Alarm(0).Month;

    ChooseEntry(Row<QComboBox>(CPropPage4::IDC_TIMING, 0), 9);
    EXPECT_FALSE(date->isEnabled());
    EXPECT_EQ(Alarm(0).Month, month);

    auto* time = Row<QTimeEdit>(CPropPage4::IDC_TIME, 2);
    time->setFocus();
    QTest::keyClick(time, Qt::Key_Home); // the hour
    for (int i = 0; i < 9; ++i)
        QTest::keyClick(time, Qt::Key_Up);
    QTest::keyClick(time, Qt::Key_End); // the minute
    for (int i = 0; i < 30; ++i)
        QTest::keyClick(time, Qt::Key_Up);
    EXPECT_EQ(Alarm(2).Hour, 9);
    EXPECT_EQ(Alarm(2).Minute, 30);

    CColorEdit* edit = page->MessageEdit(3);
    edit->setFocus();
    QTest::keyClicks(edit, "tea");
    QTest::keyClick(edit, Qt::Key_Return); // one line only
    EXPECT_EQ(Alarm(3).AlarmMsg, "tea");
    EXPECT_EQ(edit->toPlainText(), "tea");
    EXPECT_TRUE(mainWindow.Messages().empty());
}

// The colour button asks for a colour starting at the alarm's; a chosen one
// becomes the background with the matching text colour; a cancelled one
// changes nothing.
TEST_F(PropPage4Test, BackgroundColour)
{
    Open();
    Click(page->GetDlgItem(CPropPage4::IDC_COLOR + 4));
    EXPECT_EQ(choosers->colors, std::vector<platform::COLORREF>{0xC0C0C0});
    EXPECT_EQ(Alarm(4).BackColor, 0xC0C0C0u);

    choosers->colorAnswer = 0x402000;
    Click(page->GetDlgItem(CPropPage4::IDC_COLOR + 4));
    EXPECT_EQ(Alarm(4).BackColor, 0x402000u);
    EXPECT_EQ(page->MessageEdit(4)->GetBackgroundColor(), 0x402000u);
    EXPECT_EQ(page->MessageEdit(4)->GetTextColor(), 0xFFFFFFu);
}

// The dark threshold is the one handed in with the settings: at 200, light
// grey (largest byte 192) gets white text too, white still black.
TEST_F(PropPage4Test, TextColourFollowsTheHandedInThreshold)
{
    const ScopedPageSettings brighter(Settings(), QString(), 200);
    Open();
    EXPECT_EQ(page->MessageEdit(4)->GetTextColor(), 0xFFFFFFu);
    EXPECT_EQ(page->MessageEdit(0)->GetTextColor(), 0x000000u);
    choosers->colorAnswer = 0xC7C7C7; // largest byte 199
    Click(page->GetDlgItem(CPropPage4::IDC_COLOR));
    EXPECT_EQ(page->MessageEdit(0)->GetTextColor(), 0xFFFFFFu);
}

// The scroll bar's arrows and the wheel move the rows 60 pixels a step,
// between positions 0 and 7.
TEST_F(PropPage4Test, ScrollingStopsAtTheEnds)
{
    Open();
    QScrollBar* bar = page->ScrollBar();
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 7);
    EXPECT_EQ(bar->x() + bar->width(), page->width());
    QWidget* first = page->GetDlgItem(CPropPage4::IDC_SWITCH);
    QWidget* last = page->GetDlgItem(CPropPage4::IDC_COLOR + 8);
    const QPoint firstAt = first->pos();
    const QPoint lastAt = last->pos();

    const QPoint downArrow(bar->width() / 2, bar->height() - 4);
    for (int i = 0; i < 10; ++i)
        QTest::mouseClick(bar, Qt::LeftButton, {}, downArrow);
    EXPECT_EQ(bar->value(), 7);
    EXPECT_EQ(first->pos(), firstAt - QPoint(0, 420));
    EXPECT_EQ(last->pos(), lastAt - QPoint(0, 420));
    EXPECT_TRUE(page->rect().contains(last->geometry().bottomLeft())); // the last row shows
    SaveScreen(page->grab().toImage(), "prop_page4_scrolled");

    const auto wheel = [&](int delta) {
        const QPointF at(100, 100);
        QWheelEvent event(at, page->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(page.get(), &event);
    };
    wheel(120);
    EXPECT_EQ(bar->value(), 6);
    EXPECT_EQ(first->pos(), firstAt - QPoint(0, 360));
    for (int i = 0; i < 8; ++i)
        wheel(120);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(first->pos(), firstAt);
    wheel(-120);
    EXPECT_EQ(first->pos(), firstAt - QPoint(0, 60));
    EXPECT_EQ(bar->x() + bar->width(), page->width()); // the bar itself stays
}

} // namespace
