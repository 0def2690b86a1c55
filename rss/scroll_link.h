#pragma once
// CScrollLink: the ticker itself, a strip that scrolls a row of text entries
// from right to left, one pixel a tick, with a gap of just over kGap pixels
// between entries, and starts again with the first after the last, without end.
// The pointer resting on an entry pauses the scroll and paints that entry as
// a hovered link (bold, underlined, red); a click on it then opens the entry's
// link in the browser (through platform/desktop.h). Only http and https links
// are opened: a feed cannot make a click start a local file or program.
//
// Each entry is a CTextFrame; an entry may be on the strip more than once at a
// time (a short list wraps around while its previous copy is still visible).
// m_active lists the copies in the order they started, oldest first, and the
// k-th occurrence of an index in it goes with the k-th position of that entry.
#include "platform/dialog.h"
#include "platform/timers.h"

#include <QFont>
#include <QSize>
#include <QString>
#include <QWidget>
#include <vector>

class CTextFrame
{
public:
    QSize m_size;                 // the text's extent in the bold font (StartScroll)
    QString m_strLink;            // opened on click; may be empty
    QString m_strText;            // shown
    std::vector<int> m_positions; // left edges of its copies on the strip, oldest first
};

class CScrollLink : public QWidget
{
public:
    static constexpr int TIMER_TICKER = 2025;
    // One pixel a tick: the timer asks for 1 ms and fires once a tick of the
    // platform's timers (platform/timers.h), 64 pixels a second.
    static constexpr int kTickMs = 1;
    static constexpr int kGap = 50;

    explicit CScrollLink(QWidget* parent = nullptr);

    // Appends an entry (shown from the next StartScroll). Always true.
    bool AddLink(const QString& text, const QString& link);
    // Removes every entry and copy; a running timer keeps running (moving nothing).
    void Clear();
    // Measures the entries and starts the first at the right edge; false, with
    // nothing changed, when there are no entries.
    bool StartScroll();

    void SetBackColor(platform::COLORREF colour);

    // The entry whose copy contains the point (and that copy's left edge), or -1.
    int HitTest(QPoint point, int* copyX = nullptr) const;

    // State, for the dialog and tests.
    const std::vector<CTextFrame>& Entries() const { return m_entries; }
    const std::vector<int>& Active() const { return m_active; }
    bool IsPaused() const { return m_bPaused; }
    bool IsScrolling() const { return m_timers.IsRunning(TIMER_TICKER); }
    int HoverIndex() const { return m_nHoverIndex; }
    QRect TextRect() const { return m_rcText; }

    // One tick: move, retire the oldest copy once it has left, start the next.
    void OnTimer();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void MakeFonts();
    void Resume();
    int TextRight() const { return m_rcText.x() + m_rcText.width(); }
    QRect CopyRect(int x) const; // where a copy at x draws its text

    std::vector<CTextFrame> m_entries;
    QColor m_crHover{255, 0, 0};
    QColor m_crBack;
    int m_nInterval = kTickMs;
    QRect m_rcText;
    QRect m_rcClient;
    QFont m_fontBold;
    QFont m_fontHover;
    int m_nHoverIndex = -1;
    bool m_bPaused = false;
    std::vector<int> m_active;
    // The copy painted as hovered while paused (entry, left edge); -1 for none.
    int m_nHoverDrawn = -1;
    int m_nHoverDrawnX = 0;
    platform::TimerSet m_timers;
};
