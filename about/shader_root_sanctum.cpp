#include "about/shader_root_sanctum.h"

const CShaderCtrl::ShaderSet CShaderRootSanctum::kSet = {"shader_Sanctum.vert", "shader_Sanctum.frag",
                                                         "st_Organic3.jpg"};

CShaderRootSanctum::CShaderRootSanctum(QWidget* parent)
    : CShaderCtrl(kSet, {about::QuadAttributes::PositionAndTexcoord, false}, parent)
{
}
