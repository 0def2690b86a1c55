#pragma once
// CShaderBufAB: an image pass with buffers A and B. Placeholder until the
// buffer-pass renderers land: it sets nothing up and draws nothing.
#include <QPoint>
#include <string>

namespace platform {
class Surface;
}

class CShaderBufAB
{
public:
    bool Create(const platform::Surface*, int, int, const std::string&) { return false; }
    bool LoadBuffers(const std::string&, const std::string&) { return false; }
    void Render(platform::Surface&, const platform::Surface*) {}

    QPoint m_ptMouse;
};
