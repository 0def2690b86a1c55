// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "about/shader_ctrl.h"

#include "about/font_bitmaps.h"
#include "effects/shader_renderer.h"
#include "platform/desktop.h"
#include "platform/dialog.h"
#include "platform/paths.h"

#include <QMetaObject>
#include <cstring>

CShaderCtrl::CShaderCtrl(const ShaderSet& first, Features features, QWidget* parent)
    : CGLCtrl(parent), m_features(features), m_set(first)
{
}

CShaderCtrl::~CShaderCtrl()
{
    ReleaseGL();
}

void CShaderCtrl::PreSubclassWindow()
{
    m_fTime = 0;
    m_timers.SetTimer(kTimerId, kTimerMs);
}

bool CShaderCtrl::event(QEvent* event)
{
    if (event->type() == platform::WindowTimerEvent::EventType()) {
        m_fTime += kTimeStep;
        update();
        return true;
    }
    return CGLCtrl::event(event);
}

void CShaderCtrl::Report(const QString& text)
{
    QMetaObject::invokeMethod(
        this, [this, text] { platform::MessageBox(this, text, QString(), platform::MB_OK); },
        Qt::QueuedConnection);
}

std::string CShaderCtrl::ShaderPath(const char* file) const
{
    return platform::paths::InExeDir(QStringLiteral("shaders/") + QString::fromUtf8(file)).toStdString();
}

bool CShaderCtrl::LoadProgram(const char* vertexFile, const char* fragmentFile)
{
    if (!about::LoadProgram(m_program, ShaderPath(vertexFile), ShaderPath(fragmentFile),
                            m_features.attributes))
        return false;
    m_uniforms = about::ShaderUniforms::Of(m_program);
    return true;
}

bool CShaderCtrl::LoadTexture(const char* fileName)
{
    return about::LoadTexture(
        m_texture, platform::paths::InExeDir(QStringLiteral("assets/") + QString::fromUtf8(fileName)));
}

void CShaderCtrl::SetUpGL()
{
    m_bGlReady = GlewReady();
    if (!m_bGlReady) {
        Report(QStringLiteral("GLEW init failed: ") + QString::fromStdString(GlewError()));
        m_timers.KillTimer(kTimerId);
        return;
    }
    Initialise();
}

void CShaderCtrl::Initialise()
{
    if (!LoadProgram(m_set.vertex, m_set.fragment)) {
        Report(QStringLiteral("Failed to load shaders"));
        return;
    }
    if (m_set.texture && !LoadTexture(m_set.texture)) {
        Report(QStringLiteral("Failed to load texture: ") + QString::fromUtf8(m_set.texture));
        return;
    }
    glClearColor(0, 0, 0, 1);
    if (m_features.clickText)
        MakeFontLists();
}

void CShaderCtrl::MakeFontLists()
{
    m_nFontBase = glGenLists(kFontLists);
    if (m_nFontBase == 0) {
        Report(QStringLiteral("Failed to generate font display lists."));
        return;
    }
    QFont font = platform::WindowsFontFromHeight(QStringLiteral("Consolas"), -12, 400);
    font.setStyleStrategy(QFont::PreferAntialias);
    if (about::UseFontBitmaps(font, 0, kFontLists, m_nFontBase))
        m_bFontReady = 1;
    else
        Report(QStringLiteral("wglUseFontBitmaps failed"));
}

void CShaderCtrl::SwitchTo(const ShaderSet& set)
{
    m_set = set;
    if (!m_bGlReady)
        return;
    makeCurrent();
    if (!LoadProgram(set.vertex, set.fragment))
        Report(QStringLiteral("Failed to load shaders"));
    if (set.texture && !LoadTexture(set.texture))
        Report(QStringLiteral("Failed to load texture: ") + QString::fromUtf8(set.texture));
    update();
    doneCurrent();
}

void CShaderCtrl::FreeGL()
{
    about::DeleteProgram(m_program);
    about::DeleteTexture(m_texture);
    m_uniforms = {};
    if (m_nFontBase != 0)
        glDeleteLists(m_nFontBase, kFontLists);
    m_nFontBase = 0;
    m_bFontReady = 0;
    m_bGlReady = false;
}

void CShaderCtrl::FeedUniforms()
{
    if (m_uniforms.time >= 0)
        glUniform1f(m_uniforms.time, m_fTime);
    about::SetResolution(m_uniforms, width(), height());
    if (m_texture != 0 && m_uniforms.channel0 >= 0) {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, m_texture);
        glUniform1i(m_uniforms.channel0, 0);
    }
}

void CShaderCtrl::PaintGL()
{
    if (!m_bGlReady)
        return;
    glViewport(0, 0, width(), height());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (m_program != 0) {
        glUseProgram(m_program);
        FeedUniforms();
        DrawQuad();
        glBindTexture(GL_TEXTURE_2D, 0);
        glUseProgram(0);
    }
    if (m_bFontReady)
        DrawClickText();
}

void CShaderCtrl::DrawQuad() const
{
    glBindBuffer(GL_ARRAY_BUFFER, 0); // client-side arrays
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, kFullScreenQuadStride, kFullScreenQuad.data());
    if (m_features.attributes != about::QuadAttributes::Position) {
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, kFullScreenQuadStride, kFullScreenQuad.data() + 2);
    }
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glDisableVertexAttribArray(0);
    glDisableVertexAttribArray(1);
}

void CShaderCtrl::DrawClickText() const
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width(), 0, height(), -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glColor3f(0.7f, 0.7f, 0.7f);
    // Below the viewport (a control under 200 pixels) the position is invalid
    // and the lists draw nothing.
    glRasterPos2i(5, height() - kTextRaise);
    glListBase(m_nFontBase);
    glCallLists(static_cast<GLsizei>(std::strlen(kClickText)), GL_UNSIGNED_BYTE, kClickText);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
}
