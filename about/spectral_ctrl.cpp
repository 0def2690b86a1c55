// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "about/spectral_ctrl.h"

#include "effects/geometry/shader_program.h"
#include "platform/desktop.h"
#include "platform/paths.h"

#include <GL/freeglut.h>
#include <QGuiApplication>
#include <charconv>
#include <cstring>

namespace about {

bool SupportsGl21(const char* version)
{
    if (version == nullptr)
        return false;
    double number = 0.0;
    const char* const end = version + std::strlen(version);
    if (std::from_chars(version, end, number, std::chars_format::fixed).ec != std::errc())
        return false;
    return number >= 2.1;
}

} // namespace about

namespace {

double g_zoom = 1.0; // never reset: it outlives every opening of the dialog

constexpr float kModelDistance = 200.0f;

template <typename T> void FillBuffer(GLenum target, unsigned& buffer, const std::vector<T>& data)
{
    glGenBuffers(1, &buffer);
    glBindBuffer(target, buffer);
    glBufferData(target, static_cast<GLsizeiptr>(data.size() * sizeof(T)), data.data(), GL_STATIC_DRAW);
    glBindBuffer(target, 0);
}

std::string InFolder(const char* folder, const char* file)
{
    return platform::paths::InExeDir(QString::fromLatin1(folder) + u'/' + QString::fromLatin1(file))
        .toStdString();
}

} // namespace

const QString CSpectralCtrl::kOldGlMessage =
    QStringLiteral("OpenGL Version 2.1 以降に対応したビデオカードが必要です");
const QString CSpectralCtrl::kGlewMessage = QStringLiteral("GLEW の初期化に失敗しました");
const QString CSpectralCtrl::kMessageCaption = QStringLiteral("ggInit");

CSpectralCtrl::CSpectralCtrl(QWidget* parent)
    : CTrackballCtrl(g_zoom, parent), m_sky(about::MakeRoomBox(kSkyHalf))
{
}

CSpectralCtrl::~CSpectralCtrl()
{
    ReleaseGL();
}

double CSpectralCtrl::ZoomFactor()
{
    return g_zoom;
}

bool CSpectralCtrl::CheckGl()
{
    // Set-up may run inside a paint: the box then waits for the paint to return.
    const platform::PaintInProgress paint;
    if (!about::SupportsGl21(reinterpret_cast<const char*>(glGetString(GL_VERSION)))) {
        platform::MessageBox(nullptr, kOldGlMessage, kMessageCaption, platform::MB_OK);
        return false;
    }
    if (!GlewReady()) {
        platform::MessageBox(nullptr, kGlewMessage, kMessageCaption, platform::MB_OK);
        return false;
    }
    return true;
}

void CSpectralCtrl::SetUpGL()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_bReady = CheckGl();
    if (m_bReady) {
        LoadModel();
        glGenTextures(1, &m_strip);
        glGenTextures(1, &m_cubeMap);
        about::UploadRoom(m_strip, m_cubeMap, kFaceSide, "room3", GL_CLAMP_TO_EDGE);
        m_replaceProgram = BuildShaderProgram(InFolder("shaders", "replace.vert").c_str(),
                                              InFolder("shaders", "replace.frag").c_str());
        m_refractProgram = BuildShaderProgram(InFolder("shaders", "refract.vert").c_str(),
                                              InFolder("shaders", "refract.frag").c_str());
        m_textureLocation = m_replaceProgram ? glGetUniformLocation(m_replaceProgram, "texture") : -1;
        m_cubeMapLocation = m_refractProgram ? glGetUniformLocation(m_refractProgram, "cubemap") : -1;
        glClearColor(0.3f, 0.3f, 1.0f, 0.0f);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
    }
    QGuiApplication::restoreOverrideCursor();
}

void CSpectralCtrl::LoadModel()
{
    // A fresh mesh: a model that cannot be read leaves it empty (the torus).
    m_model = ObjMesh{};
    LoadObjModel(InFolder("assets", m_modelName.constData()), m_model);
    if (m_model.FaceCount() == 0)
        return;
    FillBuffer(GL_ARRAY_BUFFER, m_positionBuffer, m_model.positions);
    FillBuffer(GL_ARRAY_BUFFER, m_normalBuffer, m_model.normals);
    FillBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer, m_model.faces);
}

void CSpectralCtrl::ResizeGL(int width, int height)
{
    SetTrackballRegion(width, height);
    about::SetRoomProjection(width, height, 100.0, 500.0);
}

void CSpectralCtrl::PaintGL()
{
    if (!m_bReady) {
        // Nothing of the scene: the page's own ground.
        const QColor ground = palette().color(QPalette::Window);
        glClearColor(ground.redF(), ground.greenF(), ground.blueF(), 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // The room.
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, m_strip);
    glUseProgram(m_replaceProgram);
    if (m_textureLocation >= 0)
        glUniform1i(m_textureLocation, 0);
    glPushMatrix();
    glMultMatrixf(RoomTrackball().GetMatrix().data());
    about::DrawRoomBox(m_sky);
    glPopMatrix();

    // The model, seeing the room turned as it is.
    glBindTexture(GL_TEXTURE_CUBE_MAP, m_cubeMap);
    glUseProgram(m_refractProgram);
    if (m_cubeMapLocation >= 0)
        glUniform1i(m_cubeMapLocation, 0);
    glMatrixMode(GL_TEXTURE);
    glLoadTransposeMatrixf(RoomTrackball().GetMatrix().data());
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glTranslatef(0, 0, -kModelDistance);
    glMultMatrixf(ObjectTrackball().GetMatrix().data());
    const auto zoom = static_cast<GLfloat>(Zoom());
    glScalef(zoom, zoom, zoom);
    DrawModel();
    glPopMatrix();
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void CSpectralCtrl::DrawModel() const
{
    if (m_model.FaceCount() == 0) {
        glutSolidTorus(10.0, 40.0, 30, 36);
        return;
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, m_positionBuffer);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, m_normalBuffer);
    glNormalPointer(GL_FLOAT, 0, nullptr);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(m_model.faces.size()), GL_UNSIGNED_INT, nullptr);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void CSpectralCtrl::FreeGL()
{
    if (!m_bReady)
        return; // nothing was made
    glUseProgram(0);
    for (unsigned* const program : {&m_replaceProgram, &m_refractProgram}) {
        if (*program)
            glDeleteProgram(*program);
        *program = 0;
    }
    for (unsigned* const buffer : {&m_positionBuffer, &m_normalBuffer, &m_indexBuffer}) {
        if (*buffer)
            glDeleteBuffers(1, buffer);
        *buffer = 0;
    }
    glDeleteTextures(1, &m_strip);
    glDeleteTextures(1, &m_cubeMap);
    m_strip = m_cubeMap = 0;
    m_bReady = false;
}
