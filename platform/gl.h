#pragma once
// OpenGL without a window: GlContext is an offscreen compatibility-profile
// context (OpenGL 2.1 or later) with GLEW initialised in it, and a framebuffer
// object of a fixed size that stands for the back buffer of a window that is
// never shown. Renderers draw into that framebuffer and read it back with
// ReadPixels.
//
// This header includes no OpenGL, GLEW or Qt OpenGL header, so it can sit
// beside either kind of include. GL object names are plain unsigned ints
// (GLuint).
#include <memory>
#include <string>

namespace platform {

// freeglut needs glutInit before its first use, once per process; later calls do
// nothing. Call it from main with the program's arguments (needs DISPLAY).
void InitGlut(int* argc, char** argv);

// Initialises GLEW for the context current on the calling thread, for contexts
// made elsewhere (a QOpenGLWidget's); false with GLEW's error text on failure.
bool InitGlew(std::string& error);

// The software renderer (Mesa's llvmpipe) splits each frame among its own
// threads, by default one per core; waking and parking them costs more than a
// small picture takes to draw. RendererThreadsFor gives the count that fits
// pictures of the given number of pixels: 0 (the drawing thread renders
// alone) up to kPixelsPerRendererThread pixels, then one thread per
// kPixelsPerRendererThread pixels begun, at most cores.
inline constexpr long long kPixelsPerRendererThread = 256 * 256;
int RendererThreadsFor(long long pixels, int cores);

// Sets LP_NUM_THREADS to RendererThreadsFor(pixels, the machine's cores) unless
// the environment already has a value (the user's choice stands). Takes effect
// only before the process makes its first OpenGL context. Returns whether it set
// the variable.
bool FitRendererThreads(long long pixels);

class GlContext
{
public:
    enum class Status
    {
        Ok,
        NoContext,  // no OpenGL context could be made (or made current)
        GlewFailed, // the context exists but GLEW did not initialise: GlewError()
        NoFramebuffer,
    };

    GlContext();
    ~GlContext(); // Destroy()
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

    // Makes the context and its width x height framebuffer (RGBA8, cleared to zero;
    // with a 24-bit depth and 8-bit stencil buffer when depth is set), and leaves
    // the context current with the framebuffer bound. Destroys what an earlier
    // Create made first. After a GlewFailed result the context stays (current)
    // until Destroy, without a framebuffer.
    Status Create(int width, int height, bool depth = false);

    // Deletes the framebuffer with the context current, then the context. Safe to
    // call repeatedly.
    void Destroy();

    bool IsValid() const;
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // GLEW's error text of the last failed Create ("" otherwise).
    const std::string& GlewError() const { return m_glewError; }

    // Makes this context current on the calling (GUI) thread; false without one.
    // Cheap when it is current already.
    bool MakeCurrent();
    // Makes no context current.
    void DoneCurrent();

    // The stand-in back buffer: its framebuffer name and binding it for drawing
    // and reading (context current).
    unsigned DefaultFramebuffer() const { return m_framebuffer; }
    void BindDefaultFramebuffer() const;

    // Reads the whole stand-in back buffer (context current) into pixels:
    // Width() x Height() values, bytes blue, green, red, alpha, rows bottom-up.
    void ReadPixels(void* pixels) const;
    // The same for the width x height block whose bottom-left pixel is (x, y),
    // counted from the bottom-left of the buffer.
    void ReadPixels(int x, int y, int width, int height, void* pixels) const;

private:
    struct Qt; // the Qt context and its offscreen surface
    std::unique_ptr<Qt> m_qt;
    int m_width = 0;
    int m_height = 0;
    unsigned m_framebuffer = 0;
    unsigned m_colorBuffer = 0;
    unsigned m_depthBuffer = 0;
    std::string m_glewError;
};

// Makes a context current for a scope and no context current at its end.
class GlCurrent
{
public:
    explicit GlCurrent(GlContext& context) : m_context(context), m_ok(context.MakeCurrent()) {}
    ~GlCurrent() { m_context.DoneCurrent(); }
    GlCurrent(const GlCurrent&) = delete;
    GlCurrent& operator=(const GlCurrent&) = delete;
    explicit operator bool() const { return m_ok; }

private:
    GlContext& m_context;
    bool m_ok;
};

} // namespace platform
