// The matrix reveal: groups split by marker lines and their holds, scramble
// characters, the first delay and the holds on a virtual clock, the cursor
// gating each line, small or empty client areas, sparkles beyond the grid, and
// the about dialog's page showing the revealed staff lines over the rain.
#include "about/about_dlg.h"
#include "about/jmatrix_ctrl.h"
#include "platform/crt.h"

#include <QFontMetrics>
#include <QTabBar>
#include <QTest>
#include <climits>
#include <gtest/gtest.h>
#include <map>
#include <tuple>

namespace {

constexpr QChar kMarker(0x01);

QString Marker(const char* rest)
{
    return QString(kMarker) + QString::fromLatin1(rest);
}

// A matrix reveal whose timers run on a virtual clock: Run(t) fires every timer
// due up to t milliseconds, earliest first (the lower id first on a tie), as
// the window's timer messages would arrive.
class VirtualClockMatrix : public JMatrixCtrl
{
public:
    struct Set
    {
        long long at;
        int id, ms;
    };
    struct Group
    {
        long long at;
        int start, end, hold;
        bool operator==(const Group&) const = default;
    };

    VirtualClockMatrix() : JMatrixCtrl(255, 5, 5, 20, true, 0x01) {}

    void Run(long long until)
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
                revealed.push_back(m_strRevealed);
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

