#include "tests/about/gl_ctrl_fixture.h"

#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <cstdlib>

namespace lmd::test {

bool OwnContextCurrent(const QOpenGLWidget& widget)
{
    return widget.context() && QOpenGLContext::currentContext() == widget.context();
}

ScopedExeDir::ScopedExeDir()
{
    const QDir real(QCoreApplication::applicationDirPath() + QStringLiteral("/shaders"));
    QDir(m_dir.path()).mkpath(QStringLiteral("assets"));
    QDir(m_dir.path()).mkpath(QStringLiteral("shaders"));
    for (const char* name : {"replace.vert", "replace.frag", "refract.vert", "refract.frag"})
        QFile::copy(real.filePath(QString::fromLatin1(name)),
                    m_dir.path() + QStringLiteral("/shaders/") + QString::fromLatin1(name));
    platform::paths::SetExeDirOverride(m_dir.path());
}

ScopedExeDir::~ScopedExeDir()
{
    platform::paths::SetExeDirOverride(QString());
}

void ScopedExeDir::AddAsset(const QString& name, const QByteArray& bytes)
{
    QFile file(m_dir.path() + QStringLiteral("/assets/") + name);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

void ScopedExeDir::AddAsset(const QString& name, const QImage& picture)
{
    picture.save(m_dir.path() + QStringLiteral("/assets/") + name);
}

void ScopedExeDir::RemoveAsset(const QString& name)
{
    QFile::remove(m_dir.path() + QStringLiteral("/assets/") + name);
}

bool Near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

int CountNear(const QImage& picture, const QRect& area, QRgb colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += Near(picture.pixel(x, y), colour, 3);
    return n;
}

} // namespace lmd::test
