// The ticker window on the test display, with its feeds served by a loopback
// HTTP server: the feed list, the next button's rotation, failures, a hanging
// server, several tickers, closing, minimising and the window's shape.
#include "platform/desktop.h"
#include "platform/paths.h"
#include "rss/hover_button.h"
#include "rss/rss_dlg.h"
#include "rss/rss_tickers.h"
#include "rss/scroll_link.h"
#include "tests/rss/http_server_fixture.h"
#include "tests/rss/qt_test_helpers.h"
#include "tests/support/screens.h"
#include "tests/support/window_shape.h"
#include "tests/support/xdotool.h"

#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

// Xlib last: its macros clash with Qt names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using lmd::test::LoopbackHttpServer;
using lmd::test::Xdotool;

QByteArray FeedWithItems(const QByteArray& channel, const std::vector<QByteArray>& titles)
{
    QByteArray xml = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>" + channel + "</title>";
    for (const QByteArray& title : titles)
        xml += "<item><title>" + title + "</title><link>https://example.org/" + title + "</link></item>";
    return xml + "</channel></rss>";
}

std::vector<QString> Titles(const CScrollLink& ticker)
{
    std::vector<QString> titles;
    for (const CTextFrame& entry : ticker.Entries())
        titles.push_back(entry.m_strText);
    return titles;
}

// A frameless window that other programs find as the clock: X class "LMDClass".
class StandInClock : public QWidget
{
public:
    explicit StandInClock(const QRect& rect) : QWidget(nullptr, Qt::FramelessWindowHint)
    {
        setGeometry(rect);
        winId();
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        QByteArray name = "LMDClass";
        XClassHint hint{name.data(), name.data()};
        XSetClassHint(x11->display(), static_cast<Window>(winId()), &hint);
        show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(this));
    }
};

// The executable's folder is a fresh one of the test's own, with the feed list
// the test writes; actions are recorded.
class RssDlgWindowTest : public ::testing::Test
{
protected:
    RssDlgWindowTest() { platform::paths::SetExeDirOverride(m_folder.path()); }
    ~RssDlgWindowTest() override { platform::paths::SetExeDirOverride({}); }

    void WriteList(const QByteArray& text) const
    {
        QFile list(m_folder.filePath("lmd_rss.ini"));
        ASSERT_TRUE(list.open(QIODevice::WriteOnly));
        list.write(text);
    }
    // Three feeds: "Feed N" serves channel "Channel N" with items "N-a", "N-b".
    void ServeThreeFeeds()
    {
        QByteArray list;
        for (const QByteArray n : {"1", "2", "3"}) {
            m_server.Route("/feed" + n, {200, FeedWithItems("Channel " + n, {n + "-a", n + "-b"})});
            list += "Feed " + n + "," + m_server.Url("/feed" + n).toUtf8() + "\n";
        }
        WriteList(list);
    }
    std::unique_ptr<CRssDlg> Open() const
    {
        auto ticker = std::make_unique<CRssDlg>();
        ticker->OnInitDialog();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(ticker.get()));
        return ticker;
    }

    QTemporaryDir m_folder;
    LoopbackHttpServer m_server;
    platform::ScopedRecordingDesktop m_desktop;
};

