#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMutex>

namespace platform::paths {
namespace {

QMutex g_mutex;
QString g_exeDirOverride;

bool HasDriveLetter(const QString& path)
{
    return path.size() >= 2 && path[1] == u':' && path[0].isLetter() && path[0].unicode() < 128;
}

} // namespace

QString ExeDir()
{
    {
        const QMutexLocker lock(&g_mutex);
        if (!g_exeDirOverride.isEmpty())
            return g_exeDirOverride;
    }
    return Normalize(QCoreApplication::applicationDirPath());
}

void SetExeDirOverride(const QString& dir)
{
    const QMutexLocker lock(&g_mutex);
    g_exeDirOverride = FromData(dir);
}

QString Normalize(const QString& path)
{
    if (path.isEmpty())
        return {};
    return QDir::cleanPath(path);
}

QString FromData(const QString& name)
{
    QString path = name;
    path.replace(u'\\', u'/');
    return Normalize(path);
}

bool IsRelative(const QString& path)
{
    if (path.isEmpty())
        return true;
    if (path[0] == u'/' || path[0] == u'\\')
        return false;
    return !HasDriveLetter(path);
}

bool Exists(const QString& path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

QString Combine(const QString& dir, const QString& name)
{
    const QString file = FromData(name);
    if (!IsRelative(file) || dir.isEmpty())
        return file;
    if (file.isEmpty())
        return FromData(dir);
    return FromData(dir + u'/' + file);
}

QString InExeDir(const QString& name)
{
    return Combine(ExeDir(), name);
}

QString RemoveFileName(const QString& path)
{
    const QString normal = FromData(path);
    const qsizetype slash = normal.lastIndexOf(u'/');
    if (slash < 0)
        return {};
    if (slash == 0)
        return QStringLiteral("/");
    return normal.left(slash);
}

} // namespace platform::paths
