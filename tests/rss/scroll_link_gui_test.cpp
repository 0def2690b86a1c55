// The ticker strip on the test display: how copies move, start and retire,
// hovering that pauses and paints the entry red, a click that opens its link,
// and the pace of one pixel a tick.
#include "platform/desktop.h"
#include "rss/scroll_link.h"
#include "tests/rss/qt_test_helpers.h"
#include "tests/support/screens.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A strip of the ticker's size on a white top-level window, shown.
class ScrollLinkTest : public ::testing::Test
{
protected:
    ScrollLinkTest()
    {
        m_window.resize(420, 40);
        m_link = new CScrollLink(&m_window);
        m_link->setGeometry(10, 10, 390, 23);
        m_link->SetBackColor(0xFFFFFF);
        m_window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    }
    void Ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            m_link->OnTimer();
    }
    int Left() const { return m_link->TextRect().left(); }
    int Right() const { return m_link->TextRect().left() + m_link->TextRect().width(); }
    int X(int entry, std::size_t copy = 0) const
    {
        return m_link->Entries()[std::size_t(entry)].m_positions[copy];
    }
    int Width(int entry) const { return m_link->Entries()[std::size_t(entry)].m_size.width(); }
    // The middle of entry's first copy, in the strip.
    QPoint Middle(int entry) const { return {X(entry) + Width(entry) / 2, m_link->height() / 2}; }

    QWidget m_window;
    CScrollLink* m_link;
};

TEST_F(ScrollLinkTest, CopiesMoveStartWithTheGapAndRetire)
{
    EXPECT_FALSE(m_link->StartScroll()); // nothing to show
    EXPECT_FALSE(m_link->IsScrolling());
    m_link->AddLink("First headline", "https://example.org/1");
    m_link->AddLink("Second", "https://example.org/2");
    m_link->AddLink("Third one here", "");
    ASSERT_TRUE(m_link->StartScroll());
    EXPECT_TRUE(m_link->IsScrolling());
    EXPECT_EQ(Right(), 388); // 390 wide, inset by 2
    EXPECT_EQ(m_link->Active(), std::vector<int>{0});
    EXPECT_EQ(X(0), Right()); // just outside, sliding in
    const int w0 = Width(0);
    ASSERT_GT(w0, 40);

    // One pixel a tick; the next entry starts once the gap behind the first
    // exceeds 50 pixels: Right - t + w0 + 50 < Right, first at t = w0 + 51.
    Ticks(w0 + 50);
    EXPECT_EQ(X(0), Right() - (w0 + 50));
    EXPECT_EQ(m_link->Active(), std::vector<int>{0});
    Ticks(1);
    EXPECT_EQ(m_link->Active(), (std::vector<int>{0, 1}));
    EXPECT_EQ(X(1), Right());
    EXPECT_EQ(X(1) - (X(0) + w0), 51);

    // The first leaves once its right end reaches the text area's left edge:
    // Right - t + w0 <= Left, at t = Right - Left + w0.
    const int leaves = Right() - Left() + w0;
    Ticks(leaves - 1 - (w0 + 51));
    ASSERT_EQ(m_link->Active().front(), 0);
    EXPECT_EQ(X(0) + w0, Left() + 1);
    const std::size_t copies = m_link->Entries()[0].m_positions.size(); // it may have come round again
    Ticks(1);
    EXPECT_NE(m_link->Active().front(), 0);
    EXPECT_EQ(m_link->Entries()[0].m_positions.size(), copies - 1);

    // Clear keeps the timer but drops everything; a new start begins at entry 0.
    m_link->Clear();
    EXPECT_TRUE(m_link->Active().empty());
    EXPECT_TRUE(m_link->IsScrolling());
    Ticks(3); // moves nothing, and does not fail
    m_link->AddLink("Again", "");
    ASSERT_TRUE(m_link->StartScroll());
    EXPECT_EQ(X(0), Right());
}

// A list shorter than the strip comes round again while its last copy is
// still on it: the same entry is then on the strip twice.
TEST_F(ScrollLinkTest, AShortListWrapsAroundWithTwoCopiesOfAnEntry)
{
    m_link->AddLink("A", "");
    ASSERT_TRUE(m_link->StartScroll());
    const int w = Width(0);
    Ticks(w + 51);
    EXPECT_EQ(m_link->Active(), (std::vector<int>{0, 0}));
    ASSERT_EQ(m_link->Entries()[0].m_positions.size(), 2u);
    EXPECT_EQ(X(0, 1) - X(0, 0), w + 51);
    Ticks(w + 51);
    EXPECT_EQ(m_link->Active().size(), 3u);
}