TEST_F(RssDlgWindowTest, NextCyclesThroughTheListShowingTheListsTitles)
{
    ServeThreeFeeds();
    const auto ticker = Open();
    EXPECT_EQ(ticker->size(), QSize(423, 68));
    WAIT_EQ(ticker->Title()->text(), QString("Feed 1")); // not "Channel 1"
    EXPECT_EQ(Titles(*ticker->Ticker()), (std::vector<QString>{"1-a", "1-b"}));
    EXPECT_TRUE(ticker->Ticker()->IsScrolling());
    EXPECT_EQ(ticker->NextButton()->geometry(), QRect(6, 20, 18, 18));
    EXPECT_EQ(ticker->NextButton()->toolTip(), "Next RSS reloaded");

    for (const char* expected : {"2", "3", "1"}) {
        QTest::mouseClick(ticker->NextButton(), Qt::LeftButton);
        const QString title = QStringLiteral("Feed %1").arg(expected);
        WAIT_EQ(ticker->Title()->text(), title);
        WAIT_EQ(Titles(*ticker->Ticker()), (std::vector<QString>{QStringLiteral("%1-a").arg(expected),
                                                                 QStringLiteral("%1-b").arg(expected)}));
    }
    EXPECT_EQ(m_server.Requests("/feed1"), 2);
    EXPECT_TRUE(m_desktop->messageBoxes.empty());
    // As it stands on the screen, shape and all, once the first title is in.
    WAIT_UNTIL(!ticker->Ticker()->Entries()[0].m_positions.empty() &&
               ticker->Ticker()->Entries()[0].m_positions[0] < 300);
    lmd::test::SaveScreen(lmd::test::GrabScreen().copy(ticker->frameGeometry().adjusted(-8, -8, 8, 8)),
                          "rss_ticker");
}

TEST_F(RssDlgWindowTest, AMissingListIsReportedAndTheWindowStays)
{
    CRssDlg ticker;
    EXPECT_FALSE(ticker.OnInitDialog());
    ASSERT_EQ(m_desktop->messageBoxes.size(), 1u);
    EXPECT_EQ(m_desktop->messageBoxes[0].text, QStringLiteral("lmd_rss.iniファイルが読めませんでした"));
    EXPECT_TRUE(ticker.isVisible());
    EXPECT_EQ(ticker.Title()->text(), "title");
    EXPECT_TRUE(ticker.Feeds().empty());
    EXPECT_TRUE(ticker.Ticker()->Entries().empty());
    // The next button has no picture and loads nothing.
    QTest::mouseClick(ticker.NextButton(), Qt::LeftButton);
    EXPECT_FALSE(ticker.IsLoading());
}

TEST_F(RssDlgWindowTest, AFailedFeedShowsItsMessageAndStaysInTheQueue)
{
    const QString missing = m_server.Url("/missing");
    m_server.Route("/good", {200, FeedWithItems("Good", {"g"})});
    WriteList("Broken," + missing.toUtf8() + "\nGood," + m_server.Url("/good").toUtf8() + "\n");
    const auto ticker = Open();
    WAIT_EQ(ticker->Title()->text(), QString("Broken"));
    ASSERT_EQ(m_desktop->messageBoxes.size(), 1u);
    EXPECT_EQ(m_desktop->messageBoxes[0].text, "Failed to download " + missing);
    EXPECT_TRUE(ticker->Ticker()->Entries().empty());
    EXPECT_EQ(ticker->Feeds().size(), 2u);
    EXPECT_EQ(ticker->Feeds().back().title, "Broken");
    // The list file's folder now holds the last download only where one succeeded.
    QTest::mouseClick(ticker->NextButton(), Qt::LeftButton);
    WAIT_EQ(Titles(*ticker->Ticker()), std::vector<QString>{"g"});
    EXPECT_TRUE(QFile::exists(m_folder.filePath("lmd_rss.xml")));
}

// While the server holds its reply the GUI thread keeps running: a 50 ms frame
// timer fires again and again, and the ticker still answers. Then the feed comes.
TEST_F(RssDlgWindowTest, AHangingServerNeverHoldsUpTheGuiThread)
{
    m_server.Route("/slow", {200, FeedWithItems("Slow", {"late"}), {}, true});
    WriteList("Slow," + m_server.Url("/slow").toUtf8() + "\n");
    int frames = 0;
    QTimer frameTimer;
    frameTimer.setInterval(50);
    QObject::connect(&frameTimer, &QTimer::timeout, [&frames] { ++frames; });
    frameTimer.start();

    const auto ticker = Open();
    WAIT_EQ(m_server.Held(), 1);
    const int before = frames;
    WAIT_UNTIL(frames >= before + 10);
    EXPECT_EQ(m_server.Held(), 1); // still held all the while
    EXPECT_TRUE(ticker->IsLoading());
    EXPECT_TRUE(ticker->Ticker()->Entries().empty());

    m_server.Release();
    WAIT_EQ(Titles(*ticker->Ticker()), std::vector<QString>{"late"});
    EXPECT_FALSE(ticker->IsLoading());
}

