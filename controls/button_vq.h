#pragma once
// CButtonVq: an owner-drawn push button. It draws its own background, border,
// picture and text; in the flat style (the default) the border shows only while
// the mouse is over the button or it is pressed, otherwise a raised border is
// always drawn. The picture is shown beside the text (or centred without text)
// with white as its transparent colour, and embossed while the button is
// disabled. Pressing shifts picture and text by one pixel right and down.
// A button can hold a menu: a click then shows the menu's first popup under
// the button, and the command chosen there is posted back (MenuCommand).
#include "controls/tav_menu.h"
#include "platform/surface.h"

#include <QImage>
#include <QPushButton>
#include <array>

class CButtonVq : public QPushButton, public MenuOwner
{
    Q_OBJECT

public:
    // The six colours: background and text while hovered or pressed (in), idle
    // (out) and focused while idle (focus).
    enum ColorIndex : int
    {
        BTNST_COLOR_BK_IN = 0,
        BTNST_COLOR_FG_IN,
        BTNST_COLOR_BK_OUT,
        BTNST_COLOR_FG_OUT,
        BTNST_COLOR_BK_FOCUS,
        BTNST_COLOR_FG_FOCUS,
        BTNST_MAX_COLORS,
    };

    // A picture prepared for transparent drawing: the picture with its
    // transparent pixels turned black, and its mask (1 where it was transparent).
    struct MaskedBitmap
    {
        QImage picture; // Format_RGB32
        QImage mask;    // Format_Mono, 1 = transparent
    };

    // defaultButton: the button is the dialog's default push button (Enter).
    explicit CButtonVq(const QString& text = {}, QWidget* parent = nullptr, bool defaultButton = false);
    ~CButtonVq() override;

    // Makes picture the button's picture, with white (0xFFFFFF) transparent; the
    // button keeps it. A null picture only removes the current one and returns 0.
    // Returns 0 on success, 1 when the picture has no size, 2 when its mask
    // cannot be made (no picture is kept then).
    int SetButtonBitmap(const QImage& picture);

    // Flat style on (true) or off: the raised border always drawn.
    void SetFlat(bool flat);
    bool IsFlat() const { return m_bIsFlat; }
    // With the flat style: whether the hover and pressed borders are drawn, and
    // whether the focus rectangle is drawn.
    void SetDrawBorder(bool draw)
    {
        m_bDrawBorder = draw;
        update();
    }
    void SetDrawFlatFocus(bool draw)
    {
        m_bDrawFlatFocus = draw;
        update();
    }
    void SetColor(ColorIndex index, platform::COLORREF colour);
    platform::COLORREF GetColor(ColorIndex index) const { return m_crColors[index]; }
    // Back to the system button colours.
    void SetDefaultColors();

    // The menu whose first popup a click shows under the button (none by default).
    TavMenu& Menu() { return m_menu; }

    // The menu's owner-drawn items are measured and drawn by the menu; a typed
    // character is looked up among the mnemonics of the owner-drawn popups.
    void OnMeasureItem(MEASUREITEMSTRUCT& measure) override;
    void OnDrawItem(const DRAWITEMSTRUCT& draw) override;
    platform::LRESULT OnMenuChar(QChar character, unsigned flags, CMenu* menu) override;

    // True while the mouse is over a flat button.
    bool IsHovered() const { return m_bMouseOnButton; }
    bool IsDefaultButton() const { return isDefault(); }

    // The mask of a picture for one transparent colour, and the picture with its
    // transparent pixels black, so that the mask ANDed and the picture ORed onto
    // a background show the picture transparently. False for a null picture.
    static bool CreateBitmapMask(const QImage& picture, platform::COLORREF transparent, MaskedBitmap& out);

signals:
    // The command chosen in the button's menu, delivered after the menu has closed.
    void MenuCommand(unsigned id);

protected:
    // The drawing steps, in the order DrawItem calls them.
    virtual void OnDrawBackground(QPainter& painter, QRect& rect);
    virtual void OnDrawBorder(QPainter& painter, const QRect& rect);
    virtual void DrawTheBitmap(QPainter& painter, bool hasText, const QRect& itemRect, QRect& captionRect,
                               bool pressed, bool disabled);
    virtual void DrawTheText(QPainter& painter, const QString& text, const QRect& itemRect,
                             QRect& captionRect, bool pressed, bool disabled);

    // State of the current draw.
    bool IsPressed() const { return m_bIsPressed; }
    bool IsFocused() const { return m_bIsFocused; }

    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void DrawItem(QPainter& painter);
    // Where the picture goes; moves the caption's left edge past it when there is text.
    QRect PrepareImageRect(bool hasText, const QRect& itemRect, QRect& captionRect, bool pressed) const;
    void CancelHover();
    void FreeBitmaps();
    void OnClicked();

    bool m_bShowDisabledBitmap = true;
    QPoint m_ptImageOrg{3, 3};
    QPoint m_ptPressedOffset{1, 1};
    bool m_bIsFlat = true;
    bool m_bMouseOnButton = false;
    bool m_bIsPressed = false;
    bool m_bIsFocused = false;
    bool m_bIsDisabled = false;
    bool m_bDrawBorder = true;
    bool m_bDrawFlatFocus = false;
    std::array<platform::COLORREF, BTNST_MAX_COLORS> m_crColors{};

    // The picture, ready to draw: transparent where the mask is set.
    QImage m_bitmap;
    TavMenu m_menu;
};
