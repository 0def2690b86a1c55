#pragma once
// CEffectLayer: one composition layer of the clock window. It draws the effect
// chosen by its effect code from a source surface into an output surface of its
// own, and can copy the result onto a target. The layer holds one instance of
// every effect routine for its whole life; the chosen effect sets itself up on
// the first frame after the code was chosen (m_bInit) and then draws once per
// frame. GUI thread only.
//
// A still effect (IsStill in effect_codes.h: pass-through and the pixel filters)
// draws only when something it reads changed since its last drawn frame: its
// source (SourceChanged, RecaptureSource), its code, its filter or another
// setting. Other frames keep the last output, count as frames, and report
// OutputChanged() false, so the layer above need not read it again. Animated
// effects draw every frame; those that draw on some frames only (slideshow, dot
// grid, metal lens) report the frames they left alone. SetSkipUnchanged(false)
// draws every frame as the first version did.
//
// Each routine family has one method here that runs it (see Render's dispatch in
// effect_layer.cpp and the table in effect_codes.h). Renderers that need OpenGL
// are constructed on first use, so a layer that never shows a GL effect never
// makes a context.
#include "effects/clouds_routine.h"
#include "effects/dib_section_lite.h"
#include "effects/dot_grid.h"
#include "effects/effect_codes.h"
#include "effects/fire_routine.h"
#include "effects/fur_strokes.h"
#include "effects/jmatrix_routine.h"
#include "effects/opengl_routine.h"
#include "effects/plasma_routine.h"
#include "effects/shader_buf_ab.h"
#include "effects/shader_buf_abcd.h"
#include "effects/shader_clock.h"
#include "effects/shader_cube.h"
#include "effects/shader_old_watch.h"
#include "effects/shader_renderer.h"
#include "effects/shader_renderer2.h"
#include "effects/shader_renderer3.h"
#include "effects/slide_show.h"
#include "effects/water_routine.h"
#include "platform/surface.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

class CImagePathList;
struct ObjMesh;

// The settings a layer reads when it sets up or draws: the external shader and
// texture names and the dial type. The main window implements it over its
// settings store; a layer without one reads empty texts and dial type 0.
class EffectSettingsSource
{
public:
    virtual ~EffectSettingsSource() = default;
    virtual QString ExtShader() const = 0;
    virtual QString ExtTexture() const = 0;
    virtual int ClockFace() const = 0;
};

class CEffectLayer
{
public:
    // The size is fixed for the layer's life. Makes no surface and no GL context.
    CEffectLayer(int width, int height);
    ~CEffectLayer();
    CEffectLayer(const CEffectLayer&) = delete;
    CEffectLayer& operator=(const CEffectLayer&) = delete;

    // Binds the layer to its source (which must outlive the layer), makes the
    // output surface and captures the source into both pixel buffers.
    void Create(const platform::Surface* source);
    // The same over the output of the layer below (which must outlive this one),
    // read anew every frame, as it may be the surface that layer hands on.
    void Create(const CEffectLayer& below);

    // One frame of the current effect into the output, then a copy of Output()
    // onto target when one is given. A frame is skipped altogether (nothing drawn,
    // set-up kept pending, frame count unchanged) while the source is missing or
    // not of the layer's size, as while a zoom settles.
    void Render(platform::Surface* target);

    // Whether the last Render changed the output (false also when it was skipped
    // altogether), and the output pixels (top-left origin) it changed: the whole
    // output, the dial shader's own report, or nothing.
    bool OutputChanged() const { return m_bOutputChanged; }
    QRect ChangedRect() const;

    // Still effects keep their output while nothing they read changed (default on).
    void SetSkipUnchanged(bool skip);
    // The source surface's pixels changed. The next frame of a still effect draws;
    // the pixel buffers keep their capture until RecaptureSource.
    void SourceChanged() { m_bStale = true; }
    // The dial shader's source holds the same pixels as at its last frame: its
    // next frame may skip the upload.
    void SetSourceUnchanged();

