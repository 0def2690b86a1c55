// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "tests/effects/shader_gl_fixture.h"

#include "platform/messages.h"
#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <cassert>

namespace lmd::test {

ErrorSink::ErrorSink()
{
    platform::RegisterMainWindow(this);
}

ErrorSink::~ErrorSink()
{
    platform::RegisterMainWindow(nullptr);
}

const std::vector<std::string>& ErrorSink::Errors()
{
    QCoreApplication::sendPostedEvents(this);
    return m_errors;
}

bool ErrorSink::event(QEvent* event)
{
    if (event->type() != platform::AppMessageEvent::EventType())
        return QObject::event(event);
    auto* const message = static_cast<platform::AppMessageEvent*>(event);
    if (message->message == platform::WM_SHOW_ERROR && message->text)
        m_errors.push_back(*message->text);
    return true;
}

DataFiles::~DataFiles()
{
    for (const QString& path : m_paths)
        QFile::remove(path);
}

void DataFiles::Write(const QString& relativePath, const std::string& text)
{
    const QString path = platform::paths::InExeDir(relativePath);
    QDir().mkpath(platform::paths::RemoveFileName(path));
    QFile file(path);
    const bool opened = file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    assert(opened);
    (void)opened;
    file.write(text.data(), static_cast<qint64>(text.size()));
    m_paths.push_back(path);
}

QString DataFiles::Save(const QString& relativePath, const QImage& image)
{
    const QString path = platform::paths::InExeDir(relativePath);
    QDir().mkpath(platform::paths::RemoveFileName(path));
    image.save(path);
    m_paths.push_back(path);
    return path;
}

std::string FragmentShader(const std::string& body)
{
    return "#version 120\n"
           "varying vec2 vTexCoord;\n" +
           body;
}

unsigned CurrentGlError(platform::GlContext& context)
{
    const platform::GlCurrent current(context);
    return current ? glGetError() : GL_INVALID_OPERATION;
}

platform::Surface PatternSurface(int width, int height)
{
    platform::Surface surface(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            surface.SetPixel(x, y, platform::Rgb(x * 255 / width, y * 255 / height, (x * 7 + y * 13) & 0xFF));
    return surface;
}

Rgb8 Channels(std::uint32_t pixel)
{
    return {static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
            static_cast<int>(pixel & 0xFF)};
}

} // namespace lmd::test
