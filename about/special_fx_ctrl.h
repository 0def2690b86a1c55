#pragma once
// CSpecialFXCtrl: a picture seen through rippling water. The mouse drags a
// small ripple behind the cursor and a click drops a large one; when the owner
// has given a second picture, each click also switches between the two, and
// the water starts calm again on the new picture. The picture sits at the
// control's top-left corner on a light grey ground (a larger one is clipped).
//
// The owner sets the pictures (it keeps them) and then calls PreSubclassWindow
// once the control has its place; a 30 ms timer redraws the water from then on.
// Each redraw takes one step of the water routine; no frame allocates.
#include "effects/dib_section_lite.h"
#include "effects/water_routine.h"
#include "platform/surface.h"
#include "platform/timers.h"

#include <QImage>
#include <QWidget>

class CSpecialFXCtrl : public QWidget
{
public:
    static constexpr int kTimerId = 1;
    static constexpr int kTimerMs = 30;
    static constexpr platform::COLORREF kGround = 0xF0F0F0;

    explicit CSpecialFXCtrl(QWidget* parent = nullptr);

    // The pictures to show; null or empty pictures count as missing.
    void SetPictures(const QImage* first, const QImage* second)
    {
        m_pBitmap1 = first;
        m_pBitmap2 = second;
    }

    // Set-up: the first picture, still water, the redraw timer.
    void PreSubclassWindow();

    int CurrentPicture() const { return m_nCurrent; }
    const CWaterRoutine& Water() const { return m_water; }
    // The frame the next paint shows (after the paint that made it).
    const platform::Surface& Frame() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    const QImage* Picture(int index) const;
    void LoadPicture();
    // A drop at a client point when it lies on the picture; the field's rows
    // run bottom-up, so client row y is field row height - y - 1.
    void DropAt(QPoint client, int radius, int height);

    CDIBSectionLite m_dibSource;
    CDIBSectionLite m_dibRender;
    CWaterRoutine m_water;
    const QImage* m_pBitmap1 = nullptr;
    const QImage* m_pBitmap2 = nullptr;
    platform::Surface m_dcPicture; // the current picture
    int m_nCurrent = 0;
    platform::Surface m_frame; // the client area as painted
    platform::TimerSet m_timers;
};
