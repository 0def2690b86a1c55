#pragma once
// CStaticEx: a picture control that shows its picture through rippling water.
// Drops fall on it by themselves, the mouse drags a small ripple behind the
// cursor and a click drops a large one. The water is a CWaterRoutine stepping
// once per paint over two CDIBSectionLite buffers captured from the picture;
// a 30 ms timer repaints it.
//
// One tick counter is shared by every CStaticEx of the process: each timer tick
// of any control counts it up, and a control drops a random drop on those of
// its own ticks that make the count a multiple of 30 (every 0.9 s with one
// control on screen).
#include "effects/dib_section_lite.h"
#include "effects/water_routine.h"
#include "platform/surface.h"
#include "platform/timers.h"

#include <QImage>
#include <QWidget>
#include <random>

class CStaticEx : public QWidget
{
public:
    // Timer 1 repaints the water every 30 ms; a random drop falls every 30th tick.
    static constexpr int kTimerId = 1;
    static constexpr int kTimerMs = 30;
    static constexpr int kDropEvery = 30;

    // The control takes the picture's size; the ripples start at once.
    explicit CStaticEx(const QImage& picture, QWidget* parent = nullptr);

    // The tick counter shared by all controls (starts at 0).
    static int s_nTickCount;

    // The water, for looking at its fields.
    const CWaterRoutine& Water() const { return m_water; }

protected:
    bool event(QEvent* event) override; // timer ticks
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void PreSubclassWindow();
    void OnTimer();
    // A drop at a client point (x, height - y) when the point lies on the picture.
    void DropAt(QPoint client, int radius, int height);

    platform::Surface m_dcMem;  // the picture
    platform::Surface m_output; // the rendered frame, drawn on paint
    int m_nWidth = 0;
    int m_nHeight = 0;
    CDIBSectionLite m_dibSource;
    CDIBSectionLite m_dibRender;
    CWaterRoutine m_water;
    std::mt19937 m_generator;
    platform::TimerSet m_timers;
};
