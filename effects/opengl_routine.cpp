// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/opengl_routine.h"

#include <GL/glu.h>
#include <algorithm>

int COpenGLRoutine::Create(const platform::Surface* /*source*/, int width, int height)
{
    WithContext([this] { ReleaseScene(); });
    m_context.Destroy();
    m_nWidth = width;
    m_nHeight = height;
    m_picture.Create(width, height);
    m_readPixels.assign(
        static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0)), 0u);
    const platform::GlContext::Status status = m_context.Create(width, height, true);
    if (status != platform::GlContext::Status::Ok) {
        m_context.Destroy(); // a context without a framebuffer must not be drawn into
        return static_cast<int>(status);
    }
    platform::GlCurrent current(m_context);
    return InitScene();
}

void COpenGLRoutine::SetUpCommonScene(const std::array<float, 4>& lightColour) const
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_AMBIENT, lightColour.data());
    glLightfv(GL_LIGHT0, GL_DIFFUSE, lightColour.data());
    glLightfv(GL_LIGHT0, GL_SPECULAR, lightColour.data());
    const std::array<float, 4> position{3.0f, 3.0f, 3.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position.data()); // before the camera: fixed to the eye
    SetUpCamera();
}

void COpenGLRoutine::SetUpCamera() const
{
    glViewport(0, 0, m_nWidth, m_nHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(m_nWidth) / m_nHeight, 0.1, 1000.0);
    LoadCamera();
}

void COpenGLRoutine::LoadCamera()
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0.0, 0.0, 3.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
}

bool COpenGLRoutine::NextFrameOfCycle(int& frame, int cycleFrames)
{
    if (++frame <= cycleFrames)
        return true;
    frame = 0;
    return false;
}

void COpenGLRoutine::ReadPicture()
{
    glFlush();
    m_context.ReadPixels(m_readPixels.data());
    // The framebuffer's rows run bottom-up; the picture's top-down and opaque.
    for (int y = 0; y < m_nHeight; ++y) {
        const std::uint32_t* from =
            m_readPixels.data() + static_cast<std::size_t>(m_nHeight - 1 - y) * m_nWidth;
        std::uint32_t* to = m_picture.Row(y);
        for (int x = 0; x < m_nWidth; ++x)
            to[x] = from[x] | 0xFF000000u;
    }
}

void COpenGLRoutine::Render(platform::Surface& target, const platform::Surface& source)
{
    DrawScene();
    const int width = std::min({m_nWidth, target.Width(), m_picture.Width()});
    const int height = std::min({m_nHeight, target.Height(), m_picture.Height()});
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* scene = m_picture.Row(y);
        const std::uint32_t* below = y < source.Height() ? source.Row(y) : nullptr;
        const int belowWidth = below ? source.Width() : 0;
        std::uint32_t* out = target.Row(y);
        for (int x = 0; x < width; ++x) {
            if ((scene[x] & 0xFFFFFFu) != 0) {
                out[x] = scene[x];
            } else {
                // Each channel halved: shift the whole pixel and drop the bits
                // that crossed into the channel below.
                const std::uint32_t pixel = x < belowWidth ? below[x] : 0u;
                out[x] = 0xFF000000u | ((pixel >> 1) & 0x7F7F7Fu);
            }
        }
    }
}
