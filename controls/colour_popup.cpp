#include "controls/colour_popup.h"

#include "controls/color_button.h"
#include "controls/gdi_draw.h"
#include "platform/dialog.h"
#include "platform/owned_windows.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QToolTip>
#include <algorithm>

using platform::COLORREF;

const std::array<ColourTableEntry, kColourCount> kColourTable = {{
    {0x000000, "Black"},
    {0x002AA5, "Brown"},
    {0x404000, "Dark Olive Green"},
    {0x005500, "Dark Green"},
    {0x5E0000, "Dark Teal"},
    {0x8B0000, "Dark blue"},
    {0x82004B, "Indigo"},
    {0x282828, "Dark grey"},
    {0x00008B, "Dark red"},
    {0x2068FF, "Orange"},
    {0x008B8B, "Dark yellow"},
    {0x009300, "Green"},
    {0x8E8E38, "Teal"},
    {0xFF0000, "Blue"},
    {0xC07B7B, "Blue-grey"},
    {0x666666, "Grey - 40"},
    {0x0000FF, "Red"},
    {0x5BADFF, "Light orange"},
    {0x32CD32, "Lime"},
    {0x71B33C, "Sea green"},
    {0xD4FF7F, "Aqua"},
    {0xC09E7D, "Light blue"},
    {0x800080, "Violet"},
    {0x7F7F7F, "Grey - 50"},
    {0xCBC0FF, "Pink"},
    {0x00D7FF, "Gold"},
    {0x00FFFF, "Yellow"},
    {0x00FF00, "Bright green"},
    {0xD0E040, "Turquoise"},
    {0xFFFFC0, "Skyblue"},
    {0x480048, "Plum"},
    {0xC0C0C0, "Light grey"},
    {0xE1E4FF, "Rose"},
    {0x8CB4D2, "Tan"},
    {0xE0FFFF, "Light yellow"},
    {0x98FB98, "Pale green "},
    {0xEEEEAF, "Pale turquoise"},
    {0x8B8368, "Pale blue"},
    {0xFAE6E6, "Lavender"},
    {0xFFFFFF, "White"},
}};

namespace {

constexpr int kLastCell = kColourCount - 1;

// Where a cursor key leads when nothing (or a box that does not exist) is
// selected, and from the far ends of the grid: forward (Down, Right) and
// backward (Up, Left).
int ForwardStart(bool hasDefault, bool hasCustom)
{
    return hasCustom ? CUSTOM_BOX_VALUE : hasDefault ? DEFAULT_BOX_VALUE : 0;
}
int BackwardStart(bool hasDefault, bool hasCustom)
{
    return hasDefault ? DEFAULT_BOX_VALUE : hasCustom ? CUSTOM_BOX_VALUE : kLastCell;
}

COLORREF Sys(int index)
{
    return platform::GetSysColor(index);
}

} // namespace

int NextColourSelection(int current, int key, bool hasDefault, bool hasCustom)
{
    const bool forward = key == Qt::Key_Down || key == Qt::Key_Right;
    const bool backward = key == Qt::Key_Up || key == Qt::Key_Left;
    if (!forward && !backward)
        return current;
    // A box counts only when it exists; otherwise it is no selection.
    if ((current == DEFAULT_BOX_VALUE && !hasDefault) || (current == CUSTOM_BOX_VALUE && !hasCustom) ||
        current < DEFAULT_BOX_VALUE || current > kLastCell)
        current = INVALID_COLOUR;
    if (current == INVALID_COLOUR)
        return forward ? ForwardStart(hasDefault, hasCustom) : BackwardStart(hasDefault, hasCustom);
    // The two boxes sit in the cycle default box -> cells -> custom box -> default box.
    if (current == DEFAULT_BOX_VALUE)
        return forward ? 0 : (hasCustom ? CUSTOM_BOX_VALUE : kLastCell);
    if (current == CUSTOM_BOX_VALUE)
        return forward ? (hasDefault ? DEFAULT_BOX_VALUE : 0) : kLastCell;
    const int step = key == Qt::Key_Down || key == Qt::Key_Up ? kColourColumns : 1;
    const int next = forward ? current + step : current - step;
    if (next >= 0 && next <= kLastCell)
        return next;
    return forward ? ForwardStart(hasDefault, hasCustom) : BackwardStart(hasDefault, hasCustom);
}

