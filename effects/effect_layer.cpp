#include "effects/effect_layer.h"

#include "effects/image_path_list.h"
#include "platform/crt.h"

#include <algorithm>

namespace {

std::string Utf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

std::string Name(std::string_view name)
{
    return std::string(name);
}

} // namespace

CEffectLayer::CEffectLayer(int width, int height) : m_nWidth(width), m_nHeight(height)
{
}

CEffectLayer::~CEffectLayer() = default;

void CEffectLayer::Create(const platform::Surface* source)
{
    Bind(source, nullptr);
}

void CEffectLayer::Create(const CEffectLayer& below)
{
    Bind(nullptr, &below);
}

void CEffectLayer::Bind(const platform::Surface* source, const CEffectLayer* below)
{
    m_pSrcDC = source;
    m_pBelow = below;
    m_bHandsOn = false;
    m_dcOutput.Create(m_nWidth, m_nHeight);
    RecaptureSource();
    if (Source() != nullptr)
        m_dibOutput.CaptureFromDC(*Source(), m_nWidth, m_nHeight);
    m_slideShow.m_nWidth = m_nWidth;
    m_slideShow.m_nHeight = m_nHeight;
    m_fur.SetSize(m_nWidth, m_nHeight);
    m_dotGrid.m_nWidth = m_nWidth;
    m_dotGrid.m_nHeight = m_nHeight;
    m_rng.seed(crt::Seed());
    m_nDropPeriod = 1000 / m_nFramePeriod;
    m_nPlayInterval = 1;
    m_sizeSphere = QSize(256, 256);
    m_dcSphere.Create(m_sizeSphere.width(), m_sizeSphere.height());
    m_bStale = true;
}

void CEffectLayer::RecaptureSource()
{
    // The output of a layer that hands on is the source: the capture waits for
    // an effect that reads the pixels.
    m_bCaptureDue = m_bHandsOn;
    if (!m_bCaptureDue)
        CaptureSource();
    SourceChanged();
}

void CEffectLayer::CaptureSource()
{
    if (Source() != nullptr)
        m_dibSource.CaptureFromDC(*Source(), m_nWidth, m_nHeight);
    m_bCaptureDue = false;
}

void CEffectLayer::SetSkipUnchanged(bool skip)
{
    m_bSkipUnchanged = skip;
    m_bStale = true;
}

void CEffectLayer::SetSourceUnchanged()
{
    const EffectInfo* info = FindEffect(m_nEffect);
    if (info != nullptr && info->family == EffectFamily::ShaderClock)
        Use(m_shaderClock).SetSourceUnchanged();
}

QRect CEffectLayer::ChangedRect() const
{
    if (!m_bOutputChanged)
        return {};
    const EffectInfo* info = FindEffect(m_nEffect);
    if (info != nullptr && info->family == EffectFamily::ShaderClock && m_shaderClock)
        return m_shaderClock->ChangedRect();
    return {0, 0, m_nWidth, m_nHeight};
}

void CEffectLayer::SetEffect(int code)
{
    m_nEffect = code;
    m_bInit = true;
    m_bStale = true;
}

void CEffectLayer::SetFilter(platform::COLORREF colour, int alpha)
{
    m_crFilter = colour;
    m_nFilterAlpha = std::clamp(alpha, 0, 255);
    m_bStale = true;
}

void CEffectLayer::SetImageList(CImagePathList* list)
{
    m_slideShow.m_pImageList = list;
    m_nPlayCount = -1;
    m_bStale = true;
}

void CEffectLayer::SetPlayInterval(int seconds)
{
    // The slideshow divides by the interval: it must not be 0.
    m_nPlayInterval = std::max(seconds, 1);
    m_bStale = true;
}

void CEffectLayer::SetLensMesh(const ObjMesh* mesh)
{
    m_pLensMesh = mesh;
    if (m_metal)
        m_metal->SetMesh(mesh);
    m_bStale = true;
}

void CEffectLayer::SetClockTimeSource(CShaderClock::TimeSource source)
{
    m_clockTime = source;
    Use(m_shaderClock).SetTimeSource(std::move(source));
    m_bStale = true;
}

