#pragma once
// CShaderOrbCtrl: the sea page's shader demo. Three shaders without textures
// (a seascape, a coast, a smoke orb) take turns, one step on every left click,
// starting with the seascape; "iMouse" (vec2) feeds them the last position the
// mouse moved to, with y counted up from the bottom edge (the top row gives the
// client height). See CShaderCtrl for the rest.
#include "about/shader_ctrl.h"

#include <QPoint>
#include <array>

class CShaderOrbCtrl : public CShaderCtrl
{
public:
    static const std::array<ShaderSet, 3> kSets; // by shader index

    explicit CShaderOrbCtrl(QWidget* parent = nullptr);

    int ShaderIndex() const { return m_nShaderIndex; }
    // "iMouse" as the next frame sends it.
    QPoint MouseUniform() const { return {m_nLastMouseX, height() - m_nLastMouseY}; }

protected:
    void FeedUniforms() override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int m_nShaderIndex = 0;
    int m_nLastMouseX = 0;
    int m_nLastMouseY = 0;
};
