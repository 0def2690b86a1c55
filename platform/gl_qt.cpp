// The Qt side of GlContext: the offscreen compatibility-profile context and the
// surface it is made current on. No GLEW header may be included here.
#include "platform/gl.h"
#include "platform/gl_internal.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSurfaceFormat>

namespace platform {

struct GlContext::Qt
{
    QOffscreenSurface surface;
    QOpenGLContext context;
};

GlContext::GlContext() = default;

GlContext::~GlContext()
{
    Destroy();
}

GlContext::Status GlContext::Create(int width, int height, bool depth)
{
    Destroy();
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    // Colour and depth live in the framebuffer object; the surface only carries
    // the context.
    format.setDepthBufferSize(0);
    format.setStencilBufferSize(0);
    format.setSwapBehavior(QSurfaceFormat::SingleBuffer);

    auto qt = std::make_unique<Qt>();
    qt->surface.setFormat(format);
    qt->surface.create();
    qt->context.setFormat(format);
    if (!qt->surface.isValid() || !qt->context.create() || !qt->context.makeCurrent(&qt->surface))
        return Status::NoContext;
    m_qt = std::move(qt);
    m_width = width;
    m_height = height;
    if (!gl_internal::InitGlew(m_glewError))
        return Status::GlewFailed;
    if (!gl_internal::CreateFramebuffer(width, height, depth, m_framebuffer, m_colorBuffer, m_depthBuffer))
        return Status::NoFramebuffer;
    return Status::Ok;
}

void GlContext::Destroy()
{
    if (!m_qt)
        return;
    if (m_framebuffer && m_qt->context.makeCurrent(&m_qt->surface))
        gl_internal::DeleteFramebuffer(m_framebuffer, m_colorBuffer, m_depthBuffer);
    m_qt->context.doneCurrent();
    m_qt.reset();
    m_framebuffer = m_colorBuffer = m_depthBuffer = 0;
    m_width = m_height = 0;
}

bool GlContext::IsValid() const
{
    return m_qt != nullptr;
}

bool GlContext::MakeCurrent()
{
    if (!m_qt)
        return false;
    // Making the current context current again costs a trip through GLX; a
    // renderer drawing every frame leaves its context current between frames.
    if (QOpenGLContext::currentContext() == &m_qt->context && m_qt->context.surface() == &m_qt->surface)
        return true;
    return m_qt->context.makeCurrent(&m_qt->surface);
}

void GlContext::DoneCurrent()
{
    if (m_qt)
        m_qt->context.doneCurrent();
}

} // namespace platform
