#pragma once
// ClockCompositor: the clock's picture. From the settings (read only), a size, a
// time and the desktop snapshot it composes one frame into its final surface:
// the back, middle and front effect layers over the snapshot, the date window
// with the day number, the dot-matrix readout, the dial with its hands (drawn
// here, or by the dial shader layer) and the frame keyed on top. It owns every
// surface, layer, frame picture and drawer of that picture; it has no window,
// no timer and no message, so it runs the same in the clock window, in a test
// and in a benchmark.
//
// A size change takes two steps, so that a burst of them builds the layers once:
// Resize makes the surfaces at the new size (the last picture, scaled, is the
// final surface meanwhile); RebuildLayers, once the snapshot shows the desktop
// at the new size, makes the six layers. Between the two ResizePending() holds,
// and a frame keeps the last picture. A new compositor is pending until its
// first RebuildLayers.
//
// Work whose result cannot differ is skipped (SetSkipUnchanged(false) does it
// all every frame, for tests and benchmarks): a snapshot counts as new only when
// its pixels differ; a layer reads the one below only when that one's output
// changed (still effects keep their output, see CEffectLayer; a pass-through
// layer hands the surface it reads on, so that over pass-through layers the
// composition is copied from the snapshot itself); the composition is made
// again only when the front layer's output, the settings it shows, the day,
// the readout's text or the drawn hands' outlines changed; the dial shader is
// told when its source is unchanged, and only the part of its output it reports
// changed is copied out and has the frame keyed over it. ChangedRect() tells the
// window which part of the final surface the last frame changed.
#include "app/clock_drawing.h"
#include "app/dot_matrix_text.h"
#include "effects/effect_layer.h"
#include "effects/geometry/obj_loader.h"
#include "effects/image_path_list.h"
#include "platform/surface.h"
#include "store/app_settings.h"

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPen>
#include <QPolygon>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <vector>

inline constexpr int kFrameSlotCount = 18; // 0-15 built in, 16 shader frame, 17 external
inline constexpr int kShaderFrameSlot = 16;
inline constexpr int kExternalFrameSlot = 17;

// Effect code of the dial layer for a dial type (ClockFace): 51 for 1, 52 for 2,
// 50 for any other value.
int DialEffect(int clockFace);

class ClockCompositor : private EffectSettingsSource
{
public:
    // The three slideshow layers, in composition order.
    enum Layer : int
    {
        kBack,
        kMiddle,
        kFront,
    };

    // The screen's pixels in a rectangle (screen coordinates), for the drag's strips.
    using ScreenGrab = std::function<platform::Surface(const QRect&)>;

    // Reads the settings (which must outlive it) but never writes them. Loads the
    // frame pictures and the lens model; makes no surface and no layer yet.
    explicit ClockCompositor(const AppSettings& settings);
    ~ClockCompositor() override;
    ClockCompositor(const ClockCompositor&) = delete;
    ClockCompositor& operator=(const ClockCompositor&) = delete;

    // --- Size ---
    // The surfaces at a new size. The last picture, stretched, stays as the final
    // surface and the selected frame is stretched again (the shader frame waits
    // for its layer); the layers wait for RebuildLayers.
    void Resize(QSize size);
    // The six layers at the current size over the current snapshot (the frame
    // layer's picture drawn when the shader frame is selected); ends a pending resize.
    void RebuildLayers();
    bool ResizePending() const { return m_bResizePending; }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }

    // --- The desktop snapshot ---
    // The desktop behind the clock (its top-left part, at the clock's size).
    void SetSnapshot(const platform::Surface& desktop);
    // The back layer takes the snapshot's pixels anew, after it has changed.
    void SnapshotChanged();
    // A drag moved the clock by step to topLeft (screen coordinates): the
    // snapshot's content moves by -step, and the edges it uncovers are grabbed
    // from the screen beside the clock's old place (never the clock itself).
    void ScrollSnapshot(QPoint topLeft, QPoint step, const ScreenGrab& grab);

    // --- Frames ---
    // One frame at time now into the final surface: layers, date, readout, dial
    // and frame as the settings ask. While a resize is pending the final surface
    // keeps the last picture.
    const platform::Surface& Compose(const LocalDateTime& now);
    // A frame while the clock is dragged: the layers over the snapshot and the
    // frame; no date, readout or dial.
    const platform::Surface& ComposeDragFrame();
    // The part of the final surface the last Compose changed (empty when the
    // picture stayed as it was; the whole surface while a resize is pending).
    QRect ChangedRect() const { return m_rcChanged; }
    // Whether work that cannot change a pixel is skipped (default on). Off, every
    // frame is made in full, every layer reading its source anew.
    void SetSkipUnchanged(bool skip);

    // --- What the window's settings and menus change ---
    void SetLayerEffect(Layer layer, int code);
    // The dial layer's effect for a dial type.
    void SetClockFace(int type);
    // The colour filter of the three slideshow layers.
    void SetFilter(platform::COLORREF colour, int strength);
    // Slideshow interval in seconds (below 1 counts as 1).
    void SetPlayInterval(int seconds);
    // The slideshow's images (the three layers show them in turn).
    void SetImagePaths(std::vector<QString> paths);
    void SetImageList(const CImagePathList& list);
    // The pointer (client pixels) handed to the three slideshow layers.
    void MouseMove(QPoint point);
    // Hands colour of a kind (0 dial's own, 1 from the frame, 2 the settings').
    void SetHandsColor(int kind);
    // The readout's colours from the settings' colour group; the strips recoloured.
    void SetDotColors();
    // Selects a frame slot 0..17 (others are ignored): its picture at the
    // clock's size, or the frame layer's picture for slot 16, which keeps the
    // previous slot's picture selected.
    void SelectFrame(int slot);
    // Rebuilds the external frame (slot 17) from an image file (relative names
    // are read from the executable's folder), relit by the built-in ring's
    // shading when gradation is set. Does not select it.
    void CreateExtFrame(const QString& imagePath, bool gradation);

    // --- State, for the window and for tests ---
    const platform::Surface& Snapshot() const { return m_dcSnapshot; }
    const platform::Surface& FinalSurface() const { return m_dcFinal; }
    CEffectLayer* EffectLayer(Layer layer) const { return m_layers[layer].get(); }
    CEffectLayer* DialLayer() const { return m_pDialLayer.get(); }
    const CImagePathList& ImageList() const { return m_imageList; }
    // A frame slot's 130 by 130 picture (null for an empty slot).
    const QImage& FrameBitmap(int slot) const { return m_frameBitmaps.at(static_cast<std::size_t>(slot)); }
    const HandColors& CurrentHandColors() const { return m_handColors; }
    const CDotMatrixText& TimeDrawer() const { return m_timeText; }
    const CDotMatrixText& SecondsDrawer() const { return m_secText; }
    // Counts the builds of the six layers.
    int LayerGeneration() const { return m_nLayerGeneration; }

