#pragma once
// CShaderRenderer: draws one fragment shader in the Shadertoy convention (the
// image pass) over the whole output, in an offscreen OpenGL context of its own,
// and copies each frame into a target surface. Every frame the source surface is
// uploaded as iChannel0, so a shader can filter the desktop picture or the layer
// below; an optional texture file is iChannel1.
//
// It is also the base of the renderers with buffer passes and cube maps, which
// reuse its context, shader-file lookup, compilation, error reporting, texture
// loading, framebuffers, full-screen quad and read-back (see the protected part).
//
// Everything runs on the GUI thread.
#include "platform/gl.h"

#include <QPoint>
#include <QRect>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {
class Surface;
}

// The full-screen quad every shader pass draws as a triangle strip: x, y, u, v
// per corner, kFullScreenQuadStride bytes apart.
inline constexpr std::array<float, 16> kFullScreenQuad = {
    -1.f, -1.f, 0.f, 0.f, //
    1.f,  -1.f, 1.f, 0.f, //
    -1.f, 1.f,  0.f, 1.f, //
    1.f,  1.f,  1.f, 1.f, //
};
inline constexpr int kFullScreenQuadStride = 4 * sizeof(float);

// The whole content of a text file (UTF-8): a carriage return and line feed pair
// becomes one line feed, and the text ends at the first zero byte. A missing,
// unreadable or empty file gives an empty text.
std::string ReadTextFile(const std::string& path);

class CShaderRenderer
{
public:
    enum class ShaderStage
    {
        Vertex,
        Fragment,
    };

    CShaderRenderer() = default;
    // Frees what Create made. A derived renderer with GL objects of its own calls
    // Free() in its own destructor (see DeleteGlObjects).
    virtual ~CShaderRenderer();
    CShaderRenderer(const CShaderRenderer&) = delete;
    CShaderRenderer& operator=(const CShaderRenderer&) = delete;

    // Sets the renderer up for a new effect: frees the previous set-up, makes the
    // context (width x height) and loads the shader files "<name>.vert" and
    // "<name>.frag" of the shaders folder. Returns LoadShaders' result, false after
    // a context or GLEW failure. Leaves the context current, so a derived
    // renderer's loaders that run next work in it. It stays current after each
    // Render too, until another context is made current.
    // The source is the surface Render will read; set-up takes nothing from it.
    bool Create(const platform::Surface* source, int width, int height, const std::string& name);

    // Sets the three folders, builds the image program and the textures (context current).
    bool LoadShaders(const std::string& name);

    // The file texture (relative to the assets folder) that the next Create loads.
    void SetTextureName(std::string name) { m_strTextureName = std::move(name); }

    // One frame into target. Does nothing when the source is null or no image
    // program exists (the target keeps its picture).
    virtual void Render(platform::Surface& target, const platform::Surface* source);

    // Releases everything Create made; safe to call repeatedly.
    void Free();

    // Where TickCount reads its milliseconds: a scripted clock makes the shaders'
    // iTime repeatable (tests); an empty source restores the steady clock.
    static void SetTickSource(std::function<std::int64_t()> source);

    // Copies the source picture into the source texture (bottom row first).
    bool UploadSource(const platform::Surface* source);

    // The source holds the same pixels as at the previous frame: the next
    // frame may draw from the texture it already holds instead of uploading it
    // again. The word counts for the next Render only; without it every frame
    // uploads. (A set-up, and a frame that could not upload, empty the texture's
    // claim, so the next frame uploads whatever was said.)
    void SetSourceUnchanged() { m_bSourceUnchanged = true; }

    // The output pixels (row 0 at the top) that the last Render changed: the
    // whole output, unless the renderer knows it changed less; empty when it
    // changed nothing.
    const QRect& ChangedRect() const { return m_changedRect; }

    bool BuildProgram(const std::string& vertexPath, const std::string& fragmentPath);
    // The compiled shader, or 0 after posting the compile error.
    unsigned CompileShader(ShaderStage stage, const std::string& source);
    // Shows the text in the main window's error box (posted, so it never opens
    // inside the caller).
    static void ReportError(const std::string& text);
    // Loads an image file into a new 2D texture (RGBA, linear, repeat; the top
    // row of the image is row 0 of the texture). False, and no texture, when the
    // file cannot be read.
    bool LoadTexture(unsigned& texture, const std::string& path);
    // A buffer-pass program of "shader_common.vert" and the fragment file, with
    // only "position" bound (at 0); 0 on failure.
    unsigned BuildPassProgram(const std::string& fragmentPath);
    // Links two compiled shaders into a program with only "position" bound (at
    // 0) and deletes the shaders; the program, linked or not.
    static unsigned LinkPassShaders(unsigned vertex, unsigned fragment);
    // A framebuffer and count (1 or 2) zero-filled RGBA32F textures of the output
    // size; nothing is attached.
    void CreateFBO(unsigned& framebuffer, unsigned* textures, int count);

