#include "platform/resources.h"

#include <QDir>
#include <QFile>
#include <QPixmap>

// The resource data lives in the static library lmd_resources; this call makes
// the linker keep it and registers it with Qt (once, before the first lookup).
static void RegisterEmbeddedResources()
{
    Q_INIT_RESOURCE(lmd_resources);
}

namespace platform {
namespace {

void EnsureRegistered()
{
    static const bool registered = (RegisterEmbeddedResources(), true);
    (void)registered;
}

} // namespace

QString ResourcePath(const QString& kind, const ResourceId& id)
{
    EnsureRegistered();
    return ":/" + kind + '/' + id.Name();
}

QImage LoadBitmap(const ResourceId& id)
{
    const QImage picture(ResourcePath("bitmap", id));
    if (picture.isNull())
        return picture;
    return picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

QIcon LoadIcon(const ResourceId& id)
{
    QIcon icon;
    const QDir sizes(ResourcePath("icon", id));
    for (const QString& size : sizes.entryList(QDir::Files))
        icon.addFile(sizes.filePath(size));
    return icon;
}

QCursor LoadCursor(const ResourceId& id, Qt::CursorShape fallback)
{
    const QImage picture(ResourcePath("cursor", id));
    if (picture.isNull())
        return QCursor(fallback);
    const QStringList spot = picture.text("HotSpot").split(',');
    bool okX = false;
    bool okY = false;
    const int x = spot.size() == 2 ? spot[0].toInt(&okX) : 0;
    const int y = spot.size() == 2 ? spot[1].toInt(&okY) : 0;
    if (!okX || !okY)
        return QCursor(QPixmap::fromImage(picture)); // hot spot in the middle
    return QCursor(QPixmap::fromImage(picture), x, y);
}

QByteArray LoadResource(const QString& kind, const ResourceId& id)
{
    QFile file(ResourcePath(kind, id));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace platform
