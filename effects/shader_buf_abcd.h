#pragma once
// CShaderBufABCD: an image pass after four buffer passes, wired as follows
// (iChannel0 / iChannel1 / iChannel3; "previous" is the buffer's own frame
// before this one):
//   A: C's older texture (the frame before C's latest)
//   B: A / B previous / the file texture (SetTextureName)
//   C: B's new frame / C previous
//   D: A / D previous
//   image: D's new frame
// Every pass gets iTime, iResolution and iFrame; the buffer passes also get
// iMouse as four floats (pointer x, y, click x, y). The Alt key stands in for
// the mouse button: pressing it takes the click at the pointer, releasing it
// negates the click, and without Alt the pointer sent is (0, 0).
#include "effects/multi_pass_renderer.h"

class CShaderBufABCD : public CMultiPassRenderer
{
public:
    ~CShaderBufABCD() override { Free(); }

    // Builds buffers A to D ("<name>.frag" of the shaders folder), right after
    // Create. A missing vertex or A file is not shown; compile and link errors
    // are. False on any failure; the renderer then draws nothing.
    bool LoadBuffers(const std::string& nameA, const std::string& nameB, const std::string& nameC,
                     const std::string& nameD);

    void Render(platform::Surface& target, const platform::Surface* source) override;

protected:
    void DeleteGlObjects() override;

    BufferPass m_bufferA;
    BufferPass m_bufferB;
    BufferPass m_bufferC;
    BufferPass m_bufferD;
    bool m_bAltLatch = false; // Alt was held at the last frame

private:
    void LatchAltClick();
    void SetPassUniforms(unsigned program, float seconds) const;
};
