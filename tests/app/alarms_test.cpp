// The alarm logic against a simulated clock: the day rules over a week, the
// fired latch, closing, snoozing and a snooze past midnight.
#include "app/alarms.h"

#include <QTimeZone>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <vector>

// Readable times in failure messages.
void PrintTo(const QDateTime& t, std::ostream* out)
{
    *out << t.toString(Qt::ISODateWithMs).toStdString();
}

namespace {

// Monday, 1 January 2024. UTC keeps the simulated days free of clock changes.
QDateTime At(int day, int hour, int minute, int second = 0, int ms = 0)
{
    return QDateTime(QDate(2024, 1, day), QTime(hour, minute, second, ms), QTimeZone::utc());
}

AlarmSetting Alarm(int timing, int hour, int minute, int month = 0, int day = 0)
{
    AlarmSetting a;
    a.Enable = true;
    a.NotifyTiming = timing;
    a.Hour = hour;
    a.Minute = minute;
    a.Month = month;
    a.Day = day;
    a.BackColor = 0xFFFFFF;
    return a;
}

// What the user does with an open popup, some seconds after it opened.
struct Reaction
{
    enum Kind
    {
        Close,
        Snooze
    } kind = Close;
    int delayMs = 0; // for a snooze
    int afterSec = 20;
};

// The clock window and its user, in simulated time. Events run in time order:
// the user's answers to popups, the snooze timers and the 3-second check
// (when two fall on the same instant, in that order).
class Simulation : public AlarmWindow
{
public:
    Simulation() : monitor(*this, [this] { return now; }) { alarms.resize(kAlarmCount); }

    // Runs from now (exclusive) to until (inclusive), with the checks at
    // checkPhase + 3 s * k.
    void RunUntil(const QDateTime& until)
    {
        for (;;) {
            QDateTime next = NextCheck();
            for (const auto& [index, at] : snoozeAt)
                next = std::min(next, at);
            for (const auto& [index, answer] : answers)
                next = std::min(next, answer.first);
            if (next > until)
                break;
            now = next;
            RunDue();
        }
        now = until;
    }

    // AlarmWindow
    bool HasAlarmPopup(int index) const override { return open.contains(index); }
    void OpenAlarmPopup(int index) override
    {
        EXPECT_FALSE(HasAlarmPopup(index)) << "a second popup for alarm " << index;
        open.insert({index, true});
        rings[index].push_back(now);
        const Reaction r = react ? react(index, static_cast<int>(rings[index].size())) : Reaction{};
        answers[index] = {now.addSecs(r.afterSec), r};
    }
    void CloseAlarmPopup(int index) override
    {
        open.erase(index);
        answers.erase(index);
    }
    void StartSnoozeTimer(int index, int delayMs) override { snoozeAt[index] = now.addMSecs(delayMs); }
    void StopSnoozeTimer(int index) override { snoozeAt.erase(index); }

    QDateTime now = At(1, 0, 0, 1);
    QDateTime checkPhase = At(1, 0, 0, 1);
    std::vector<AlarmSetting> alarms;
    CAlarmMonitor monitor;
    std::function<Reaction(int index, int ring)> react;
    std::map<int, std::vector<QDateTime>> rings;

private:
    QDateTime NextCheck() const
    {
        const qint64 since = checkPhase.msecsTo(now);
        const qint64 k = since < 0 ? 0 : since / 3000 + 1;
        return checkPhase.addMSecs(k * 3000);
    }

    void RunDue()
    {
        for (auto it = answers.begin(); it != answers.end();) {
            const auto [index, answer] = *it++;
            if (answer.first != now)
                continue;
            if (answer.second.kind == Reaction::Close)
                monitor.OnClosed(index, alarms);
            else
                monitor.OnSnooze(index, answer.second.delayMs);
            it = answers.upper_bound(index);
        }
        for (auto it = snoozeAt.begin(); it != snoozeAt.end();) {
            const auto [index, at] = *it++;
            if (at == now) {
                monitor.OnSnoozeTimer(index, alarms);
                it = snoozeAt.upper_bound(index);
            }
        }
        if (checkPhase.msecsTo(now) % 3000 == 0)
            monitor.Check(alarms);
    }

