#pragma once
// The effect codes of a layer: their names, menu texts, which routine serves each
// and the shader files and textures it sets up with. One table holds every code;
// anything not in it selects nothing.
#include <array>
#include <span>
#include <string_view>
#include <vector>

enum EffectCode : int
{
    EFFECT_NONE = 0,
    EFFECT_COLOR_FILTER = 1,
    EFFECT_MONOCHROME = 2,
    EFFECT_SEPIA = 3,
    EFFECT_WARPING = 4,
    EFFECT_FROSTED_GLASS = 5,
    EFFECT_MOSAIC = 6,
    EFFECT_SKETCH = 7,
    EFFECT_PORTAL = 8,
    EFFECT_DRIZZLE = 9,
    EFFECT_FLAME = 10,
    EFFECT_NOTEBOOK = 11,
    EFFECT_CLOUDS = 12,
    EFFECT_MATRIX = 13,
    EFFECT_LIQUID_METALBALL = 14,
    EFFECT_TRIFORCE = 15,
    EFFECT_PLASMA_WAVES = 16,
    EFFECT_IMAGE_SLIDESHOW = 17,
    EFFECT_METALLIC = 18,
    EFFECT_FUR = 19,
    EFFECT_POLKA_PIXELS = 20,
    EFFECT_GLITCH = 21,
    EFFECT_GLASS_DROPLETS = 22,
    EFFECT_RIVER = 23,
    EFFECT_SEA = 24,
    EFFECT_DOTS_LOADER = 25,
    EFFECT_RAIN_SCREEN = 26,
    EFFECT_FLURRY = 27,
    EFFECT_MYSTIFY = 28,
    EFFECT_EXTERNAL_SHADER = 29,
    EFFECT_DIAL_DEFAULT = 50,
    EFFECT_DIAL_SWISS_RAILWAY = 51,
    EFFECT_DIAL_SEVEN_SEGMENT = 52,
    EFFECT_CLOCK_DATE = 60,
    EFFECT_KERNEL_FILTER = 80,
    EFFECT_FISHEYE = 81,
    EFFECT_FIRE = 82,
    EFFECT_PLASMA = 83,
    EFFECT_ANGEL = 84,
    EFFECT_DOT_GRID = 85,
    EFFECT_CYLINDER = 86,
    EFFECT_TEXT_RAIN = 87,
    EFFECT_BLOCK_MOSAIC = 88,
    EFFECT_METAL_LENS = 89,
    EFFECT_SHADER_SET_FIRST = 100,
    EFFECT_CUBE_FIRST = 110,
    EFFECT_CUBE_BUFFER = 115,
    EFFECT_BUFFER_AB_FIRST = 120,
    EFFECT_OLD_WATCH = 122,
    EFFECT_BUFFER_ABCD_FIRST = 130,
    EFFECT_UKIYOE = 140,
    EFFECT_FRAME_TORUS = 150,
};

// Number of effects in the popup menus (codes 0 to 29, in menu order).
inline constexpr int kMenuEffectCount = 30;

// Which routine of the layer serves a code (each family has one method in
// CEffectLayer that runs it).
enum class EffectFamily
{
    Copy,             // the source copied unchanged
    PixelFilter,      // CPU filters, operations of the layer
    RowShift,         // the rows rotated by a sine whose phase moves each frame
    Shader,           // m_shader, one image pass (optional texture)
    ExternalShader,   // m_shader with the ExtShader setting
    ShaderBufferA,    // m_shader2: image pass plus buffer A
    ShaderTextures,   // m_shader3: buffer A with texture files or 3D noise
    ShaderClock,      // m_shaderClock: the dial faces
    ShaderCube,       // m_shaderCube: image pass with a cube map
    ShaderCubeBuffer, // m_shaderCube2: cube map, buffer A and cube pass
    ShaderBufAB,      // m_shaderBufAB
    ShaderOldWatch,   // m_shaderOldWatch
    ShaderBufABCD,    // m_shaderBufABCD
    Drizzle,          // m_water with random drops
    Clouds,           // m_clouds
    Fire,             // m_fire
    Plasma,           // m_plasma
    OpenGLScene,      // m_triForce, m_angel or m_cylinder
    MetalLens,        // m_metal with the source as sphere map
    SlideShow,        // m_slideShow
    Fur,              // m_fur
    DotGrid,          // m_dotGrid
    TextRain,         // m_textRain
};

