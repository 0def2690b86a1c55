#pragma once
// CShaderBufABCD: an image pass with buffers A to D. Placeholder until the
// buffer-pass renderers land: it sets nothing up and draws nothing.
#include <QPoint>
#include <string>

namespace platform {
class Surface;
}

class CShaderBufABCD
{
public:
    bool Create(const platform::Surface*, int, int, const std::string&) { return false; }
    void SetTextureName(std::string) {}
    bool LoadBuffers(const std::string&, const std::string&, const std::string&, const std::string&)
    {
        return false;
    }
    void Render(platform::Surface&, const platform::Surface*) {}

    QPoint m_ptMouse;
};
