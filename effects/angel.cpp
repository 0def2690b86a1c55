// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/opengl_routine.h"

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <array>

namespace {

constexpr int kCycle = 300;               // frames drawn per cycle; the next one draws nothing
constexpr int kOpenFrom = 100;            // the wings start to open after this frame
constexpr int kOpenUntil = 200;           // and are fully open after this one
constexpr int kFullyOpen = 100;           // wing progress when open
constexpr double kOffsetPerStep = 0.0019; // wing lift per step of progress
constexpr double kDegreesPerStep = 1.8;

constexpr std::array<float, 4> kBodyColour{0.95f, 0.16f, 0.33f, 1.0f};
constexpr std::array<float, 4> kWingColour{0.486f, 0.63f, 0.94f, 1.0f};

// A wing: a square pyramid with its apex up, standing on the x-z plane.
void DrawWing()
{
    constexpr double apex[3] = {0.0, 0.8, 0.0};
    constexpr double base[4][3] = {{0.8, 0.0, 0.0}, {0.0, 0.0, -0.8}, {-0.8, 0.0, 0.0}, {0.0, 0.0, 0.8}};
    constexpr double sideNormals[4][3] = {
        {1.0, 1.0, 1.0}, {1.0, 1.0, -1.0}, {-1.0, 1.0, -1.0}, {-1.0, 1.0, 1.0}};
    glBegin(GL_TRIANGLES);
    for (int side = 0; side < 4; ++side) {
        glNormal3dv(sideNormals[side]);
        glVertex3dv(base[side]);
        glVertex3dv(base[(side + 1) % 4]);
        glVertex3dv(apex);
    }
    glEnd();
    glBegin(GL_QUADS);
    glNormal3d(0.0, -1.0, 0.0);
    for (const auto& corner : base)
        glVertex3dv(corner);
    glEnd();
}

} // namespace

int CAngel::InitScene()
{
    SetUpCommonScene({1.0f, 1.0f, 1.0f, 1.0f});
    return 0;
}

void CAngel::DrawScene()
{
    if (!NextFrameOfCycle(m_nFrame, kCycle))
        return;
    if (m_nFrame < kOpenFrom)
        m_nWing = 0;
    else if (m_nFrame > kOpenUntil)
        m_nWing = kFullyOpen;
    else
        ++m_nWing; // 1 at frame 100, 101 at frame 200
    const double offset = m_nWing * kOffsetPerStep;
    const double angle = m_nWing * kDegreesPerStep;

    DrawFrame([&] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glColor3d(1.0, 1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(1.0, 1.0, 3.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);

        glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, kBodyColour.data());
        glutSolidSphere(0.3, 8, 8);

        glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, kWingColour.data());
        glPushMatrix();
        glTranslated(0.0, offset, 0.0);
        glRotated(angle, 0.0, 1.0, 0.0);
        DrawWing();
        glPopMatrix();

        glPushMatrix();
        glTranslated(0.0, -offset, 0.0);
        glRotated(-angle, 0.0, 1.0, 0.0);
        glRotated(180.0, 1.0, 0.0, 0.0);
        DrawWing();
        glPopMatrix();
    });
}
