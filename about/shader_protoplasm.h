#pragma once
// CShaderProtoplasm: the water-drop page's shader demo. Four shader and
// texture pairs take turns, one step on every left click: rain on a window,
// a glitching picture, protoplasm over grey noise and the sanctum's tunnel.
// It starts with the rain over "DivoviDavovu.png"; once round, the rain shows
// "DivoviDavovu2.png" instead. See CShaderCtrl for the rest.
#include "about/shader_ctrl.h"

#include <array>

class CShaderProtoplasm : public CShaderCtrl
{
public:
    static const ShaderSet kFirstSet;            // at set-up (mode 0)
    static const std::array<ShaderSet, 4> kSets; // a click's set by mode

    explicit CShaderProtoplasm(QWidget* parent = nullptr);

    int Mode() const { return m_nMode; }

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    int m_nMode = 0;
};
