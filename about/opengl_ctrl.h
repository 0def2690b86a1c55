#pragma once
// COpenGLCtrl: a teapot mirroring the room around it. The room is a box of
// half size 50 around the viewer with the six "room2" pictures; the teapot
// reflects the same pictures through a cube map with reflection-map texture
// coordinates. A left-drag turns the teapot, a right-drag the room and the
// reflection with it, the wheel scales the teapot (CTrackballCtrl). Paints on
// demand only; no timer.
#include "about/room_box.h"
#include "about/trackball_ctrl.h"

class COpenGLCtrl : public CTrackballCtrl
{
public:
    static constexpr int kFaceSide = 128;
    static constexpr float kRoomHalf = 50.0f;

    explicit COpenGLCtrl(QWidget* parent = nullptr);
    ~COpenGLCtrl() override;

    // The process-wide zoom factor of the teapot (1.0 at program start).
    static double ZoomFactor();

protected:
    void SetUpGL() override;
    void PaintGL() override;
    void ResizeGL(int width, int height) override;
    void FreeGL() override;

private:
    unsigned m_cubeMap = 0;
    unsigned m_strip = 0;
    const about::RoomBox m_room;
};
