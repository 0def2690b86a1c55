// The program icon "LMD_ICON_1" (window and notification area): the round clock
// at 16, 32 and 48 pixels.
#include "tools/assetgen/art.h"
#include "tools/assetgen/assetgen.h"

LMD_ASSET_GENERATOR(icons)
{
    std::vector<QImage> sizes;
    for (const int size : {16, 32, 48}) {
        QImage icon = assetgen::NewPicture(size, size);
        QPainter p(&icon);
        const qreal half = size / 2.0;
        assetgen::PaintRoundClock(p, QPointF(half, half), half - 0.5, QTime(10, 9, 36));
        p.end();
        sizes.push_back(icon.convertToFormat(QImage::Format_ARGB32));
    }
    out.Icon("LMD_ICON_1", sizes);
}
