#include "effects/slide_show.h"

#include "effects/image_path_list.h"
#include "platform/run_time_files.h"
#include "platform/surface.h"

#include <QImage>

void CSlideShow::DrawNext(platform::Surface& output, const platform::Surface& source)
{
    if (m_pImageList == nullptr) {
        return;
    }
    const QString path = m_pImageList->GetNextPath();
    if (path.isEmpty()) {
        return;
    }
    platform::Surface picture;
    picture.Image() = platform::ReadPictureFile(path).convertToFormat(QImage::Format_RGB32);
    const int iw = picture.Width();
    const int ih = picture.Height();
    if (picture.IsNull() || iw <= 0 || ih <= 0) {
        return; // not a picture: the previous one stays
    }
    // Letterbox over the source, the picture's aspect kept on the square layer.
    output.BitBlt(0, 0, m_nWidth, m_nHeight, source, 0, 0);
    if (ih < iw) {
        const int dh = static_cast<int>(static_cast<double>(ih) / iw * m_nHeight);
        output.StretchBlt(0, (m_nHeight - dh) / 2, m_nWidth, dh, picture, 0, 0, iw, ih);
    } else {
        const int dw = static_cast<int>(static_cast<double>(iw) / ih * m_nWidth);
        output.StretchBlt((m_nWidth - dw) / 2, 0, dw, m_nHeight, picture, 0, 0, iw, ih);
    }
}
