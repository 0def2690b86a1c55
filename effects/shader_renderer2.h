#pragma once
// CShaderRenderer2: an image pass with a ping-pong buffer A. Placeholder until
// the buffer-pass renderers land: it sets nothing up and draws nothing.
#include <QPoint>
#include <string>

namespace platform {
class Surface;
}

class CShaderRenderer2
{
public:
    bool Create(const platform::Surface*, int, int, const std::string&) { return false; }
    void SetTextureName(std::string) {}
    bool LoadBufferA(const std::string&) { return false; }
    void Render(platform::Surface&, const platform::Surface*) {}

    QPoint m_ptMouse;
};
