#include "about/jmatrix_ctrl.h"

#include "platform/crt.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr std::uint32_t kTextColour = 0xFF80FF80u;    // revealed text and cursor (0x80FF80)
constexpr std::uint32_t kSparkleColour = 0xFF00FF00u; // sparkles (0x00FF00)
constexpr int kMinimumRainRows = 3;                   // the rain's random head row needs rows - 2 > 0

// A timer interval for a number of seconds: negative counts as 0, and a very
// long one stops at the longest interval a timer takes.
int SecondsToMs(int seconds)
{
    return std::clamp(seconds, 0, INT_MAX / 1000) * 1000;
}

} // namespace

JMatrixCtrl::JMatrixCtrl(int scrambleLimit, int firstDelay, int defaultHold, int settleCount, bool cursorOn,
                         char cursorGlyph, QWidget* parent)
    : QFrame(parent), m_chMaxChar(static_cast<std::int8_t>(scrambleLimit)), m_nFirstDelay(firstDelay),
      m_nDefaultHold(defaultHold), m_nSettle(settleCount), m_bCursor(cursorOn ? 1 : 0),
      m_chCursor(static_cast<unsigned char>(cursorGlyph)), m_timers(this, [this](int id) { OnTimer(id); })
{
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken); // the client edge
    setAttribute(Qt::WA_OpaquePaintEvent);            // the display covers the client area
}

char16_t JMatrixCtrl::ScrambleChar(std::int8_t limit)
{
    const int divisor = limit - 31;
    if (divisor == 0)
        return u' ';
    return static_cast<char16_t>(32 + crt::rand() % divisor);
}

int JMatrixCtrl::MarkerHold(const QString& line)
{
    return std::max(crt::atoi(QStringView(line).mid(1)), 0);
}

bool JMatrixCtrl::Create(const QRect& rect, QWidget* parent)
{
    setParent(parent);
    setGeometry(rect);
    show();
    const QSize client = contentsRect().size();
    if (client.isEmpty() || !m_display.IsNull())
        return true; // nothing to draw on, or already running
    m_grid.CreateGrid(CMatrixGrid::GridFont(kFontHeight), client.width(), client.height());
    m_display.Create(client.width(), client.height());
    m_display.Fill(0);
    SetTimer(kGroupTimer, SecondsToMs(m_nFirstDelay));
    SetTimer(kRainTimer, kRainMs);
    update();
    return true;
}

void JMatrixCtrl::SetTimer(int id, int ms)
{
    m_timers.SetTimer(id, ms);
}

void JMatrixCtrl::KillTimer(int id)
{
    m_timers.KillTimer(id);
}

void JMatrixCtrl::OnTimer(int id)
{
    if (m_display.IsNull())
        return;
    switch (id) {
    case kGroupTimer:
        StartNextGroup();
        StartCursor();
        return; // no redraw
    case kRevealTimer:
        m_grid.FlickerStep();
        RevealStep();
        break;
    case kCursorTimer:
        if (++m_nCursorCol >= m_grid.m_nColumns)
            KillTimer(kCursorTimer);
        break;
    case kRainTimer:
        if (m_grid.m_nRows >= kMinimumRainRows && m_grid.m_nColumns >= 1)
            m_grid.RainStep();
        break;
    case kHoldTimer:
        m_grid.FlickerStep();
        break;
    default:
        return;
    }
    Redraw();
}

bool JMatrixCtrl::ScanGroup(int start)
{
    const int n = static_cast<int>(m_lines.size());
    m_nGroupStart = m_nCurrentLine = m_nGroupEnd = start;
    for (int i = start;; ++i) {
        const QString& line = m_lines[i];
        if (IsMarker(line)) {
            m_nHold = MarkerHold(line);
            m_nGroupEnd = i - 1; // the marker closes the group above it
            break;
        }
        if (i == n - 1) {
            m_nHold = std::max(m_nDefaultHold, 0);
            m_nGroupEnd = i;
            break;
        }
        m_nGroupEnd = i + 1;
    }
    return m_nGroupEnd >= m_nGroupStart;
}