QPoint FitPopupToScreen(const QRect& popup, const QRect& screen, int buttonHeight)
{
    QPoint at = popup.topLeft();
    const int screenRight = screen.x() + screen.width();
    const int screenBottom = screen.y() + screen.height();
    if (popup.x() + popup.width() > screenRight)
        at.rx() -= popup.x() + popup.width() - screenRight;
    if (at.x() < screen.x())
        at.setX(screen.x());
    if (popup.y() + popup.height() > screenBottom)
        at.ry() -= popup.height() + buttonHeight;
    return at;
}

CColourPopup::CColourPopup(QPoint screenPos, COLORREF colour, CColorButton* parent,
                           const QString& defaultText, const QString& customText)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint),
      m_nMargin(platform::GetSystemMetrics(platform::SM_CXEDGE)),
      m_nBoxSize(std::max(18, 2 * platform::GetSystemMetrics(platform::SM_CXEDGE) + 7)),
      m_strDefaultText(defaultText), m_strCustomText(customText),
      m_Font(platform::WindowsFont(QStringLiteral("Meiryo UI"), 9)), m_crInitialColour(colour),
      m_crColour(colour), m_pParent(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setMouseTracking(true);
    setFont(m_Font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, platform::SysQColor(platform::COLOR_BTNFACE));
    setPalette(pal);
    setAutoFillBackground(true);

    SetWindowSize(screenPos);
    FindCellFromColour(colour);

    // The application losing activation cancels (unless the colour dialog is the reason).
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationInactive && !m_bChildWindowVisible)
            EndSelection(false);
    });
    show();
    setFocus(Qt::PopupFocusReason);
}

CColourPopup::~CColourPopup() = default;

void CColourPopup::SetWindowSize(QPoint screenPos)
{
    const int m = m_nMargin;
    const int s = m_nBoxSize;
    const QFontMetrics metrics(m_Font);
    int tw = 0;
    int th = 0;
    if (!m_strDefaultText.isEmpty() || !m_strCustomText.isEmpty()) {
        tw = std::max(metrics.horizontalAdvance(m_strDefaultText),
                      metrics.horizontalAdvance(m_strCustomText)) +
             2 * m;
        th = metrics.height() + 4 * m + 2;
    }
    int width = 2 * m + kColourColumns * s;
    int height = 2 * m + kColourRows * s;
    if (!m_strDefaultText.isEmpty()) {
        width = std::max(width, tw);
        m_DefaultTextRect = QRect(m, m, width - 2 * m, th + m);
        height += th + 3 * m;
        tw = width - 2 * m;
    }
    if (!m_strCustomText.isEmpty()) {
        width = std::max(width, tw);
        m_CustomTextRect = QRect(m, height, width - 2 * m, m + th);
        height += th + 3 * m;
    }
    setFixedSize(width, height);

    // Keep it on the screen that holds the button.
    QScreen* screen = nullptr;
    int buttonHeight = 0;
    if (m_pParent) {
        screen = QGuiApplication::screenAt(m_pParent->mapToGlobal(m_pParent->rect().center()));
        buttonHeight = m_pParent->height();
    }
    if (!screen)
        screen = QGuiApplication::screenAt(screenPos);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect popup(screenPos, QSize(width, height));
    move(screen ? FitPopupToScreen(popup, screen->geometry(), buttonHeight) : screenPos);
}

QRect CColourPopup::CellRect(int index) const
{
    if (index < 0 || index >= kColourCount)
        return {};
    const int row = index / kColourColumns;
    const int column = index % kColourColumns;
    QRect cell(column * m_nBoxSize + m_nMargin, row * m_nBoxSize + m_nMargin, m_nBoxSize, m_nBoxSize);
    if (!m_strDefaultText.isEmpty())
        cell.translate(0, m_DefaultTextRect.height() + m_nMargin);
    return cell;
}