// What a mouse move does for a code.
enum class EffectMouse
{
    None,
    Drop,      // a drop in the water at the pointer
    Drift,     // the clouds follow the pointer's direction
    ShaderPos, // the serving renderer's m_ptMouse = pointer with y flipped
};

struct EffectInfo
{
    int code;
    std::string_view name;     // "EFFECT_..."
    std::string_view menuText; // UTF-8; empty for codes outside the menu
    EffectFamily family;
    std::string_view image; // shader file stem of the image pass ("..\_misc\" stems lie in _misc)
    std::array<std::string_view, 4> buffers{}; // stems of buffers A to D, where used
    // The texture name set on the renderer before Create (Shader, ShaderBufferA,
    // ShaderBufABCD), or the input textures of buffer A (ShaderTextures).
    std::array<std::string_view, 3> textures{};
    bool noise3D = false; // ShaderTextures: textures[0] is a 3D noise file
    EffectMouse mouse = EffectMouse::None;
};

// The entry of a code, or null for a code that selects nothing (any int is safe).
const EffectInfo* FindEffect(int code);

// Every code of the table, in ascending order.
std::span<const EffectInfo> AllEffects();

// The codes of the table whose entry keep accepts, in ascending order (the
// lists of effects that tests and benchmarks go through).
template <typename Keep> std::vector<int> EffectCodes(Keep keep)
{
    std::vector<int> codes;
    for (const EffectInfo& info : AllEffects())
        if (keep(info))
            codes.push_back(info.code);
    return codes;
}

// Whether a family's routine runs on the CPU alone (no OpenGL).
constexpr bool RunsOnCpu(EffectFamily family)
{
    switch (family) {
    case EffectFamily::Copy:
    case EffectFamily::PixelFilter:
    case EffectFamily::RowShift:
    case EffectFamily::Drizzle:
    case EffectFamily::Clouds:
    case EffectFamily::Fire:
    case EffectFamily::Plasma:
    case EffectFamily::SlideShow:
    case EffectFamily::Fur:
    case EffectFamily::DotGrid:
    case EffectFamily::TextRain:
        return true;
    default:
        return false;
    }
}

// Whether a family's output is a pure function of the layer's source pixels and
// its settings (code, colour filter, set-up state): no time, frame count, random
// number or pointer enters it. A layer with such an effect keeps its last output
// while none of those changes. Every other family is animated and draws every frame.
constexpr bool IsStill(EffectFamily family)
{
    return family == EffectFamily::Copy || family == EffectFamily::PixelFilter;
}

// Whether a family is one of the shader sets with buffer passes or cube maps.
constexpr bool IsShaderSet(EffectFamily family)
{
    switch (family) {
    case EffectFamily::ShaderBufferA:
    case EffectFamily::ShaderTextures:
    case EffectFamily::ShaderCube:
    case EffectFamily::ShaderCubeBuffer:
    case EffectFamily::ShaderBufAB:
    case EffectFamily::ShaderOldWatch:
    case EffectFamily::ShaderBufABCD:
        return true;
    default:
        return false;
    }
}

// Whether a code is one of the slideshow layers' single-pass shaders (not the
// clock's own date and frame layers).
constexpr bool IsLayerShader(const EffectInfo& info)
{
    return info.family == EffectFamily::Shader && info.code != EFFECT_CLOCK_DATE &&
           info.code != EFFECT_FRAME_TORUS;
}
