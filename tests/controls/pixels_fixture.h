#pragma once
// Pixel look-ups shared by the control drawing tests.
#include <QImage>
#include <QRect>

namespace lmd::test {

// The bounding box of the pixels of area that the predicate picks; empty when none.
template <typename Pick> QRect BoundsOf(const QImage& image, const QRect& area, Pick pick)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (pick(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace lmd::test
