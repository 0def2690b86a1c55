#include "about/shader_protoplasm.h"

#include <QMouseEvent>

const CShaderCtrl::ShaderSet CShaderProtoplasm::kFirstSet = {"shader_common.vert", "shader_raindrops.frag",
                                                             "DivoviDavovu.png"};

const std::array<CShaderCtrl::ShaderSet, 4> CShaderProtoplasm::kSets = {{
    {"shader_common.vert", "shader_raindrops.frag", "DivoviDavovu2.png"},
    {"shader_common.vert", "shader_Glitch.frag", "DivoviDavovu.png"},
    {"shader_common.vert", "shader_protoplasm.frag", "st_GrayNoiseSmall.png"},
    {"shader_common.vert", "shader_Sanctum.frag", "st_Organic3.jpg"},
}};

CShaderProtoplasm::CShaderProtoplasm(QWidget* parent)
    : CShaderCtrl(kFirstSet, {about::QuadAttributes::PositionAndTexcoord, true}, parent)
{
}

void CShaderProtoplasm::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_nMode = (m_nMode + 1) % static_cast<int>(kSets.size());
        SwitchTo(kSets[static_cast<std::size_t>(m_nMode)]);
    }
    CShaderCtrl::mousePressEvent(event);
}
