#pragma once
// CColourPopup: the borderless palette a CColorButton opens: 40 named colours
// in 8 columns and 5 rows, with an optional default box above them and an
// optional custom box ("More Colors...", the colour dialog) below. It holds the
// mouse and keyboard until a colour is chosen (click, Enter, Space) or the
// choice is cancelled (a release outside it, Escape, the application losing
// activation); it reports to its button through Notify and then closes and
// deletes itself.
#include "platform/surface.h"

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>
#include <array>

class CColorButton;

// Special selections besides the cells 0 .. 39.
enum ColourSelection : int
{
    DEFAULT_BOX_VALUE = -3,
    CUSTOM_BOX_VALUE = -2,
    INVALID_COLOUR = -1,
};

struct ColourTableEntry
{
    platform::COLORREF crColour;
    const char* szName;
};

inline constexpr int kColourCount = 40;
inline constexpr int kColourColumns = 8;
inline constexpr int kColourRows = 5;

// The 40 colours, cell index = row * 8 + column.
extern const std::array<ColourTableEntry, kColourCount> kColourTable;

// The selection a cursor key leads to from the current one (a cell, a box, or
// INVALID_COLOUR for none). key is Qt::Key_Up, Key_Down, Key_Left or Key_Right;
// other keys keep the selection.
int NextColourSelection(int current, int key, bool hasDefaultBox, bool hasCustomBox);

// The popup's position, so that it stays on the screen that holds its button:
// shifted left when it passes the right edge, right when it passes the left
// edge, and above the button (up by its own height plus buttonHeight) when it
// passes the bottom.
QPoint FitPopupToScreen(const QRect& popup, const QRect& screen, int buttonHeight);

class CColourPopup : public QWidget
{
    Q_OBJECT

public:
    // Opens the popup at once with its top-left corner at screenPos (the
    // button's bottom-left corner). colour is the colour it opens with; an empty
    // text drops the default or custom box.
    CColourPopup(QPoint screenPos, platform::COLORREF colour, CColorButton* parent,
                 const QString& defaultText, const QString& customText);
    ~CColourPopup() override;

    int CurrentSelection() const { return m_nCurrentSel; }
    int ChosenSelection() const { return m_nChosenColourSel; }
    platform::COLORREF CurrentColour() const { return m_crColour; }
    // Layout in client coordinates: a cell, and the two boxes (empty without text).
    QRect CellRect(int index) const;
    QRect DefaultBoxRect() const { return m_DefaultTextRect; }
    QRect CustomBoxRect() const { return m_CustomTextRect; }
    // The cell or box under a client point: 0 .. 39, DEFAULT_BOX_VALUE,
    // CUSTOM_BOX_VALUE, or INVALID_COLOUR outside all of them.
    int SelectionAt(QPoint point) const;

signals:
    // WM_COLOR_CHANGED, WM_COLOR_SELECTED or WM_COLOR_CANCELLED with a colour.
    void Notify(unsigned message, platform::COLORREF colour, int controlId);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void SetWindowSize(QPoint screenPos);
    void FindCellFromColour(platform::COLORREF colour);
    void ChangeSelection(int index);
    void EndSelection(bool chosen);
    void DrawCell(QPainter& painter, int index);
    void DrawTextBox(QPainter& painter, const QRect& box, const QString& text, int selection);

    const int m_nMargin;
    const int m_nBoxSize;
    int m_nCurrentSel = INVALID_COLOUR;
    int m_nChosenColourSel = INVALID_COLOUR;
    QString m_strDefaultText;
    QString m_strCustomText;
    QRect m_CustomTextRect;
    QRect m_DefaultTextRect;
    QFont m_Font;
    platform::COLORREF m_crInitialColour;
    platform::COLORREF m_crColour;
    CColorButton* m_pParent;
    bool m_bChildWindowVisible = false;
    bool m_bEnded = false; // the selection has ended; the button has been told
};
