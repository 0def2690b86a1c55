#include "rss/contour_bitmap.h"

QRegion CContourBitmap::CreateRegion(QRgb transparent) const
{
    // Row by row, the runs of other colours make up the shape (the same region
    // as the rectangle with the transparent runs removed, built in fewer steps).
    QRegion region;
    const QImage picture = m_picture.convertToFormat(QImage::Format_RGB32);
    const QRgb key = transparent | 0xFF000000u;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        int x = 0;
        while (x < picture.width()) {
            while (x < picture.width() && row[x] == key)
                ++x;
            const int start = x;
            while (x < picture.width() && row[x] != key)
                ++x;
            if (x > start)
                region += QRect(start, y, x - start, 1);
        }
    }
    return region;
}
