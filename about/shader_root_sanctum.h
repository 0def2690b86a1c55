#pragma once
// CShaderRootSanctum: the sanctum's tunnel on its own (its own vertex stage,
// "iResolution" as a vec3, "st_Organic3.jpg" as iChannel0), without clicks or
// text. The about dialog keeps one that it never shows, so it never starts.
// See CShaderCtrl for the rest.
#include "about/shader_ctrl.h"

class CShaderRootSanctum : public CShaderCtrl
{
public:
    static const ShaderSet kSet;

    explicit CShaderRootSanctum(QWidget* parent = nullptr);
};
