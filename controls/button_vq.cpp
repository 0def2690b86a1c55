#include "controls/button_vq.h"

#include "controls/gdi_draw.h"
#include "platform/dialog.h"

#include <QMouseEvent>
#include <QPainter>

using platform::COLORREF;

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;

COLORREF Sys(int index)
{
    return platform::GetSysColor(index);
}

// The picture silhouette a disabled button shows: every pixel of the picture
// on white that is not white, in one colour; the rest transparent.
QImage Silhouette(const QImage& onWhite, COLORREF colour)
{
    QImage out(onWhite.size(), QImage::Format_ARGB32);
    const QRgb ink = platform::ToPixel(colour);
    for (int y = 0; y < onWhite.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(onWhite.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < onWhite.width(); ++x)
            dst[x] = (src[x] & 0xFFFFFF) == 0xFFFFFF ? 0 : ink;
    }
    return out;
}

} // namespace

CButtonVq::CButtonVq(const QString& text, QWidget* parent, bool defaultButton) : QPushButton(text, parent)
{
    SetDefaultColors();
    setDefault(defaultButton);
    setAutoDefault(false);
    setMouseTracking(true);
    connect(this, &QAbstractButton::clicked, this, [this] { OnClicked(); });
}

CButtonVq::~CButtonVq() = default;

void CButtonVq::SetDefaultColors()
{
    using namespace platform;
    for (int i = 0; i < BTNST_MAX_COLORS; i += 2) {
        m_crColors[static_cast<std::size_t>(i)] = GetSysColor(COLOR_BTNFACE);
        m_crColors[static_cast<std::size_t>(i + 1)] = GetSysColor(COLOR_BTNTEXT);
    }
    update();
}

void CButtonVq::SetColor(ColorIndex index, COLORREF colour)
{
    if (index < 0 || index >= BTNST_MAX_COLORS)
        return;
    m_crColors[static_cast<std::size_t>(index)] = colour;
    update();
}

void CButtonVq::SetFlat(bool flat)
{
    m_bIsFlat = flat;
    update();
}

void CButtonVq::FreeBitmaps()
{
    m_bitmap = QImage();
}

bool CButtonVq::CreateBitmapMask(const QImage& picture, COLORREF transparent, MaskedBitmap& out)
{
    if (picture.isNull())
        return false;
    out.picture = picture.convertToFormat(QImage::Format_RGB32);
    out.mask = QImage(picture.size(), QImage::Format_Mono);
    if (out.picture.isNull() || out.mask.isNull())
        return false;
    out.mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    const QRgb key = platform::ToPixel(transparent) & 0xFFFFFF;
    for (int y = 0; y < out.picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.picture.scanLine(y));
        for (int x = 0; x < out.picture.width(); ++x) {
            const bool clear = (row[x] & 0xFFFFFF) == key;
            out.mask.setPixel(x, y, clear ? 1 : 0);
            if (clear)
                row[x] = 0xFF000000;
        }
    }
    return true;
}

int CButtonVq::SetButtonBitmap(const QImage& picture)
{
    FreeBitmaps();
    if (picture.isNull()) {
        update();
        return 0;
    }
    if (picture.width() <= 0 || picture.height() <= 0)
        return 1;
    MaskedBitmap masked;
    if (!CreateBitmapMask(picture, kWhite, masked))
        return 2;
    // Mask ANDed, then picture ORed: the picture where the mask is clear, the
    // background where it is set. Kept as one image with that transparency.
    m_bitmap = masked.picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < m_bitmap.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(m_bitmap.scanLine(y));
        for (int x = 0; x < m_bitmap.width(); ++x) {
            if (masked.mask.pixelIndex(x, y) == 1)
                row[x] = 0;
        }
    }
    update();
    return 0;
}

void CButtonVq::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    DrawItem(painter);
}