    // Hands the pointer (client pixels, origin top-left) to the current effect.
    void MouseMove(QPoint point);

    // --- What the main window sets ---

    // A new effect code (any int; codes outside the table draw nothing). Raises
    // the set-up flag, also when the code is the same as before.
    void SetEffect(int code);
    int GetEffect() const { return m_nEffect; }

    // Colour (Windows colour value) and strength 0..255 of the colour filter.
    void SetFilter(platform::COLORREF colour, int alpha);

    // The main window's image list (not owned); the next slideshow frame shows its next image.
    void SetImageList(CImagePathList* list);
    // Slideshow interval in seconds; values below 1 count as 1.
    void SetPlayInterval(int seconds);

    // The lens model of the metal lens (not owned; must outlive the layer or be reset).
    void SetLensMesh(const ObjMesh* mesh);

    // Hand colours of the dial shader (Windows colour values).
    void SetHandColors(platform::COLORREF hour, platform::COLORREF minute, platform::COLORREF second);
    // The clock the dial shader and the old watch read (empty: the local time).
    void SetClockTimeSource(CShaderClock::TimeSource source);

    // Where the layer reads ExtShader, ExtTexture and ClockFace (not owned).
    void SetSettings(const EffectSettingsSource* settings) { m_pSettings = settings; }

    // Captures the source again into the source pixels (after the source
    // changed); counts as SourceChanged. A layer that hands its source on takes
    // the capture when it next runs an effect that reads the pixels.
    void RecaptureSource();

    // --- State for the composition and for tests ---

    // The last frame's picture: the layer's own surface, or its source when it
    // handed that on. Valid as long as the layer and its source; its pixels are
    // those of the last frame until the next frame or a change of the source.
    const platform::Surface& Output() const { return m_bHandsOn ? *Source() : m_dcOutput; }
    // The surface the layer reads (null before Create).
    const platform::Surface* Source() const { return m_pBelow != nullptr ? &m_pBelow->Output() : m_pSrcDC; }
    std::uint64_t FrameCount() const { return m_nFrameCount; }
    bool SetupPending() const { return m_bInit; }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    int DropPeriod() const { return m_nDropPeriod; }

private:
    // A set-up of the current effect is due: clears the flag first and returns
    // whether it was set, so that a set-up that opens a modal box (and with it a
    // nested paint) runs once.
    bool TakeSetup();
    // The source pixels exist at the layer's size (the condition of every CPU effect).
    bool HasPixels() const;
    // Create's work over a source surface or the layer below (one of them set).
    void Bind(const platform::Surface* source, const CEffectLayer* below);
    // Draws m_dibOutput into the output surface.
    void DrawPixels();
    // Takes the source into the source pixels.
    void CaptureSource();
    // Whether a frame of the current effect hands the source on (see the top).
    bool HandsOn(const EffectInfo* info) const;
    // The current routine's frame (Render's dispatch).
    void RenderEffect(const EffectInfo& info);
    // A routine left the output as it was this frame.
    void KeepOutput() { m_bOutputKept = true; }

    // The routine families (one per EffectFamily).
    void RenderCopy();
    void RenderPixelFilter();
    void SetUpShader(CShaderRenderer& shader, const EffectInfo& info);
    void RenderShader(const EffectInfo& info);
    void RenderDate(const EffectInfo& info);
    void RenderExternalShader();
    void RenderShaderBufferA(const EffectInfo& info);
    void RenderShaderTextures(const EffectInfo& info);
    void RenderShaderClock(const EffectInfo& info);
    void RenderShaderCube(const EffectInfo& info);
    void RenderShaderCubeBuffer(const EffectInfo& info);
    void RenderShaderBufAB(const EffectInfo& info);
    void RenderShaderOldWatch(const EffectInfo& info);
    void RenderShaderBufABCD(const EffectInfo& info);
    void Drizzle();
    void RenderClouds();
    void RenderFire();
    void RenderPlasma();
    void RenderOpenGLScene();
    void MetalLens();
    void RenderSlideShow();
    void RenderFur();
    void RenderDotGrid();
    void RenderTextRain();

