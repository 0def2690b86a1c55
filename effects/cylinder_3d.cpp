// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/opengl_routine.h"
#include "platform/crt.h"

#include <GL/glu.h>

namespace {

constexpr double kRadius = 0.5;
constexpr double kLength = 0.5;
constexpr int kSlices = 16;
constexpr int kStacks = 4;

// A speed of -1 to 1 degrees per frame from the process-wide generator.
double RandomSpeed()
{
    return crt::rand() / 32767.0 * 2.0 - 1.0;
}

} // namespace

void C3DCylinder::QuadricDeleter::operator()(GLUquadric* quadric) const
{
    gluDeleteQuadric(quadric);
}

C3DCylinder::~C3DCylinder() = default;

int C3DCylinder::InitScene()
{
    SetUpCommonScene({1.0f, 1.0f, 1.0f, 1.0f});
    m_speedX = RandomSpeed();
    m_speedY = RandomSpeed();
    m_speedZ = RandomSpeed();
    m_quadric.reset(); // the earlier set-up's quadric goes first
    m_quadric.reset(gluNewQuadric());
    return 0;
}

void C3DCylinder::DrawScene()
{
    if (!m_quadric)
        return;
    DrawFrame([&] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        // The model-view matrix is never reset: the turns add up and it tumbles.
        glMatrixMode(GL_MODELVIEW);
        glRotated(m_speedX, 1.0, 0.0, 0.0);
        glRotated(m_speedY, 0.0, 1.0, 0.0);
        glRotated(m_speedZ, 0.0, 0.0, 1.0);
        glPushMatrix();
        glColor3d(1.0, 1.0, 1.0);
        gluCylinder(m_quadric.get(), kRadius, kRadius, kLength, kSlices, kStacks);
        gluDisk(m_quadric.get(), 0.0, kRadius, kSlices, 1);
        glTranslated(0.0, 0.0, kLength);
        gluDisk(m_quadric.get(), 0.0, kRadius, kSlices, 1);
        glPopMatrix();
    });
}
