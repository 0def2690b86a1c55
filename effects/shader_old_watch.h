#pragma once
// CShaderOldWatch: buffers A and B with a cube map and pictures. Placeholder until
// the cube-map renderers land: it sets nothing up and draws nothing.
#include <QPoint>
#include <string>

namespace platform {
class Surface;
}

class CShaderOldWatch
{
public:
    bool Create(const platform::Surface*, int, int, const std::string&) { return false; }
    bool LoadTextures(const std::string&, const std::string&) { return false; }
    void Render(platform::Surface&, const platform::Surface*) {}

    QPoint m_ptMouse;
};