void JMatrixCtrl::StartNextGroup()
{
    const int n = static_cast<int>(m_lines.size());
    if (n == 0)
        return;
    int start = m_nGroupEnd + 2; // past the marker that closed the last group
    if (start >= n)
        start = 0;
    // A group that would start on a marker line has no lines: pass on to the next.
    int tries = 0;
    while (!ScanGroup(start)) {
        if (++tries == n) {
            m_nCurrentLine = -1; // markers only: nothing to reveal
            KillTimer(kRevealTimer);
            return;
        }
        start = m_nGroupEnd + 2;
        if (start >= n)
            start = 0;
    }
    LayOutGroup();
    m_strRevealed.clear();
    m_counts.clear();
    KillTimer(kGroupTimer);
    KillTimer(kHoldTimer);
    SetTimer(kRevealTimer, kRevealMs);
}

void JMatrixCtrl::LayOutGroup()
{
    const int k = m_nGroupEnd - m_nGroupStart + 1;
    const int firstRow = (m_grid.m_nRows - k - 1) / 2;
    const QFontMetrics metrics(m_grid.m_font);
    m_linePos.resize(static_cast<std::size_t>(k));
    for (int j = 0; j < k; ++j) {
        const int width = metrics.horizontalAdvance(m_lines[m_nGroupStart + j]);
        m_linePos[static_cast<std::size_t>(j)] =
            QPoint((m_grid.m_nWidth - width) / 2 / m_grid.m_nCellWidth, firstRow + j);
    }
}

void JMatrixCtrl::StartCursor()
{
    if (!m_bCursor || m_nCurrentLine < 0)
        return;
    m_nCursorCol = 0;
    m_nCursorRow = LinePos(m_nCurrentLine).y();
    SetTimer(kCursorTimer, kCursorMs);
}

void JMatrixCtrl::RevealStep()
{
    if (m_bCursor && m_chCursor != kMarker)
        m_chCursor = ScrambleChar(m_chMaxChar);
    if (m_nCurrentLine < 0)
        return;
    const QString& line = m_lines[m_nCurrentLine];
    const int m = static_cast<int>(line.size());
    const int startColumn = LinePos(m_nCurrentLine).x();
    // Characters the cursor has passed show scramble characters until they settle.
    const qsizetype reach = m_bCursor ? m_nCursorCol - startColumn : m;
    const bool done = CMatrixGrid::RevealLine(line, reach, m_nSettle, m_strRevealed, m_counts,
                                              [this] { return ScrambleChar(m_chMaxChar); });
    const bool cursorThrough = !m_bCursor || m == 0 || m_nCursorCol >= m_grid.m_nColumns;
    if (!done || !cursorThrough)
        return;
    if (m_nCurrentLine >= m_nGroupEnd) {
        KillTimer(kRevealTimer);
        SetTimer(kGroupTimer, SecondsToMs(m_nHold));
        SetTimer(kHoldTimer, kHoldSparkleMs);
        return;
    }
    ++m_nCurrentLine;
    m_strRevealed.clear();
    m_counts.clear();
    StartCursor();
}

void JMatrixCtrl::Redraw()
{
    const int w = m_display.Width();
    for (int y = 0; y < m_display.Height(); ++y)
        std::memcpy(m_display.Row(y), m_grid.m_rainImage.Row(y), static_cast<std::size_t>(w) * 4);
    for (const CMatrixGrid::FlickerCell& sparkle : m_grid.m_flicker) {
        if (sparkle.active)
            m_grid.DrawCellChar(m_display, sparkle.column, sparkle.row, sparkle.character, kSparkleColour);
    }
    if (m_nCurrentLine >= 0) {
        for (int k = m_nGroupStart; k < m_nCurrentLine; ++k) {
            const QPoint pos = LinePos(k);
            m_grid.DrawText(m_display, pos.x(), pos.y(), m_lines[k], kTextColour);
        }
        const QPoint pos = LinePos(m_nCurrentLine);
        m_grid.DrawText(m_display, pos.x(), pos.y(), m_strRevealed, kTextColour);
    }
    if (m_bCursor)
        m_grid.DrawText(m_display, m_nCursorCol, m_nCursorRow, QStringView(&m_chCursor, 1), kTextColour);
    update();
}

void JMatrixCtrl::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event); // the edge
    if (m_display.IsNull())
        return;
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), m_display.Image());
}
