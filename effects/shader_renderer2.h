#pragma once
// CShaderRenderer2: an image pass after one buffer pass A that reads its own
// previous frame (ping-pong). Buffer A sees its previous frame as iChannel0; the
// image pass sees buffer A's new frame as iChannel0 and the source picture as
// iChannel1. Both get iTime, iResolution and iFrame; no pass gets iMouse, and
// the file texture (SetTextureName) is loaded but bound to no pass.
#include "effects/multi_pass_renderer.h"

class CShaderRenderer2 : public CMultiPassRenderer
{
public:
    ~CShaderRenderer2() override { Free(); }

    // Builds buffer A from "<name>.frag" of the shaders folder, right after
    // Create. A missing file or a link failure is not shown; false on any failure.
    bool LoadBufferA(const std::string& name);

    void Render(platform::Surface& target, const platform::Surface* source) override;

protected:
    void DeleteGlObjects() override;

    BufferPass m_bufferA;
};
