#include "platform/timers.h"

#include <QElapsedTimer>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

using platform::TimerSet;

TEST(TimersTest, ResettingAnIdReplacesTheTimer)
{
    QObject window;
    QElapsedTimer clock;
    std::vector<std::pair<int, qint64>> ticks; // id, ms since start
    TimerSet timers(&window, [&](int id) { ticks.emplace_back(id, clock.elapsed()); });
    auto count = [&](int id) {
        return std::count_if(ticks.begin(), ticks.end(), [id](auto t) { return t.first == id; });
    };
    clock.start();
    timers.SetTimer(1, 20);
    timers.SetTimer(1, 400); // replaces the 20 ms timer: one timer, the new interval
    timers.SetTimer(2, 20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return count(1) >= 1; }, 5000));
    // Timer 2 ticked meanwhile, and timer 1's first tick kept the new interval.
    EXPECT_GE(count(2), 3);
    const auto first = std::find_if(ticks.begin(), ticks.end(), [](auto t) { return t.first == 1; });
    EXPECT_GE(first->second, 390);
}

TEST(TimersTest, KillStopsOnlyThatIdAndIsSafeInsideItsCallback)
{
    QObject window;
    int oneShot = 0;
    int repeating = 0;
    TimerSet* self = nullptr;
    TimerSet timers(&window, [&](int id) {
        if (id == 1) {
            ++oneShot;
            EXPECT_TRUE(self->KillTimer(1)); // one-shot use, as the splash's hold timer
        } else {
            ++repeating;
        }
    });
    self = &timers;
    EXPECT_FALSE(timers.KillTimer(5)); // not running
    timers.SetTimer(1, 10);
    timers.SetTimer(2, 10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return repeating >= 5; }));
    EXPECT_EQ(oneShot, 1);
    EXPECT_FALSE(timers.IsRunning(1));
    EXPECT_TRUE(timers.KillTimer(2));
    const int stoppedAt = repeating;
    QTest::qWait(50); // a stopped timer must stay silent: waiting is the point here
    EXPECT_EQ(repeating, stoppedAt);
}

TEST(TimersTest, WithoutCallbackTheOwnerGetsTimerEvents)
{
    class Window : public QObject
    {
    public:
        std::vector<int> ids;
        bool event(QEvent* e) override
        {
            if (e->type() == platform::WindowTimerEvent::EventType()) {
                ids.push_back(static_cast<platform::WindowTimerEvent*>(e)->id);
                return true;
            }
            return QObject::event(e);
        }
    } window;
    auto* timers = new TimerSet(&window); // owned by the window
    timers->SetTimer(7, 10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.ids.size() >= 2; }));
    EXPECT_EQ(window.ids[0], 7);
}

} // namespace