private:
    // EffectSettingsSource: what the layers read from the settings.
    QString ExtShader() const override;
    QString ExtTexture() const override;
    int ClockFace() const override;

    void LoadFrames();
    void CreateDrawingResources();
    // A layer over a surface (a pointer) or over the layer below (a reference).
    template <typename Source> std::unique_ptr<CEffectLayer> MakeLayer(const Source& source, int code);
    void StretchFrame();
    void RenderShaderFrame();
    // The slideshow layers over the snapshot, each reading the one below anew
    // when its output changed; whether the front layer's output changed.
    bool RenderEffectLayers();
    void KeyFrameOnto(platform::Surface& target, const QRect& area) const;

    // What the composition shows besides the front layer's output: the settings
    // that choose its parts, the day, the readout's text and the drawn hands'
    // outlines (each empty when not shown). The composition is made again when
    // it changes.
    struct Overlays
    {
        bool date = false;
        bool digitalWatch = false;
        bool digiSec = false;
        bool clockHands = false;
        bool dialShader = false;
        bool frame = false;
        int clockFace = 0;
        int day = 0;
        QString time;
        QString seconds;
        std::array<QPolygon, 3> hands; // hour, minute, second
        bool operator==(const Overlays&) const = default;
    };
    Overlays OverlaysAt(const LocalDateTime& now) const;
    // The layers, the composition and the final surface are made in full next frame.
    void RedrawAll() { m_bRedrawAll = true; }
    // The slideshow layers and the composition; whether the composition changed.
    bool ComposeLayers(const Overlays& overlays, const LocalDateTime& now);
    // The final surface from the dial shader or from the composition; its changed part.
    QRect ComposeFinal(bool compositionChanged);

    void DrawHands(platform::Surface& dc, const std::array<QPolygon, 3>& hands);
    void DrawDayNumber(platform::Surface& dc, const LocalDateTime& now);
    void DrawDigitalClock(platform::Surface& dc, bool withSeconds, const LocalDateTime& now);

    const AppSettings& m_settings;
    const int m_nBaseWidth = 130;
    const int m_nBaseHeight = 130;
    int m_nWidth = 130;
    int m_nHeight = 130;
    bool m_bResizePending = true; // the layers do not fit the surfaces (yet)
    int m_nLayerGeneration = 0;
    LocalDateTime m_frameTime{}; // the time of the frame being composed (the dial shader reads it)
    bool m_bSkipUnchanged = true;
    bool m_bSnapshotNew = true; // the snapshot's pixels changed since the back layer last drew
    bool m_bRedrawAll = true;   // the next frame makes the composition and the final surface in full
    Overlays m_overlays;        // what the composition shows
    QRect m_rcChanged;          // the part of the final surface the last frame changed

    // The work surfaces, each width by height.
    platform::Surface m_dcSnapshot;    // the desktop behind the clock; source of the back layer
    platform::Surface m_dcHands;       // the hands, on the key colour
    platform::Surface m_dcComposition; // target of the front layer; source of date and dial layers
    platform::Surface m_dcFrameSource; // source of the frame layer
    platform::Surface m_dcFinal;       // the finished frame

    // Frames: the slots, the selected slot unscaled, the default texture of the
    // external frame, and the selected frame at the clock's size.
    std::vector<QImage> m_frameBitmaps;
    platform::Surface m_dcFrameSelect;
    QImage m_bmpDefaultFrame;
    platform::Surface m_dcFrame; // keyed onto each frame with black transparent

    CImagePathList m_imageList;
    ObjMesh m_lensMesh; // "assets/lens.obj"; empty when the file is missing

    // Drawing resources of the dial, day number and readout.
    QBrush m_brHour;
    QBrush m_brMinute;
    QPen m_penSecond;
    QPen m_penMinuteOutline;
    QFont m_fontDay;
    HandColors m_handColors;
    CDotMatrixText m_timeText{150, 14, 20, 2, 2, 1, 5};
    CDotMatrixText m_secText{151, 10, 14, 1, 1, 1, 5};

    // Declared after everything they read, so they are destroyed first.
    std::array<std::unique_ptr<CEffectLayer>, 3> m_layers; // back, middle, front
    std::unique_ptr<CEffectLayer> m_pDateLayer;
    std::unique_ptr<CEffectLayer> m_pDialLayer;
    std::unique_ptr<CEffectLayer> m_pFrameLayer;
};