void CEffectLayer::SetHandColors(platform::COLORREF hour, platform::COLORREF minute,
                                 platform::COLORREF second)
{
    CShaderClock& clock = Use(m_shaderClock);
    const auto set = [](auto& rgb, platform::COLORREF c) {
        rgb[0] = static_cast<float>(platform::GetRValue(c)) / 255.0f;
        rgb[1] = static_cast<float>(platform::GetGValue(c)) / 255.0f;
        rgb[2] = static_cast<float>(platform::GetBValue(c)) / 255.0f;
    };
    set(clock.m_hourColor, hour);
    set(clock.m_minuteColor, minute);
    set(clock.m_secondColor, second);
    m_bStale = true;
}

bool CEffectLayer::TakeSetup()
{
    const bool pending = m_bInit;
    m_bInit = false;
    return pending;
}

bool CEffectLayer::HasPixels() const
{
    const auto fits = [this](const CDIBSectionLite& dib) {
        return dib.GetPixels() != nullptr && dib.GetWidth() == m_nWidth && dib.GetHeight() == m_nHeight;
    };
    return fits(m_dibSource) && fits(m_dibOutput);
}

void CEffectLayer::DrawPixels()
{
    m_dibOutput.Draw(m_dcOutput, 0, 0);
}

bool CEffectLayer::HandsOn(const EffectInfo* info) const
{
    return m_bSkipUnchanged && info != nullptr && info->family == EffectFamily::Copy;
}

void CEffectLayer::Render(platform::Surface* target)
{
    m_bOutputChanged = false;
    const platform::Surface* source = Source();
    if (source == nullptr || source->Width() != m_nWidth || source->Height() != m_nHeight ||
        m_dcOutput.Width() != m_nWidth || m_dcOutput.Height() != m_nHeight)
        return;

    const EffectInfo* info = FindEffect(m_nEffect);
    const bool handsOn = HandsOn(info);
    if (m_bHandsOn && !handsOn) {
        // The layer showed its source: its own surface starts from it, for the
        // effects that keep their output on some frames.
        m_dcOutput.BitBlt(0, 0, m_nWidth, m_nHeight, *source, 0, 0);
        if (m_bCaptureDue)
            CaptureSource();
    }
    m_bHandsOn = handsOn;
    // A code outside the table draws nothing: its output is as still as a filter's.
    const bool still = info == nullptr || IsStill(info->family);
    m_bOutputKept = m_bSkipUnchanged && still && !m_bStale;
    if (!m_bOutputKept) {
        m_bStale = false;
        if (info != nullptr)
            RenderEffect(*info);
    }
    m_bOutputChanged = !m_bSkipUnchanged || !m_bOutputKept;
    ++m_nFrameCount;
    if (target != nullptr)
        target->BitBlt(0, 0, m_nWidth, m_nHeight, Output(), 0, 0);
}

void CEffectLayer::RenderEffect(const EffectInfo& info)
{
    switch (info.family) {
    case EffectFamily::Copy:
        return RenderCopy();
    case EffectFamily::PixelFilter:
        return RenderPixelFilter();
    case EffectFamily::RowShift:
        return Portal();
    case EffectFamily::Shader:
        return info.code == EFFECT_CLOCK_DATE ? RenderDate(info) : RenderShader(info);
    case EffectFamily::ExternalShader:
        return RenderExternalShader();
    case EffectFamily::ShaderBufferA:
        return RenderShaderBufferA(info);
    case EffectFamily::ShaderTextures:
        return RenderShaderTextures(info);
    case EffectFamily::ShaderClock:
        return RenderShaderClock(info);
    case EffectFamily::ShaderCube:
        return RenderShaderCube(info);
    case EffectFamily::ShaderCubeBuffer:
        return RenderShaderCubeBuffer(info);
    case EffectFamily::ShaderBufAB:
        return RenderShaderBufAB(info);
    case EffectFamily::ShaderOldWatch:
        return RenderShaderOldWatch(info);
    case EffectFamily::ShaderBufABCD:
        return RenderShaderBufABCD(info);
    case EffectFamily::Drizzle:
        return Drizzle();
    case EffectFamily::Clouds:
        return RenderClouds();
    case EffectFamily::Fire:
        return RenderFire();
    case EffectFamily::Plasma:
        return RenderPlasma();
    case EffectFamily::OpenGLScene:
        return RenderOpenGLScene();
    case EffectFamily::MetalLens:
        return MetalLens();
    case EffectFamily::SlideShow:
        return RenderSlideShow();
    case EffectFamily::Fur:
        return RenderFur();
    case EffectFamily::DotGrid:
        return RenderDotGrid();
    case EffectFamily::TextRain:
        return RenderTextRain();
    }
}

