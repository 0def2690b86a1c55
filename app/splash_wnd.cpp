#include "app/splash_wnd.h"

#include "platform/dialog.h"
#include "platform/resources.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>

namespace {

// The window has a one-pixel border; the client area (where the picture and
// the texts are placed) starts inside it.
constexpr int kBorder = 1;
const QColor kBorderColour(100, 100, 100);
const QColor kTextColour(0x0A, 0x0A, 0x0A);
constexpr QPoint kVersionAt(180, 140);
constexpr QPoint kAuthorAt(150, 160);

} // namespace

CSplashWnd::CSplashWnd(const QString& version) : CSplashWnd(version, platform::LoadBitmap("SPLASH"))
{
}

CSplashWnd::CSplashWnd(const QString& version, QImage bitmap)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_strVersion(version),
      m_bitmap(std::move(bitmap))
{
    // Without its picture the splash keeps a size that holds its texts.
    const QSize size = m_bitmap.isNull() ? kFallbackSize : m_bitmap.size() + QSize(4, 4);
    m_nWidth = size.width();
    m_nHeight = size.height();
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false); // the program lives as long as its clock, not its splash
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCursor(Qt::BusyCursor);
}

void CSplashWnd::Create(const QRect& workArea)
{
    const int x = workArea.left() + (workArea.width() - m_nWidth) / 2;
    const int y = workArea.top() + (workArea.height() - m_nHeight) / 2;
    setGeometry(x, y, m_nWidth, m_nHeight);
    setWindowOpacity(m_nAlpha / 255.0);
    m_holdTimer.start(kHoldMs, this);
    show();
}

void CSplashWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(kBorderColour);
    painter.drawRect(0, 0, width() - 1, height() - 1);

    const QRect client(kBorder, kBorder, width() - 2 * kBorder, height() - 2 * kBorder);
    painter.fillRect(client, Qt::white);
    painter.translate(client.topLeft());
    if (!m_bitmap.isNull()) {
        const int x = m_bitmap.width() < client.width() ? (client.width() - m_bitmap.width()) / 2 : 0;
        const int y = m_bitmap.height() < client.height() ? (client.height() - m_bitmap.height()) / 2 : 0;
        painter.drawImage(x, y, m_bitmap);
    }
    painter.setFont(platform::WindowsFont("Meiryo UI", 10, 600));
    painter.setPen(kTextColour);
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    painter.drawText(QRect(kVersionAt, client.size()), flags, m_strVersion);
    painter.drawText(QRect(kAuthorAt, client.size()), flags, QStringLiteral("by Tobelin"));
}

void CSplashWnd::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        CloseLater();
}

void CSplashWnd::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_holdTimer.timerId()) {
        m_holdTimer.stop();
        m_fadeTimer.start(kFadeStepMs, this);
    } else if (event->timerId() == m_fadeTimer.timerId()) {
        m_nAlpha -= kFadeStep;
        setWindowOpacity((m_nAlpha & 0xFF) / 255.0);
        if (m_nAlpha < kCloseBelow) {
            m_fadeTimer.stop();
            CloseLater();
        }
    } else {
        QWidget::timerEvent(event);
    }
}

void CSplashWnd::closeEvent(QCloseEvent* event)
{
    m_holdTimer.stop();
    m_fadeTimer.stop();
    event->accept();
}

void CSplashWnd::CloseLater()
{
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}
