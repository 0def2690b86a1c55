#pragma once
// CShaderCube (an image pass with a cube map) and CShaderCube2 (cube map, buffer A
// and a rendered cube pass). Placeholders until the cube-map renderers land: they
// set nothing up and draw nothing.
#include <QPoint>
#include <string>

namespace platform {
class Surface;
}

class CShaderCube
{
public:
    bool Create(const platform::Surface*, int, int, const std::string&) { return false; }
    void LoadCubemap() {}
    void Render(platform::Surface&, const platform::Surface*) {}

    QPoint m_ptMouse;
};

class CShaderCube2 : public CShaderCube
{
public:
    bool LoadBufferA() { return false; }
    bool LoadCubeA() { return false; }
};