void CEffectLayer::MouseMove(QPoint point)
{
    const int flippedY = m_nHeight - 1 - point.y();
    const EffectInfo* info = FindEffect(m_nEffect);
    if (info == nullptr)
        return;
    if (info->mouse != EffectMouse::None)
        m_bStale = true;
    switch (info->mouse) {
    case EffectMouse::None:
        return;
    case EffectMouse::Drop:
        if (m_water.m_nWidth > 0)
            m_water.AddDrop(point.x(), flippedY, static_cast<int>(m_nWidth * 0.02), 30, m_water.m_nPage);
        return;
    case EffectMouse::Drift:
        m_clouds.SetDrift(point.x(), point.y());
        return;
    case EffectMouse::ShaderPos:
        if (QPoint* mouse = ShaderMouse(info->family))
            *mouse = QPoint(point.x(), flippedY);
        return;
    }
}

QPoint* CEffectLayer::ShaderMouse(EffectFamily family)
{
    switch (family) {
    case EffectFamily::Shader:
    case EffectFamily::ExternalShader:
        return &Use(m_shader).m_ptMouse;
    case EffectFamily::ShaderCube:
        return &Use(m_shaderCube).m_ptMouse;
    case EffectFamily::ShaderCubeBuffer:
        return &Use(m_shaderCube2).m_ptMouse;
    case EffectFamily::ShaderOldWatch:
        return &Use(m_shaderOldWatch).m_ptMouse;
    case EffectFamily::ShaderBufABCD:
        return &Use(m_shaderBufABCD).m_ptMouse;
    default:
        return nullptr;
    }
}

// --- Copy and CPU filters ---

void CEffectLayer::RenderCopy()
{
    // A layer that hands its source on has nothing to draw.
    if (!m_bHandsOn)
        m_dcOutput.BitBlt(0, 0, m_nWidth, m_nHeight, *Source(), 0, 0);
}

void CEffectLayer::RenderPixelFilter()
{
    if (!HasPixels())
        return;
    switch (m_nEffect) {
    case EFFECT_COLOR_FILTER:
        return ColorFilter();
    case EFFECT_MONOCHROME:
        return Monochrome();
    case EFFECT_SEPIA:
        return Sepia();
    case EFFECT_FROSTED_GLASS:
        return FrostedGlass();
    case EFFECT_KERNEL_FILTER:
        return KernelFilter();
    case EFFECT_FISHEYE:
        return Fisheye();
    case EFFECT_BLOCK_MOSAIC:
        return BlockMosaic();
    default:
        return;
    }
}

// --- Shader renderers ---

template <typename Renderer, typename SetUp>
void CEffectLayer::RunRenderer(std::optional<Renderer>& member, SetUp setUp)
{
    Renderer& renderer = Use(member);
    if (TakeSetup())
        setUp(renderer);
    renderer.Render(m_dcOutput, Source());
}

void CEffectLayer::SetUpShader(CShaderRenderer& shader, const EffectInfo& info)
{
    if (info.code == EFFECT_FRAME_TORUS) {
        const QString texture = m_pSettings != nullptr ? m_pSettings->ExtTexture() : QString();
        if (!texture.isEmpty())
            shader.SetTextureName(Utf8(texture));
    } else if (!info.textures[0].empty()) {
        shader.SetTextureName(Name(info.textures[0]));
    }
    shader.Create(Source(), m_nWidth, m_nHeight, Name(info.image));
}

void CEffectLayer::RenderShader(const EffectInfo& info)
{
    RunRenderer(m_shader, [&](CShaderRenderer& shader) { SetUpShader(shader, info); });
}

void CEffectLayer::RenderDate(const EffectInfo& info)
{
    CShaderRenderer& shader = Use(m_shader);
    if (TakeSetup())
        SetUpShader(shader, info);
    // The dial type is read on every frame, so a change reaches the date without a new set-up.
    shader.m_nMojibanType = m_pSettings != nullptr ? m_pSettings->ClockFace() : 0;
    shader.Render(m_dcOutput, Source());
}

void CEffectLayer::RenderExternalShader()
{
    RunRenderer(m_shader, [&](CShaderRenderer& shader) {
        // Without a name nothing is loaded: the renderer keeps what it last drew with.
        const QString name = m_pSettings != nullptr ? m_pSettings->ExtShader() : QString();
        if (!name.isEmpty())
            shader.Create(Source(), m_nWidth, m_nHeight, Utf8(name));
    });
}

