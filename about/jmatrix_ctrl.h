#pragma once
// JMatrixCtrl: groups of text lines revealed over falling letters. Lines are
// split into groups by marker lines (code 0x01 followed by the group's hold in
// seconds). Each group is centred on the character grid and revealed line by
// line: a block cursor sweeps along the line's row, and every character it has
// passed flickers through scramble characters until it settles on the real
// one. A revealed group stays for its hold, then the next one replaces it;
// after the last group the cycle starts again. Behind the text, columns of
// green letters fall and single letters twinkle (the grid of the text rain).
//
// Five window timers drive it:
//   0  first delay, then each group's hold: starts the next group and its cursor
//   1  10 ms while a group is revealed: sparkle step, reveal step, redraw
//   2  40 ms while a line's cursor runs: cursor one column on, redraw
//   3  80 ms from creation on: rain step, redraw
//   4  10 ms while a group is held: sparkle step, redraw
// The 10 ms timers fire once a tick of the platform's timers (15.625 ms, see
// platform/timers.h): a character settles 21 ticks after it first shows.
// The owner creates the control with Create, then appends lines and sets the
// group end to the line count after each one. A client area without pixels
// sets up nothing and starts no timer; a grid of fewer than 3 rows lets no
// rain fall. A hold below 0 counts as 0, and a group that would start on a
// marker line (two markers in a row, or a marker first) is passed over.
#include "effects/jmatrix_routine.h"
#include "platform/surface.h"
#include "platform/timers.h"

#include <QFrame>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

class JMatrixCtrl : public QFrame
{
public:
    static constexpr char16_t kMarker = 0x01; // begins a marker line; as cursor glyph, a solid block
    static constexpr int kFontHeight = 14;
    static constexpr int kRevealMs = 10;
    static constexpr int kCursorMs = 40;
    static constexpr int kRainMs = 80;
    static constexpr int kHoldSparkleMs = 10;
    enum TimerId
    {
        kGroupTimer = 0,
        kRevealTimer = 1,
        kCursorTimer = 2,
        kRainTimer = 3,
        kHoldTimer = 4,
    };

    // The scramble limit is kept as a signed 8-bit value: 255 reads as -1.
    JMatrixCtrl(int scrambleLimit, int firstDelay, int defaultHold, int settleCount, bool cursorOn,
                char cursorGlyph, QWidget* parent = nullptr);

    // Places the control at rect (the parent's coordinates) under parent, shows
    // it with its sunken client edge and starts it: grid, pictures, the first
    // delay and the rain. True once the window is there.
    bool Create(const QRect& rect, QWidget* parent);

    // The window's timer messages, by timer id.
    void OnTimer(int id);

    // 32 + rand() mod (limit - 31), the limit read as a signed 8-bit value;
    // a divisor of 0 (limit 31) gives 32.
    static char16_t ScrambleChar(std::int8_t limit);
    // The hold a marker line gives: the number after the marker, at least 0.
    static int MarkerHold(const QString& line);
    static bool IsMarker(const QString& line) { return !line.isEmpty() && line[0] == QChar(kMarker); }

    // What the owner fills.
    QStringList m_lines;
    int m_nGroupEnd = 0;

    // Settings from construction.
    std::int8_t m_chMaxChar;
    int m_nFirstDelay;
    int m_nDefaultHold;
    int m_nSettle;
    int m_bCursor;
    char16_t m_chCursor;

    // Reveal state.
    int m_nCursorCol = 0;
    int m_nCursorRow = 0;
    int m_nGroupStart = 0;
    std::vector<QPoint> m_linePos; // per line of the group: x = start column, y = row
    int m_nCurrentLine = -1;
    QString m_strRevealed;
    std::vector<int> m_counts;
    int m_nHold = 0;

    const CMatrixGrid& Grid() const { return m_grid; }
    CMatrixGrid& Grid() { return m_grid; }
    const platform::Surface& Display() const { return m_display; }

protected:
    // Timers go through these two, as a window's SetTimer and KillTimer do.
    virtual void SetTimer(int id, int ms);
    virtual void KillTimer(int id);

    void paintEvent(QPaintEvent* event) override;

private:
    void StartNextGroup();
    // Scans the group from line start: its end and hold. False when start is a marker line.
    bool ScanGroup(int start);
    void LayOutGroup();
    void StartCursor();
    void RevealStep();
    void Redraw();
    QPoint LinePos(int line) const { return m_linePos[static_cast<std::size_t>(line - m_nGroupStart)]; }

    CMatrixGrid m_grid;
    platform::Surface m_display;
    platform::TimerSet m_timers;
};
