#include "platform/timers.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace {

using platform::TimerSet;

// The system tick of the platform the clock comes from: 64 a second.
constexpr double kTickMs = 15.625;

// Runs the event loop for ms milliseconds: counting firings over a span, the
// span is the measure.
void RunEvents(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

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

TEST(TimersTest, IntervalsBelowOneTickFireOnceATick)
{
    QObject window;
    std::map<int, int> fired; // by id
    TimerSet timers(&window, [&](int id) { ++fired[id]; });
    struct Case
    {
        int ms;
        double shortestMs; // the interval seen: at least one tick
    };
    const Case cases[] = {{0, kTickMs}, {1, kTickMs}, {10, kTickMs}, {15, kTickMs}, {20, 20.0}};
    QElapsedTimer clock;
    clock.start();
    for (const Case& c : cases)
        timers.SetTimer(c.ms, c.ms);
    RunEvents(1000);
    const double elapsedMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    for (const Case& c : cases) {
        // No load makes a timer fire more often; the loose floor shows it runs.
        EXPECT_LE(fired[c.ms], elapsedMs / c.shortestMs + 1) << c.ms << " ms";
        EXPECT_GE(fired[c.ms], elapsedMs / c.shortestMs / 4) << c.ms << " ms";
    }
}

TEST(TimersTest, FiringsABusyThreadMissedAreDroppedNotMadeUp)
{
    QObject window;
    QElapsedTimer clock;
    std::vector<qint64> firedAt; // ns since start
    qint64 busyUntil = 0;
    TimerSet timers(&window, [&](int) {
        firedAt.push_back(clock.nsecsElapsed());
        if (firedAt.size() == 1) {
            QThread::msleep(100); // the thread is busy through six ticks: the scenario, not a wait
            busyUntil = clock.nsecsElapsed();
        }
    });
    clock.start();
    timers.SetTimer(1, 10);
    RunEvents(300);
    ASSERT_GE(firedAt.size(), 3u);
    // Made up, the missed firings would follow the busy spell at once. Within
    // 10 ms of its end come the one firing that was due then and at most one tick.
    const auto soon = std::count_if(firedAt.begin(), firedAt.end(), [&](qint64 at) {
        return at >= busyUntil && at < busyUntil + 10'000'000;
    });
    EXPECT_LE(soon, 2);
}

} // namespace