void CButtonVq::DrawItem(QPainter& painter)
{
    m_bIsPressed = isDown();
    m_bIsFocused = hasFocus();
    m_bIsDisabled = !isEnabled();

    QRect itemRect = rect();
    OnDrawBackground(painter, itemRect);
    OnDrawBorder(painter, itemRect);

    QRect captionRect = itemRect;
    const QString title = text();
    if (!m_bitmap.isNull())
        DrawTheBitmap(painter, !title.isEmpty(), itemRect, captionRect, m_bIsPressed, m_bIsDisabled);
    if (!title.isEmpty())
        DrawTheText(painter, title, itemRect, captionRect, m_bIsPressed, m_bIsDisabled);

    if (m_bIsFocused && (!m_bIsFlat || m_bDrawFlatFocus))
        controls::DrawFocusRect(painter, itemRect.adjusted(3, 3, -3, -3), Sys(platform::COLOR_BTNTEXT));
}

void CButtonVq::OnDrawBackground(QPainter& painter, QRect& rect)
{
    if (!m_bIsFlat && (m_bIsFocused || isDefault())) {
        controls::FrameRect(painter, rect, 0x000000);
        rect.adjust(1, 1, -1, -1);
    }
    const ColorIndex index = m_bMouseOnButton || m_bIsPressed ? BTNST_COLOR_BK_IN
                             : m_bIsFocused                   ? BTNST_COLOR_BK_FOCUS
                                                              : BTNST_COLOR_BK_OUT;
    controls::FillSolidRect(painter, rect, m_crColors[index]);
}

void CButtonVq::OnDrawBorder(QPainter& painter, const QRect& rect)
{
    using namespace platform;
    if (m_bIsPressed) {
        if (!m_bIsFlat)
            controls::FrameRect(painter, rect, Sys(COLOR_BTNSHADOW));
        else if (m_bDrawBorder)
            controls::Draw3dRect(painter, rect, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
        return;
    }
    if (m_bIsFlat) {
        if (m_bMouseOnButton && m_bDrawBorder)
            controls::Draw3dRect(painter, rect, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW));
        return;
    }
    // Windows coordinates: right and bottom are exclusive.
    const int left = rect.left();
    const int top = rect.top();
    const int right = rect.left() + rect.width();
    const int bottom = rect.top() + rect.height();
    controls::Polyline(painter, {{left, bottom - 1}, {left, top}, {right, top}}, Sys(COLOR_BTNHIGHLIGHT));
    controls::Polyline(painter, {{left + 1, bottom - 1}, {left + 1, top + 1}, {right, top + 1}},
                       Sys(COLOR_3DLIGHT));
    controls::Polyline(painter, {{left, bottom - 1}, {right - 1, bottom - 1}, {right - 1, top - 1}},
                       Sys(COLOR_3DDKSHADOW));
    controls::Polyline(painter, {{left + 1, bottom - 2}, {right - 2, bottom - 2}, {right - 2, top}},
                       Sys(COLOR_BTNSHADOW));
}

QRect CButtonVq::PrepareImageRect(bool hasText, const QRect& itemRect, QRect& captionRect, bool pressed) const
{
    const int pw = m_bitmap.width();
    const int ph = m_bitmap.height();
    QRect image(itemRect.left(), itemRect.top() + (itemRect.height() - ph) / 2, pw, ph);
    if (hasText) {
        image.moveLeft(itemRect.left() + m_ptImageOrg.x());
        captionRect.setLeft(captionRect.left() + pw + m_ptImageOrg.x());
    } else {
        image.moveLeft(itemRect.left() + (itemRect.width() - pw) / 2);
    }
    if (pressed)
        image.translate(m_ptPressedOffset);
    return image;
}

void CButtonVq::DrawTheBitmap(QPainter& painter, bool hasText, const QRect& itemRect, QRect& captionRect,
                              bool pressed, bool disabled)
{
    const QRect image = PrepareImageRect(hasText, itemRect, captionRect, pressed);
    if (!disabled) {
        painter.drawImage(image.topLeft(), m_bitmap);
        return;
    }
    if (!m_bShowDisabledBitmap)
        return;
    // Embossed: the picture on white, its non-white pixels in the highlight
    // colour one pixel down and right, then in the shadow colour in place.
    QImage onWhite(m_bitmap.size(), QImage::Format_RGB32);
    onWhite.fill(Qt::white);
    {
        QPainter p(&onWhite);
        p.drawImage(0, 0, m_bitmap);
    }
    painter.drawImage(image.topLeft() + QPoint(1, 1), Silhouette(onWhite, Sys(platform::COLOR_BTNHIGHLIGHT)));
    painter.drawImage(image.topLeft(), Silhouette(onWhite, Sys(platform::COLOR_BTNSHADOW)));
}

