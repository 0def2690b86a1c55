// The alarm popup's artwork: the button pictures "IDB_BELL" (snooze) and
// "IDB_CLOSE" (close), 16 x 16 on white, their transparent colour; and the
// popup's icon "LMD_ICON_ALARM", an alarm clock at 16, 32 and 48 pixels.
#include "tools/assetgen/art.h"
#include "tools/assetgen/assetgen.h"

#include <QPainterPath>
#include <QRadialGradient>

namespace {

// A golden bell with its clapper, swinging a little to the right.
void PaintBell(QPainter& p, qreal size)
{
    const qreal s = size / 16.0;
    p.save();
    p.translate(8 * s, 8 * s);
    p.rotate(10);
    p.translate(-8 * s, -8 * s);
    QPainterPath bell;
    bell.moveTo(2 * s, 12.5 * s);
    bell.cubicTo(4 * s, 11 * s, 3.5 * s, 7 * s, 4.2 * s, 5.5 * s);
    bell.cubicTo(5 * s, 3.2 * s, 6.5 * s, 3 * s, 8 * s, 3 * s);
    bell.cubicTo(9.5 * s, 3 * s, 11 * s, 3.2 * s, 11.8 * s, 5.5 * s);
    bell.cubicTo(12.5 * s, 7 * s, 12 * s, 11 * s, 14 * s, 12.5 * s);
    bell.closeSubpath();
    QRadialGradient gold(QPointF(6 * s, 5 * s), 9 * s);
    gold.setColorAt(0, QColor(255, 236, 140));
    gold.setColorAt(0.6, QColor(226, 170, 30));
    gold.setColorAt(1, QColor(150, 96, 10));
    p.setPen(QPen(QColor(110, 70, 5), 0.9 * s));
    p.setBrush(gold);
    p.drawPath(bell);
    p.setBrush(QColor(110, 70, 5));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(8 * s, 13.2 * s), 1.7 * s, 1.5 * s); // clapper
    p.drawEllipse(QPointF(8 * s, 2.2 * s), 1.1 * s, 1.1 * s);  // loop
    p.restore();
}

// A red disc with a pale cross.
void PaintClose(QPainter& p, qreal size)
{
    const qreal s = size / 16.0;
    QRadialGradient red(QPointF(6 * s, 5 * s), 9 * s);
    red.setColorAt(0, QColor(250, 110, 100));
    red.setColorAt(1, QColor(170, 20, 20));
    p.setPen(QPen(QColor(110, 10, 10), 0.9 * s));
    p.setBrush(red);
    p.drawEllipse(QPointF(8 * s, 8 * s), 6.8 * s, 6.8 * s);
    p.setPen(QPen(QColor(244, 240, 240), 2.0 * s, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(5.3 * s, 5.3 * s), QPointF(10.7 * s, 10.7 * s));
    p.drawLine(QPointF(10.7 * s, 5.3 * s), QPointF(5.3 * s, 10.7 * s));
}

// An alarm clock: the round clock with two bells on top and two feet.
QImage AlarmClockIcon(int size)
{
    QImage icon = assetgen::NewPicture(size, size);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 48.0;
    const QColor metal(150, 40, 40);
    p.setPen(Qt::NoPen);
    p.setBrush(metal);
    for (const int side : {-1, 1}) {
        p.drawPie(QRectF(24 * s + side * 13 * s - 8 * s, 2 * s, 16 * s, 16 * s), side < 0 ? 30 * 16 : 10 * 16,
                  140 * 16);
        p.setPen(QPen(metal, 3 * s, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(24 * s + side * 10 * s, 40 * s), QPointF(24 * s + side * 15 * s, 46 * s));
        p.setPen(Qt::NoPen);
    }
    assetgen::PaintRoundClock(p, QPointF(24 * s, 26 * s), 18 * s, QTime(7, 30));
    p.end();
    return icon.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

LMD_ASSET_GENERATOR(alarm_art)
{
    out.Bitmap("IDB_BELL", assetgen::ButtonPicture(&PaintBell));
    out.Bitmap("IDB_CLOSE", assetgen::ButtonPicture(&PaintClose));
    out.Icon("LMD_ICON_ALARM", {AlarmClockIcon(16), AlarmClockIcon(32), AlarmClockIcon(48)});
}
