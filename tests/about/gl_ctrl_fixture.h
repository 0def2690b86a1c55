#pragma once
// Helpers of the OpenGL control suites. Kept free of Qt's OpenGL headers, so
// files that include GLEW can use them.
#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRgb>
#include <QString>
#include <QTemporaryDir>
#include <vector>

class QOpenGLWidget;

namespace lmd::test {

// Whether the widget's own context is the one current on this thread.
bool OwnContextCurrent(const QOpenGLWidget& widget);

// A folder standing in for the executable's for the life of the object: an
// empty assets/ (files are added with AddAsset) and shaders/ holding the
// program's own room shaders.
class ScopedExeDir
{
public:
    ScopedExeDir();
    ~ScopedExeDir();
    ScopedExeDir(const ScopedExeDir&) = delete;
    ScopedExeDir& operator=(const ScopedExeDir&) = delete;

    void AddAsset(const QString& name, const QByteArray& bytes);
    void AddAsset(const QString& name, const QImage& picture);
    void RemoveAsset(const QString& name);

private:
    QTemporaryDir m_dir;
};

// Whether two colours differ by at most tolerance in each of red, green, blue.
bool Near(QRgb a, QRgb b, int tolerance);

// The pixels of area near (tolerance 3) the colour.
int CountNear(const QImage& picture, const QRect& area, QRgb colour);

} // namespace lmd::test
