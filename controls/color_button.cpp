#include "controls/color_button.h"

#include "controls/colour_popup.h"
#include "controls/gdi_draw.h"
#include "platform/dialog.h"

#include <QPainter>
#include <QPainterPath>

using platform::COLORREF;

namespace {

// A disabled patch fades 70 % toward the button face.
COLORREF Faded(COLORREF colour)
{
    using namespace platform;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const auto channel = [](int f, int c) { return static_cast<int>(0.7 * f + 0.3 * c); };
    return Rgb(channel(GetRValue(face), GetRValue(colour)), channel(GetGValue(face), GetGValue(colour)),
               channel(GetBValue(face), GetBValue(colour)));
}

} // namespace

CColorButton::CColorButton(QWidget* parent)
    : QPushButton(parent), m_DefaultColor(platform::GetSysColor(platform::COLOR_APPWORKSPACE))
{
    setAutoDefault(false);
    connect(this, &QAbstractButton::clicked, this, [this] { OnClicked(); });
}

CColorButton::~CColorButton() = default;

void CColorButton::SetColor(COLORREF colour)
{
    m_Color = colour;
    update();
}

void CColorButton::SetDefaultColor(COLORREF colour)
{
    m_DefaultColor = colour;
    update();
}

int CColorButton::ControlId() const
{
    return property("controlId").toInt();
}

void CColorButton::OnClicked()
{
    if (m_popup)
        return;
    m_bPopupActive = true;
    update();
    m_popup =
        new CColourPopup(mapToGlobal(QPoint(0, height())), m_Color, this, m_strDefaultText, m_strCustomText);
    connect(m_popup, &CColourPopup::Notify, this,
            [this](unsigned message, COLORREF colour, int) { OnPopupMessage(message, colour); });
    emit Notify(WM_COLOR_DROPDOWN, m_Color, ControlId());
}

void CColorButton::OnPopupMessage(unsigned message, COLORREF colour)
{
    const int id = ControlId();
    switch (message) {
    case WM_COLOR_SELECTED: {
        const COLORREF old = m_Color;
        m_Color = colour;
        m_bPopupActive = false;
        update();
        emit Notify(WM_COLOR_CLOSEUP, colour, id);
        emit Notify(WM_COLOR_SELECTED, colour, id);
        if (old != colour)
            emit Notify(WM_COLOR_CHANGED, colour, id);
        break;
    }
    case WM_COLOR_CANCELLED:
        m_bPopupActive = false;
        m_Color = colour;
        update();
        emit Notify(WM_COLOR_CLOSEUP, colour, id);
        emit Notify(WM_COLOR_CANCELLED, colour, id);
        break;
    case WM_COLOR_CHANGED:
        if (m_bTrackSelection) {
            m_Color = colour;
            update();
        }
        emit Notify(WM_COLOR_CHANGED, colour, id);
        break;
    default:
        break;
    }
}

void CColorButton::paintEvent(QPaintEvent*)
{
    using namespace platform;
    QPainter painter(this);
    const bool selected = isDown() || m_bPopupActive;
    const bool focused = hasFocus() || m_bPopupActive;
    const bool disabled = !isEnabled();
    const int edgeX = GetSystemMetrics(SM_CXEDGE);
    const int edgeY = GetSystemMetrics(SM_CYEDGE);

    // 1-3. The push-button frame, the focus rectangle, the edge.
    QRect r = controls::DrawPushButtonFrame(painter, rect(), selected);
    if (selected)
        r.translate(1, 1);
    if (focused)
        controls::DrawFocusRect(painter, r.adjusted(0, 0, -1, 0), GetSysColor(COLOR_BTNTEXT));
    r.adjust(edgeX, edgeY, -edgeX, -edgeY);

    // 4. The arrow, in Windows coordinates (right and bottom exclusive).
    const int right = r.left() + r.width();
    const int d = right - edgeX / 2;
    const int e = (r.top() + r.top() + r.height()) / 2;
    const QColor arrow = disabled ? SysQColor(COLOR_GRAYTEXT) : QColor(Qt::black);
    painter.setPen(arrow);
    painter.setBrush(arrow);
    painter.drawPolygon(QPolygon({QPoint(d - 4, e - 1), QPoint(d, e - 1), QPoint(d - 2, e + 1)}),
                        Qt::WindingFill);
    painter.setBrush(Qt::NoBrush);

    // 5. The etched separator left of the arrow.
    r.setRight(d - edgeX / 2 - 4 - 1);
    controls::DrawEdge(painter, r, controls::EDGE_ETCHED, controls::BF_RIGHT);
    r.setRight(r.right() - (2 * edgeX + 1));

    // 6-7. The colour patch.
    COLORREF patch = m_Color == CLR_DEFAULT ? m_DefaultColor : m_Color;
    if (disabled)
        patch = Faded(patch);
    controls::FillSolidRect(painter, r, patch);
    controls::FrameRect(painter, r, 0x000000);
    if (disabled)
        painter.fillRect(r, QBrush(Qt::black, Qt::DiagCrossPattern));
}
