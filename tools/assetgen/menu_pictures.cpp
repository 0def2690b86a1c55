// The pictures of the clock's menus (16 by 16, one per item that has one) and
// of the stealth-mode hint dialog: "HINT_TASKTRAY_MENU", the tray icon with its
// menu open at the stealth item, and "HINT_CTRL", the Control key.
#include "tools/assetgen/art.h"
#include "tools/assetgen/assetgen.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <cmath>

namespace {

constexpr int kMenuSide = 16;
const QColor kInk(52, 60, 74);
const QColor kAccent(232, 128, 36);
const QColor kBlue(58, 120, 200);

QPainter& Begin(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    return p;
}

// A 16 by 16 picture drawn by paint(painter).
template <typename Paint> QImage MenuPicture(Paint paint)
{
    QImage picture = assetgen::NewPicture(kMenuSide, kMenuSide);
    QPainter p(&picture);
    paint(Begin(p));
    p.end();
    return picture.convertToFormat(QImage::Format_ARGB32);
}

void Gear(QPainter& p)
{
    QPainterPath gear;
    constexpr int kTeeth = 8;
    for (int i = 0; i < kTeeth * 2; ++i) {
        const double angle = i * M_PI / kTeeth;
        const double r = i % 2 == 0 ? 7.4 : 5.6;
        const QPointF at(8 + r * std::cos(angle), 8 + r * std::sin(angle));
        if (i == 0)
            gear.moveTo(at);
        else
            gear.lineTo(at);
    }
    gear.closeSubpath();
    gear.addEllipse(QPointF(8, 8), 2.3, 2.3);
    gear.setFillRule(Qt::OddEvenFill);
    QLinearGradient metal(0, 0, 16, 16);
    metal.setColorAt(0, QColor(150, 164, 186));
    metal.setColorAt(1, QColor(78, 90, 112));
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(metal);
    p.drawPath(gear);
}

// Three stacked layers; the one at `lit` (0 back, 1 middle, 2 front) in colour.
void Layers(QPainter& p, int lit)
{
    for (int layer = 0; layer < 3; ++layer) {
        const QRectF sheet(1.5 + layer * 3, 1.5 + layer * 3, 8, 8);
        p.setPen(QPen(layer == lit ? kAccent.darker(150) : kInk, 1));
        p.setBrush(layer == lit ? kAccent : QColor(214, 220, 230, 220));
        p.drawRoundedRect(sheet, 1.5, 1.5);
    }
}

void Magnifier(QPainter& p)
{
    p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14.5, 14.5));
    p.setPen(QPen(kInk, 1.4));
    p.setBrush(QColor(190, 222, 250));
    p.drawEllipse(QPointF(6.5, 6.5), 5, 5);
    p.setPen(QPen(kBlue, 1.2));
    p.drawLine(QPointF(4.5, 6.5), QPointF(8.5, 6.5));
    p.drawLine(QPointF(6.5, 4.5), QPointF(6.5, 8.5));
}

// The clock with a rounded hole in it: clicks pass through.
void Stealth(QPainter& p)
{
    QPainterPath clock;
    clock.addEllipse(QPointF(8, 8), 7, 7);
    QPainterPath hole;
    hole.addRoundedRect(QRectF(6, 6, 8, 8), 2, 2);
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(120, 150, 190));
    p.drawPath(clock.subtracted(hole));
    p.setPen(QPen(kInk, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(6, 6, 8, 8), 2, 2);
}

void FeedBadge(QPainter& p, const QRectF& box)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRoundedRect(box, box.width() * 0.2, box.width() * 0.2);
    const double unit = box.width() / 14.0;
    const QPointF origin = box.bottomLeft() + QPointF(3.5 * unit, -3.5 * unit);
    p.setBrush(Qt::white);
    p.drawEllipse(origin, 1.4 * unit, 1.4 * unit);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 1.7 * unit, Qt::SolidLine, Qt::RoundCap));
    for (const double r : {5.0, 8.6}) {
        const QRectF arc(origin.x() - r * unit, origin.y() - r * unit, 2 * r * unit, 2 * r * unit);
        p.drawArc(arc, 0, 90 * 16);
    }
}

void Pencil(QPainter& p)
{
    p.save();
    p.translate(11, 11);
    p.rotate(45);
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(QColor(250, 210, 70));
    p.drawRect(QRectF(-1.6, -6, 3.2, 8));
    p.setBrush(QColor(240, 200, 170));
    QPainterPath tip;
    tip.moveTo(-1.6, 2);
    tip.lineTo(1.6, 2);
    tip.lineTo(0, 5);
    tip.closeSubpath();
    p.drawPath(tip);
    p.restore();
}