void CEffectLayer::RenderShaderBufferA(const EffectInfo& info)
{
    RunRenderer(m_shader2, [&](CShaderRenderer2& shader) {
        if (!info.textures[0].empty())
            shader.SetTextureName(Name(info.textures[0]));
        shader.Create(Source(), m_nWidth, m_nHeight, Name(info.image));
        shader.LoadBufferA(Name(info.buffers[0]));
    });
}

void CEffectLayer::RenderShaderTextures(const EffectInfo& info)
{
    RunRenderer(m_shader3, [&](CShaderRenderer3& shader) {
        shader.Create(Source(), m_nWidth, m_nHeight, Name(info.image));
        shader.m_textureNames.clear();
        for (const std::string_view texture : info.textures) {
            if (!texture.empty())
                shader.m_textureNames.emplace_back(texture);
        }
        shader.m_b3DNoise = info.noise3D;
        shader.LoadBufferA(Name(info.buffers[0]));
    });
}

void CEffectLayer::RenderShaderClock(const EffectInfo& info)
{
    RunRenderer(m_shaderClock, [&](CShaderClock& shader) {
        shader.Create(Source(), m_nWidth, m_nHeight, Name(info.image));
    });
}

void CEffectLayer::RenderShaderCube(const EffectInfo& info)
{
    RunRenderer(m_shaderCube, [&](CShaderCube& shader) {
        shader.Create(Source(), m_nWidth, m_nHeight, Name(info.image));
        shader.LoadCubemap();
    });
}

void CEffectLayer::RenderShaderCubeBuffer(const EffectInfo& info)
{
    RunRenderer(m_shaderCube2, [&](CShaderCube2& shader) {
        shader.Create(Source(), m_nWidth, m_nHeight, Name(info.image));
        shader.LoadCubemap();
        shader.LoadBufferA();
        shader.LoadCubeA();
    });
}

void CEffectLayer::RenderShaderBufAB(const EffectInfo& info)
{
    RunRenderer(m_shaderBufAB, [&](CShaderBufAB& shader) {
        shader.Create(Source(), m_nWidth, m_nHeight, Name(info.image));
        shader.LoadBuffers(Name(info.buffers[0]), Name(info.buffers[1]));
    });
}

void CEffectLayer::RenderShaderOldWatch(const EffectInfo& info)
{
    RunRenderer(m_shaderOldWatch, [&](CShaderOldWatch& shader) {
        shader.Create(Source(), m_nWidth, m_nHeight, Name(info.image));
        shader.LoadTextures(Name(info.buffers[0]), Name(info.buffers[1]));
        shader.SetTimeSource(m_clockTime);
    });
}

void CEffectLayer::RenderShaderBufABCD(const EffectInfo& info)
{
    RunRenderer(m_shaderBufABCD, [&](CShaderBufABCD& shader) {
        if (!info.textures[0].empty())
            shader.SetTextureName(Name(info.textures[0]));
        shader.Create(Source(), m_nWidth, m_nHeight, Name(info.image));
        shader.LoadBuffers(Name(info.buffers[0]), Name(info.buffers[1]), Name(info.buffers[2]),
                           Name(info.buffers[3]));
    });
}

// --- CPU routines ---

void CEffectLayer::Drizzle()
{
    if (TakeSetup())
        m_water.Create(m_nWidth, m_nHeight);
    if (!HasPixels())
        return;
    if (m_nFrameCount % static_cast<std::uint64_t>(m_nDropPeriod) != 0) {
        m_water.Render(m_dibSource.GetPixels(), m_dibOutput.GetPixels());
        DrawPixels();
        return;
    }
    // A drop frame: a random drop falls; the water is neither stepped nor drawn.
    const int r0 = static_cast<int>(m_nWidth * 0.3);
    const auto uniform = [this](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); };
    const int x = uniform(0, m_nWidth);
    const int y = uniform(0, m_nHeight);
    const int radius = uniform(static_cast<int>(r0 * 0.6), r0);
    const int height = uniform(r0, static_cast<int>(m_nWidth * 0.5));
    m_water.AddDrop(x, y, radius, height, m_water.m_nPage);
    // The next drop falls 1 to 5 whole seconds later.
    m_nDropPeriod = (1000 / m_nFramePeriod) * (uniform(0, 4) + 1);
}

