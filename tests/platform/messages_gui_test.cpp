#include "platform/messages.h"

#include <QCoreApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

using platform::AppMessageEvent;

// A stand-in main window that records what it receives and answers sends.
class Receiver : public QObject
{
public:
    struct Got
    {
        unsigned message;
        platform::WPARAM wParam;
        platform::LPARAM lParam;
        std::string text;
        bool hadText;
    };
    std::vector<Got> got;

    bool event(QEvent* e) override
    {
        if (e->type() != AppMessageEvent::EventType())
            return QObject::event(e);
        auto* m = static_cast<AppMessageEvent*>(e);
        got.push_back(
            {m->message, m->wParam, m->lParam, m->text ? *m->text : std::string(), m->text != nullptr});
        m->result = static_cast<platform::LRESULT>(m->wParam) * 2;
        return true;
    }
};

class MessagesTest : public ::testing::Test
{
protected:
    void TearDown() override { platform::RegisterMainWindow(nullptr); }
};

TEST_F(MessagesTest, PostIsQueuedAndCarriesItsText)
{
    Receiver window;
    platform::RegisterMainWindow(&window);
    EXPECT_EQ(platform::MainWindow(), &window);
    ASSERT_TRUE(
        platform::PostAppMessage(platform::WM_SHOW_ERROR, 0, 1, std::make_unique<std::string>("boom")));
    ASSERT_TRUE(platform::PostAppMessage(platform::WM_SET_ZOOM, 150));
    EXPECT_TRUE(window.got.empty()); // queued, not delivered yet
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.got.size() == 2; }));
    EXPECT_EQ(window.got[0].message, platform::WM_SHOW_ERROR);
    EXPECT_EQ(window.got[0].text, "boom");
    EXPECT_EQ(window.got[1].message, platform::WM_SET_ZOOM);
    EXPECT_EQ(window.got[1].wParam, 150u);
    EXPECT_FALSE(window.got[1].hadText);
}

TEST_F(MessagesTest, SendIsImmediateAndReturnsTheResult)
{
    Receiver window;
    platform::RegisterMainWindow(&window);
    EXPECT_EQ(platform::SendAppMessage(platform::WM_SET_ZOOM, 21), 42);
    ASSERT_EQ(window.got.size(), 1u);
    EXPECT_EQ(window.got[0].message, platform::WM_SET_ZOOM);
}

TEST_F(MessagesTest, WithoutWindowTheTextIsFreed)
{
    // Leak checking (LeakSanitizer) proves the texts are freed.
    EXPECT_FALSE(
        platform::PostAppMessage(platform::WM_SHOW_ERROR, 0, 1, std::make_unique<std::string>("lost")));
    EXPECT_EQ(platform::SendAppMessage(platform::WM_SHOW_ERROR, 0, 1, std::make_unique<std::string>("lost")),
              0);
}

TEST_F(MessagesTest, DestroyedWindowDropsQueuedMessagesAndUnregisters)
{
    {
        Receiver window;
        platform::RegisterMainWindow(&window);
        ASSERT_TRUE(platform::PostAppMessage(platform::WM_SHOW_ERROR, 0, 1,
                                             std::make_unique<std::string>("pending")));
    } // destroyed before delivery: Qt deletes the pending event and its text
    EXPECT_EQ(platform::MainWindow(), nullptr);
    EXPECT_FALSE(platform::PostAppMessage(platform::WM_DEMO_CLOSED));
    QCoreApplication::processEvents();
}

TEST_F(MessagesTest, PostsFromWorkerThreadsAllArrive)
{
    Receiver window;
    platform::RegisterMainWindow(&window);
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([t] {
            for (int i = 0; i < 50; ++i)
                platform::PostAppMessage(platform::WM_SHOW_ERROR, t, i,
                                         std::make_unique<std::string>(std::to_string(t * 100 + i)));
        });
    for (auto& w : workers)
        w.join();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.got.size() == 200; }));
    // Each thread's messages arrive in the order it posted them.
    std::vector<int> last(4, -1);
    for (const auto& g : window.got) {
        EXPECT_GT(g.lParam, last[g.wParam]);
        last[g.wParam] = static_cast<int>(g.lParam);
        EXPECT_EQ(g.text, std::to_string(g.wParam * 100 + g.lParam));
    }
}

} // namespace