void Power(QPainter& p)
{
    p.setPen(QPen(QColor(200, 44, 44), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(2.5, 3, 11, 11), 125 * 16, 290 * 16);
    p.drawLine(QPointF(8, 1.5), QPointF(8, 7.5));
}

void Padlock(QPainter& p)
{
    p.setPen(QPen(kInk, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(4.5, 1.5, 7, 9), 3.5, 3.5);
    QLinearGradient brass(0, 7, 0, 15);
    brass.setColorAt(0, QColor(246, 204, 92));
    brass.setColorAt(1, QColor(198, 142, 36));
    p.setPen(QPen(QColor(120, 84, 20), 1));
    p.setBrush(brass);
    p.drawRoundedRect(QRectF(2.5, 7, 11, 8), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(8, 10.5), 1.2, 1.2);
}

QFont UiFont(int pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("Noto Sans CJK JP"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// The notification area with the clock's icon, and its menu opened above it
// with the mouse on "ステルスMode".
QImage TrayMenuHint()
{
    constexpr int kWidth = 200;
    constexpr int kHeight = 128;
    QImage picture = assetgen::NewPicture(kWidth, kHeight, QColor(240, 240, 240));
    QPainter p(&picture);
    Begin(p);

    // The task bar with the tray along the bottom.
    QLinearGradient bar(0, kHeight - 22, 0, kHeight);
    bar.setColorAt(0, QColor(52, 60, 78));
    bar.setColorAt(1, QColor(30, 34, 46));
    p.fillRect(QRectF(0, kHeight - 22, kWidth, 22), bar);
    assetgen::PaintRoundClock(p, QPointF(150, kHeight - 11), 7.5, QTime(10, 9, 36));
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(140.5, kHeight - 21.5, 19, 19), 3, 3);

    // The menu.
    const QRectF menu(40.5, 4.5, 120, 96);
    p.fillRect(menu.translated(2, 2), QColor(0, 0, 0, 40));
    p.setPen(QPen(QColor(160, 160, 160), 1));
    p.setBrush(Qt::white);
    p.drawRect(menu);
    const char* const items[] = {"設定...(S)", "ロック", "ステルスMode", nullptr, "終了(X)"};
    double y = menu.top() + 4;
    p.setFont(UiFont(11));
    for (int i = 0; i < 5; ++i) {
        if (!items[i]) {
            p.setPen(QPen(QColor(215, 215, 215), 1));
            p.drawLine(QPointF(menu.left() + 26, y + 3.5), QPointF(menu.right() - 4, y + 3.5));
            y += 8;
            continue;
        }
        const QRectF row(menu.left() + 2, y, menu.width() - 4, 20);
        if (i == 2) {
            p.setPen(QPen(kBlue, 1));
            p.setBrush(QColor(204, 228, 247));
            p.drawRect(row.adjusted(0.5, 0.5, -0.5, -0.5));
        }
        p.setPen(QColor(28, 28, 28));
        p.drawText(row.adjusted(26, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(items[i]));
        y += 20;
    }

    // The pointer on the stealth item.
    QPainterPath arrow;
    arrow.moveTo(0, 0);
    arrow.lineTo(0, 13);
    arrow.lineTo(3.5, 10);
    arrow.lineTo(6, 15);
    arrow.lineTo(8, 14);
    arrow.lineTo(5.5, 9);
    arrow.lineTo(10, 9);
    arrow.closeSubpath();
    p.translate(150, 56);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawPath(arrow);
    p.end();
    return picture.convertToFormat(QImage::Format_RGB32);
}

// The Control key's cap.
QImage CtrlKeyHint()
{
    constexpr int kWidth = 42;
    constexpr int kHeight = 24;
    QImage picture = assetgen::NewPicture(kWidth, kHeight, QColor(240, 240, 240));
    QPainter p(&picture);
    Begin(p);
    p.setPen(QPen(QColor(120, 120, 128), 1));
    p.setBrush(QColor(200, 202, 208));
    p.drawRoundedRect(QRectF(0.5, 0.5, kWidth - 1, kHeight - 1), 4, 4);
    QLinearGradient top(0, 2, 0, kHeight - 5);
    top.setColorAt(0, QColor(255, 255, 255));
    top.setColorAt(1, QColor(228, 230, 234));
    p.setPen(Qt::NoPen);
    p.setBrush(top);
    p.drawRoundedRect(QRectF(3, 2, kWidth - 6, kHeight - 7), 3, 3);
    p.setPen(QColor(40, 40, 48));
    p.setFont(UiFont(10, true));
    p.drawText(QRectF(3, 2, kWidth - 6, kHeight - 7), Qt::AlignCenter, QStringLiteral("Ctrl"));
    p.end();
    return picture.convertToFormat(QImage::Format_RGB32);
}

} // namespace

LMD_ASSET_GENERATOR(menu_pictures)
{
    out.Bitmap("MENU_SETTING", MenuPicture(Gear));
    for (int lit = 0; lit < 3; ++lit)
        out.Bitmap(QStringLiteral("MENU_EFFECT%1").arg(lit),
                   MenuPicture([lit](QPainter& p) { Layers(p, lit); }));
    out.Bitmap("MENU_ZOOM", MenuPicture(Magnifier));
    out.Bitmap("MENU_SECRET", MenuPicture(Stealth));
    out.Bitmap("MENU_RSS", MenuPicture([](QPainter& p) { FeedBadge(p, QRectF(1, 1, 14, 14)); }));
    out.Bitmap("MENU_RSSEDIT", MenuPicture([](QPainter& p) {
                   FeedBadge(p, QRectF(0, 0, 11, 11));
                   Pencil(p);
               }));
    out.Bitmap("MENU_END", MenuPicture(Power));
    out.Bitmap("MENU_LOCK", MenuPicture(Padlock));
    out.Bitmap("HINT_TASKTRAY_MENU", TrayMenuHint());
    out.Bitmap("HINT_CTRL", CtrlKeyHint());
}
