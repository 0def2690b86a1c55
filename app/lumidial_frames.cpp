// The clock's frames: the external frame built from an image file.
#include "app/lumidial.h"
#include "platform/paths.h"

#include <QImageReader>

namespace {

constexpr int kExtFrameTemplateSlot = 4; // "FRM_LIME": its ring is the external frame's shape

// The picture at path; a relative path is read from the executable's folder.
// Null when it cannot be read.
QImage LoadFramePicture(const QString& path)
{
    const QString file = platform::paths::InExeDir(path);
    if (!platform::paths::IsRegularFile(file))
        return {};
    QImageReader reader(file);
    reader.setAutoTransform(true);
    return reader.read();
}

} // namespace

void CLumidial::CreateExtFrame(const QString& imagePath, bool gradation)
{
    if (m_frameBitmaps.size() != kFrameSlotCount)
        return; // the frames are not loaded
    QImage texture = LoadFramePicture(imagePath);
    if (texture.isNull())
        texture = m_bmpDefaultFrame;
    m_frameBitmaps[kExternalFrameSlot] =
        BuildExtFrame(m_frameBitmaps[kExtFrameTemplateSlot], texture, gradation);
}
