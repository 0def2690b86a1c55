#include "rss/hover_button.h"

#include <QPainter>

CHoverButton::CHoverButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void CHoverButton::SetStrip(const QPixmap& strip, int frameWidth, int frameHeight)
{
    m_bmpStrip = strip;
    m_nFrameWidth = frameWidth;
    m_nFrameHeight = frameHeight;
    update();
}

void CHoverButton::SetToolTipText(const QString& text)
{
    if (!text.isNull())
        setToolTip(text);
}

int CHoverButton::CurrentFrame() const
{
    return isDown() ? 1 : m_bHover ? 2 : 0;
}

void CHoverButton::paintEvent(QPaintEvent*)
{
    if (m_bmpStrip.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_bmpStrip, CurrentFrame() * m_nFrameWidth, 0, m_nFrameWidth, m_nFrameHeight);
}

void CHoverButton::enterEvent(QEnterEvent* event)
{
    m_bHover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void CHoverButton::leaveEvent(QEvent* event)
{
    m_bHover = false;
    update();
    QAbstractButton::leaveEvent(event);
}
