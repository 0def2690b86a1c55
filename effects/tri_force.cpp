// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/opengl_routine.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kCycle = 420;       // frames drawn per cycle; the next one draws nothing
constexpr int kGlideFrames = 100; // the prisms meet at this frame
constexpr int kSpinFrames = 140;  // and stop spinning at this one
constexpr double kDegreesPerFrame = 1080.0 / kSpinFrames;

// One golden prism: a front triangle at z = 0, a slightly larger back triangle at
// z = -0.2 and three sides. The normals are given as they are (GL does not
// normalise them), so the sides with longer normals light up brighter.
void DrawPrism()
{
    glBegin(GL_TRIANGLES);
    glNormal3d(0.0, 0.0, 1.0);
    glVertex3d(0.0, 0.69, 0.0);
    glVertex3d(-0.4, 0.0, 0.0);
    glVertex3d(0.4, 0.0, 0.0);
    glNormal3d(0.0, 0.0, -1.0);
    glVertex3d(0.0, 0.72, -0.2);
    glVertex3d(-0.43, -0.03, -0.2);
    glVertex3d(0.43, -0.03, -0.2);
    glEnd();

    glBegin(GL_QUADS);
    glNormal3d(-1.0, 0.5774, 0.0); // left
    glVertex3d(0.0, 0.69, 0.0);
    glVertex3d(-0.4, 0.0, 0.0);
    glVertex3d(-0.43, -0.03, -0.2);
    glVertex3d(0.0, 0.72, -0.2);
    glNormal3d(0.0, -1.0, 1.0); // bottom
    glVertex3d(-0.4, 0.0, 0.0);
    glVertex3d(0.4, 0.0, 0.0);
    glVertex3d(0.43, -0.03, -0.2);
    glVertex3d(-0.43, -0.03, -0.2);
    glNormal3d(1.0, 0.5774, 1.0); // right
    glVertex3d(0.0, 0.69, 0.0);
    glVertex3d(0.4, 0.0, 0.0);
    glVertex3d(0.43, -0.03, -0.2);
    glVertex3d(0.0, 0.72, -0.2);
    glEnd();
}

struct Placement
{
    double x, y;
    double axisX, axisY, axisZ; // spin axis
};

} // namespace

int C3DTriForce::InitScene()
{
    SetUpCommonScene({1.0f, 0.7804f, 0.0f, 1.0f});
    return 0;
}

void C3DTriForce::DrawScene()
{
    if (!NextFrameOfCycle(m_nFrame, kCycle))
        return;
    m_nProgress = std::min(m_nFrame, kSpinFrames);
    double scale = m_nProgress / 100.0;
    // The three prisms glide in on a logarithmic ease and meet at frame 100.
    double h = 1.0;
    if (m_nProgress <= kGlideFrames)
        h = std::log10(scale * 9.0 + 1.0);
    else
        scale = 1.0;
    const Placement prisms[] = {
        {0.0, 1.2 - h, 1.0, 1.0, 0.0},                 // top
        {0.6 * h - 1.0, 0.3 * h - 0.8, 0.0, 1.0, 1.0}, // left
        {1.0 - 0.6 * h, 0.3 * h - 0.8, 1.0, 0.0, 1.0}, // right
    };
    const double angle = m_nProgress * kDegreesPerFrame;

    DrawFrame([&] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        LoadCamera();
        for (const Placement& p : prisms) {
            glPushMatrix();
            glTranslated(p.x, p.y, 0.0);
            glScaled(scale, scale, 1.0);
            glRotated(angle, p.axisX, p.axisY, p.axisZ);
            DrawPrism();
            glPopMatrix();
        }
    });
}