TEST_F(ScrollLinkTest, HoverPausesPaintsRedAndAClickOpensTheLink)
{
    platform::ScopedRecordingDesktop desktop;
    m_link->AddLink("Linked headline", "https://example.org/story?id=7");
    m_link->AddLink("Plain", "");
    m_link->AddLink("Local file", "file:///etc/passwd");
    ASSERT_TRUE(m_link->StartScroll());
    Ticks(Width(0) + 60); // the first entry well inside, the second just started

    const QPoint over = Middle(0);
    QTest::mouseMove(m_link, over);
    WAIT_UNTIL(m_link->IsPaused());
    EXPECT_FALSE(m_link->IsScrolling());
    EXPECT_EQ(m_link->HoverIndex(), 0);

    // The hovered entry is painted red; the rest of the strip has no red.
    const QImage shot = m_link->grab().toImage();
    lmd::test::SaveScreen(shot, "rss_scroll_link_hover");
    const auto reds = [&](int from, int to) {
        int count = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = std::max(from, 0); x < std::min(to, shot.width()); ++x) {
                const QColor c = shot.pixelColor(x, y);
                count += c.red() > 180 && c.green() < 90 && c.blue() < 90;
            }
        return count;
    };
    EXPECT_GT(reds(X(0), X(0) + Width(0)), 20);
    EXPECT_EQ(reds(X(0) + Width(0), shot.width()), 0);
    const int pausedAt = X(0);

    QTest::mouseClick(m_link, Qt::LeftButton, {}, over);
    EXPECT_EQ(desktop->opened, std::vector<QString>{"https://example.org/story?id=7"});

    // Off the entries (in the gap) the scroll resumes and the red goes.
    QTest::mouseMove(m_link, QPoint(X(0) + Width(0) + 20, m_link->height() / 2));
    WAIT_UNTIL(!m_link->IsPaused());
    EXPECT_TRUE(m_link->IsScrolling());
    WAIT_UNTIL(X(0) < pausedAt); // the timer moves it again
    m_link->repaint();
    const QImage after = m_link->grab().toImage();
    int red = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            red += after.pixelColor(x, y).red() > 180 && after.pixelColor(x, y).green() < 90;
    EXPECT_EQ(red, 0);

    // A click over the gap, over an entry without a link, or over a link that
    // is not a web address opens nothing.
    QTest::mouseClick(m_link, Qt::LeftButton, {}, QPoint(X(0) + Width(0) + 20, m_link->height() / 2));
    m_link->Clear();
    m_link->AddLink("Plain", "");
    m_link->AddLink("Local file", "file:///etc/passwd");
    ASSERT_TRUE(m_link->StartScroll());
    Ticks(Width(0) + 60 + Width(1) + 60);
    for (const int entry : {0, 1}) {
        QTest::mouseMove(m_link, Middle(entry));
        WAIT_EQ(m_link->HoverIndex(), entry);
        WAIT_UNTIL(m_link->IsPaused());
        QTest::mouseClick(m_link, Qt::LeftButton, {}, Middle(entry));
        QTest::mouseMove(&m_window, QPoint(2, 2)); // leaves the strip: resumes
        WAIT_UNTIL(!m_link->IsPaused());
    }
    EXPECT_EQ(desktop->opened.size(), 1u);
}

// The ticker's timer asks for 1 ms and fires once a tick of the system it comes
// from, 64 times a second: the strip moves 64 pixels a second.
TEST_F(ScrollLinkTest, TheStripMovesOnePixelATick)
{
    QTest::mouseMove(&m_window, QPoint(2, 2)); // the pointer off the strip: nothing pauses it
    m_link->AddLink("A headline long enough to stay on the strip", "");
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(m_link->StartScroll());
    const int start = X(0);
    QEventLoop loop; // a span of the strip's own timer: the span is the measure
    QTimer::singleShot(1000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    const double ticks = static_cast<double>(clock.nsecsElapsed()) / 15'625'000.0;
    const int moved = start - X(0);
    // No load makes it move faster; the loose floor shows it moves.
    EXPECT_LE(moved, ticks + 1);
    EXPECT_GE(moved, ticks / 4);
}

} // namespace
