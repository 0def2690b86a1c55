// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "about/opengl_ctrl.h"

#include <GL/freeglut.h>

namespace {

double g_zoom = 1.0; // never reset: it outlives every opening of the dialog

constexpr GLfloat kWhite[] = {1, 1, 1, 1};
constexpr GLfloat kAmbient[] = {0.1f, 0.1f, 0.1f, 1};
constexpr GLfloat kLightFromFront[] = {0, 0, 1, 0};

// The room's rotation undone on reflected directions, so the reflection turns
// with the room; without the entry point the texture matrix stays identity.
void LoadRoomTextureMatrix(const gg::GgMatrix& room)
{
    glMatrixMode(GL_TEXTURE);
    if (glLoadTransposeMatrixf)
        glLoadTransposeMatrixf(room.data());
    glMatrixMode(GL_MODELVIEW);
}

void ResetTextureMatrix()
{
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

} // namespace

COpenGLCtrl::COpenGLCtrl(QWidget* parent)
    : CTrackballCtrl(g_zoom, parent), m_room(about::MakeRoomBox(kRoomHalf))
{
}

COpenGLCtrl::~COpenGLCtrl()
{
    ReleaseGL();
}

double COpenGLCtrl::ZoomFactor()
{
    return g_zoom;
}

void COpenGLCtrl::SetUpGL()
{
    glGenTextures(1, &m_cubeMap);
    glGenTextures(1, &m_strip);
    about::UploadRoom(m_strip, m_cubeMap, kFaceSide, "room2", GL_CLAMP);
    for (const GLenum coord : {GL_S, GL_T, GL_R})
        glTexGeni(coord, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP);

    glClearColor(0.3f, 0.3f, 1.0f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glDisable(GL_CULL_FACE);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, kWhite);
    glLightfv(GL_LIGHT0, GL_SPECULAR, kWhite);
    glLightfv(GL_LIGHT0, GL_AMBIENT, kAmbient);
}

void COpenGLCtrl::ResizeGL(int width, int height)
{
    SetTrackballRegion(width, height);
    about::SetRoomProjection(width, height, 0.1, 1000.0);
}

void COpenGLCtrl::PaintGL()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_POSITION, kLightFromFront);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, kWhite);

    // The teapot, mirroring the room.
    glBindTexture(GL_TEXTURE_CUBE_MAP, m_cubeMap);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_CUBE_MAP);
    for (const GLenum gen : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R})
        glEnable(gen);
    LoadRoomTextureMatrix(RoomTrackball().GetMatrix());
    glPushMatrix();
    glTranslatef(0, 0, -5);
    glMultMatrixf(ObjectTrackball().GetMatrix().data());
    const auto zoom = static_cast<GLfloat>(Zoom());
    glScalef(zoom, zoom, zoom);
    glutSolidTeapot(1.0);
    glPopMatrix();
    ResetTextureMatrix();
    for (const GLenum gen : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R})
        glDisable(gen);
    glDisable(GL_TEXTURE_CUBE_MAP);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);

    // The room around the viewer.
    glBindTexture(GL_TEXTURE_2D, m_strip);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_TEXTURE_2D);
    glPushMatrix();
    glMultMatrixf(RoomTrackball().GetMatrix().data());
    about::DrawRoomBox(m_room);
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void COpenGLCtrl::FreeGL()
{
    glDeleteTextures(1, &m_strip);
    glDeleteTextures(1, &m_cubeMap);
    m_strip = m_cubeMap = 0;
}
