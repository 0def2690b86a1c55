#include "about/trackball_ctrl.h"

#include <QMouseEvent>
#include <QWheelEvent>

CTrackballCtrl::CTrackballCtrl(double& zoom, QWidget* parent) : CGLCtrl(parent), m_zoom(zoom)
{
    setCursor(Qt::PointingHandCursor);
}

void CTrackballCtrl::SetTrackballRegion(int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    m_tbObject.Region(width, height);
    m_tbRoom.Region(width, height);
}

void CTrackballCtrl::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        m_bLeftDrag = true;
        m_tbObject.BeginDrag(p.x(), p.y());
    } else if (event->button() == Qt::RightButton) {
        m_bRightDrag = true;
        m_tbRoom.BeginDrag(p.x(), p.y());
    }
    event->accept();
}

void CTrackballCtrl::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_bLeftDrag && !m_bRightDrag)
        return;
    const QPoint p = event->position().toPoint();
    if (m_bLeftDrag)
        m_tbObject.Drag(p.x(), p.y());
    if (m_bRightDrag)
        m_tbRoom.Drag(p.x(), p.y());
    update();
    event->accept();
}

void CTrackballCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        m_bLeftDrag = false;
        m_tbObject.EndDrag(p.x(), p.y());
    } else if (event->button() == Qt::RightButton) {
        m_bRightDrag = false;
        m_tbRoom.EndDrag(p.x(), p.y());
    }
    event->accept();
}

void CTrackballCtrl::wheelEvent(QWheelEvent* event)
{
    // Only the vertical wheel zooms; a sideways tilt is another message.
    const int delta = event->angleDelta().y();
    if (delta == 0)
        return event->ignore();
    m_zoom *= delta > 0 ? kZoomIn : kZoomOut;
    update();
    event->accept();
}