// Two tickers each follow their own queue: one waits on a held feed while the
// other loads and shows its own.
TEST_F(RssDlgWindowTest, TwoTickersLoadIndependently)
{
    m_server.Route("/fast", {200, FeedWithItems("Fast", {"quick"})});
    m_server.Route("/slow", {200, FeedWithItems("Slow", {"late"}), {}, true});
    WriteList("Fast," + m_server.Url("/fast").toUtf8() + "\nSlow," + m_server.Url("/slow").toUtf8() + "\n");
    const auto first = Open();
    WAIT_EQ(Titles(*first->Ticker()), std::vector<QString>{"quick"});
    QTest::mouseClick(first->NextButton(), Qt::LeftButton);
    WAIT_EQ(m_server.Held(), 1);

    const auto second = Open();
    WAIT_EQ(Titles(*second->Ticker()), std::vector<QString>{"quick"});
    EXPECT_TRUE(first->IsLoading());
    EXPECT_TRUE(first->Ticker()->Entries().empty());
    EXPECT_EQ(first->Title()->text(), "Fast");

    m_server.Release();
    WAIT_EQ(Titles(*first->Ticker()), std::vector<QString>{"late"});
    EXPECT_EQ(first->Title()->text(), "Slow");
    EXPECT_EQ(Titles(*second->Ticker()), std::vector<QString>{"quick"});
}

// The tickers of the RSS command: each opens anew, owned by the clock's
// window (so the window manager keeps it above the clock); the close box deletes one
// at once even while its server hangs (the transfer is cancelled, not waited
// for: the client itself would wait an hour); the rest go with their owner.
TEST_F(RssDlgWindowTest, TickersCloseAtAnyTimeAndEndWithTheirOwner)
{
    m_server.Route("/slow", {200, FeedWithItems("Slow", {"late"}), {}, true});
    WriteList("Slow," + m_server.Url("/slow").toUtf8() + "\n");
    DownloadLimits patient;
    patient.totalTimeoutMs = 3'600'000;
    auto tickers = std::make_unique<RssTickers>(patient);
    QWidget clock(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    clock.setGeometry(600, 600, 100, 100);
    clock.show();
    const QPointer<CRssDlg> first = tickers->Open(clock);
    const QPointer<CRssDlg> second = tickers->Open(clock);
    EXPECT_EQ(tickers->Count(), 2);
    for (const CRssDlg* ticker : {first.data(), second.data()})
        EXPECT_EQ(ticker->windowHandle()->transientParent(), clock.windowHandle());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(first.data()));
    WAIT_EQ(m_server.Held(), 2);

    QTest::mouseClick(first.data(), Qt::LeftButton, {}, QPoint(5, 5)); // the close box
    WAIT_UNTIL(first.isNull());
    EXPECT_EQ(tickers->Count(), 1);
    WAIT_EQ(m_server.HungUp(), 1); // its download was dropped at once

    tickers.reset();
    EXPECT_TRUE(second.isNull());
    WAIT_EQ(m_server.HungUp(), 2);
}

