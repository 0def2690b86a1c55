// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/shader_buf_abcd.h"

#include "platform/desktop.h"

bool CShaderBufABCD::LoadBuffers(const std::string& nameA, const std::string& nameB, const std::string& nameC,
                                 const std::string& nameD)
{
    if (!m_program || !m_context.MakeCurrent())
        return false;
    for (BufferPass* pass : {&m_bufferA, &m_bufferB, &m_bufferC, &m_bufferD})
        ReleasePass(*pass);
    const std::string pathA = ShaderPath(nameA, ".frag");
    return PassFilesExist(pathA) && BuildPasses({{m_bufferA, pathA, 1},
                                                 {m_bufferB, ShaderPath(nameB, ".frag"), 2},
                                                 {m_bufferC, ShaderPath(nameC, ".frag"), 2},
                                                 {m_bufferD, ShaderPath(nameD, ".frag"), 2}});
}

void CShaderBufABCD::LatchAltClick()
{
    if (platform::IsKeyDown(platform::Key::Alt)) {
        if (!m_bAltLatch)
            m_ptClick = m_ptMouse;
        m_bAltLatch = true;
        return;
    }
    if (m_bAltLatch)
        m_ptClick = -m_ptClick;
    m_bAltLatch = false;
    m_ptMouse = QPoint();
}

void CShaderBufABCD::SetPassUniforms(unsigned program, float seconds) const
{
    SetFloat(program, "iTime", seconds);
    SetResolution(program, m_width, m_height);
    SetInt(program, "iFrame", m_nFrame);
    SetVec4(program, "iMouse", static_cast<float>(m_ptMouse.x()), static_cast<float>(m_ptMouse.y()),
            static_cast<float>(m_ptClick.x()), static_cast<float>(m_ptClick.y()));
}

void CShaderBufABCD::Render(platform::Surface& target, const platform::Surface* source)
{
    static const std::int64_t start = TickCount();
    if (!source || !m_program || !m_bufferA.Ready() || !m_bufferB.Ready() || !m_bufferC.Ready() ||
        !m_bufferD.Ready() || !BeginFrame(source, true))
        return;
    const float seconds = SecondsSince(start);
    LatchAltClick();

    BeginPass(m_bufferA);
    BindSampler(m_bufferA.program, "iChannel0", 0, Sampler::Flat, m_bufferC.Older());
    SetPassUniforms(m_bufferA.program, seconds);
    DrawQuad(false);
    EndPass(m_bufferA);

    BeginPass(m_bufferB);
    BindSampler(m_bufferB.program, "iChannel0", 0, Sampler::Flat, m_bufferA.Latest());
    BindSampler(m_bufferB.program, "iChannel1", 1, Sampler::Flat, m_bufferB.Latest());
    BindSampler(m_bufferB.program, "iChannel3", 3, Sampler::Flat, m_fileTexture);
    SetPassUniforms(m_bufferB.program, seconds);
    DrawQuad(false);
    EndPass(m_bufferB);

    BeginPass(m_bufferC);
    BindSampler(m_bufferC.program, "iChannel0", 0, Sampler::Flat, m_bufferB.Latest());
    BindSampler(m_bufferC.program, "iChannel1", 1, Sampler::Flat, m_bufferC.Latest());
    SetPassUniforms(m_bufferC.program, seconds);
    DrawQuad(false);
    EndPass(m_bufferC);

    BeginPass(m_bufferD);
    BindSampler(m_bufferD.program, "iChannel0", 0, Sampler::Flat, m_bufferA.Latest());
    BindSampler(m_bufferD.program, "iChannel1", 1, Sampler::Flat, m_bufferD.Latest());
    SetPassUniforms(m_bufferD.program, seconds);
    DrawQuad(false);
    EndPass(m_bufferD);

    DrawImagePass(target, seconds, {m_bufferD.Latest()});
}

void CShaderBufABCD::DeleteGlObjects()
{
    for (BufferPass* pass : {&m_bufferA, &m_bufferB, &m_bufferC, &m_bufferD})
        ReleasePass(*pass);
    CShaderRenderer::DeleteGlObjects();
}
