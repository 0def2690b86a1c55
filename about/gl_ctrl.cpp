#include "about/gl_ctrl.h"

#include "platform/gl.h"

#include <QOpenGLContext>
#include <QSurfaceFormat>

CGLCtrl::CGLCtrl(QWidget* parent) : QOpenGLWidget(parent)
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setDepthBufferSize(16);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    setFormat(format);
}

CGLCtrl::~CGLCtrl()
{
    // A derived control has released its objects in its own destructor; this
    // only covers a control whose FreeGL has nothing to free.
    ReleaseGL();
    // Qt drops the context after this: it must not call back into a part that is gone.
    if (context())
        disconnect(context(), nullptr, this, nullptr);
}

void CGLCtrl::ResizeGL(int, int) {}

void CGLCtrl::FreeGL() {}

void CGLCtrl::initializeGL()
{
    // A new context (the first, or one Qt made after dropping the old one, whose
    // objects went with ReleaseGL).
    if (context())
        connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &CGLCtrl::ReleaseGL,
                Qt::UniqueConnection);
    m_glewReady = platform::InitGlew(m_glewError);
    m_glSetUp = true;
    SetUpGL();
}

void CGLCtrl::paintGL()
{
    PaintGL();
}

void CGLCtrl::resizeGL(int width, int height)
{
    ResizeGL(width, height);
}

void CGLCtrl::ReleaseGL()
{
    if (!m_glSetUp)
        return;
    m_glSetUp = false;
    makeCurrent();
    FreeGL();
    doneCurrent();
}
