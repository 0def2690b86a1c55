#include "controls/color_edit.h"

#include "platform/dialog.h"

#include <QTextOption>

CColorEdit::CColorEdit(QWidget* parent)
    : QTextEdit(parent), m_crBkColor(platform::GetSysColor(platform::COLOR_BTNFACE))
{
    setReadOnly(true);
    setAcceptRichText(false);
    viewport()->setAutoFillBackground(true);
    ApplyColors();
}

void CColorEdit::SetBackgroundColor(platform::COLORREF colour)
{
    m_crBkColor = colour & 0xFFFFFF;
    ApplyColors();
}

void CColorEdit::SetTextColor(platform::COLORREF colour)
{
    m_crTextColor = colour & 0xFFFFFF;
    ApplyColors();
}

void CColorEdit::SetCentered(bool centered)
{
    QTextOption option = document()->defaultTextOption();
    option.setAlignment(centered ? Qt::AlignHCenter : Qt::AlignLeft);
    document()->setDefaultTextOption(option);
}

void CColorEdit::ApplyColors()
{
    QPalette pal = palette();
    const QColor back = platform::ToQColor(m_crBkColor);
    const QColor text = platform::ToQColor(m_crTextColor);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Base, back);
        pal.setColor(group, QPalette::Window, back);
        pal.setColor(group, QPalette::Text, text);
    }
    setPalette(pal);
    viewport()->update();
}