    // Written by the effect layer.
    QPoint m_ptMouse;             // pointer in output pixels, origin bottom-left
    QPoint m_ptClick;             // click position (renderers that use the Alt key)
    int m_nMojibanType = 0;       // sent as iMojibanType
    int m_nFrame = 0;             // sent as iFrame; never reset
    std::string m_strShaderDir;   // <exe>/shaders/
    std::string m_strAssetsDir;   // <exe>/assets/
    std::string m_strMiscDir;     // <exe>/_misc/
    std::string m_strTextureName; // file texture; empty: none

protected:
    // Uniform locations of the image program, looked up once per build.
    struct UniformLocations
    {
        int iTime = 0;
        int iResolution = 0;
        int iChannel0 = 0;
        int iChannel1 = 0;
        int iMouse = 0;
        int iFrame = 0;
        int iMojibanType = 0;
        int iDate = 0;
        int iHourHandColor = 0;
        int iMinuteHandColor = 0;
        int iSecondHandColor = 0;
        int iHourHand = 0;
        int iMinuteHand = 0;
        int iSecondHand = 0;
        int iMinuteHandStep = 0;
        int iSecondHandStop = 0;
    };

    // Milliseconds of a steady process clock (or of the tick source). Each Render implementation keeps its
    // own start: static const std::int64_t start = TickCount(); then
    // SecondsSince(start) is its iTime.
    static std::int64_t TickCount();
    static float SecondsSince(std::int64_t startTick);

    // Deletes the renderer's GL objects; Free calls it with the context current.
    // A derived renderer overrides it to delete its own objects (with the
    // Release* helpers) and then calls the base version.
    virtual void DeleteGlObjects();
    // Delete a GL object when the name is not 0 and zero the name.
    static void ReleaseTexture(unsigned& texture);
    static void ReleaseProgram(unsigned& program);
    static void ReleaseFramebuffer(unsigned& framebuffer);

    // The steps of an image pass. BeginImagePass makes the context current,
    // uploads the source, binds the stand-in back buffer, sets the viewport,
    // clears and uses the image program; false (nothing done) when the source is
    // null or there is no program. SetCommonUniforms sets iTime, iResolution and
    // iChannel0 (the source texture on unit 0). FinishImagePass draws the quad,
    // unbinds and reads the frame into target (the context stays current).
    bool BeginImagePass(const platform::Surface* source);
    // The same, keeping the source texture instead of uploading when keepTexture
    // is set, and leaving the back buffer's last frame in place unless clear is.
    bool BeginImagePass(const platform::Surface* source, bool keepTexture, bool clear);
    void SetCommonUniforms(float seconds);
    void FinishImagePass(platform::Surface& target);
    // What FinishImagePass does after drawing: unbinds the textures and the program.
    static void EndImagePass();
    // Whether this frame may keep the source texture (SetSourceUnchanged was said
    // and the texture holds an upload); takes the word back either way.
    bool TakeSourceUnchanged();

    // The full-screen quad as a triangle strip: attribute 0 position, and
    // attribute 1 texture coordinate when withTexcoord is set.
    static void DrawQuad(bool withTexcoord);
    // Triangles of x, y, u, v per corner (the quad's layout), with their texture
    // coordinates.
    static void DrawTriangles(const std::vector<float>& corners);
    // Binds the stand-in back buffer (what "framebuffer 0" is for a window).
    void BindBackBuffer() const { m_context.BindDefaultFramebuffer(); }
    // Reads the back buffer into target (top-down rows, opaque) and makes no
    // context current. The changed rectangle is the whole output.
    void ReadBack(platform::Surface& target);
    // Reads only the rectangle (top-down, within the output) of the back buffer
    // into the same place of target; the changed rectangle is that one.
    void ReadBack(platform::Surface& target, const QRect& rect);

    int m_width = 0;
    int m_height = 0;
    platform::GlContext m_context;
    unsigned m_program = 0;
    unsigned m_sourceTexture = 0;
    unsigned m_fileTexture = 0;
    UniformLocations m_uniforms;
    QRect m_changedRect; // see ChangedRect

    // The path of a shader file: shaders folder + name + extension, normalised
    // (so "..\_misc\x" names a file of the _misc folder).
    std::string ShaderPath(const std::string& name, const char* extension) const;

private:
    bool m_bSourceUnchanged = false; // SetSourceUnchanged was said for the next frame
    bool m_bSourceUploaded = false;  // the source texture holds the last upload of the source
    // Per-frame staging, reused across frames.
    std::vector<std::uint32_t> m_uploadPixels;
    std::vector<std::uint32_t> m_readPixels;
};
