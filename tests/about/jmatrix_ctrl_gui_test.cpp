// The matrix reveal: groups split by marker lines and their holds, scramble
// characters, the first delay and the holds on a virtual clock, the cursor
// gating each line, the reveal's pace at the system tick, small or empty client
// areas, sparkles beyond the grid, and the about dialog's page showing the
// revealed staff lines over the rain with its sparkles stepping once a tick.
#include "about/about_dlg.h"
#include "about/jmatrix_ctrl.h"
#include "platform/crt.h"
#include "platform/timers.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFontMetrics>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <climits>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <tuple>

namespace {

using namespace std::chrono_literals;
using Time = std::chrono::microseconds;

constexpr QChar kMarker(0x01);
// The system tick of the platform the control comes from (64 a second): its
// 10 ms timers fired once a tick.
constexpr Time kTick{15'625};
constexpr Time kCursorStep = std::chrono::milliseconds(JMatrixCtrl::kCursorMs);

QString Marker(const char* rest)
{
    return QString(kMarker) + QString::fromLatin1(rest);
}

// A matrix reveal whose timers run on a virtual clock, at the intervals the
// platform's timers fire at: Run(t) fires every timer due up to time t,
// earliest first (the lower id first on a tie), as the window's timer messages
// would arrive.
class VirtualClockMatrix : public JMatrixCtrl
{
public:
    struct Set
    {
        Time at;
        int id, ms;
    };
    struct Group
    {
        Time at;
        int start, end, hold;
        bool operator==(const Group&) const = default;
    };
    struct Step
    {
        Time at;
        QString text; // the current line as shown after the reveal step
    };

    VirtualClockMatrix() : JMatrixCtrl(255, 5, 5, 20, true, 0x01) {}

    void Run(Time until)
    {
        for (;;) {
            auto next = timers.end();
            for (auto it = timers.begin(); it != timers.end(); ++it) {
                if (next == timers.end() || it->second.due < next->second.due)
                    next = it;
            }
            if (next == timers.end() || next->second.due > until)
                break;
            now = next->second.due;
            next->second.due += next->second.interval;
            const int id = next->first;
            OnTimer(id);
            if (id == kGroupTimer && m_nCurrentLine >= 0)
                groups.push_back({now, m_nGroupStart, m_nGroupEnd, m_nHold});
            if (id == kRevealTimer && m_nCurrentLine >= 0)
                revealed.push_back({now, m_strRevealed});
        }
        now = until;
    }
    // The moments timer id was set, with its intervals.
    std::vector<Set> SetsOf(int id) const
    {
        std::vector<Set> found;
        for (const Set& s : sets) {
            if (s.id == id)
                found.push_back(s);
        }
        return found;
    }

    Time now{};
    std::vector<Set> sets;
    std::vector<Group> groups; // each group as timer 0 started it
    std::vector<Step> revealed;
    struct Timer
    {
        Time interval;
        Time due;
    };
    std::map<int, Timer> timers;

protected:
    void SetTimer(int id, int ms) override
    {
        sets.push_back({now, id, ms});
        const Time interval = platform::TimerInterval(ms);
        timers[id] = {interval, now + interval};
    }
    void KillTimer(int id) override { timers.erase(id); }
};

// Client areas are the window less its 2-pixel edge on each side.
constexpr int kEdge = 4;
constexpr QRect kPageRect(11, 11, 291, 239); // the about page's static

class JMatrixCtrlTest : public ::testing::Test
{
protected:
    // The owner's way of filling the lines: the group end follows the count.
    void Fill(const QStringList& lines)
    {
        for (const QString& line : lines) {
            matrix.m_lines.append(line);
            matrix.m_nGroupEnd = static_cast<int>(matrix.m_lines.size());
        }
    }
    VirtualClockMatrix matrix;
};

TEST_F(JMatrixCtrlTest, MarkerLinesSplitGroupsAndGiveTheirHolds)
{
    crt::srand(3);
    matrix.Create(kPageRect, nullptr);
    Fill({QStringLiteral("A"), Marker(" 2"), QStringLiteral("B"), QStringLiteral("C"), Marker(" 5")});
    matrix.Run(20s);
    ASSERT_GE(matrix.groups.size(), 3u);
    using G = VirtualClockMatrix::Group;
    EXPECT_EQ(matrix.groups[0], (G{5s, 0, 0, 2})) << "{A} after the first delay, held 2 s";
    const G& second = matrix.groups[1];
    EXPECT_EQ((G{{}, second.start, second.end, second.hold}), (G{{}, 2, 3, 5})) << "{B, C} held 5 s";
    EXPECT_EQ(matrix.groups[2].start, 0) << "after the last group the start wraps to line 0";
    EXPECT_EQ(matrix.groups[2].end, 0);

    // A last group without a marker is held for the default hold.
    VirtualClockMatrix open;
    open.Create(kPageRect, nullptr);
    for (const QString& line : {QStringLiteral("A"), Marker(" 2"), QStringLiteral("B")}) {
        open.m_lines.append(line);
        open.m_nGroupEnd = static_cast<int>(open.m_lines.size());
    }
    open.Run(12s);
    ASSERT_GE(open.groups.size(), 2u);
    EXPECT_EQ((G{{}, open.groups[1].start, open.groups[1].end, open.groups[1].hold}), (G{{}, 2, 2, 5}));
}

TEST_F(JMatrixCtrlTest, ScrambleCharactersAreSpacePunctuationAndDigits)
{
    // The limit 255 is held as -1: the divisor -32 leaves 32..63.
    crt::srand(11);
    int low = INT_MAX, high = INT_MIN;
    for (int i = 0; i < 20000; ++i) {
        const int c = JMatrixCtrl::ScrambleChar(static_cast<std::int8_t>(255));
        low = std::min(low, c);
        high = std::max(high, c);
    }
    EXPECT_EQ(low, 32);
    EXPECT_EQ(high, 63);
    EXPECT_EQ(JMatrixCtrl::ScrambleChar(31), u' ') << "no division by zero";

    // Everything the reveal shows of a line is the line's own character or one of them.
    crt::srand(12);
    matrix.Create(kPageRect, nullptr);
    const QString line = QStringLiteral("Lumidial Staff ~{|}");
    Fill({line});
    matrix.Run(9s);
    ASSERT_FALSE(matrix.revealed.empty());
    int scrambled = 0;
    for (const auto& [at, shown] : matrix.revealed) {
        ASSERT_LE(shown.size(), line.size());
        for (int i = 0; i < shown.size(); ++i) {
            if (shown[i] == line[i])
                continue;
            ++scrambled;
            ASSERT_GE(shown[i].unicode(), 32) << shown.toStdString();
            ASSERT_LE(shown[i].unicode(), 63) << shown.toStdString();
        }
    }
    EXPECT_GT(scrambled, 100);
    EXPECT_EQ(matrix.revealed.back().text, line) << "every character settles on its real value";
}

TEST_F(JMatrixCtrlTest, TheDialogsLinesRunOnTheFirstDelayAndTheirHolds)
{
    crt::srand(5);
    matrix.Create(kPageRect, nullptr);
    Fill(about::RevealLines());
    const int columns = matrix.Grid().m_nColumns;
    matrix.Run(40s);

    // Set-up: the first delay and the rain, nothing else.
    const auto groupSets = matrix.SetsOf(JMatrixCtrl::kGroupTimer);
    ASSERT_FALSE(groupSets.empty());
    EXPECT_EQ(groupSets[0].at, 0s);
    EXPECT_EQ(groupSets[0].ms, 5000);
    ASSERT_FALSE(matrix.SetsOf(JMatrixCtrl::kRainTimer).empty());
    EXPECT_EQ(matrix.SetsOf(JMatrixCtrl::kRainTimer)[0].ms, 80);
    EXPECT_EQ(matrix.SetsOf(JMatrixCtrl::kRainTimer).size(), 1u) << "the rain timer is never restarted";

    // The groups in order, each starting exactly its hold after the last one was revealed.
    const std::pair<int, int> lines[] = {{0, 0}, {2, 3}, {5, 6}, {8, 8}, {0, 0}};
    const int holds[] = {2, 2, 2, 5, 2};
    ASSERT_GE(matrix.groups.size(), 5u);
    ASSERT_GE(groupSets.size(), 5u);
    EXPECT_EQ(matrix.groups[0].at, 5s);
    for (std::size_t g = 0; g < 5; ++g) {
        const auto& group = matrix.groups[g];
        EXPECT_EQ(std::make_pair(group.start, group.end), lines[g]) << "group " << g;
        EXPECT_EQ(group.hold, holds[g]) << "group " << g;
        if (g == 0)
            continue;
        // Timer 0 was set with the last group's hold when it was fully revealed.
        const auto& held = groupSets[g];
        EXPECT_EQ(held.ms, holds[g - 1] * 1000) << "group " << g;
        EXPECT_EQ(group.at, held.at + std::chrono::milliseconds(held.ms)) << "group " << g;
        // With the cursor on, each line takes at least the cursor's run across the grid.
        const int lineCount = matrix.groups[g - 1].end - matrix.groups[g - 1].start + 1;
        EXPECT_GE(held.at - matrix.groups[g - 1].at, lineCount * columns * kCursorStep) << "group " << g - 1;
    }
}

TEST_F(JMatrixCtrlTest, TheCursorGatesTheLineAndAnEmptyLineCompletesAtOnce)
{
    crt::srand(7);
    matrix.Create(kPageRect, nullptr);
    Fill({QStringLiteral("ab"), QString(), Marker(" 1")});
    matrix.Run(5s);
    ASSERT_EQ(matrix.m_nCurrentLine, 0);
    const QPoint start = QPoint(matrix.m_linePos[0]);
    EXPECT_EQ(matrix.m_nCursorRow, start.y());
    // Nothing shows before the cursor has passed the line's start column; the
    // reveal step after it shows the first character.
    matrix.Run(5s + start.x() * kCursorStep);
    EXPECT_TRUE(matrix.m_strRevealed.isEmpty());
    matrix.Run(5s + (start.x() + 1) * kCursorStep + kTick);
    EXPECT_EQ(matrix.m_strRevealed.size(), 1);
    // Settled long before, the two letters wait for the cursor to leave the grid.
    const int columns = matrix.Grid().m_nColumns;
    matrix.Run(5s + (columns - 1) * kCursorStep);
    EXPECT_EQ(matrix.m_strRevealed, QStringLiteral("ab"));
    EXPECT_EQ(matrix.m_nCurrentLine, 0);
    // The next step completes the line, and the empty line completes on its
    // first step: the hold begins.
    matrix.Run(5s + columns * kCursorStep + 2 * kTick);
    EXPECT_EQ(matrix.m_nCurrentLine, 1);
    EXPECT_TRUE(matrix.timers.contains(JMatrixCtrl::kHoldTimer));
    EXPECT_FALSE(matrix.timers.contains(JMatrixCtrl::kRevealTimer));
}

TEST_F(JMatrixCtrlTest, ACharacterSettlesTwentyOneTicksAfterItFirstShows)
{
    // The reveal's 10 ms timer steps once a tick: a character shows scramble
    // characters from the step after the cursor passed it through its
    // twentieth scramble step and its real value on the next, 21 ticks
    // (328 ms) after it first showed.
    crt::srand(4);
    matrix.Create(kPageRect, nullptr);
    Fill({QStringLiteral("Lumidial")});
    matrix.Run(10s);
    std::optional<Time> shown, settled; // of the first character
    for (const auto& [at, text] : matrix.revealed) {
        if (!shown && !text.isEmpty())
            shown = at;
        if (!settled && text.startsWith(u'L')) // never a scramble character (32 to 63)
            settled = at;
    }
    ASSERT_TRUE(shown && settled);
    EXPECT_EQ(*settled - *shown, 21 * kTick);
}

TEST_F(JMatrixCtrlTest, MarkersInARowOrFirstArePassedOver)
{
    crt::srand(9);
    matrix.Create(kPageRect, nullptr);
    Fill({Marker(" 1"), QStringLiteral("A"), Marker(" 2"), Marker(" 3"), QStringLiteral("B")});
    matrix.Run(40s);
    ASSERT_GE(matrix.groups.size(), 4u);
    const std::tuple<int, int, int> expected[] = {{1, 1, 2}, {4, 4, 5}, {1, 1, 2}, {4, 4, 5}};
    for (std::size_t g = 0; g < 4; ++g) {
        const auto& group = matrix.groups[g];
        EXPECT_EQ(std::make_tuple(group.start, group.end, group.hold), expected[g]) << "group " << g;
    }
    for (const auto& [at, shown] : matrix.revealed)
        EXPECT_FALSE(shown.contains(kMarker));

    // Markers only: no group, nothing to reveal, no fault.
    VirtualClockMatrix markers;
    markers.Create(kPageRect, nullptr);
    markers.m_lines = {Marker(" 1"), Marker(" 2")};
    markers.m_nGroupEnd = 2;
    markers.Run(12s);
    EXPECT_TRUE(markers.groups.empty());
    EXPECT_EQ(markers.m_nCurrentLine, -1);
}

TEST_F(JMatrixCtrlTest, HoldsBelowZeroCountAsZero)
{
    struct Case
    {
        const char* marker;
        int ms;
    };
    for (const Case c :
         {Case{" 2", 2000}, Case{" -3", 0}, Case{" two", 0}, Case{" 99999999", INT_MAX / 1000 * 1000}}) {
        VirtualClockMatrix m;
        m.Create(kPageRect, nullptr);
        m.m_lines = {QString(), Marker(c.marker), QStringLiteral("B")};
        m.m_nGroupEnd = 3;
        m.Run(5100ms); // the empty line completes at once
        const auto sets = m.SetsOf(JMatrixCtrl::kGroupTimer);
        ASSERT_EQ(sets.size(), 2u) << c.marker;
        EXPECT_EQ(sets[1].ms, c.ms) << c.marker;
    }
}

TEST(JMatrixCtrlAreaTest, AnEmptyClientAreaStartsNothing)
{
    for (const QSize size : {QSize(0, 120), QSize(120, 0), QSize(kEdge, 120), QSize(0, 0)}) {
        VirtualClockMatrix m;
        EXPECT_TRUE(m.Create(QRect(QPoint(10, 10), size), nullptr));
        EXPECT_TRUE(m.sets.empty()) << size.width() << "x" << size.height();
        EXPECT_TRUE(m.Display().IsNull());
        for (int id = 0; id <= 4; ++id)
            m.OnTimer(id); // a stray message does nothing
    }
}

TEST(JMatrixCtrlAreaTest, RainNeedsThreeRows)
{
    const int cell = QFontMetrics(CMatrixGrid::GridFont(JMatrixCtrl::kFontHeight)).height();
    struct Case
    {
        int clientHeight, rows;
        bool rains;
    };
    for (const Case c : {Case{1, 1, false}, Case{cell, 2, false}, Case{2 * cell, 3, true}}) {
        crt::srand(1);
        VirtualClockMatrix m;
        m.Create(QRect(10, 10, 60 + kEdge, c.clientHeight + kEdge), nullptr);
        ASSERT_EQ(m.Grid().m_nRows, c.rows);
        m.Run(2s);
        EXPECT_EQ(m.Grid().m_nActiveColumns > 0, c.rains) << c.rows << " rows";
    }
}

TEST_F(JMatrixCtrlTest, SparklesBeyondTheGridAreClipped)
{
    matrix.Create(kPageRect, nullptr);
    CMatrixGrid& grid = matrix.Grid();
    ASSERT_GE(grid.m_flicker.size(), 2u);
    // One sparkle on the last cell, partly inside the picture, one past the grid's end.
    grid.m_flicker[0] = {true, 400, grid.m_nColumns - 1, grid.m_nRows - 1, u'x'};
    grid.m_flicker[1] = {true, 400, grid.m_nColumns, grid.m_nRows, u'y'};
    grid.m_nActiveFlicker = 2;
    matrix.m_bCursor = 0;
    matrix.OnTimer(JMatrixCtrl::kHoldTimer);
    const platform::Surface& shown = matrix.Display();
    const QRect lastCell((grid.m_nColumns - 1) * grid.m_nCellWidth, (grid.m_nRows - 1) * grid.m_nCellHeight,
                         grid.m_nCellWidth, grid.m_nCellHeight);
    int lit = 0;
    for (int y = 0; y < shown.Height(); ++y) {
        for (int x = 0; x < shown.Width(); ++x) {
            const std::uint32_t pixel = shown.Row(y)[x] & 0xFFFFFFu;
            if (!lastCell.contains(x, y)) {
                ASSERT_EQ(pixel, 0u) << x << "," << y;
            }
            lit += pixel == 0x00FF00u;
        }
    }
    EXPECT_GT(lit, 0) << "the visible part of the last cell shows its letter";
}

// The about dialog shown, its matrix reveal's page chosen with a click on the tab.
class JMatrixCtrlPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dialog.OnInitDialog();
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        QTabBar* const bar = dialog.TabCtrl()->TabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(3).center());
        reveal = dialog.Reveal();
        ASSERT_TRUE(reveal);
    }
    CAboutDlg dialog;
    JMatrixCtrl* reveal = nullptr;
};