    long long now = 0;
    std::vector<Set> sets;
    std::vector<Group> groups;     // each group as timer 0 started it
    std::vector<QString> revealed; // the current line's text after each reveal step
    struct Timer
    {
        int interval;
        long long due;
    };
    std::map<int, Timer> timers;

protected:
    void SetTimer(int id, int ms) override
    {
        sets.push_back({now, id, ms});
        const int interval = std::max(ms, 10);
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
    matrix.Run(20000);
    ASSERT_GE(matrix.groups.size(), 3u);
    using G = VirtualClockMatrix::Group;
    EXPECT_EQ(matrix.groups[0], (G{5000, 0, 0, 2})) << "{A} after the first delay, held 2 s";
    const G& second = matrix.groups[1];
    EXPECT_EQ((G{0, second.start, second.end, second.hold}), (G{0, 2, 3, 5})) << "{B, C} held 5 s";
    EXPECT_EQ(matrix.groups[2].start, 0) << "after the last group the start wraps to line 0";
    EXPECT_EQ(matrix.groups[2].end, 0);

    // A last group without a marker is held for the default hold.
    VirtualClockMatrix open;
    open.Create(kPageRect, nullptr);
    for (const QString& line : {QStringLiteral("A"), Marker(" 2"), QStringLiteral("B")}) {
        open.m_lines.append(line);
        open.m_nGroupEnd = static_cast<int>(open.m_lines.size());
    }
    open.Run(12000);
    ASSERT_GE(open.groups.size(), 2u);
    EXPECT_EQ((G{0, open.groups[1].start, open.groups[1].end, open.groups[1].hold}), (G{0, 2, 2, 5}));
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
    matrix.Run(9000);
    ASSERT_FALSE(matrix.revealed.empty());
    int scrambled = 0;
    for (const QString& shown : matrix.revealed) {
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
    EXPECT_EQ(matrix.revealed.back(), line) << "every character settles on its real value";
}

TEST_F(JMatrixCtrlTest, TheDialogsLinesRunOnTheFirstDelayAndTheirHolds)
{
    crt::srand(5);
    matrix.Create(kPageRect, nullptr);
    Fill(about::RevealLines());
    const int columns = matrix.Grid().m_nColumns;
    matrix.Run(40000);

    // Set-up: the first delay and the rain, nothing else.
    const auto groupSets = matrix.SetsOf(JMatrixCtrl::kGroupTimer);
    ASSERT_FALSE(groupSets.empty());
    EXPECT_EQ(groupSets[0].at, 0);
    EXPECT_EQ(groupSets[0].ms, 5000);
    ASSERT_FALSE(matrix.SetsOf(JMatrixCtrl::kRainTimer).empty());
    EXPECT_EQ(matrix.SetsOf(JMatrixCtrl::kRainTimer)[0].ms, 80);
    EXPECT_EQ(matrix.SetsOf(JMatrixCtrl::kRainTimer).size(), 1u) << "the rain timer is never restarted";

    // The groups in order, each starting exactly its hold after the last one was revealed.
    const std::pair<int, int> lines[] = {{0, 0}, {2, 3}, {5, 6}, {8, 8}, {0, 0}};
    const int holds[] = {2, 2, 2, 5, 2};
    ASSERT_GE(matrix.groups.size(), 5u);
    ASSERT_GE(groupSets.size(), 5u);
    EXPECT_EQ(matrix.groups[0].at, 5000);
    for (std::size_t g = 0; g < 5; ++g) {
        const auto& group = matrix.groups[g];
        EXPECT_EQ(std::make_pair(group.start, group.end), lines[g]) << "group " << g;
        EXPECT_EQ(group.hold, holds[g]) << "group " << g;
        if (g == 0)
            continue;
        // Timer 0 was set with the last group's hold when it was fully revealed.
        const auto& held = groupSets[g];
        EXPECT_EQ(held.ms, holds[g - 1] * 1000) << "group " << g;
        EXPECT_EQ(group.at, held.at + held.ms) << "group " << g;
        // With the cursor on, each line takes at least the cursor's run across the grid.
        const int lineCount = matrix.groups[g - 1].end - matrix.groups[g - 1].start + 1;
        EXPECT_GE(held.at - matrix.groups[g - 1].at, lineCount * columns * JMatrixCtrl::kCursorMs)
            << "group " << g - 1;
    }
}

TEST_F(JMatrixCtrlTest, TheCursorGatesTheLineAndAnEmptyLineCompletesAtOnce)
{
    crt::srand(7);
    matrix.Create(kPageRect, nullptr);
    Fill({QStringLiteral("ab"), QString(), Marker(" 1")});
    matrix.Run(5000);
    ASSERT_EQ(matrix.m_nCurrentLine, 0);
    const QPoint start = QPoint(matrix.m_linePos[0]);
    EXPECT_EQ(matrix.m_nCursorRow, start.y());
    // Nothing shows before the cursor has passed the line's start column.
    matrix.Run(5000 + start.x() * JMatrixCtrl::kCursorMs);
    EXPECT_TRUE(matrix.m_strRevealed.isEmpty());
    matrix.Run(5000 + (start.x() + 1) * JMatrixCtrl::kCursorMs + 10);
    EXPECT_EQ(matrix.m_strRevealed.size(), 1);
    // Settled long before, the two letters wait for the cursor to leave the grid.
    const int columns = matrix.Grid().m_nColumns;
    matrix.Run(5000 + (columns - 1) * JMatrixCtrl::kCursorMs);
    EXPECT_EQ(matrix.m_strRevealed, QStringLiteral("ab"));
    EXPECT_EQ(matrix.m_nCurrentLine, 0);
    // Then the empty line completes on its first step and the hold begins.
    matrix.Run(5000 + columns * JMatrixCtrl::kCursorMs + 30);
    EXPECT_EQ(matrix.m_nCurrentLine, 1);
    EXPECT_TRUE(matrix.timers.contains(JMatrixCtrl::kHoldTimer));
    EXPECT_FALSE(matrix.timers.contains(JMatrixCtrl::kRevealTimer));
}

TEST_F(JMatrixCtrlTest, MarkersInARowOrFirstArePassedOver)
{
    crt::srand(9);
    matrix.Create(kPageRect, nullptr);
    Fill({Marker(" 1"), QStringLiteral("A"), Marker(" 2"), Marker(" 3"), QStringLiteral("B")});
    matrix.Run(40000);
    ASSERT_GE(matrix.groups.size(), 4u);
    const std::tuple<int, int, int> expected[] = {{1, 1, 2}, {4, 4, 5}, {1, 1, 2}, {4, 4, 5}};
    for (std::size_t g = 0; g < 4; ++g) {
        const auto& group = matrix.groups[g];
        EXPECT_EQ(std::make_tuple(group.start, group.end, group.hold), expected[g]) << "group " << g;
    }
    for (const QString& shown : matrix.revealed)
        EXPECT_FALSE(shown.contains(kMarker));

    // Markers only: no group, nothing to reveal, no fault.
    VirtualClockMatrix markers;
    markers.Create(kPageRect, nullptr);
    markers.m_lines = {Marker(" 1"), Marker(" 2")};
    markers.m_nGroupEnd = 2;
    markers.Run(12000);
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
        m.Run(5100); // the empty line completes at once
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
        m.Run(2000);
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

TEST(JMatrixCtrlPageTest, TheAboutPageRevealsTheStaffOverTheRain)
{
    CAboutDlg dialog;
    dialog.OnInitDialog();
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTabBar* const bar = dialog.TabCtrl()->TabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(3).center());
    JMatrixCtrl* const reveal = dialog.Reveal();
    ASSERT_TRUE(reveal);
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

} // namespace
