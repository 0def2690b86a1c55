// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/shader_buf_ab.h"

namespace {

constexpr float kTimeDelta = 0.033f;

} // namespace

bool CShaderBufAB::LoadBuffers(const std::string& nameA, const std::string& nameB)
{
    if (!m_program || !m_context.MakeCurrent())
        return false;
    ReleasePass(m_bufferA);
    ReleasePass(m_bufferB);
    const std::string pathA = ShaderPath(nameA, ".frag");
    return PassFilesExist(pathA) &&
           BuildPasses({{m_bufferA, pathA, 1}, {m_bufferB, ShaderPath(nameB, ".frag"), 2}});
}

void CShaderBufAB::Render(platform::Surface& target, const platform::Surface* source)
{
    static const std::int64_t start = TickCount();
    if (!source || !m_program || !m_bufferA.Ready() || !m_bufferB.Ready() || !BeginFrame(source, true))
        return;
    const float seconds = SecondsSince(start);

    const unsigned a = m_bufferA.program;
    BeginPass(m_bufferA);
    SetFloat(a, "iTime", seconds);
    SetFloat(a, "iTimeDelta", kTimeDelta);
    SetResolution(a, m_width, m_height);
    SetInt(a, "iFrame", m_nFrame);
    DrawQuad(false);
    EndPass(m_bufferA);

    const unsigned b = m_bufferB.program;
    BeginPass(m_bufferB);
    BindSampler(b, "iChannel0", 0, Sampler::Flat, m_bufferA.Latest());
    BindSampler(b, "iChannel1", 1, Sampler::Flat, m_bufferB.Latest());
    SetFloat(b, "iTimeDelta", kTimeDelta);
    SetResolution(b, m_width, m_height);
    DrawQuad(false);
    EndPass(m_bufferB);

    DrawImagePass(target, seconds, {m_bufferA.Latest(), m_bufferB.Latest()});
}

void CShaderBufAB::DeleteGlObjects()
{
    ReleasePass(m_bufferA);
    ReleasePass(m_bufferB);
    CShaderRenderer::DeleteGlObjects();
}
