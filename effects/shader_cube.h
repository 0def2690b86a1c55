#pragma once
// CShaderCube: an image pass that sees a cube map of six pictures ("Forest1.png"
// to "Forest6.png" of the _misc folder) as iChannel0, with iTime, iResolution,
// iMouse (two floats) and iFrame; the source picture is not used.
//
// CShaderCube2 adds a cube pass and a buffer A before the image pass:
//   cube pass, on even frames (iFrame 0, 2, 4, ...) only: draws the six
//     1024 x 1024 faces of a float cube map, reading the cube map it drew
//     before (iChannel0, ping-pong) and a 2 x 1 state texture (iChannel1),
//     with iFrame, iResolution (1024, 1024) and iFace;
//   buffer A: reads the latest cube map (iChannel0) and the Forest cube map
//     (iChannel1), with iTime, iResolution and iMouse (three floats: pointer x,
//     y and click x, all 0 unless Alt is held); not cleared;
//   image: shows buffer A (iChannel0) with iResolution;
//   state: buffer A's texels (0, 0) and (1, 0) become the state texture that the
//     next frame's cube pass reads.
#include "effects/multi_pass_renderer.h"

class CShaderCube : public CMultiPassRenderer
{
public:
    ~CShaderCube() override { Free(); }

    // Loads the Forest faces (+X, -X, +Y, -Y, +Z, -Z) right after Create. A face
    // that cannot be loaded shows "Failed to load image: <name>" and stays
    // black; the other faces show. False when there is no program or context,
    // or a face failed.
    bool LoadCubemap();

    void Render(platform::Surface& target, const platform::Surface* source) override;

protected:
    void DeleteGlObjects() override;

    unsigned m_cubeTexture = 0;
};

class CShaderCube2 : public CShaderCube
{
public:
    ~CShaderCube2() override { Free(); }

    // Build buffer A ("InterLiquidMetalBlob_BufferA.frag") and the cube pass
    // ("InterLiquidMetalBlob_CubeA.frag") from the _misc folder, after
    // LoadCubemap. Missing files and link errors are shown. False on failure.
    bool LoadBufferA();
    bool LoadCubeA();

    void Render(platform::Surface& target, const platform::Surface* source) override;

    static constexpr int kCubeSide = 1024; // the cube pass's faces, whatever the output size

protected:
    void DeleteGlObjects() override;

    BufferPass m_bufferA;
    unsigned m_cubeProgram = 0;
    unsigned m_cubeFramebuffer = 0;
    std::array<unsigned, 2> m_cubeTextures{};
    int m_currentCube = 0;
    unsigned m_stateTexture = 0;

private:
    bool Ready() const;
    void DrawCubePass();
    void FeedBackState();

    std::array<float, 8> m_state{}; // buffer A's two state texels, read back each frame
};
