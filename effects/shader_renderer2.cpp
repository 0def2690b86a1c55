// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/shader_renderer2.h"

bool CShaderRenderer2::LoadBufferA(const std::string& name)
{
    if (!m_program || !m_context.MakeCurrent())
        return false;
    ReleasePass(m_bufferA);
    m_bufferA.program = BuildBufferProgram(ShaderPath(name, ".frag"), {});
    return m_bufferA.program != 0 && CreatePass(m_bufferA, 2);
}

void CShaderRenderer2::Render(platform::Surface& target, const platform::Surface* source)
{
    static const std::int64_t start = TickCount();
    if (!source || !m_program || !m_bufferA.Ready() || !BeginFrame(source, true))
        return;
    const float seconds = SecondsSince(start);

    const unsigned a = m_bufferA.program;
    BeginPass(m_bufferA);
    BindSampler(a, "iChannel0", 0, Sampler::Flat, m_bufferA.Latest());
    SetFloat(a, "iTime", seconds);
    SetResolution(a, m_width, m_height);
    SetInt(a, "iFrame", m_nFrame);
    DrawQuad(false);
    EndPass(m_bufferA);

    DrawImagePass(target, seconds, {m_bufferA.Latest(), m_sourceTexture});
}

void CShaderRenderer2::DeleteGlObjects()
{
    ReleasePass(m_bufferA);
    CShaderRenderer::DeleteGlObjects();
}