    std::map<int, bool> open;
    std::map<int, std::pair<QDateTime, Reaction>> answers;
    std::map<int, QDateTime> snoozeAt;
};

// The days of the week of 1-7 January 2024 (Monday to Sunday) on which a rule rings.
std::vector<int> RingDays(const std::vector<QDateTime>& rings)
{
    std::vector<int> days;
    for (const QDateTime& t : rings)
        days.push_back(t.date().day());
    return days;
}

TEST(AlarmWeekTest, EveryDayRuleRingsOncePerApplicableDay)
{
    // Two simulated weeks at 3-second checks (nine alarm slots each), every
    // popup closed 20 seconds after it opens.
    struct Rule
    {
        int timing;
        std::vector<int> days; // 1 = Monday .. 7 = Sunday
    };
    const std::vector<std::vector<Rule>> weeks = {
        {{0, {1, 2, 3, 4, 5, 6, 7}},
         {1, {1, 2, 3, 4, 5, 6}},
         {2, {1, 2, 3, 4, 5}},
         {3, {7}}, // Sunday
         {4, {1}},
         {5, {2}},
         {6, {3}},
         {7, {4}},
         {8, {5}}},
        {{9, {6}},  // Saturday
         {10, {1}}, // once: switched off by the first close
         {11, {3}}, // 3 January
         {12, {}},
         {-1, {}},
         {-5, {}},
         {99, {}}},
    };
    for (const auto& week : weeks) {
        Simulation sim;
        for (std::size_t i = 0; i < week.size(); ++i)
            sim.alarms[i] = Alarm(week[i].timing, 7, 30, 1, 3);
        sim.RunUntil(At(7, 23, 59, 59));
        for (std::size_t i = 0; i < week.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "NotifyTiming " << week[i].timing);
            const std::vector<QDateTime>& rings = sim.rings[static_cast<int>(i)];
            EXPECT_EQ(RingDays(rings), week[i].days);
            for (const QDateTime& t : rings) {
                EXPECT_GE(t.time(), QTime(7, 30, 0));
                EXPECT_LT(t.time(), QTime(7, 30, 3));
            }
        }
        EXPECT_FALSE(sim.alarms[1].Enable && week[1].timing == NOTIFY_ONCE);
    }
}

TEST(AlarmWeekTest, ClosedWithinItsMinuteItDoesNotRingAgain)
{
    // 07:30 on weekdays; closed at 07:30:20, the checks of 07:30:21 .. 07:30:59 keep quiet.
    Simulation sim;
    sim.alarms[4] = Alarm(NOTIFY_MON_FRI, 7, 30);
    sim.RunUntil(At(1, 7, 31, 30));
    ASSERT_EQ(sim.rings[4].size(), 1u);
    EXPECT_EQ(sim.rings[4][0], At(1, 7, 30, 1));
    EXPECT_FALSE(sim.HasAlarmPopup(4));
    EXPECT_FALSE(sim.monitor.IsFired(4)); // cleared after its minute
}

TEST(AlarmWeekTest, OnceOnlyAlarmIsSwitchedOffByCloseNotBySnooze)
{
    Simulation sim;
    sim.alarms[0] = Alarm(NOTIFY_ONCE, 7, 30);
    sim.react = [](int, int ring) {
        return ring == 1 ? Reaction{Reaction::Snooze, SnoozeDelay(0), 10} : Reaction{Reaction::Close, 0, 10};
    };
    sim.RunUntil(At(1, 7, 32));
    EXPECT_TRUE(sim.alarms[0].Enable); // snoozed, still on
    sim.RunUntil(At(3, 12, 0));
    ASSERT_EQ(sim.rings[0].size(), 2u);
    EXPECT_EQ(sim.rings[0][1], At(1, 7, 35, 11)); // 07:30:01 + 10 s, then 5 minutes
    EXPECT_FALSE(sim.alarms[0].Enable);           // closed: off, and no ring the next days
}

TEST(AlarmWeekTest, SnoozeTimesFollowTheList)
{
    EXPECT_EQ(SnoozeDelay(0), 300000);
    EXPECT_EQ(SnoozeDelay(3), 1800000);
    EXPECT_EQ(SnoozeDelay(8), 43200000);
    EXPECT_EQ(SnoozeDelay(11), 259200000);
    EXPECT_EQ(SnoozeDelay(-1), 60000); // none selected
    EXPECT_EQ(SnoozeDelay(12), 60000);
    EXPECT_STREQ(kSnoozeChoices[0].text, "5 分後");
    EXPECT_STREQ(kSnoozeChoices[8].text, "半日後");

    // Each choice reopens the popup after its delay.
    for (const int choice : {-1, 0, 4, 9}) {
        SCOPED_TRACE(choice);
        Simulation sim;
        sim.alarms[2] = Alarm(NOTIFY_DATE, 6, 0, 1, 1); // the check stays quiet the next day
        sim.react = [choice](int, int ring) {
            return ring == 1 ? Reaction{Reaction::Snooze, SnoozeDelay(choice), 5} : Reaction{};
        };
        const QDateTime snoozed = At(1, 6, 0, 6);
        sim.RunUntil(snoozed.addMSecs(SnoozeDelay(choice) + 1000));
        ASSERT_GE(sim.rings[2].size(), 2u);
        EXPECT_EQ(sim.rings[2][1], snoozed.addMSecs(SnoozeDelay(choice)));
    }
}