TEST_F(RssDlgWindowTest, ShapeCursorsAndTheMinimiseBox)
{
    ServeThreeFeeds();
    const auto ticker = Open();
    WAIT_EQ(ticker->Title()->text(), QString("Feed 1"));
    // Outside the outline the window has no pixels and takes no clicks.
    const QRegion shape = lmd::test::ShapeRegion(*ticker, lmd::test::XShape::Bounding);
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));
    EXPECT_FALSE(shape.contains(QPoint(300, 5)));
    EXPECT_TRUE(shape.contains(QPoint(5, 5)));
    EXPECT_TRUE(shape.contains(QPoint(200, 50)));
    EXPECT_EQ(lmd::test::ShapeRegion(*ticker, lmd::test::XShape::Input), shape);
    // The pointer shows what a press would do: move, close or minimise, or nothing.
    const std::pair<QPoint, int> cursors[] = {
        // (Xlib takes the name of Qt's shape type)
        {{100, 8}, Qt::SizeAllCursor},     {{10, 60}, Qt::SizeAllCursor}, {{5, 5}, Qt::PointingHandCursor},
        {{20, 5}, Qt::PointingHandCursor}, {{300, 30}, Qt::ArrowCursor},
    };
    for (const auto& [point, shape] : cursors) {
        QTest::mouseMove(ticker.get(), point);
        WAIT_EQ(int(ticker->cursor().shape()), shape);
    }
    QTest::mouseClick(ticker.get(), Qt::LeftButton, {}, QPoint(300, 30)); // the panel: nothing happens
    EXPECT_TRUE(ticker->isVisible());
    EXPECT_FALSE(ticker->isMinimized());

    QTest::mouseClick(ticker.get(), Qt::LeftButton, {}, QPoint(20, 5));
    WAIT_UNTIL(ticker->isMinimized());
}

} // namespace

namespace {

// The ticker finds the clock by its window class and goes right below it in
// the upper half of the screen, 70 pixels above it in the lower half.
TEST_F(RssDlgWindowTest, PlacedBesideTheClockFoundByItsClass)
{
    ServeThreeFeeds();
    {
        const StandInClock clock(QRect(140, 100, 130, 130));
        const auto ticker = Open();
        WAIT_EQ(ticker->pos(), QPoint(140, 230));
    }
    {
        const StandInClock clock(QRect(300, 700, 130, 130));
        const auto ticker = Open();
        WAIT_EQ(ticker->pos(), QPoint(300, 630));
        lmd::test::SaveScreen(lmd::test::GrabScreen().copy(QRect(280, 610, 470, 240)),
                              "rss_ticker_above_clock");
    }
}

// The title strip drags the window with a real pointer drag; the window stays
// where the button came up.
TEST_F(RssDlgWindowTest, TheTitleStripDragsTheWindow)
{
    ServeThreeFeeds();
    const auto ticker = Open();
    const QPoint start = ticker->pos();
    const QPoint grip = ticker->mapToGlobal(QPoint(100, 8));
    ASSERT_TRUE(Xdotool(
        {"mousemove", "--sync", QString::number(grip.x()), QString::number(grip.y()), "mousedown", "1"}));
    WAIT_UNTIL(QGuiApplication::mouseButtons() & Qt::LeftButton); // the window has taken the press
    for (int step = 1; step <= 6; ++step) {
        ASSERT_TRUE(Xdotool({"mousemove", "--sync", QString::number(grip.x() + 10 * step),
                             QString::number(grip.y() + 8 * step)}));
        WAIT_EQ(ticker->pos(), start + QPoint(10 * step, 8 * step));
    }
    ASSERT_TRUE(Xdotool({"mouseup", "1"}));
    WAIT_UNTIL(!(QGuiApplication::mouseButtons() & Qt::LeftButton));
    // Released: the pointer goes on alone.
    ASSERT_TRUE(
        Xdotool({"mousemove", "--sync", QString::number(grip.x() + 100), QString::number(grip.y() + 100)}));
    WAIT_UNTIL(QCursor::pos() == grip + QPoint(100, 100));
    QCoreApplication::processEvents();
    EXPECT_EQ(ticker->pos(), start + QPoint(60, 48));
}

} // namespace
