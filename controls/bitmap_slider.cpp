#include "controls/bitmap_slider.h"

#include "controls/button_vq.h"
#include "controls/gdi_draw.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace {

// A masked picture ready to draw: its own pixels where the mask is clear,
// transparent where it is set (as the mask ANDed and the picture ORed).
QImage Composed(const QImage& picture, const QImage& mask)
{
    QImage out = picture.convertToFormat(QImage::Format_ARGB32);
    QImage alpha = mask;
    alpha.invertPixels();
    out.setAlphaChannel(alpha.convertToFormat(QImage::Format_Grayscale8));
    return out;
}

} // namespace

CBitmapSlider::CBitmapSlider(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);
}

int CBitmapSlider::ControlId() const
{
    return property("controlId").toInt();
}

bool CBitmapSlider::CreateMask(QImage& bitmap, QImage& mask)
{
    if (bitmap.isNull())
        return false;
    CButtonVq::MaskedBitmap masked;
    if (!CButtonVq::CreateBitmapMask(bitmap, platform::FromPixel(bitmap.pixel(0, 0)), masked))
        return false;
    bitmap = std::move(masked.picture);
    mask = std::move(masked.mask);
    return true;
}

bool CBitmapSlider::SetChannelBitmaps(const platform::ResourceId& channel, const platform::ResourceId& active)
{
    QImage picture = platform::LoadBitmap(channel);
    QImage activePicture = platform::LoadBitmap(active);
    if (picture.isNull() || activePicture.isNull())
        return false;
    m_bmChannel = std::move(picture);
    m_bmChannelActive = std::move(activePicture);
    m_bChannelActive = true;
    m_nWidth = m_bmChannel.width();
    m_nHeight = m_bmChannel.height();
    resize(m_nWidth, m_nHeight);
    m_bChannel = true;
    update();
    return true;
}

bool CBitmapSlider::SetThumbBitmaps(const platform::ResourceId& thumb, const platform::ResourceId& active,
                                    bool transparent)
{
    QImage picture = platform::LoadBitmap(thumb);
    QImage activePicture = platform::LoadBitmap(active);
    QImage mask;
    QImage activeMask;
    if (!CreateMask(picture, mask) || !CreateMask(activePicture, activeMask))
        return false;
    m_bmThumb = transparent ? Composed(picture, mask) : picture;
    m_bmThumbActive = transparent ? Composed(activePicture, activeMask) : activePicture;
    m_bThumbActive = true;
    m_nThumbWidth = m_bmThumb.width();
    m_nThumbHeight = m_bmThumb.height();
    if (!m_bChannel) {
        m_nWidth = width();
        m_nHeight = height();
    }
    m_bThumb = true;
    update();
    return true;
}

void CBitmapSlider::SetRange(int minimum, int maximum)
{
    m_nMin = minimum;
    m_nMax = maximum;
}

void CBitmapSlider::SetPos(int position)
{
    m_nPos = std::max(m_nMin, std::min(position, m_nMax));
    update();
}

void CBitmapSlider::SetMargins(int left, int top, int right, int bottom)
{
    m_nMarginLeft = left;
    m_nMarginTop = top;
    m_nMarginRight = right;
    m_nMarginBottom = bottom;
    update();
}

void CBitmapSlider::DrawFocusRect(bool draw)
{
    m_bDrawFocusRect = draw;
    update();
}

void CBitmapSlider::SetVertical(bool vertical)
{
    m_bVertical = vertical;
    update();
}

int CBitmapSlider::Pos2Pixel(int position) const
{
    const int travel = Length() - MarginAfter() - ThumbLength() - MarginBefore();
    // An empty range keeps the thumb at its start rather than dividing by zero.
    const double fraction = m_nMax == m_nMin ? 0.0 : static_cast<double>(position - m_nMin) / (m_nMax - m_nMin);
    return ThumbLength() / 2 + MarginBefore() + static_cast<int>(travel * fraction);
}

