#pragma once
// CShaderRenderer3: an image pass with buffer A fed by texture files or 3D noise.
// Placeholder until the buffer-pass renderers land: it sets nothing up and draws
// nothing.
#include <QPoint>
#include <string>
#include <vector>

namespace platform {
class Surface;
}

class CShaderRenderer3
{
public:
    bool Create(const platform::Surface*, int, int, const std::string&) { return false; }
    bool LoadBufferA(const std::string&) { return false; }
    void Render(platform::Surface&, const platform::Surface*) {}

    QPoint m_ptMouse;
    bool m_b3DNoise = false;
    std::vector<std::string> m_textureNames;
};
