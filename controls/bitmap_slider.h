#pragma once
// CBitmapSlider: a slider drawn entirely from pictures. A channel picture is
// the track (with a second picture for the part before the thumb) and sets the
// slider's size; a thumb picture, transparent where it has the colour of its
// top-left pixel, marks the position (a second picture shows while the thumb
// is held). The thumb keeps the margins from the edges; the position maps
// linearly onto the pixels between them.
//
// Moves are posted to the owner (Notify, queued): WM_BITMAPSLIDER_MOVING while
// the thumb is dragged and the position changes, WM_BITMAPSLIDER_MOVED when the
// button is released on the slider or a key moved it; each carries the control
// id and the position.
#include "platform/resources.h"

#include <QImage>
#include <QWidget>

enum BitmapSliderMessage : unsigned
{
    WM_BITMAPSLIDER_MOVING = 0x28D1,
    WM_BITMAPSLIDER_MOVED = 0x28D2,
};

class CBitmapSlider : public QWidget
{
    Q_OBJECT

public:
    explicit CBitmapSlider(QWidget* parent = nullptr);

    // Loads the channel pictures (both or neither) and resizes the slider to
    // the channel. False when either cannot be loaded.
    bool SetChannelBitmaps(const platform::ResourceId& channel, const platform::ResourceId& active);
    // Loads the thumb pictures (both or neither); transparent draws them
    // through their masks. False when either cannot be loaded.
    bool SetThumbBitmaps(const platform::ResourceId& thumb, const platform::ResourceId& active, bool transparent);

    void SetRange(int minimum, int maximum);
    int GetRangeMin() const { return m_nMin; }
    int GetRangeMax() const { return m_nMax; }
    // Limited to the range; repaints.
    void SetPos(int position);
    int GetPos() const { return m_nPos; }
    void SetMargins(int left, int top, int right, int bottom);
    void SetPageSize(int page) { m_nPage = page; }
    void DrawFocusRect(bool draw);
    void SetVertical(bool vertical);

    // The thumb centre's pixel (x, or y when vertical) for a position.
    int Pos2Pixel(int position) const;
    // The control id the notifications carry (the dialog template's id; 0 when none).
    int ControlId() const;

    // The mask of a picture (1 where it has the colour of its top-left pixel)
    // and the picture with those pixels black. False for a null picture.
    static bool CreateMask(QImage& bitmap, QImage& mask);

signals:
    void Notify(unsigned message, int controlId, int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // The thumb follows the cursor (at x or y along the slider) less the grab offset.
    void MoveThumb(int cursor);
    void Post(unsigned message);
    // Along the moving axis: the channel length, the thumb length and the two margins.
    int Length() const { return m_bVertical ? m_nHeight : m_nWidth; }
    int ThumbLength() const { return m_bVertical ? m_nThumbHeight : m_nThumbWidth; }
    int MarginBefore() const { return m_bVertical ? m_nMarginTop : m_nMarginLeft; }
    int MarginAfter() const { return m_bVertical ? m_nMarginBottom : m_nMarginRight; }

    int m_nMax = 100;
    int m_nMin = 0;
    int m_nPos = 0;
    int m_nPage = 20;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nThumbWidth = 0;
    int m_nThumbHeight = 0;
    int m_nMarginLeft = 0;
    int m_nMarginRight = 0;
    int m_nMarginTop = 0;
    int m_nMarginBottom = 0;
    int m_nMouseOffset = 0;
    bool m_bVertical = false;
    bool m_bChannel = false;
    bool m_bChannelActive = false;
    bool m_bThumb = false;
    bool m_bThumbActive = false;
    bool m_bLButtonDown = false;
    bool m_bFocus = false;
    bool m_bDrawFocusRect = true;

    QImage m_bmChannel;
    QImage m_bmChannelActive;
    // The thumb pictures ready to draw: transparent where their mask is set
    // when the thumb is transparent.
    QImage m_bmThumb;
    QImage m_bmThumbActive;
};
