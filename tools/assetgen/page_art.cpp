// The settings pages' button pictures, 16 x 16 on white (their transparent
// colour): "IDB_FOLDER", an open yellow folder, for the buttons that choose a
// file or folder; "IDB_COLOR", a painter's palette, for the alarm rows' colour
// buttons.
#include "tools/assetgen/art.h"
#include "tools/assetgen/assetgen.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace {

// A folder with its tab, the front flap tilted open.
void PaintFolder(QPainter& p, qreal size)
{
    const qreal s = size / 16.0;
    const QColor edge(140, 96, 10);
    QPainterPath back;
    back.moveTo(1 * s, 3 * s);
    back.lineTo(6 * s, 3 * s);
    back.lineTo(7.5 * s, 4.5 * s);
    back.lineTo(14 * s, 4.5 * s);
    back.lineTo(14 * s, 13.5 * s);
    back.lineTo(1 * s, 13.5 * s);
    back.closeSubpath();
    p.setPen(QPen(edge, 0.9 * s));
    p.setBrush(QColor(222, 170, 50));
    p.drawPath(back);
    QPainterPath flap;
    flap.moveTo(3.2 * s, 7 * s);
    flap.lineTo(15.4 * s, 7 * s);
    flap.lineTo(13.6 * s, 13.5 * s);
    flap.lineTo(1 * s, 13.5 * s);
    flap.closeSubpath();
    QLinearGradient light(QPointF(0, 7 * s), QPointF(0, 13.5 * s));
    light.setColorAt(0, QColor(255, 226, 120));
    light.setColorAt(1, QColor(240, 186, 60));
    p.setBrush(light);
    p.drawPath(flap);
}

// A palette with a thumb hole and four paint dabs.
void PaintPalette(QPainter& p, qreal size)
{
    const qreal s = size / 16.0;
    QPainterPath board;
    board.addEllipse(QPointF(8 * s, 8 * s), 7 * s, 6 * s);
    QPainterPath hole;
    hole.addEllipse(QPointF(10.5 * s, 10.6 * s), 1.5 * s, 1.3 * s);
    p.setPen(QPen(QColor(110, 70, 30), 0.9 * s));
    p.setBrush(QColor(214, 170, 110));
    p.drawPath(board.subtracted(hole));
    p.setPen(Qt::NoPen);
    const struct
    {
        QPointF at;
        QColor colour;
    } dabs[] = {{{4.3, 6.5}, QColor(220, 30, 30)},
                {{7.2, 4.4}, QColor(250, 210, 20)},
                {{10.6, 5.0}, QColor(30, 160, 60)},
                {{12.2, 8.0}, QColor(30, 80, 220)}};
    for (const auto& dab : dabs) {
        p.setBrush(dab.colour);
        p.drawEllipse(dab.at * s, 1.5 * s, 1.5 * s);
    }
}

} // namespace

LMD_ASSET_GENERATOR(page_art)
{
    out.Bitmap("IDB_FOLDER", assetgen::ButtonPicture(&PaintFolder));
    out.Bitmap("IDB_COLOR", assetgen::ButtonPicture(&PaintPalette));
}
