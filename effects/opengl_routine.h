#pragma once
// COpenGLRoutine: a small fixed-function OpenGL scene, drawn in an offscreen
// context of the layer's size and laid over the layer's source: wherever the
// scene is not black it stands opaque, elsewhere the source shows at half
// brightness. Its scenes, each drawn by its own .cpp file:
//   C3DTriForce   (tri_force.cpp)     three golden prisms that fly together into a triangle
//   CAngel        (angel.cpp)         a sphere with two pyramid wings that open and turn
//   C3DCylinder   (cylinder_3d.cpp)   a closed cylinder tumbling at random speeds
//   CMetalSurface (metal_surface.cpp) the lens model in silver, sphere-mapped with the source
// GUI thread only; every call makes the routine's own context current and
// releases it again.
#include "platform/gl.h"
#include "platform/surface.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

struct ObjMesh;
class CDIBSectionLite;
class GLUquadric;

class COpenGLRoutine
{
public:
    COpenGLRoutine() = default;
    virtual ~COpenGLRoutine() = default;
    COpenGLRoutine(const COpenGLRoutine&) = delete;
    COpenGLRoutine& operator=(const COpenGLRoutine&) = delete;

    // Makes the context and its picture (width x height; an earlier set-up is
    // released first) and sets the scene up. Returns InitScene's result (0), or
    // the non-zero GlContext status when no context could be made; the routine
    // then draws nothing and its picture stays black. The source is not read.
    int Create(const platform::Surface* source, int width, int height);

    // One frame: DrawScene, then target = the scene over source (the scene where
    // its picture is not black, elsewhere the source with each channel halved).
    void Render(platform::Surface& target, const platform::Surface& source);

    // The scene's one-time GL state (context current); 0 on success.
    virtual int InitScene() = 0;
    // One frame of the scene into the picture.
    virtual void DrawScene() = 0;

    // The scene's last picture (black before the first drawn frame).
    const platform::Surface& Picture() const { return m_picture; }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }

protected:
    // Makes the context current with the scene's framebuffer bound, runs draw,
    // flushes and reads the framebuffer into the picture. Without a context
    // nothing is drawn and the picture keeps what it holds.
    template <typename Draw> void DrawFrame(Draw draw)
    {
        platform::GlCurrent current(m_context);
        if (!current)
            return;
        m_context.BindDefaultFramebuffer();
        draw();
        ReadPicture();
    }

    // Runs release with the context current, when there is one (GL objects of a
    // scene are deleted in their own context).
    template <typename Release> void WithContext(Release release)
    {
        if (!m_context.IsValid())
            return;
        platform::GlCurrent current(m_context);
        if (current)
            release();
    }

    // Deletes the scene's own GL objects, with the context current: Create calls
    // it before it replaces the context, and a scene's destructor through
    // WithContext.
    virtual void ReleaseScene() {}

    // Viewport, a perspective of 45 degrees and the eye at (0, 0, 3) looking at
    // the origin (the model-view matrix).
    void SetUpCamera() const;
    // Model-view = the eye at (0, 0, 3) looking at the origin.
    static void LoadCamera();
    // The lights, projection and camera the tumbling scenes share: a black
    // background and light 0 of the given colour at (3, 3, 3).
    void SetUpCommonScene(const std::array<float, 4>& lightColour) const;

    // Counts a frame of a cycle of cycleFrames drawn frames: false for the frame
    // after the last, which starts the cycle over and draws nothing (the picture
    // of the last frame stays).
    static bool NextFrameOfCycle(int& frame, int cycleFrames);

    int m_nWidth = 0;
    int m_nHeight = 0;
    platform::GlContext m_context;

private:
    void ReadPicture();

    platform::Surface m_picture;
    std::vector<std::uint32_t> m_readPixels; // bottom-up read-back, reused every frame
};

// EFFECT_TRIFORCE: over a cycle of 421 frames the prisms grow from scale 0.01
// and glide in while spinning (frames 1-100), spin in place (to 140), stand still
// as one triangle (to 420), and frame 421 draws nothing new.
class C3DTriForce : public COpenGLRoutine
{
public:
    int InitScene() override;
    void DrawScene() override;

private:
    int m_nFrame = 0;    // frame of the cycle, 0 at construction
    int m_nProgress = 0; // frame capped at 140
};

// EFFECT_ANGEL: a cycle of 301 frames; the wings rest on the sphere until frame
// 100, open and turn until frame 200 and stay open until frame 300.
class CAngel : public COpenGLRoutine
{
public:
    int InitScene() override;
    void DrawScene() override;

private:
    int m_nFrame = 0;
    int m_nWing = 0; // wing progress, 0 (closed) to 100 (open)
};

// EFFECT_CYLINDER: speeds drawn from crt::rand at every set-up; the rotations
// accumulate frame after frame.
class C3DCylinder : public COpenGLRoutine
{
public:
    ~C3DCylinder() override;
    int InitScene() override;
    void DrawScene() override;

private:
    struct QuadricDeleter
    {
        void operator()(GLUquadric* quadric) const;
    };

    std::unique_ptr<GLUquadric, QuadricDeleter> m_quadric;
    double m_speedX = 0.0; // degrees per frame about x, y and z
    double m_speedY = 0.0;
    double m_speedZ = 0.0;
};

// EFFECT_METAL_LENS: the lens mesh in silver over a grey background, with a
// sphere map made from the source picture (see CEffectLayer::MetalLens).
class CMetalSurface : public COpenGLRoutine
{
public:
    // A material of the fixed-function lighting.
    struct Material
    {
        std::array<float, 4> ambient;
        std::array<float, 4> diffuse;
        std::array<float, 4> specular;
        float shininess;
    };

    ~CMetalSurface() override;

    // The lens model (not owned; it must outlive the routine or be replaced). A
    // null mesh or one without faces draws only the background.
    void SetMesh(const ObjMesh* mesh) { m_pMesh = mesh; }

    // Uploads a 256 x 256 picture (bottom-up rows) as the sphere-map texture.
    // Pictures of another size are ignored.
    void LoadSphereMap(const CDIBSectionLite& picture);

    int InitScene() override;
    void DrawScene() override;

    static constexpr int kSphereSize = 256;

protected:
    void ReleaseScene() override;

private:
    unsigned m_nTexture = 0; // fixed texture name 2 once set up
    const ObjMesh* m_pMesh = nullptr;
    std::array<float, 4> m_lightPosition{0.0f, 0.0f, 1.0f, 0.0f}; // directional, along +z
    std::array<float, 4> m_lightColour{1.0f, 1.0f, 1.0f, 1.0f};
    std::array<float, 4> m_ambient{0.1f, 0.1f, 0.1f, 1.0f};
    std::vector<std::uint8_t> m_texturePixels; // 256 x 256 RGBA, bottom row first
    std::vector<Material> m_materials;         // gold, silver, copper
};
