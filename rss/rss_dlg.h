#pragma once
// CRssDlg: the RSS ticker, a small shaped window beside the clock that scrolls
// the item titles of one feed as links. Its feeds come from the feed list
// "lmd_rss.ini" beside the executable; its "→" button moves on to the next
// feed of the list, and after the last the first comes again.
//
// The window lives on the GUI thread; each feed is downloaded and parsed on a
// worker thread (CFeedLoader), so a slow server never holds up the clock. The
// window is shaped by its skin (bitmap 160; magenta outside). Its title strip
// and left column drag it, the small boxes at its top-left corner close and
// minimise it.
#include "platform/dialog.h"
#include "rss/contour_bitmap.h"
#include "rss/csv_file.h"
#include "rss/feed_loader.h"

#include <QWidget>
#include <deque>
#include <optional>

class CHoverButton;
class CScrollLink;
class QLabel;

// The parts of the window under a point, as the window system names them.
enum RssHitZone : int
{
    HTCLIENT = 1,
    HTCAPTION = 2,
    HTMINBUTTON = 8,
    HTCLOSE = 20,
};

// The part of the ticker window under a point in its client area.
int RssHitTest(QPoint client);

// Where the ticker goes for the clock's screen rectangle: at the clock's left,
// right below it when its top is in the upper half of the screen, else 70
// pixels above its top. An empty rectangle (no clock) gives (0, 0).
QPoint TickerPosition(const QRect& clock, int screenHeight);

class CRssDlg : public QWidget
{
public:
    static constexpr int IDD = 211;
    static constexpr int IDC_NEXT = 1034;
    static constexpr int IDC_TITLE = 1035;
    static constexpr int IDC_TICKER = 1036;
    static constexpr int IDB_SKIN = 160;
    static constexpr int IDB_NEXT = 161;

    // The dialog as data (template 211).
    static const platform::DialogTemplate& Template();

    explicit CRssDlg(DownloadLimits limits = {});
    ~CRssDlg() override;

    // Places, shapes and shows the window, reads the feed list and starts the
    // first feed. False when the list is missing: a message says so and the
    // window stays, empty.
    bool OnInitDialog();
    // Shows the next feed of the queue (loaded in the background).
    void NextFeed();

    QLabel* Title() const { return m_title; }
    CHoverButton* NextButton() const { return m_btnNext; }
    CScrollLink* Ticker() const { return m_ticker; }
    const std::deque<FeedEntry>& Feeds() const { return m_feeds; }
    bool IsLoading() const { return m_loader.IsLoading(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void OnFeedLoaded(const CFeed& feed, const QString& title);
    // Puts the feed's items in the ticker and starts it scrolling.
    void ShowFeed(const CFeed& feed, const QString& title);
    void ShapeWindow();
    void SetUpNextButton();

    platform::DialogControls m_controls;
    QLabel* m_title;
    CHoverButton* m_btnNext;
    CScrollLink* m_ticker;
    std::deque<FeedEntry> m_feeds;
    CContourBitmap m_skin;
    QString m_folder; // where downloads go
    std::optional<QPoint> m_dragOffset;
    CFeedLoader m_loader; // last: its worker ends before anything above goes
};
