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
//
// A tick costs the same however long the texts are: it moves and draws only
// the copies on the strip, and an entry is laid out once, when a copy of it
// first comes into view (CTextStrip), and drawn from that layout only where it
// is in view; the layout goes when its last copy has left.
#include "platform/dialog.h"
#include "platform/timers.h"

#include <QFont>
#include <QGlyphRun>
#include <QSize>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

class QPainter;

// A text laid out once as a single line in one font, its glyphs sorted by
// where they stand into bands kBandWidth pixels wide, so that drawing the part
// of it between two x costs the same whatever the text's length. Line breaks
// and tabs in the text stand as spaces.
class CTextStrip
{
public:
    static constexpr int kBandWidth = 128;

    CTextStrip(const QString& text, const QFont& font);

    qreal Height() const { return m_height; }
    qreal Ascent() const { return m_ascent; }
    // Draws, in the painter's pen colour, the glyphs whose bands meet
    // [left, right) when the strip's top-left corner is at origin.
    void Draw(QPainter& painter, QPointF origin, int left, int right) const;

private:
    std::vector<std::vector<QGlyphRun>> m_bands;
    qreal m_height = 0;
    qreal m_ascent = 0;
};

class CTextFrame
{
public:
    QSize m_size;                 // the text's extent in the bold font (StartScroll)
    QString m_strLink;            // opened on click; may be empty
    QString m_strText;            // shown
    std::vector<int> m_positions; // left edges of its copies on the strip, oldest first
    // The text laid out in the bold font, while a copy of it is in view.
    std::optional<CTextStrip> m_strip;
};

class CScrollLink : public QWidget
{
public:
    static constexpr int TIMER_TICKER = 2025;
    // One pixel a tick at the pace the ticker has always had: its timer asked
    // for 1 ms and ran at the system's 15.6 ms tick, about 64 pixels a second.
    static constexpr int kTickMs = 16;
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
    // The entry of the i-th copy of m_active and that copy's left edge.
    CTextFrame& CopyEntry(std::size_t i) { return m_entries[static_cast<std::size_t>(m_active[i])]; }
    const CTextFrame& CopyEntry(std::size_t i) const { return m_entries[static_cast<std::size_t>(m_active[i])]; }
    int& CopyX(std::size_t i) { return CopyEntry(i).m_positions[Occurrence(i)]; }
    int CopyX(std::size_t i) const { return CopyEntry(i).m_positions[Occurrence(i)]; }
    // How often the entry of the i-th copy occurs in m_active before it.
    std::size_t Occurrence(std::size_t i) const;
    void DropStrips();

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
