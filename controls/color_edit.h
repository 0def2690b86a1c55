#pragma once
// CColorEdit: a read-only text box with a background and a text colour of its
// own (initially the button face and black), for the alarm popup's message.
#include "platform/surface.h"

#include <QTextEdit>

class CColorEdit : public QTextEdit
{
public:
    explicit CColorEdit(QWidget* parent = nullptr);

    void SetBackgroundColor(platform::COLORREF colour);
    void SetTextColor(platform::COLORREF colour);
    platform::COLORREF GetBackgroundColor() const { return m_crBkColor; }
    platform::COLORREF GetTextColor() const { return m_crTextColor; }

    // Lines centred (true) or left-aligned.
    void SetCentered(bool centered);

private:
    void ApplyColors();

    platform::COLORREF m_crBkColor;
    platform::COLORREF m_crTextColor = 0x000000;
};
