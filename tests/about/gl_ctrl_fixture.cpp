#include "tests/about/gl_ctrl_fixture.h"

#include <QOpenGLContext>
#include <QOpenGLWidget>

namespace lmd::test {

bool OwnContextCurrent(const QOpenGLWidget& widget)
{
    return widget.context() && QOpenGLContext::currentContext() == widget.context();
}

} // namespace lmd::test
