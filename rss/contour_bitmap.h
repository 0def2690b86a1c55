#pragma once
// CContourBitmap: a picture that can turn itself into a window shape, the
// region of every pixel that is not the transparent colour.
#include <QImage>
#include <QRegion>

class CContourBitmap
{
public:
    CContourBitmap() = default;
    explicit CContourBitmap(QImage picture) : m_picture(std::move(picture)) {}

    bool IsNull() const { return m_picture.isNull(); }
    QSize Size() const { return m_picture.size(); }
    const QImage& Picture() const { return m_picture; }
    // The colour of the top-left pixel, which the pictures use for "outside".
    QRgb CornerColor() const { return m_picture.isNull() ? 0 : m_picture.pixel(0, 0); }

    // The picture's rectangle without every run of pixels whose colour is
    // exactly transparent (alpha ignored); empty for a null picture.
    QRegion CreateRegion(QRgb transparent) const;

private:
    QImage m_picture;
};