    // The pixel filters and the row shift (effect_layer_filters.cpp): read
    // m_dibSource, write m_dibOutput and draw it (the row shift works on the surfaces).
    void ColorFilter();
    void Monochrome();
    void Sepia();
    void FrostedGlass();
    void Portal(); // the row shift
    void KernelFilter();
    void Fisheye();
    void BlockMosaic();

    // The OpenGL scene of a code 15, 84 or 86.
    COpenGLRoutine& SceneFor(int code);
    // The pointer position (m_ptMouse) of the renderer that serves a family, or null.
    QPoint* ShaderMouse(EffectFamily family);

    // The frame of a renderer: its set-up (setUp(renderer)) when one is due, then Render.
    template <typename Renderer, typename SetUp>
    void RunRenderer(std::optional<Renderer>& member, SetUp setUp);

    // Constructs a GL-backed member on first use.
    template <typename T> static T& Use(std::optional<T>& member)
    {
        if (!member)
            member.emplace();
        return *member;
    }

    int m_nWidth;
    int m_nHeight;
    std::uint64_t m_nFrameCount = 0;
    int m_nFramePeriod = 50;                     // milliseconds; 1000 / period converts seconds to frames
    const platform::Surface* m_pSrcDC = nullptr; // the source, when not a layer below
    const CEffectLayer* m_pBelow = nullptr;      // the layer whose output is the source
    platform::Surface m_dcOutput;
    CDIBSectionLite m_dibSource;
    CDIBSectionLite m_dibOutput;
    std::vector<std::uint16_t> m_frostSums; // frosted glass: per-byte column sums of one row
    std::vector<std::uint8_t> m_frostBytes; // frosted glass: a row of zeros, one output row
    CWaterRoutine m_water;
    CFireRoutine m_fire;
    CPlasmaRoutine m_plasma;
    CCloudsRoutine m_clouds;
    CJMatrixRoutine m_textRain;
    std::optional<C3DCylinder> m_cylinder;
    std::optional<C3DTriForce> m_triForce;
    std::optional<CAngel> m_angel;
    CSlideShow m_slideShow; // holds the image list pointer
    std::optional<CMetalSurface> m_metal;
    CFurStrokes m_fur;
    CDotGrid m_dotGrid;
    std::optional<CShaderRenderer> m_shader;
    std::optional<CShaderRenderer2> m_shader2;
    std::optional<CShaderRenderer3> m_shader3;
    std::optional<CShaderCube> m_shaderCube;
    std::optional<CShaderCube2> m_shaderCube2;
    std::optional<CShaderClock> m_shaderClock;
    std::optional<CShaderBufAB> m_shaderBufAB;
    std::optional<CShaderBufABCD> m_shaderBufABCD;
    std::optional<CShaderOldWatch> m_shaderOldWatch;
    float m_fPi = 3.14159f;
    platform::COLORREF m_crFilter = 0;
    int m_nFilterAlpha = 0;
    std::mt19937 m_rng; // default seed 5489 until Create reseeds it
    int m_nDropPeriod = 20;
    int m_nPlayInterval = 1;
    std::int64_t m_nPlayCount = -1;
    QSize m_sizeSphere{256, 256};
    platform::Surface m_dcSphere;
    CDIBSectionLite m_dibSphere;
    int m_nEffect = EFFECT_NONE;
    bool m_bInit = true;
    const ObjMesh* m_pLensMesh = nullptr;
    const EffectSettingsSource* m_pSettings = nullptr;
    CShaderClock::TimeSource m_clockTime; // handed to the old watch at its set-up
    bool m_bSkipUnchanged = true;
    bool m_bStale = true;          // a still effect's inputs changed since its last drawn frame
    bool m_bOutputChanged = false; // the last Render changed the output
    bool m_bOutputKept = false;    // the routine of this frame drew nothing
    bool m_bHandsOn = false;       // the last frame's output is the source itself
    bool m_bCaptureDue = false;    // the source pixels wait for a capture (see RecaptureSource)
};
