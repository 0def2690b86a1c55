#pragma once
// CColorButton: a push button showing a colour patch and a drop-down arrow. A
// click opens a CColourPopup below it; the chosen colour comes back to the
// button, which reports to its parent through Notify in this order:
//   - popup opened:           WM_COLOR_DROPDOWN (current colour)
//   - selection moved:        WM_COLOR_CHANGED (colour under the mouse or keys)
//   - a colour chosen:        WM_COLOR_CLOSEUP, WM_COLOR_SELECTED, and then
//                             WM_COLOR_CHANGED when it differs from the old colour
//   - choice cancelled:       WM_COLOR_CLOSEUP, WM_COLOR_CANCELLED (the colour
//                             the popup was opened with)
// Every notification is delivered at once (direct connection) and carries the
// colour and the button's control id.
//
// The default marker. The popup's default box ("自動" on the settings pages)
// stands for "no colour of its own": it is reported as CLR_DEFAULT
// (0xFF000000), which is a marker, not a colour. The button shows its default
// colour for it. Code that stores the choice into a colour setting must not
// store the marker as a colour: it stores that setting's own default instead,
// which ColourOrDefault gives.
#include "platform/surface.h"

#include <QPointer>
#include <QPushButton>

class CColourPopup;

inline constexpr platform::COLORREF CLR_DEFAULT = 0xFF000000;

// The notifications, with the values the controls use.
enum ColorMessage : unsigned
{
    WM_COLOR_CHANGED = 0x7E9,
    WM_COLOR_DROPDOWN = 0x7EA,
    WM_COLOR_CLOSEUP = 0x7EB,
    WM_COLOR_SELECTED = 0x7EC,
    WM_COLOR_CANCELLED = 0x7ED,
};

// The colour to store for a reported one: fieldDefault for the marker
// CLR_DEFAULT, else the colour itself.
constexpr platform::COLORREF ColourOrDefault(platform::COLORREF reported, platform::COLORREF fieldDefault)
{
    return reported == CLR_DEFAULT ? fieldDefault : reported;
}

class CColorButton : public QPushButton
{
    Q_OBJECT

public:
    explicit CColorButton(QWidget* parent = nullptr);
    ~CColorButton() override;

    // The colour, or CLR_DEFAULT; setting it repaints the button.
    platform::COLORREF GetColor() const { return m_Color; }
    void SetColor(platform::COLORREF colour);
    // What the patch shows for CLR_DEFAULT (initially the application workspace colour).
    platform::COLORREF GetDefaultColor() const { return m_DefaultColor; }
    void SetDefaultColor(platform::COLORREF colour);
    // The texts of the popup's default and custom boxes; an empty text drops the box.
    void SetDefaultText(const QString& text) { m_strDefaultText = text; }
    void SetCustomText(const QString& text) { m_strCustomText = text; }
    const QString& GetDefaultText() const { return m_strDefaultText; }
    const QString& GetCustomText() const { return m_strCustomText; }
    // With track selection the patch follows the colour under the mouse in the popup.
    void SetTrackSelection(bool track) { m_bTrackSelection = track; }

    bool IsPopupOpen() const { return m_bPopupActive; }
    // The open popup, or null.
    CColourPopup* Popup() const { return m_popup.data(); }
    // The control id the notifications carry (the dialog template's id; 0 when none).
    int ControlId() const;

signals:
    // One notification (message, colour, control id), sent to the parent.
    void Notify(unsigned message, platform::COLORREF colour, int controlId);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnClicked();
    // A notification from the popup.
    void OnPopupMessage(unsigned message, platform::COLORREF colour);

    platform::COLORREF m_Color = CLR_DEFAULT;
    platform::COLORREF m_DefaultColor;
    QString m_strDefaultText = QStringLiteral("Automatic");
    QString m_strCustomText = QStringLiteral("More Colors...");
    bool m_bPopupActive = false;
    bool m_bTrackSelection = false;
    QPointer<CColourPopup> m_popup;
};