void CBitmapSlider::MoveThumb(int cursor)
{
    if (!m_bLButtonDown || !isEnabled())
        return;
    const int first = MarginBefore() + ThumbLength() / 2;
    const int last = Length() - ThumbLength() / 2 - MarginAfter();
    const int centre = std::max(first, std::min(cursor - m_nMouseOffset, last));
    if (centre == Pos2Pixel(m_nPos))
        return;
    // No travel (a thumb as long as the channel) leaves only the minimum.
    const int travel = Length() - MarginBefore() - ThumbLength() - MarginAfter();
    const int position =
        travel <= 0 ? m_nMin
                    : static_cast<int>(static_cast<double>(centre - ThumbLength() / 2 - MarginBefore()) / travel *
                                           (m_nMax - m_nMin) +
                                       m_nMin);
    m_nPos = std::max(m_nMin, std::min(position, m_nMax));
    update();
    Post(WM_BITMAPSLIDER_MOVING);
}

void CBitmapSlider::Post(unsigned message)
{
    QMetaObject::invokeMethod(
        this, [this, message, id = ControlId(), position = m_nPos] { emit Notify(message, id, position); },
        Qt::QueuedConnection);
}

void CBitmapSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    m_bLButtonDown = true;
    const QPoint at = event->position().toPoint();
    const int cursor = m_bVertical ? at.y() : at.x();
    const int fromCentre = cursor - Pos2Pixel(m_nPos);
    // Away from the thumb it jumps under the cursor; on it, it keeps the grab point.
    m_nMouseOffset = std::abs(fromCentre) > ThumbLength() / 2 ? 0 : fromCentre;
    MoveThumb(cursor);
    update();
}

void CBitmapSlider::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    MoveThumb(m_bVertical ? at.y() : at.x());
}

void CBitmapSlider::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_bLButtonDown = false;
    update();
    Post(WM_BITMAPSLIDER_MOVED);
}

void CBitmapSlider::keyPressEvent(QKeyEvent* event)
{
    int position = m_nPos;
    switch (event->key()) {
    case Qt::Key_PageUp:
        position -= m_nPage;
        break;
    case Qt::Key_PageDown:
        position += m_nPage;
        break;
    case Qt::Key_End:
        position = m_nMax;
        break;
    case Qt::Key_Home:
        position = m_nMin;
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        ++position;
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
        --position;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    SetPos(position);
    Post(WM_BITMAPSLIDER_MOVED);
}

void CBitmapSlider::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_bFocus = true;
    update();
}

void CBitmapSlider::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    m_bFocus = false;
    update();
}

void CBitmapSlider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The drawing starts from the device context's background colour.
    painter.fillRect(rect(), Qt::white);
    const bool enabled = isEnabled();
    const int pixel = Pos2Pixel(m_nPos);
    if (m_bChannel) {
        if (m_bChannelActive && enabled) {
            // The active picture up to the thumb centre, the channel after it.
            const QRect before = m_bVertical ? QRect(0, 0, m_nWidth, pixel) : QRect(0, 0, pixel, m_nHeight);
            const QRect after = m_bVertical ? QRect(0, pixel, m_nWidth, m_nHeight - pixel)
                                            : QRect(pixel, 0, m_nWidth - pixel, m_nHeight);
            painter.drawImage(after.topLeft(), m_bmChannel, after);
            painter.drawImage(before.topLeft(), m_bmChannelActive, before);
        } else {
            painter.drawImage(0, 0, m_bmChannel);
        }
    }
    if (m_bThumb && enabled) {
        const QImage& thumb = m_bLButtonDown && m_bThumbActive ? m_bmThumbActive : m_bmThumb;
        const QPoint at = m_bVertical ? QPoint(m_nMarginLeft, pixel - m_nThumbHeight / 2)
                                      : QPoint(pixel - m_nThumbWidth / 2, m_nMarginTop);
        painter.drawImage(at, thumb);
    }
    if (m_bDrawFocusRect && m_bFocus && enabled)
        controls::DrawFocusRect(painter, rect(), 0x000000);
}