int CColourPopup::SelectionAt(QPoint point) const
{
    if (!m_strCustomText.isEmpty() && m_CustomTextRect.contains(point))
        return CUSTOM_BOX_VALUE;
    if (!m_strDefaultText.isEmpty() && m_DefaultTextRect.contains(point))
        return DEFAULT_BOX_VALUE;
    const QPoint grid = point - CellRect(0).topLeft();
    if (grid.x() < 0 || grid.y() < 0)
        return INVALID_COLOUR;
    const int column = grid.x() / m_nBoxSize;
    const int row = grid.y() / m_nBoxSize;
    if (column >= kColourColumns || row >= kColourRows)
        return INVALID_COLOUR;
    return row * kColourColumns + column;
}

void CColourPopup::FindCellFromColour(COLORREF colour)
{
    if (colour == CLR_DEFAULT && !m_strDefaultText.isEmpty()) {
        m_nChosenColourSel = DEFAULT_BOX_VALUE;
        return;
    }
    const auto it = std::find_if(kColourTable.begin(), kColourTable.end(),
                                 [colour](const ColourTableEntry& e) { return e.crColour == colour; });
    if (it != kColourTable.end())
        m_nChosenColourSel = static_cast<int>(it - kColourTable.begin());
    else
        m_nChosenColourSel = m_strCustomText.isEmpty() ? INVALID_COLOUR : CUSTOM_BOX_VALUE;
}

void CColourPopup::ChangeSelection(int index)
{
    if (index == m_nCurrentSel)
        return;
    m_nCurrentSel = index;
    update();
    COLORREF reported = m_crInitialColour;
    if (index == DEFAULT_BOX_VALUE) {
        m_crColour = CLR_DEFAULT;
        reported = CLR_DEFAULT;
    } else if (index >= 0 && index < kColourCount) {
        m_crColour = kColourTable[static_cast<std::size_t>(index)].crColour;
        reported = m_crColour;
    }
    emit Notify(WM_COLOR_CHANGED, reported, 0);
}

void CColourPopup::EndSelection(bool chosen)
{
    if (m_bEnded)
        return;
    const QPointer<CColourPopup> alive(this);
    if (chosen && m_nCurrentSel == CUSTOM_BOX_VALUE) {
        // The colour dialog stands in for the popup while it is open.
        m_bChildWindowVisible = true;
        hide();
        QColorDialog dialog(platform::ToQColor(m_crInitialColour));
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        const bool accepted = platform::RunModal(dialog, m_pParent) == QDialog::Accepted;
        if (!alive)
            return; // the button went away meanwhile, and the popup with it
        m_bChildWindowVisible = false;
        if (accepted)
            m_crColour = platform::FromQColor(dialog.selectedColor());
        else
            chosen = false;
    }
    if (!chosen)
        m_crColour = m_crInitialColour;
    m_bEnded = true;
    emit Notify(chosen ? WM_COLOR_SELECTED : WM_COLOR_CANCELLED, m_crColour, 0);
    if (alive)
        close();
}

void CColourPopup::closeEvent(QCloseEvent* event)
{
    // Closed from outside (another popup, the window system): a cancel.
    EndSelection(false);
    event->accept();
}

bool CColourPopup::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int cell = SelectionAt(help->pos());
        if (cell >= 0)
            QToolTip::showText(help->globalPos(),
                               QString::fromLatin1(kColourTable[static_cast<std::size_t>(cell)].szName), this,
                               CellRect(cell));
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void CColourPopup::mouseMoveEvent(QMouseEvent* event)
{
    const int selection = SelectionAt(event->position().toPoint());
    if (selection != INVALID_COLOUR)
        ChangeSelection(selection);
}

void CColourPopup::mousePressEvent(QMouseEvent* event)
{
    // The popup keeps the mouse: a press outside does not close it; the release decides.
    event->accept();
}

