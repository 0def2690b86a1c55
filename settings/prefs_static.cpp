#include "settings/prefs_static.h"

#include "platform/dialog.h"

#include <QPainter>

using namespace platform;

namespace {

constexpr int kTextInset = 5;
constexpr int kLogoHeight = 18;
constexpr int kLogoWeight = 700;

} // namespace

QImage CaptionGradient(int width, int height, COLORREF face)
{
    QImage gradient(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
    if (gradient.isNull())
        return gradient;
    gradient.fill(Qt::black);
    const int band = width < 256 ? 1 : width / 128;
    const long long w2 = static_cast<long long>(width) * width;
    const auto shade = [&](int c, long long d) { return static_cast<int>(c - d * d * c / w2); };
    QPainter painter(&gradient);
    int x = width;
    long long d = 0;
    while (x > band) {
        x -= band;
        d += band;
        painter.fillRect(x, 0, band, height,
                         QColor(shade(GetRValue(face), d), shade(GetGValue(face), d), shade(GetBValue(face), d)));
    }
    return gradient;
}

CPrefsStatic::CPrefsStatic(QWidget* parent) : QFrame(parent), m_crTextColor(GetSysColor(COLOR_BTNFACE))
{
    // A static with a border: one plain line around the client area.
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPrefsStatic::SetText(const QString& text)
{
    m_strText = text;
    update();
}

void CPrefsStatic::SetFont(const QString& face, int height, int weight)
{
    m_csFontName = face;
    m_nFontSize = height;
    m_nFontWeight = weight;
}

void CPrefsStatic::BuildBackground(QSize size)
{
    m_background = CaptionGradient(size.width(), size.height(), GetSysColor(COLOR_BTNFACE));
    if (m_background.isNull())
        return;
    QPainter painter(&m_background);
    painter.setFont(WindowsFontFromHeight(m_csFontName, kLogoHeight, kLogoWeight));
    const QRect text = QRect(QPoint(0, 0), size).adjusted(0, 0, -kTextInset, 0);
    const int flags = Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine;
    // Engraved: a light copy one pixel down and right, the shadow in place.
    painter.setPen(SysQColor(COLOR_BTNHIGHLIGHT));
    painter.drawText(text.translated(1, 1), flags, m_strConstantText);
    painter.setPen(SysQColor(COLOR_BTNSHADOW));
    painter.drawText(text, flags, m_strConstantText);
}

void CPrefsStatic::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event); // the border
    const QRect client = contentsRect();
    if (m_background.isNull())
        BuildBackground(client.size()); // once: later sizes keep this picture
    QPainter painter(this);
    painter.drawImage(client.topLeft(), m_background);
    if (m_strText.isEmpty())
        return;
    painter.setFont(m_csFontName.isEmpty() ? font()
                                           : WindowsFontFromHeight(m_csFontName, m_nFontSize, m_nFontWeight));
    painter.setPen(ToQColor(m_crTextColor));
    painter.drawText(client.adjusted(kTextInset, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     m_strText);
}
