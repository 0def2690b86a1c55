#include "rss/rss_dlg.h"

#include "platform/desktop.h"
#include "platform/paths.h"
#include "platform/resources.h"
#include "platform/window_list.h"
#include "platform/window_region.h"
#include "rss/hover_button.h"
#include "rss/scroll_link.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

using namespace platform;

namespace {

const QString kClockClass = QStringLiteral("LMDClass");
const QString kFeedListName = QStringLiteral("lmd_rss.ini");
constexpr int kAboveClock = 70;

// A rectangle given as left, top, right, bottom, the right and bottom edges
// outside it.
constexpr QRect Edges(int left, int top, int right, int bottom)
{
    return {left, top, right - left, bottom - top};
}

struct HitZone
{
    QRect rect;
    int zone;
};
// Tested in this order; the first that holds the point wins.
constexpr HitZone kHitZones[] = {
    {Edges(29, 1, 205, 15), HTCAPTION}, // the title strip
    {Edges(5, 15, 30, 76), HTCAPTION},  // the left column
    {Edges(3, 2, 13, 12), HTCLOSE},
    {Edges(15, 2, 25, 12), HTMINBUTTON},
};

QRect ClockRect()
{
    for (const TopLevelWindow& window : EnumTopLevelWindows()) {
        if (window.className == kClockClass)
            return window.rect;
    }
    return {};
}

Qt::CursorShape ZoneCursor(int zone)
{
    switch (zone) {
    case HTCAPTION:
        return Qt::SizeAllCursor;
    case HTCLOSE:
    case HTMINBUTTON:
        return Qt::PointingHandCursor;
    default:
        return Qt::ArrowCursor;
    }
}

} // namespace

int RssHitTest(QPoint client)
{
    for (const HitZone& hit : kHitZones) {
        if (hit.rect.contains(client))
            return hit.zone;
    }
    return HTCLIENT;
}

QPoint TickerPosition(const QRect& clock, int screenHeight)
{
    const int bottom = clock.y() + clock.height();
    return {clock.x(), clock.y() < screenHeight / 2 ? bottom : clock.y() - kAboveClock};
}

const DialogTemplate& CRssDlg::Template()
{
    static const DialogTemplate dialog{
        QString(),
        {282, 42},
        {
            {IDC_TITLE, ControlKind::Static, {18, 10, 133, 14}, 0, QStringLiteral("title")},
            {IDC_NEXT, ControlKind::PushButton, {4, 12, 12, 11}, 0, QStringLiteral("→")},
            {IDC_TICKER, ControlKind::Static, {17, 23, 260, 14}, 0, QStringLiteral("hyperlink scroller")},
        },
        QStringLiteral("ＭＳ Ｐゴシック"),
        9,
    };
    return dialog;
}

CRssDlg::CRssDlg(DownloadLimits limits)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint), m_controls(this, Template()),
      m_title(m_controls.ItemAs<QLabel>(IDC_TITLE)), m_btnNext(new CHoverButton), m_ticker(new CScrollLink),
      m_folder(CFeed::DefaultFolder()), m_loader(this, limits)
{
    m_controls.Replace(IDC_NEXT, m_btnNext);
    m_controls.Replace(IDC_TICKER, m_ticker);
    m_title->setWordWrap(false);
    connect(m_btnNext, &QAbstractButton::clicked, this, [this] { NextFeed(); });
    setMouseTracking(true);
}

CRssDlg::~CRssDlg() = default;

bool CRssDlg::OnInitDialog()
{
    m_skin = CContourBitmap(LoadBitmap(IDB_SKIN));
    if (!m_skin.IsNull())
        setFixedSize(m_skin.Size()); // else the template's size stays

    const QPoint at = TickerPosition(ClockRect(), GetSystemMetrics(SM_CYSCREEN));
    move(at);
    show();
    ShapeWindow();

    m_title->setGeometry(27, 16, 200, 22);
    m_ticker->setGeometry(26, 38, 390, 23);
    m_ticker->SetBackColor(0xFFFFFF);

    const QString list = paths::InExeDir(kFeedListName);
    if (!paths::Exists(list)) {
        OpenMessageBox(*this, QStringLiteral("lmd_rss.iniファイルが読めませんでした"), QString(), MB_OK, {});
        return false;
    }
    m_feeds = ReadFeedList(list);
    NextFeed();
    SetUpNextButton();
    return true;
}

void CRssDlg::ShapeWindow()
{
    // The skin's top-left colour is "outside": neither drawn nor clickable.
    SetWindowRgn(*this, m_skin.IsNull() ? QRegion() : m_skin.CreateRegion(m_skin.CornerColor()));
}

void CRssDlg::SetUpNextButton()
{
    const QImage strip = LoadBitmap(IDB_NEXT);
    m_btnNext->setGeometry(6, 20, 18, 18);
    const int frameWidth = strip.width() / 3;
    m_btnNext->SetStrip(QPixmap::fromImage(strip), frameWidth, strip.height());
    m_btnNext->resize(frameWidth, strip.height());
    m_btnNext->SetToolTipText(QStringLiteral("Next RSS reloaded"));
}

void CRssDlg::NextFeed()
{
    m_ticker->Clear();
    m_ticker->update();
    if (m_feeds.empty())
        return;
    // The list rotates: the feed goes to the back as its load starts.
    const FeedEntry feed = m_feeds.front();
    m_feeds.pop_front();
    m_feeds.push_back(feed);
    m_loader.Start(feed.url, m_folder,
                   [this, title = feed.title](const CFeed& loaded) { OnFeedLoaded(loaded, title); });
}

void CRssDlg::OnFeedLoaded(const CFeed& feed, const QString& title)
{
    // An error box is modal to this ticker only: the ticker waits for it, the
    // clock and the other tickers go on.
    if (!feed.m_strError.isEmpty()) {
        OpenMessageBox(*this, feed.m_strError, QString(), MB_OK,
                       [this, feed, title](int) { ShowFeed(feed, title); });
        return;
    }
    ShowFeed(feed, title);
}

void CRssDlg::ShowFeed(const CFeed& feed, const QString& title)
{
    for (const CFeedItem& item : feed.m_items)
        m_ticker->AddLink(item.title, item.link);
    m_ticker->StartScroll();
    // The list's own title for the feed, whatever the channel calls itself.
    m_title->setText(title);
}

void CRssDlg::paintEvent(QPaintEvent*)
{
    if (m_skin.IsNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, m_skin.Picture());
}

void CRssDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    switch (RssHitTest(event->position().toPoint())) {
    case HTCLOSE:
        close();
        return;
    case HTMINBUTTON:
        showMinimized();
        return;
    case HTCAPTION:
        // The window follows the pointer until the button comes up (the press
        // keeps the pointer's moves coming to this window).
        m_dragOffset = event->globalPosition().toPoint() - pos();
        return;
    default:
        QWidget::mousePressEvent(event);
    }
}

void CRssDlg::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragOffset)
        move(event->globalPosition().toPoint() - *m_dragOffset);
    else
        setCursor(ZoneCursor(RssHitTest(event->position().toPoint())));
    QWidget::mouseMoveEvent(event);
}

void CRssDlg::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragOffset.reset();
    QWidget::mouseReleaseEvent(event);
}
