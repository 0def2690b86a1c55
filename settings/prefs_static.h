#pragma once
// CPrefsStatic: the caption bar of the settings dialog. Its background is a
// gradient from black at the left to the button face at the right, built once
// at the first paint at the control's size of that moment, with the logo text
// engraved at its right end; over it the caption of the current page is drawn
// at the left in the caption colour.
#include "platform/surface.h"

#include <QFont>
#include <QFrame>
#include <QImage>
#include <QString>

// The caption bar's gradient of width by height pixels for the face colour:
// bands of width b (1 below 256 pixels, else width / 128) from the right edge
// leftwards, band number k (1 at the right) in c - (kb * kb * c) / (width *
// width) for each channel c of face; what is left at the left end is black.
QImage CaptionGradient(int width, int height, platform::COLORREF face);

class CPrefsStatic : public QFrame
{
public:
    explicit CPrefsStatic(QWidget* parent = nullptr);

    // The caption (drawn at the next paint; the whole bar is repainted).
    void SetText(const QString& text);
    const QString& Text() const { return m_strText; }

    // The caption's font: face, height in pixels and weight; an empty face
    // keeps the parent's font.
    void SetFont(const QString& face, int height, int weight);
    void SetTextColor(platform::COLORREF colour) { m_crTextColor = colour; }
    // The engraved text at the right of the gradient.
    void SetConstantText(const QString& text) { m_strConstantText = text; }

    // The gradient with the logo, as built at the first paint (null before).
    const QImage& Background() const { return m_background; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildBackground(QSize size);

    QString m_strText;
    QString m_csFontName;
    int m_nFontSize = 12;
    int m_nFontWeight = 400;
    platform::COLORREF m_crTextColor;
    QString m_strConstantText;
    QImage m_background;
};
