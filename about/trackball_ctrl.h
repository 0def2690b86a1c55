#pragma once
// CTrackballCtrl: the mouse of the about dialog's room scenes. A left-drag turns
// the object's trackball, a right-drag the room's (the room and what the object
// reflects of it); the wheel scales the object by 1.2 a step up and by 0.833 a
// step down. The control repaints only when one of these changed something;
// a move without a pressed button is not even delivered (no mouse tracking).
//
// The zoom factor belongs to the process (one per kind of control), so it keeps
// its value from one opening of the dialog to the next, while every new control
// starts with unturned trackballs.
#include "about/gl_ctrl.h"
#include "effects/geometry/trackball.h"

#include <utility>

class CTrackballCtrl : public CGLCtrl
{
public:
    static constexpr double kZoomIn = 1.2;
    static constexpr double kZoomOut = 0.833;

    const gg::GgTrackball& ObjectTrackball() const { return m_tbObject; }
    const gg::GgTrackball& RoomTrackball() const { return m_tbRoom; }
    double Zoom() const { return m_zoom; }

protected:
    // zoom: the process-wide factor of this kind of control.
    CTrackballCtrl(double& zoom, QWidget* parent);

    // Derived controls call this from ResizeGL: the trackballs' scale.
    void SetTrackballRegion(int width, int height);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // The trackball a button turns and that button's drag flag; nulls for
    // other buttons.
    std::pair<gg::GgTrackball*, bool*> ButtonDrag(Qt::MouseButton button);

    gg::GgTrackball m_tbObject;
    gg::GgTrackball m_tbRoom;
    bool m_bLeftDrag = false;
    bool m_bRightDrag = false;
    double& m_zoom;
};
