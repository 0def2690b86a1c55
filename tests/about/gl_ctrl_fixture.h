#pragma once
// Helpers of the OpenGL control suites that need Qt's OpenGL headers, kept out
// of the files that include GLEW.
class QOpenGLWidget;

namespace lmd::test {

// Whether the widget's own context is the one current on this thread.
bool OwnContextCurrent(const QOpenGLWidget& widget);

} // namespace lmd::test
