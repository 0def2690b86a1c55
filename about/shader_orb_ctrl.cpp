// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "about/shader_orb_ctrl.h"

#include <QMouseEvent>

const std::array<CShaderCtrl::ShaderSet, 3> CShaderOrbCtrl::kSets = {{
    {"shader_common.vert", "shader_seascape.frag", nullptr},
    {"shader_common.vert", "shader_coast.frag", nullptr},
    {"shader_common.vert", "shader_ChillSmokeOrb.frag", nullptr},
}};

CShaderOrbCtrl::CShaderOrbCtrl(QWidget* parent)
    : CShaderCtrl(kSets[0], {about::QuadAttributes::Position, true}, parent)
{
    setMouseTracking(true); // moves without a button feed iMouse too
}

void CShaderOrbCtrl::FeedUniforms()
{
    CShaderCtrl::FeedUniforms();
    if (Uniforms().mouse >= 0) {
        const QPoint mouse = MouseUniform();
        glUniform2f(Uniforms().mouse, static_cast<GLfloat>(mouse.x()), static_cast<GLfloat>(mouse.y()));
    }
}

void CShaderOrbCtrl::mouseMoveEvent(QMouseEvent* event)
{
    // Kept for the next frame; the timer's repaint comes soon enough.
    const QPoint at = event->position().toPoint();
    m_nLastMouseX = at.x();
    m_nLastMouseY = at.y();
    CShaderCtrl::mouseMoveEvent(event);
}

void CShaderOrbCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_nShaderIndex = (m_nShaderIndex + 1) % static_cast<int>(kSets.size());
        SwitchTo(kSets[static_cast<std::size_t>(m_nShaderIndex)]);
    }
    CShaderCtrl::mousePressEvent(event);
}