void CColourPopup::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    EndSelection(rect().contains(event->position().toPoint()));
}

void CColourPopup::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        ChangeSelection(NextColourSelection(m_nCurrentSel, event->key(), !m_strDefaultText.isEmpty(),
                                            !m_strCustomText.isEmpty()));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        EndSelection(true);
        break;
    case Qt::Key_Escape:
        m_crColour = m_crInitialColour;
        EndSelection(false);
        break;
    default:
        break;
    }
    event->accept();
}

void CColourPopup::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_strDefaultText.isEmpty())
        DrawTextBox(painter, m_DefaultTextRect, m_strDefaultText, DEFAULT_BOX_VALUE);
    for (int i = 0; i < kColourCount; ++i)
        DrawCell(painter, i);
    if (!m_strCustomText.isEmpty()) {
        // An etched line along the top of the custom box, then the box below it.
        const QRect& box = m_CustomTextRect;
        const int m = m_nMargin;
        const QRect filled = box.adjusted(0, 2 * m, 0, 0);
        controls::FillSolidRect(painter, filled, Sys(platform::COLOR_BTNFACE));
        const int lineWidth = box.width() - 4 * m;
        controls::FillSolidRect(painter, QRect(box.left() + 2 * m, box.top(), lineWidth, 1),
                                Sys(platform::COLOR_BTNSHADOW));
        controls::FillSolidRect(painter, QRect(box.left() + 2 * m, box.top() + 1, lineWidth, 1),
                                Sys(platform::COLOR_BTNHIGHLIGHT));
        DrawTextBox(painter, filled.adjusted(1, 1, -1, -1), m_strCustomText, CUSTOM_BOX_VALUE);
    }
    controls::DrawEdge(painter, rect(), controls::EDGE_RAISED, controls::BF_RECT);
}

void CColourPopup::DrawCell(QPainter& painter, int index)
{
    const QRect cell = CellRect(index);
    const bool current = index == m_nCurrentSel;
    const bool chosen = index == m_nChosenColourSel;
    controls::FillSolidRect(painter, cell,
                            Sys(chosen && !current ? platform::COLOR_BTNHIGHLIGHT : platform::COLOR_BTNFACE));
    if (current)
        controls::DrawEdge(painter, cell, controls::BDR_RAISEDINNER, controls::BF_RECT);
    else if (chosen)
        controls::DrawEdge(painter, cell, controls::BDR_SUNKENOUTER, controls::BF_RECT);
    const int inset = m_nMargin + 1;
    const QRect swatch = cell.adjusted(inset, inset, -inset, -inset);
    controls::FillSolidRect(painter, swatch, kColourTable[static_cast<std::size_t>(index)].crColour);
    controls::FrameRect(painter, swatch, Sys(platform::COLOR_BTNSHADOW));
}

void CColourPopup::DrawTextBox(QPainter& painter, const QRect& box, const QString& text, int selection)
{
    const bool current = selection == m_nCurrentSel;
    const bool chosen = selection == m_nChosenColourSel;
    const int m = m_nMargin;
    controls::FillSolidRect(painter, box, Sys(platform::COLOR_BTNFACE));
    controls::FillSolidRect(painter, box.adjusted(1, 1, -1, -1),
                            Sys(chosen && !current ? platform::COLOR_3DLIGHT : platform::COLOR_BTNFACE));
    controls::FrameRect(painter, box.adjusted(1 + 2 * m, 1 + 2 * m, -1 - 2 * m, -1 - 2 * m),
                        Sys(platform::COLOR_BTNSHADOW));
    if (current)
        controls::DrawEdge(painter, box, controls::BDR_RAISEDINNER, controls::BF_RECT);
    else if (chosen)
        controls::DrawEdge(painter, box, controls::BDR_SUNKENOUTER, controls::BF_RECT);
    painter.setFont(m_Font);
    painter.setPen(platform::SysQColor(platform::COLOR_BTNTEXT));
    painter.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, text);
}