void CButtonVq::DrawTheText(QPainter& painter, const QString& text, const QRect&, QRect& captionRect,
                            bool pressed, bool disabled)
{
    if (pressed)
        captionRect.translate(m_ptPressedOffset);
    constexpr int flags = Qt::TextWordWrap | Qt::AlignHCenter | Qt::TextShowMnemonic;
    painter.setFont(font());
    QRect centred = painter.boundingRect(captionRect, flags, text);
    centred.moveTo(captionRect.left() + (captionRect.width() - centred.width()) / 2,
                   captionRect.top() + (captionRect.height() - centred.height()) / 2);
    if (disabled) {
        painter.setPen(platform::ToQColor(Sys(platform::COLOR_BTNHIGHLIGHT)));
        painter.drawText(centred.translated(1, 1), flags, text);
        painter.setPen(platform::ToQColor(Sys(platform::COLOR_BTNSHADOW)));
        painter.drawText(centred, flags, text);
        return;
    }
    const ColorIndex index = m_bMouseOnButton || pressed ? BTNST_COLOR_FG_IN
                             : m_bIsFocused              ? BTNST_COLOR_FG_FOCUS
                                                         : BTNST_COLOR_FG_OUT;
    painter.setPen(platform::ToQColor(m_crColors[index]));
    painter.drawText(centred, flags, text);
}

void CButtonVq::mouseMoveEvent(QMouseEvent* event)
{
    QPushButton::mouseMoveEvent(event);
    const bool leftHeld = event->buttons() & Qt::LeftButton;
    if ((leftHeld && !m_bMouseOnButton) || !m_bIsFlat)
        return;
    if (rect().contains(event->position().toPoint())) {
        if (!m_bMouseOnButton) {
            m_bMouseOnButton = true;
            update();
        }
    } else {
        CancelHover();
    }
}

void CButtonVq::CancelHover()
{
    if (m_bIsFlat && m_bMouseOnButton) {
        m_bMouseOnButton = false;
        update();
    }
}

void CButtonVq::leaveEvent(QEvent* event)
{
    QPushButton::leaveEvent(event);
    CancelHover();
}

void CButtonVq::focusOutEvent(QFocusEvent* event)
{
    QPushButton::focusOutEvent(event);
    CancelHover();
}

void CButtonVq::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    if ((event->type() == QEvent::ActivationChange && !isActiveWindow()) ||
        (event->type() == QEvent::EnabledChange && !isEnabled()))
        CancelHover();
}

void CButtonVq::OnClicked()
{
    setFocus(Qt::MouseFocusReason);
    CMenu* const popup = m_menu.IsMenu() ? m_menu.GetSubMenu(0) : nullptr;
    if (!popup)
        return;
    const unsigned id = popup->TrackPopupMenu(mapToGlobal(QPoint(0, height())), *this);
    if (id != 0)
        QMetaObject::invokeMethod(this, [this, id] { emit MenuCommand(id); }, Qt::QueuedConnection);
}

void CButtonVq::OnMeasureItem(MEASUREITEMSTRUCT& measure)
{
    m_menu.MeasureItem(measure);
}

void CButtonVq::OnDrawItem(const DRAWITEMSTRUCT& draw)
{
    m_menu.DrawItem(draw);
}

platform::LRESULT CButtonVq::OnMenuChar(QChar character, unsigned flags, CMenu* menu)
{
    return TavMenu::IsOwnerDrawnMenu(menu) ? TavMenu::FindMnemonicItem(character, flags, menu) : 0;
}