void CEffectLayer::RenderClouds()
{
    if (TakeSetup())
        m_clouds.Create(m_nWidth, m_nHeight);
    if (!HasPixels())
        return;
    m_clouds.Render(m_dibOutput.GetPixels(), m_dibSource.GetPixels());
    DrawPixels();
}

void CEffectLayer::RenderFire()
{
    if (TakeSetup())
        m_fire.Create(m_nWidth, m_nHeight);
    if (!HasPixels())
        return;
    m_fire.Render(m_dibSource.GetPixels(), m_dibOutput.GetPixels());
    DrawPixels();
}

void CEffectLayer::RenderPlasma()
{
    if (TakeSetup())
        m_plasma.Create(m_nWidth, m_nHeight);
    if (!HasPixels())
        return;
    m_plasma.Render(m_dibSource.GetPixels(), m_dibOutput.GetPixels());
    DrawPixels();
}

void CEffectLayer::RenderTextRain()
{
    if (TakeSetup()) {
        m_textRain.Create(*Source(), m_nWidth, m_nHeight);
        // Every set-up adds one more empty line (lines are never removed).
        m_textRain.m_lines.append(QString());
        m_textRain.m_nLastLine = static_cast<int>(m_textRain.m_lines.size());
        m_textRain.StartBlock();
        const int line = m_textRain.m_nCurrentLine;
        if (m_textRain.m_bTyping && line >= 0 && line < static_cast<int>(m_textRain.m_linePos.size())) {
            m_textRain.m_nCursorColumn = 0;
            m_textRain.m_nCursorRow = m_textRain.m_linePos[static_cast<std::size_t>(line)].row;
        }
    }
    if (HasPixels())
        m_textRain.Render(m_dcOutput, *Source());
}

// --- Pictures and strokes ---

void CEffectLayer::RenderSlideShow()
{
    if (!HasPixels())
        return KeepOutput();
    ++m_nPlayCount;
    const std::int64_t period = static_cast<std::int64_t>(1000 / m_nFramePeriod) * m_nPlayInterval;
    if (m_nPlayCount % period == 0)
        m_slideShow.DrawNext(m_dcOutput, *Source());
    else
        KeepOutput();
}

void CEffectLayer::RenderFur()
{
    if (HasPixels())
        m_fur.Draw(m_dcOutput, m_dibSource.GetPixels());
}

void CEffectLayer::RenderDotGrid()
{
    if (!HasPixels() || m_nFrameCount % 4 != 0)
        return KeepOutput();
    m_dcOutput.PatBlt(0, 0, m_nWidth, m_nHeight, platform::PatOp::Blackness);
    m_dotGrid.Draw(m_dcOutput, m_dibSource.GetPixels());
}

// --- OpenGL scenes ---

COpenGLRoutine& CEffectLayer::SceneFor(int code)
{
    switch (code) {
    case EFFECT_TRIFORCE:
        return Use(m_triForce);
    case EFFECT_ANGEL:
        return Use(m_angel);
    default:
        return Use(m_cylinder);
    }
}

void CEffectLayer::RenderOpenGLScene()
{
    COpenGLRoutine& scene = SceneFor(m_nEffect);
    if (TakeSetup())
        scene.Create(Source(), m_nWidth, m_nHeight); // without a context it draws nothing
    scene.Render(m_dcOutput, *Source());
}

void CEffectLayer::MetalLens()
{
    CMetalSurface& metal = Use(m_metal);
    if (TakeSetup()) {
        metal.SetMesh(m_pLensMesh);
        metal.Create(Source(), m_nWidth, m_nHeight);
    }
    // The lens is drawn on even frames only; the output keeps its picture between.
    if (m_nFrameCount % 2 != 0)
        return KeepOutput();
    m_dcSphere.StretchBlt(0, 0, m_sizeSphere.width(), m_sizeSphere.height(), *Source(), 0, 0, m_nWidth,
                          m_nHeight);
    m_dibSphere.CaptureFromDC(m_dcSphere, m_sizeSphere.width(), m_sizeSphere.height());
    metal.LoadSphereMap(m_dibSphere);
    metal.DrawScene();
    const platform::Surface& picture = metal.Picture();
    m_dcOutput.BitBlt(0, 0, picture.Width(), picture.Height(), picture, 0, 0);
}
