#pragma once
// CMultiPassRenderer: what the shader renderers with buffer passes and cube maps
// share (CShaderRenderer2, CShaderRenderer3, CShaderBufAB, CShaderBufABCD,
// CShaderCube, CShaderCube2, CShaderOldWatch): buffer passes drawn into float
// textures of the output size, cube maps loaded from six face pictures, uniforms
// set by name, and the frame's start and end around the image pass.
//
// A buffer pass draws the full-screen quad (position only, so its shader works
// from gl_FragCoord and iResolution) into a texture; a pass that keeps state has
// two textures used in turn (ping-pong): the latest frame at the current index,
// the frame before at the other, and each frame draws into the other one and
// then flips. Every buffer texture starts zero-filled.
#include "effects/shader_renderer.h"

#include <QPoint>
#include <array>
#include <initializer_list>
#include <optional>
#include <string>

// The GL names of one buffer pass.
struct BufferPass
{
    unsigned program = 0;
    unsigned framebuffer = 0;
    std::array<unsigned, 2> textures{};
    int count = 0;   // textures made: 1, or 2 for a ping-pong pair
    int current = 0; // the texture that holds the latest frame

    // Program, framebuffer and every texture exist.
    bool Ready() const;
    unsigned Latest() const { return textures[static_cast<std::size_t>(current)]; }
    // A pair's other texture (the frame before the latest); the next frame draws into it.
    unsigned Older() const { return textures[static_cast<std::size_t>(1 - current)]; }
    // The texture the pass draws into this frame.
    unsigned Target() const { return count == 2 ? Older() : textures[0]; }
    // After drawing: the texture just drawn becomes the latest.
    void Flip()
    {
        if (count == 2)
            current = 1 - current;
    }
};

class CMultiPassRenderer : public CShaderRenderer
{
public:
    // Texture targets a pass samples.
    enum class Sampler
    {
        Flat,   // GL_TEXTURE_2D
        Volume, // GL_TEXTURE_3D
        Cube,   // GL_TEXTURE_CUBE_MAP
    };

protected:
    // shaders folder + "shader_common.vert"
    std::string CommonVertexPath() const { return m_strShaderDir + "shader_common.vert"; }
    static bool FileExists(const std::string& path);
    // WM_SHOW_ERROR without a text: the main window shows nothing.
    static void PostSilentError();

    // Makes the context current for a frame (and uploads the source when asked);
    // false when no context can be made current.
    bool BeginFrame(const platform::Surface* source, bool upload);

    // Whether "shader_common.vert" and the first pass's fragment file exist;
    // when not, WM_SHOW_ERROR goes out without a text.
    bool PassFilesExist(const std::string& firstPath) const;
    // One pass of a set: its fragment file and its texture count (1 or 2).
    struct PassFile
    {
        BufferPass& pass;
        std::string path;
        int count;
    };
    // Builds every pass's program (BuildPassProgram) in order, then creates
    // every pass; false at the first failure.
    bool BuildPasses(std::initializer_list<PassFile> passes);

    // What a buffer-pass build shows when a file is missing or the program does
    // not link (the link text is followed by the info log); null: nothing (a
    // missing file then posts WM_SHOW_ERROR without a text).
    struct PassMessages
    {
        const char* missingFile = nullptr;
        const char* linkError = nullptr;
    };
    // A buffer-pass program of "shader_common.vert" and the fragment file, with
    // only "position" bound (at 0). Compile errors are posted as always. 0 on
    // failure.
    unsigned BuildBufferProgram(const std::string& fragmentPath, const PassMessages& messages);
    // The framebuffer and count (1 or 2) zero-filled float textures of a pass;
    // false, with nothing kept, when the framebuffer is not complete.
    bool CreatePass(BufferPass& pass, int count);
    void ReleasePass(BufferPass& pass);

    // Binds the pass's framebuffer with its target texture attached, sets the
    // full viewport and uses its program. EndPass flips the pair and binds the
    // stand-in back buffer again.
    void BeginPass(const BufferPass& pass);
    void EndPass(BufferPass& pass);

    // The image pass: back buffer, full viewport, cleared (colour, and depth when
    // asked), image program in use. FinishFrame unbinds the textures and the
    // program and reads the frame into target (the context stays current).
    void BeginImage(bool clearDepth);
    void FinishFrame(platform::Surface& target);
    // The whole image pass of the sets that end alike: colour and depth
    // cleared, the textures as iChannel0, iChannel1, ... (flat), iTime,
    // iResolution, iMouse (a vec2) when given, iFrame (then counted on), the
    // quad, and the frame read into target.
    void DrawImagePass(platform::Surface& target, float seconds, std::initializer_list<unsigned> channels,
                       std::optional<QPoint> mouse = std::nullopt);

    // A cube map from six pictures of the _misc folder, in the face order +X,
    // -X, +Y, -Y, +Z, -Z. Each face becomes packed RGB bytes (unpack alignment
    // 1, so any width uploads). The faces share the side most of them have; a
    // face that is missing, unreadable, not square or of another side shows
    // "Failed to load image: <name>" (one modal box per face, after all were
    // read) and is filled black, and the other faces are kept. The texture is
    // made only after the boxes were closed, so a frame that runs while one is
    // open finds no cube map and draws nothing. False when a face failed.
    bool LoadCubeTexture(unsigned& texture, const std::array<const char*, 6>& faces, bool mipmaps);

    // Uniforms and samplers of the program in use, looked up by name; a name the
    // program lacks is skipped.
    static void SetInt(unsigned program, const char* name, int value);
    static void SetFloat(unsigned program, const char* name, float value);
    static void SetVec2(unsigned program, const char* name, float x, float y);
    static void SetVec3(unsigned program, const char* name, float x, float y, float z);
    static void SetVec4(unsigned program, const char* name, float x, float y, float z, float w);
    static void SetResolution(unsigned program, int width, int height);
    // Binds texture on the unit and points the sampler uniform at it.
    static void BindSampler(unsigned program, const char* name, int unit, Sampler kind, unsigned texture);

    // The click position from the Alt key (standing in for the mouse button):
    // while Alt is held the click follows the pointer, otherwise pointer and click
    // are both (0, 0).
    void FollowAltClick();
};
