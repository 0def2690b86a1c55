#pragma once
// CShaderOldWatch: an image pass after two buffer passes, with a cube map
// ("UffiziGallery1.jpg" to "UffiziGallery6.jpg" of the _misc folder, mipmapped)
// and three pictures: "st_wood.jpg" and "st_Organic3.jpg" of the assets folder
// and the glyph atlas "st_font1.png" of the _misc folder.
//   A: glyphs (iChannel1) and the organic picture (iChannel2), with iTime,
//      iResolution, iFrame and iChannelResolution (four vec3: the output size,
//      256 x 256, 256 x 256, 0), drawn afresh every frame;
//   B: A (iChannel0) and its own previous frame (iChannel1, ping-pong), with
//      iResolution;
//   image: cube map (iChannel0), wood (iChannel1), A (iChannel2), B's new frame
//      (iChannel3), with iDate, iTime, iResolution, iMouse (three floats: pointer
//      x, y and click x, all 0 unless Alt is held) and iFrame.
#include "effects/multi_pass_renderer.h"
#include "effects/shader_clock.h"

class CShaderOldWatch : public CMultiPassRenderer
{
public:
    ~CShaderOldWatch() override { Free(); }

    // Loads the cube map, the pictures and buffers A and B ("<name>.frag" of the
    // shaders folder), right after Create. A missing file or picture is not
    // shown, and the loader returns false: the renderer then draws nothing. A
    // face of the cube map that fails is shown and stays black.
    bool LoadTextures(const std::string& nameA, const std::string& nameB);

    // The gallery cube map, with its mipmaps.
    bool LoadCubemap();

    void Render(platform::Surface& target, const platform::Surface* source) override;

    // The clock iDate shows (tests script it); an empty source restores the local time.
    void SetTimeSource(CShaderClock::TimeSource source) { m_timeSource = std::move(source); }

protected:
    void DeleteGlObjects() override;

    BufferPass m_bufferA;
    BufferPass m_bufferB;
    unsigned m_woodTexture = 0;
    unsigned m_cubeTexture = 0;
    unsigned m_fontTexture = 0;
    unsigned m_organicTexture = 0;

private:
    void ReleaseAll();

    CShaderClock::TimeSource m_timeSource;
};