TEST(AlarmWeekTest, SnoozePastMidnightRingsOnADayTheRuleSkips)
{
    // A dated alarm at 23:59 on 1 January, snoozed for 5 minutes: the snooze
    // lands on 2 January, when its day rule does not apply; it still rings.
    Simulation sim;
    sim.alarms[7] = Alarm(NOTIFY_DATE, 23, 59, 1, 1);
    sim.react = [](int, int ring) {
        return ring == 1 ? Reaction{Reaction::Snooze, SnoozeDelay(0), 30} : Reaction{};
    };
    sim.RunUntil(At(2, 0, 10));
    ASSERT_EQ(sim.rings[7].size(), 2u);
    EXPECT_EQ(sim.rings[7][0].date(), QDate(2024, 1, 1));
    EXPECT_EQ(sim.rings[7][1], At(2, 0, 4, 31));
    EXPECT_FALSE(sim.monitor.IsFired(7)); // the snooze did not set the latch
}

TEST(AlarmWeekTest, SnoozeDueBeforeALateCheckStillRings)
{
    // Rung at 07:30:00.5 and snoozed at once with nothing selected (60 s). The
    // check that would fall at 07:31:00.5 comes late (the GUI thread was busy),
    // so the snooze falls due at 07:31:00.6 while the latch of the 07:30 ring is
    // still set: the latch is stale outside its minute and must not swallow it.
    Simulation sim;
    sim.now = At(1, 7, 29, 0);
    sim.checkPhase = At(1, 7, 29, 0, 500);
    sim.alarms[3] = Alarm(NOTIFY_DAILY, 7, 30);
    sim.RunUntil(At(1, 7, 30, 0, 500));
    ASSERT_EQ(sim.rings[3].size(), 1u);
    sim.now = At(1, 7, 30, 0, 600);
    sim.monitor.OnSnooze(3, SnoozeDelay(-1));
    sim.RunUntil(At(1, 7, 31, 0, 400));
    sim.checkPhase = At(1, 7, 31, 2); // the late check
    sim.RunUntil(At(1, 7, 31, 3));
    ASSERT_EQ(sim.rings[3].size(), 2u);
    EXPECT_EQ(sim.rings[3][1], At(1, 7, 31, 0, 600));
}

TEST(AlarmWeekTest, PopupOpenOrRungWithinTheMinuteBlocksASnooze)
{
    // A one-day snooze lands in the alarm's next minute after the check has
    // rung it anew: the snooze adds no second popup, and none after a close.
    Simulation sim;
    sim.alarms[5] = Alarm(NOTIFY_DAILY, 8, 0);
    sim.react = [](int, int ring) {
        return ring == 1 ? Reaction{Reaction::Snooze, SnoozeDelay(9), 4} : Reaction{Reaction::Close, 0, 2};
    };
    sim.RunUntil(At(2, 8, 1));
    ASSERT_EQ(sim.rings[5].size(), 2u); // day 1, and day 2 by the check
    EXPECT_EQ(sim.rings[5][1], At(2, 8, 0, 1));
}

TEST(AlarmDayRuleTest, DatesAndWeekdays)
{
    const QDate sunday(2024, 1, 7);
    EXPECT_TRUE(AlarmAppliesOn(Alarm(3, 0, 0), sunday));
    EXPECT_FALSE(AlarmAppliesOn(Alarm(1, 0, 0), sunday));
    EXPECT_TRUE(AlarmAppliesOn(Alarm(9, 0, 0), QDate(2024, 1, 6)));
    EXPECT_TRUE(AlarmAppliesOn(Alarm(11, 0, 0, 2, 29), QDate(2024, 2, 29)));
    EXPECT_FALSE(AlarmAppliesOn(Alarm(11, 0, 0, 2, 29), QDate(2024, 3, 1)));
    EXPECT_FALSE(AlarmAppliesOn(Alarm(11, 0, 0, 0, 0), QDate(2024, 1, 1))); // no date set
}

} // namespace