TEST_F(JMatrixCtrlPageTest, TheAboutPageRevealsTheStaffOverTheRain)
{
    ASSERT_TRUE(reveal->isVisible());
    // Over the page's static, which stays beneath it.
    QWidget* const page = dialog.TabCtrl()->GetPage(3);
    EXPECT_EQ(reveal->parentWidget(), page);
    EXPECT_EQ(reveal->geometry(), kPageRect);
    EXPECT_EQ(reveal->m_lines, about::RevealLines());
    // The first line shows in full after the first delay and the cursor's run.
    QTRY_VERIFY_WITH_TIMEOUT(reveal->m_nCurrentLine == 0 && reveal->m_strRevealed == reveal->m_lines[0],
                             15000);
    const QImage shot = reveal->grab().toImage();
    int text = 0, rain = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb pixel = shot.pixel(x, y) & 0xFFFFFFu;
            text += pixel == 0x80FF80u;
            rain += qRed(pixel) == 0 && qBlue(pixel) == 0 && qGreen(pixel) >= 75;
        }
    }
    EXPECT_GT(text, 100) << "the revealed line";
    EXPECT_GT(rain, 100) << "the rain";
}

TEST_F(JMatrixCtrlPageTest, TheSparklesStepOnceATick)
{
    // From the first group on, the reveal's or the hold's timer steps the sparkles.
    QTRY_VERIFY_WITH_TIMEOUT(reveal->m_nCurrentLine >= 0, 15000);
    // A sparkle that outlives the test loses one life a step.
    CMatrixGrid& grid = reveal->Grid();
    ASSERT_FALSE(grid.m_flicker.empty());
    constexpr int kLife = 1'000'000;
    if (!grid.m_flicker[0].active)
        ++grid.m_nActiveFlicker;
    grid.m_flicker[0] = {true, kLife, 0, 0, u'x'};
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop; // a span of the page's own timers: the span is the measure
    QTimer::singleShot(1000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    const double ticks = static_cast<double>(clock.nsecsElapsed()) / 1e3 / static_cast<double>(kTick.count());
    const int steps = kLife - grid.m_flicker[0].life;
    // No load makes the steps come more often than the tick; the loose floor shows they run.
    EXPECT_LE(steps, ticks + 1);
    EXPECT_GE(steps, ticks / 4);
}

} // namespace
