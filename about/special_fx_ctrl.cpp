#include "about/special_fx_ctrl.h"

#include <QMouseEvent>
#include <QPainter>

CSpecialFXCtrl::CSpecialFXCtrl(QWidget* parent)
    : QWidget(parent), m_timers(this, [this](int) { update(); })
{
    setAttribute(Qt::WA_OpaquePaintEvent); // the frame covers the whole client area
    setMouseTracking(true);                // moves without a button ripple too
}

const QImage* CSpecialFXCtrl::Picture(int index) const
{
    const QImage* const picture = index == 0 ? m_pBitmap1 : m_pBitmap2;
    return picture && !picture->isNull() ? picture : nullptr;
}

void CSpecialFXCtrl::PreSubclassWindow()
{
    m_nCurrent = 0;
    LoadPicture();
    m_frame.Create(width(), height());
    m_timers.SetTimer(kTimerId, kTimerMs);
}

void CSpecialFXCtrl::LoadPicture()
{
    const QImage* const picture = Picture(m_nCurrent);
    // Without a picture the control shows its grey ground only.
    const int w = picture ? picture->width() : 0;
    const int h = picture ? picture->height() : 0;
    m_dcPicture.Create(w, h);
    if (picture) {
        QPainter painter(&m_dcPicture.Image());
        painter.drawImage(0, 0, *picture);
    }
    m_dibSource.DeleteObject();
    m_dibRender.DeleteObject();
    m_dibSource.CaptureFromDC(m_dcPicture, w, h);
    m_dibRender.CaptureFromDC(m_dcPicture, w, h);
    m_water.Create(w, h);
}

void CSpecialFXCtrl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!m_frame.IsNull())
        m_frame.Create(width(), height());
}

void CSpecialFXCtrl::paintEvent(QPaintEvent*)
{
    if (m_frame.IsNull())
        return;
    m_frame.Fill(kGround);
    if (m_dibSource.HasSection()) {
        m_water.Render(m_dibSource.GetPixels(), m_dibRender.GetPixels());
        m_dibRender.Draw(m_frame, 0, 0);
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_frame.Image());
}

void CSpecialFXCtrl::DropAt(QPoint client, int radius, int height)
{
    const int h = m_dibSource.GetHeight();
    if (QRect(0, 0, m_dibSource.GetWidth(), h).contains(client))
        m_water.AddDrop(client.x(), h - client.y() - 1, radius, height, m_water.m_nPage);
}

void CSpecialFXCtrl::mouseMoveEvent(QMouseEvent* event)
{
    DropAt(event->position().toPoint(), 2, 10);
    QWidget::mouseMoveEvent(event);
}

void CSpecialFXCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (Picture(1)) {
            m_nCurrent = (m_nCurrent + 1) % 2;
            LoadPicture();
            update();
        }
        DropAt(event->position().toPoint(), 20, 200);
    }
    QWidget::mousePressEvent(event);
}
