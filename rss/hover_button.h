#pragma once
// CHoverButton: a push button painted from a strip of three frames side by
// side: normal (x = 0), pressed (x = frame width) and hovered (x = 2 x frame
// width). The pointer over the button shows the hovered frame; held down it
// shows the pressed one. Its tooltip is set with SetToolTipText. Without a
// strip the button paints nothing.
#include <QAbstractButton>
#include <QPixmap>

class CHoverButton : public QAbstractButton
{
public:
    explicit CHoverButton(QWidget* parent = nullptr);

    // The strip and the size of one frame (the dialog sets strip width / 3 and
    // strip height).
    void SetStrip(const QPixmap& strip, int frameWidth, int frameHeight);
    void SetToolTipText(const QString& text);

    bool IsHovered() const { return m_bHover; }
    // The frame painted now: 0 normal, 1 pressed, 2 hovered.
    int CurrentFrame() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool m_bHover = false;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;
    QPixmap m_bmpStrip;
};
