#include "demos/core/image.h"

#include "demos/core/core.h"
#include "platform/paths.h"
#include "platform/run_time_files.h"

#include <QPainter>

namespace {

constexpr int kMaxNameUnits = 255;

// The frame's painter, ready to draw pictures smoothly scaled; null outside a frame.
QPainter* ImagePainter()
{
    if (!currentCore || !currentGraphics)
        return nullptr;
    currentGraphics->setRenderHint(QPainter::SmoothPixmapTransform);
    return currentGraphics;
}

bool DrawsFromCenter()
{
    return currentCore && currentCore->drawFromCenter != 0;
}

// The picture of a file, as premultiplied ARGB; a null image for anything
// that is no readable picture.
QImage ReadPicture(const QString& path)
{
    return platform::ReadPictureFile(path).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

template <typename T> gaImage_<T>& gaImage_<T>::operator=(const gaImage_& other)
{
    m_bitmap = other.m_bitmap;
    width = other.width;
    height = other.height;
    return *this;
}

template <typename T> void gaImage_<T>::allocate(int width, int height)
{
    this->width = width;
    this->height = height;
    auto bitmap = std::make_shared<QImage>();
    if (width > 0 && height > 0) {
        *bitmap = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
        bitmap->fill(Qt::transparent); // a failed allocation leaves a null image, drawn as nothing
    }
    m_bitmap = std::move(bitmap);
}

template <typename T> bool gaImage_<T>::load(const std::string& name)
{
    QString converted = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    converted.truncate(kMaxNameUnits);
    m_bitmap = std::make_shared<QImage>(ReadPicture(platform::paths::InExeDir(QStringLiteral("assets/") + converted)));
    width = m_bitmap->width();
    height = m_bitmap->height();
    return true;
}

template <typename T> void gaImage_<T>::draw(float x, float y) const
{
    QPainter* const painter = ImagePainter();
    if (!painter || m_bitmap->isNull())
        return;
    const QPointF corner = DrawsFromCenter() ? QPointF(static_cast<float>(x - width * 0.5), static_cast<float>(y - height * 0.5))
                                             : QPointF(x, y);
    painter->drawImage(corner, *m_bitmap);
}

template <typename T> void gaImage_<T>::draw(float x, float y, float w, float h) const
{
    QPainter* const painter = ImagePainter();
    if (!painter || m_bitmap->isNull())
        return;
    painter->drawImage(QRectF(x, y, w, h), *m_bitmap);
}

template <typename T> void gaImage_<T>::setColor(int x, int y, std::uint32_t argb)
{
    if (m_bitmap->valid(x, y))
        m_bitmap->setPixel(x, y, qPremultiply(argb));
}

template class gaImage_<unsigned char>;

void gaTexture::draw(float x, float y, float w, float h)
{
    if (DrawsFromCenter())
        m_image.draw(x - w * 0.5f, y - h * 0.5f, w, h);
    else
        m_image.draw(x, y, w, h);
}

void gaTexture::allocate(int width, int height, int /*format*/)
{
    m_image.allocate(width, height);
}
