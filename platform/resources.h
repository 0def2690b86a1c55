#pragma once
// The program's embedded resources: bitmaps, icons, cursors and other data,
// drawn at build time by tools/assetgen and looked up here by the name or number
// the program uses ("SPLASH", "LMD_ICON_1", 150 ...). Bitmaps, icons and cursors
// have separate name spaces, as on Windows: bitmap 150 and icon 150 may both exist.
#include <QByteArray>
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QString>

namespace platform {

// A resource name or number (a number is looked up as its decimal text).
class ResourceId
{
public:
    ResourceId(const char* name) : name_(QString::fromUtf8(name)) {}
    ResourceId(const QString& name) : name_(name) {}
    ResourceId(int number) : name_(QString::number(number)) {}
    const QString& Name() const { return name_; }

private:
    QString name_;
};

// A bitmap resource: Format_RGB32, or Format_ARGB32 when the picture has
// transparency. A null image when there is no such bitmap.
QImage LoadBitmap(const ResourceId& id);

// An icon resource with all its sizes; a null icon when there is none.
QIcon LoadIcon(const ResourceId& id);

// A cursor resource with its hot spot; the fallback shape when there is none.
QCursor LoadCursor(const ResourceId& id, Qt::CursorShape fallback = Qt::ArrowCursor);

// Any other embedded data of a kind ("menu", "text" ...); empty when missing.
QByteArray LoadResource(const QString& kind, const ResourceId& id);

// The Qt resource path of a resource (":/bitmap/SPLASH"), for code that wants
// to hand it to a Qt reader itself.
QString ResourcePath(const QString& kind, const ResourceId& id);

} // namespace platform
