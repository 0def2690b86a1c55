#include "controls/static_ex.h"

#include <QMouseEvent>
#include <QPainter>

int CStaticEx::s_nTickCount = 0;

CStaticEx::CStaticEx(const QImage& picture, QWidget* parent) : QWidget(parent), m_timers(this)
{
    m_dcMem.Image() = picture.convertToFormat(QImage::Format_RGB32);
    // A picture control takes the size of its picture.
    setFixedSize(m_dcMem.Width(), m_dcMem.Height());
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true); // moves without a button pressed ripple too
    PreSubclassWindow();
}

void CStaticEx::PreSubclassWindow()
{
    m_nWidth = width();
    m_nHeight = height();
    m_dibSource.CaptureFromDC(m_dcMem, m_nWidth, m_nHeight);
    m_dibRender.CaptureFromDC(m_dcMem, m_nWidth, m_nHeight);
    m_output.Create(m_nWidth, m_nHeight);
    m_water.Create(m_nWidth, m_nHeight);
    m_generator.seed(std::random_device{}());
    m_timers.SetTimer(kTimerId, kTimerMs);
}

bool CStaticEx::event(QEvent* event)
{
    if (event->type() == platform::WindowTimerEvent::EventType()) {
        OnTimer();
        return true;
    }
    return QWidget::event(event);
}

void CStaticEx::OnTimer()
{
    if (++s_nTickCount % kDropEvery == 0) {
        // Both the centre's x and y come from the width's range.
        const int w = m_nWidth;
        const int b = static_cast<int>(w * 0.3);
        using Uniform = std::uniform_int_distribution<int>;
        const int x = Uniform(0, w)(m_generator);
        const int y = Uniform(0, w)(m_generator);
        const int radius = Uniform(static_cast<int>(b * 0.6), b)(m_generator);
        const int height = Uniform(b, static_cast<int>(w * 0.5))(m_generator);
        m_water.AddDrop(x, y, radius, height, m_water.m_nPage);
    }
    update();
}

void CStaticEx::paintEvent(QPaintEvent*)
{
    if (m_nWidth <= 0 || m_nHeight <= 0)
        return;
    m_water.Render(m_dibSource.GetPixels(), m_dibRender.GetPixels());
    m_dibRender.Draw(m_output, 0, 0);
    QPainter painter(this);
    painter.drawImage(0, 0, m_output.Image());
}

void CStaticEx::DropAt(QPoint client, int radius, int height)
{
    const QRect picture(0, 0, m_dibSource.GetWidth(), m_dibSource.GetHeight());
    // The field's rows run bottom-up: client row y is field row height - y.
    if (picture.contains(client))
        m_water.AddDrop(client.x(), m_nHeight - client.y(), radius, height, m_water.m_nPage);
}

void CStaticEx::mouseMoveEvent(QMouseEvent* event)
{
    DropAt(event->position().toPoint(), 2, 10);
    QWidget::mouseMoveEvent(event);
}

void CStaticEx::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        DropAt(event->position().toPoint(), 20, 200);
    QWidget::mousePressEvent(event);
}
