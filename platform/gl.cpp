// The GLEW side of GlContext: entry points, the stand-in back buffer, read-back
// and freeglut's start-up. No Qt OpenGL or Xlib header may be included here.
// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "platform/gl.h"

#include "platform/gl_internal.h"

#include <GL/freeglut.h>
#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

namespace platform {

void InitGlut(int* argc, char** argv)
{
    static std::once_flag once;
    std::call_once(once, [&] { glutInit(argc, argv); });
}

bool InitGlew(std::string& error)
{
    return gl_internal::InitGlew(error);
}

int RendererThreadsFor(long long pixels, int cores)
{
    if (pixels <= kPixelsPerRendererThread)
        return 0;
    const long long threads = (pixels + kPixelsPerRendererThread - 1) / kPixelsPerRendererThread;
    return static_cast<int>(std::min<long long>(threads, std::max(cores, 1)));
}

bool FitRendererThreads(long long pixels)
{
    constexpr const char* kName = "LP_NUM_THREADS";
    if (std::getenv(kName) != nullptr)
        return false;
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    return ::setenv(kName, std::to_string(RendererThreadsFor(pixels, cores)).c_str(), 0) == 0;
}

void GlContext::BindDefaultFramebuffer() const
{
    gl_internal::BindFramebuffer(m_framebuffer);
}

void GlContext::ReadPixels(void* pixels) const
{
    ReadPixels(0, 0, m_width, m_height, pixels);
}

void GlContext::ReadPixels(int x, int y, int width, int height, void* pixels) const
{
    gl_internal::ReadFramebuffer(m_framebuffer, x, y, width, height, pixels);
}

namespace gl_internal {

bool InitGlew(std::string& error)
{
    glewExperimental = GL_TRUE;
    const GLenum result = glewInit();
    // GLEW's own probing may leave an error flag behind (an unknown enum on core
    // contexts); it must not reach the first caller of glGetError.
    while (glGetError() != GL_NO_ERROR) {
    }
    if (result == GLEW_OK) {
        error.clear();
        return true;
    }
    error = reinterpret_cast<const char*>(glewGetErrorString(result));
    return false;
}

bool CreateFramebuffer(int width, int height, bool depth, unsigned& framebuffer, unsigned& color,
                       unsigned& depthBuffer)
{
    if (!glGenFramebuffers || !glGenRenderbuffers)
        return false;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(1, &color);
    glBindRenderbuffer(GL_RENDERBUFFER, color);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color);
    if (depth) {
        glGenRenderbuffers(1, &depthBuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
    }
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        DeleteFramebuffer(framebuffer, color, depthBuffer);
        return false;
    }
    // A new back buffer holds nothing but zeros, whatever the driver left there.
    glViewport(0, 0, width, height);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    return true;
}

void DeleteFramebuffer(unsigned& framebuffer, unsigned& color, unsigned& depthBuffer)
{
    if (!glDeleteFramebuffers)
        return; // GLEW never initialised in this context: nothing was made
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (framebuffer)
        glDeleteFramebuffers(1, &framebuffer);
    if (color)
        glDeleteRenderbuffers(1, &color);
    if (depthBuffer)
        glDeleteRenderbuffers(1, &depthBuffer);
    framebuffer = color = depthBuffer = 0;
}

void BindFramebuffer(unsigned framebuffer)
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
}

void ReadFramebuffer(unsigned framebuffer, int x, int y, int width, int height, void* pixels)
{
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4); // rows of 4-byte pixels never need padding
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glReadPixels(x, y, width, height, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
}

} // namespace gl_internal
} // namespace platform
