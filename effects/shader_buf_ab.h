#pragma once
// CShaderBufAB: an image pass after two buffer passes. Buffer A is drawn afresh
// from iTime, iTimeDelta, iResolution and iFrame; buffer B reads A (iChannel0)
// and its own previous frame (iChannel1, ping-pong) with iTimeDelta and
// iResolution; the image pass reads A (iChannel0) and B's new frame (iChannel1)
// with iTime, iResolution and iFrame. iTimeDelta is a fixed 0.033 s.
#include "effects/multi_pass_renderer.h"

class CShaderBufAB : public CMultiPassRenderer
{
public:
    ~CShaderBufAB() override { Free(); }

    // Builds buffers A and B ("<name>.frag" of the shaders folder), right after
    // Create. A missing vertex or A file is not shown; compile and link errors
    // are. False on any failure; the renderer then draws nothing.
    bool LoadBuffers(const std::string& nameA, const std::string& nameB);

    void Render(platform::Surface& target, const platform::Surface* source) override;

protected:
    void DeleteGlObjects() override;

    BufferPass m_bufferA;
    BufferPass m_bufferB;
};
