// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/shader_cube.h"

bool CShaderCube::LoadCubemap()
{
    if (!m_program || !m_context.MakeCurrent())
        return false;
    return LoadCubeTexture(
        m_cubeTexture,
        {"Forest1.png", "Forest2.png", "Forest3.png", "Forest4.png", "Forest5.png", "Forest6.png"}, false);
}

void CShaderCube::Render(platform::Surface& target, const platform::Surface* source)
{
    static const std::int64_t start = TickCount();
    if (!source || !m_program || !m_cubeTexture || !BeginFrame(source, false))
        return;
    BeginImage(true);
    SetFloat(m_program, "iTime", SecondsSince(start));
    SetResolution(m_program, m_width, m_height);
    BindSampler(m_program, "iChannel0", 0, Sampler::Cube, m_cubeTexture);
    SetVec2(m_program, "iMouse", static_cast<float>(m_ptMouse.x()), static_cast<float>(m_ptMouse.y()));
    SetInt(m_program, "iFrame", m_nFrame++);
    DrawQuad(true);
    FinishFrame(target);
}

void CShaderCube::DeleteGlObjects()
{
    ReleaseTexture(m_cubeTexture);
    CShaderRenderer::DeleteGlObjects();
}
