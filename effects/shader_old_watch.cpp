// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/shader_old_watch.h"

#include "effects/shader_clock.h"

namespace {

// iChannelResolution of buffer A: fixed, whatever the pictures' real sizes.
constexpr int kPictureSide = 256;

} // namespace

bool CShaderOldWatch::LoadCubemap()
{
    if (!m_program || !m_context.MakeCurrent())
        return false;
    return LoadCubeTexture(m_cubeTexture,
                           {"UffiziGallery1.jpg", "UffiziGallery2.jpg", "UffiziGallery3.jpg",
                            "UffiziGallery4.jpg", "UffiziGallery5.jpg", "UffiziGallery6.jpg"},
                           true);
}

bool CShaderOldWatch::LoadTextures(const std::string& nameA, const std::string& nameB)
{
    if (!m_program || !m_context.MakeCurrent())
        return false;
    ReleaseAll();
    const std::string pathA = ShaderPath(nameA, ".frag");
    if (!PassFilesExist(pathA))
        return false;
    // A face that fails is shown and stays black; the watch goes on without it.
    LoadCubemap();
    const std::pair<unsigned*, std::string> pictures[] = {
        {&m_woodTexture, m_strAssetsDir + "st_wood.jpg"},
        {&m_fontTexture, m_strMiscDir + "st_font1.png"},
        {&m_organicTexture, m_strAssetsDir + "st_Organic3.jpg"},
    };
    for (const auto& [texture, path] : pictures) {
        if (!LoadTexture(*texture, path)) {
            PostSilentError();
            return false;
        }
    }
    return BuildPasses({{m_bufferA, pathA, 1}, {m_bufferB, ShaderPath(nameB, ".frag"), 2}});
}

void CShaderOldWatch::Render(platform::Surface& target, const platform::Surface* source)
{
    static const std::int64_t start = TickCount();
    if (!source || !m_program || !m_cubeTexture || !m_bufferA.Ready() || !m_bufferB.Ready() ||
        !BeginFrame(source, true))
        return;
    const float seconds = SecondsSince(start);

    const unsigned a = m_bufferA.program;
    BeginPass(m_bufferA);
    BindSampler(a, "iChannel1", 1, Sampler::Flat, m_fontTexture);
    BindSampler(a, "iChannel2", 2, Sampler::Flat, m_organicTexture);
    SetFloat(a, "iTime", seconds);
    SetResolution(a, m_width, m_height);
    SetInt(a, "iFrame", m_nFrame);
    const auto side = static_cast<float>(kPictureSide);
    const float channelSizes[] = {
        static_cast<float>(m_width), static_cast<float>(m_height), 1, side, side, 1, side, side, 1, 0, 0, 0};
    glUniform3fv(glGetUniformLocation(a, "iChannelResolution"), 4, channelSizes);
    DrawQuad(false);
    EndPass(m_bufferA);

    const unsigned b = m_bufferB.program;
    BeginPass(m_bufferB);
    BindSampler(b, "iChannel0", 0, Sampler::Flat, m_bufferA.Latest());
    BindSampler(b, "iChannel1", 1, Sampler::Flat, m_bufferB.Latest());
    SetResolution(b, m_width, m_height);
    DrawQuad(false);
    EndPass(m_bufferB);

    FollowAltClick();
    BeginImage(true);
    BindSampler(m_program, "iChannel0", 0, Sampler::Cube, m_cubeTexture);
    BindSampler(m_program, "iChannel1", 1, Sampler::Flat, m_woodTexture);
    BindSampler(m_program, "iChannel2", 2, Sampler::Flat, m_bufferA.Latest());
    BindSampler(m_program, "iChannel3", 3, Sampler::Flat, m_bufferB.Latest());
    const auto date = DateUniform(m_timeSource ? m_timeSource() : CurrentLocalTime());
    SetVec4(m_program, "iDate", date[0], date[1], date[2], date[3]);
    SetFloat(m_program, "iTime", seconds);
    SetResolution(m_program, m_width, m_height);
    SetVec3(m_program, "iMouse", static_cast<float>(m_ptMouse.x()), static_cast<float>(m_ptMouse.y()),
            static_cast<float>(m_ptClick.x()));
    SetInt(m_program, "iFrame", m_nFrame++);
    DrawQuad(false);
    FinishFrame(target);
}

void CShaderOldWatch::ReleaseAll()
{
    ReleasePass(m_bufferA);
    ReleasePass(m_bufferB);
    for (unsigned* texture : {&m_woodTexture, &m_cubeTexture, &m_fontTexture, &m_organicTexture})
        ReleaseTexture(*texture);
}

void CShaderOldWatch::DeleteGlObjects()
{
    ReleaseAll();
    CShaderRenderer::DeleteGlObjects();
}
