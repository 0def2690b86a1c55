#include "rss/scroll_link.h"

#include "platform/desktop.h"
#include "platform/surface.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kTextInset = 2;

bool OpensInBrowser(const QString& link)
{
    const QString scheme = QUrl(link.trimmed()).scheme().toLower();
    return scheme == u"http" || scheme == u"https";
}

int BandOf(qreal x)
{
    return std::max(0, static_cast<int>(std::floor(x / CTextStrip::kBandWidth)));
}

// The text as one line: line and paragraph breaks, carriage returns and tabs
// become spaces.
QString SingleLine(QString text)
{
    for (QChar& c : text) {
        if (c == u'\n' || c == u'\r' || c == u'\t' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return text;
}

} // namespace

CTextStrip::CTextStrip(const QString& text, const QFont& font)
{
    QTextLayout layout(SingleLine(text), font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (line.isValid())
        line.setPosition({0, 0});
    layout.endLayout();
    if (!line.isValid())
        return;
    // Not line.height(), which is rounded up: centred as a single line of text is.
    m_height = line.ascent() + line.descent();
    m_ascent = line.ascent();
    // Each run of one font is cut where its glyphs pass from one band to the next.
    for (const QGlyphRun& run : line.glyphRuns()) {
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype begin = 0; begin < glyphs.size();) {
            const int band = BandOf(positions[begin].x());
            qsizetype end = begin + 1;
            while (end < glyphs.size() && BandOf(positions[end].x()) == band)
                ++end;
            QGlyphRun piece;
            piece.setRawFont(run.rawFont());
            piece.setFlags(run.flags());
            piece.setGlyphIndexes(glyphs.mid(begin, end - begin));
            piece.setPositions(positions.mid(begin, end - begin));
            if (m_bands.size() <= static_cast<std::size_t>(band))
                m_bands.resize(static_cast<std::size_t>(band) + 1);
            m_bands[static_cast<std::size_t>(band)].push_back(std::move(piece));
            begin = end;
        }
    }
}

void CTextStrip::Draw(QPainter& painter, QPointF origin, int left, int right) const
{
    if (m_bands.empty() || right <= left)
        return;
    // A glyph may reach into the bands beside its own: one more on either side.
    const std::size_t first = static_cast<std::size_t>(std::max(BandOf(left - origin.x()) - 1, 0));
    const std::size_t last = std::min(static_cast<std::size_t>(BandOf(right - origin.x())) + 1, m_bands.size() - 1);
    for (std::size_t band = first; band <= last; ++band) {
        for (const QGlyphRun& run : m_bands[band])
            painter.drawGlyphRun(origin, run);
    }
}

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
    if (event->type() == QEvent::FontChange) {
        MakeFonts();
        DropStrips(); // laid out in the old font; they come again at the next paint
    }
    QWidget::changeEvent(event);
}

void CScrollLink::DropStrips()
{
    for (CTextFrame& entry : m_entries)
        entry.m_strip.reset();
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
    m_entries.push_back({{}, link, text, {}, {}});
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
        entry.m_strip.reset();
        entry.m_size = QSize(metrics.horizontalAdvance(SingleLine(entry.m_strText)), metrics.height());
    }
    m_entries[0].m_positions.push_back(TextRight());
    update();
    m_timers.SetTimer(TIMER_TICKER, kTickMs);
    return true;
}

void CScrollLink::OnTimer()
{
    // Move the copies on the strip, and nothing else: a long list costs no more.
    for (std::size_t i = 0; i < m_active.size(); ++i)
        --CopyX(i);
    if (!m_entries.empty() && !m_active.empty()) {
        // Retire the oldest copy once it has left the text area; an entry with
        // no copy left lets its layout go.
        CTextFrame& oldest = CopyEntry(0);
        if (oldest.m_positions.front() + oldest.m_size.width() <= m_rcText.left()) {
            oldest.m_positions.erase(oldest.m_positions.begin());
            if (oldest.m_positions.empty())
                oldest.m_strip.reset();
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

std::size_t CScrollLink::Occurrence(std::size_t i) const
{
    return static_cast<std::size_t>(
        std::count(m_active.begin(), m_active.begin() + static_cast<std::ptrdiff_t>(i), m_active[i]));
}

void CScrollLink::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(m_rcClient, m_crBack);
    painter.save();
    painter.setClipRect(m_rcText);
    const int left = m_rcText.left();
    const int right = TextRight();
    for (std::size_t i = 0; i < m_active.size(); ++i) {
        CTextFrame& entry = CopyEntry(i);
        const int x = CopyX(i);
        if (x >= right || x + entry.m_size.width() <= left)
            continue;
        if (!entry.m_strip)
            entry.m_strip.emplace(entry.m_strText, m_fontBold);
        const CTextStrip& strip = *entry.m_strip;
        const bool link = !entry.m_strLink.isEmpty();
        const bool hovered = link && m_active[i] == m_nHoverDrawn && x == m_nHoverDrawnX;
        const QColor colour = hovered ? m_crHover : link ? QColor(0, 0, 255) : QColor(Qt::black);
        // Vertically centred in the text area, as a single line.
        const QPointF origin(x, m_rcText.top() + (m_rcText.height() - strip.Height()) / 2);
        painter.setPen(colour);
        strip.Draw(painter, origin, left, right);
        if (hovered) {
            const QFontMetricsF metrics(m_fontHover);
            const qreal thickness = std::max<qreal>(1, std::round(metrics.lineWidth()));
            const qreal y = std::round(origin.y() + strip.Ascent() + metrics.underlinePos());
            painter.fillRect(QRectF(x, y, entry.m_size.width(), thickness), colour);
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
    for (std::size_t i = 0; i < m_active.size(); ++i) {
        const CTextFrame& entry = CopyEntry(i);
        const int x = CopyX(i);
        const int top = (m_rcText.height() - entry.m_size.height()) / 2;
        const int left = std::max(x, m_rcText.left());
        const int right = std::min(TextRight(), x + entry.m_size.width());
        if (point.x() >= left && point.x() < right && point.y() >= top && point.y() < top + entry.m_size.height()) {
            if (copyX)
                *copyX = x;
            return m_active[i];
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
