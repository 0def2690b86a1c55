#pragma once
// CShaderRenderer3: an image pass after one buffer pass A that is drawn afresh
// every frame (cleared, no feedback) from up to three input pictures: the files
// of m_textureNames (relative to the assets folder), the first of them a 32 x 32
// x 32 noise volume when m_b3DNoise is set. Buffer A sees the inputs as
// iChannel0 to iChannel2; the image pass sees buffer A as iChannel0 and the
// source picture as iChannel1. Both get iTime, iResolution and iMouse (two
// floats); the image pass also gets iFrame.
#include "effects/multi_pass_renderer.h"

#include <vector>

class CShaderRenderer3 : public CMultiPassRenderer
{
public:
    ~CShaderRenderer3() override { Free(); }

    // Builds buffer A from "<name>.frag" of the shaders folder and loads the
    // inputs, right after Create. A missing file or a link failure is not shown;
    // a picture that cannot be loaded stops the loading there (the inputs after it
    // stay unbound) but buffer A is built and draws. False on any failure.
    bool LoadBufferA(const std::string& name);

    // A noise volume from the first 32768 bytes of a file (one byte per texel, x
    // fastest, then y, then z): R8, linear, repeat. False, and no texture, for a
    // missing or shorter file.
    bool Load3DNoise(unsigned& texture, const std::string& path);

    void Render(platform::Surface& target, const platform::Surface* source) override;

    bool m_b3DNoise = false;                 // the first input is a noise volume
    std::vector<std::string> m_textureNames; // input files; the first three are used

protected:
    void DeleteGlObjects() override;

    BufferPass m_bufferA;
    std::array<unsigned, 3> m_inputs{};
};
