#include "tests/support/screens.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace lmd::test {

QString ScreensDir()
{
    QString dir = qEnvironmentVariable("LMD_SCREENS_DIR");
    if (dir.isEmpty())
        dir = QDir::current().filePath("screens");
    QDir().mkpath(dir);
    return dir;
}

QString SaveScreen(const QImage& picture, const QString& name)
{
    const QString path = QDir(ScreensDir()).filePath(name + ".png");
    picture.save(path, "PNG");
    return path;
}

QImage GrabScreen()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32) : QImage();
}

} // namespace lmd::test
