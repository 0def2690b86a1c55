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

std::pair<gg::GgTrackball*, bool*> CTrackballCtrl::ButtonDrag(Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        return {&m_tbObject, &m_bLeftDrag};
    if (button == Qt::RightButton)
        return {&m_tbRoom, &m_bRightDrag};
    return {nullptr, nullptr};
}

void CTrackballCtrl::mousePressEvent(QMouseEvent* event)
{
    if (const auto [trackball, dragging] = ButtonDrag(event->button()); trackball) {
        const QPoint p = event->position().toPoint();
        *dragging = true;
        trackball->BeginDrag(p.x(), p.y());
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
    if (const auto [trackball, dragging] = ButtonDrag(event->button()); trackball) {
        const QPoint p = event->position().toPoint();
        *dragging = false;
        trackball->EndDrag(p.x(), p.y());
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
