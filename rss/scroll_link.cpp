#include "rss/scroll_link.h"

#include "platform/desktop.h"
#include "platform/surface.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <algorithm>

namespace {

constexpr int kTextInset = 2;
constexpr auto kTextFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;

bool OpensInBrowser(const QString& link)
{
    const QString scheme = QUrl(link.trimmed()).scheme().toLower();
    return scheme == u"http" || scheme == u"https";
}

} // namespace

CScrollLink::CScrollLink(QWidget* parent)
    : QWidget(parent), m_crBack(platform::SysQColor(platform::COLOR_BTNFACE)),
      m_timers(this, [this](int) { OnTimer(); })
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    MakeFonts();
}

void CScrollLink::MakeFonts()
{
    m_fontBold = font();
    m_fontBold.setWeight(QFont::Bold);
    m_fontHover = m_fontBold;
    m_fontHover.setUnderline(true);
}

void CScrollLink::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        MakeFonts();
    QWidget::changeEvent(event);
}

void CScrollLink::resizeEvent(QResizeEvent* event)
{
    m_rcClient = rect();
    m_rcText = m_rcClient.adjusted(kTextInset, kTextInset, -kTextInset, -kTextInset);
    QWidget::resizeEvent(event);
}

void CScrollLink::SetBackColor(platform::COLORREF colour)
{
    m_crBack = platform::ToQColor(colour);
    update();
}

bool CScrollLink::AddLink(const QString& text, const QString& link)
{
    m_entries.push_back({{}, link, text, {}});
    return true;
}

void CScrollLink::Clear()
{
    m_entries.clear();
    m_active.clear();
    m_nHoverIndex = -1;
    m_nHoverDrawn = -1;
}

bool CScrollLink::StartScroll()
{
    if (m_entries.empty())
        return false;
    m_timers.KillTimer(TIMER_TICKER);
    m_active.assign(1, 0);
    const QFontMetrics metrics(m_fontBold);
    for (CTextFrame& entry : m_entries) {
        entry.m_positions.clear();
        entry.m_size = QSize(metrics.horizontalAdvance(entry.m_strText), metrics.height());
    }
    m_entries[0].m_positions.push_back(TextRight());
    update();
    m_timers.SetTimer(TIMER_TICKER, kTickMs);
    return true;
}

void CScrollLink::OnTimer()
{
    // Move: every position belongs to exactly one copy on the strip.
    for (CTextFrame& entry : m_entries)
        for (int& x : entry.m_positions)
            --x;
    if (!m_entries.empty() && !m_active.empty()) {
        // Retire the oldest copy once it has left the text area.
        CTextFrame& oldest = m_entries[static_cast<std::size_t>(m_active.front())];
        if (oldest.m_positions.front() + oldest.m_size.width() <= m_rcText.left()) {
            oldest.m_positions.erase(oldest.m_positions.begin());
            m_active.erase(m_active.begin());
        }
    }
    if (!m_entries.empty() && !m_active.empty()) {
        // Start the next entry once the newest copy has left a gap behind it.
        const int newestIndex = m_active.back();
        const CTextFrame& newest = m_entries[static_cast<std::size_t>(newestIndex)];
        if (newest.m_positions.back() + newest.m_size.width() + kGap < TextRight()) {
            const int next = (newestIndex + 1) % static_cast<int>(m_entries.size());
            m_entries[static_cast<std::size_t>(next)].m_positions.push_back(TextRight());
            m_active.push_back(next);
        }
    }
    update(m_rcText);
}

QRect CScrollLink::CopyRect(int x) const
{
    return {x, m_rcText.top(), TextRight() - x, m_rcText.height()};
}

void CScrollLink::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(m_rcClient, m_crBack);
    painter.save();
    painter.setClipRect(m_rcText);
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const CTextFrame& entry = m_entries[i];
        const bool link = !entry.m_strLink.isEmpty();
        for (const int x : entry.m_positions) {
            const bool hovered = link && static_cast<int>(i) == m_nHoverDrawn && x == m_nHoverDrawnX;
            painter.setFont(hovered ? m_fontHover : m_fontBold);
            painter.setPen(hovered ? m_crHover : link ? QColor(0, 0, 255) : QColor(Qt::black));
            painter.drawText(CopyRect(x), kTextFlags, entry.m_strText);
        }
    }
    painter.restore();
    // A two-pixel sunken border.
    const QColor light = platform::SysQColor(platform::COLOR_BTNHIGHLIGHT);
    const QColor shadow = platform::SysQColor(platform::COLOR_BTNSHADOW);
    const auto edge = [&](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
        painter.fillRect(r.left(), r.top(), r.width(), 1, topLeft);
        painter.fillRect(r.left(), r.top(), 1, r.height(), topLeft);
        painter.fillRect(r.left(), r.bottom(), r.width(), 1, bottomRight);
        painter.fillRect(r.right(), r.top(), 1, r.height(), bottomRight);
    };
    edge(m_rcClient.adjusted(1, 1, -1, -1), light, shadow);
    edge(m_rcClient, shadow, light);
}

int CScrollLink::HitTest(QPoint point, int* copyX) const
{
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const CTextFrame& entry = m_entries[i];
        const int top = (m_rcText.height() - entry.m_size.height()) / 2;
        for (const int x : entry.m_positions) {
            const int left = std::max(x, m_rcText.left());
            const int right = std::min(TextRight(), x + entry.m_size.width());
            if (point.x() >= left && point.x() < right && point.y() >= top &&
                point.y() < top + entry.m_size.height()) {
                if (copyX)
                    *copyX = x;
                return static_cast<int>(i);
            }
        }
    }
    return -1;
}

void CScrollLink::mouseMoveEvent(QMouseEvent* event)
{
    int x = 0;
    m_nHoverIndex = HitTest(event->position().toPoint(), &x);
    if (m_bPaused && m_nHoverIndex < 0) {
        Resume();
    } else if (!m_bPaused && m_nHoverIndex >= 0) {
        m_timers.KillTimer(TIMER_TICKER);
        m_bPaused = true;
        m_nHoverDrawn = m_nHoverIndex;
        m_nHoverDrawnX = x;
        update(m_rcText);
    }
    QWidget::mouseMoveEvent(event);
}

void CScrollLink::leaveEvent(QEvent* event)
{
    if (m_bPaused)
        Resume();
    QWidget::leaveEvent(event);
}

void CScrollLink::Resume()
{
    m_bPaused = false;
    m_nHoverDrawn = -1;
    m_timers.SetTimer(TIMER_TICKER, m_nInterval);
    update(m_rcText);
}

void CScrollLink::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !m_bPaused || m_nHoverIndex < 0 ||
        m_nHoverIndex >= static_cast<int>(m_entries.size()))
        return;
    const QString& link = m_entries[static_cast<std::size_t>(m_nHoverIndex)].m_strLink;
    if (OpensInBrowser(link))
        platform::OpenWithAssociatedProgram(link.trimmed());
}
