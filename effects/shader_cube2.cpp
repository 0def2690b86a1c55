// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/shader_cube.h"

namespace {

// A zero-filled float texture's parameters: nearest, clamped to the edge.
void SetNearestClamped(GLenum target)
{
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(target, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(target, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    if (target == GL_TEXTURE_CUBE_MAP)
        glTexParameteri(target, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
}

GLenum Face(int i)
{
    return static_cast<GLenum>(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i);
}

} // namespace

bool CShaderCube2::LoadBufferA()
{
    if (!m_program || !m_context.MakeCurrent())
        return false;
    ReleasePass(m_bufferA);
    m_bufferA.program = BuildBufferProgram(
        m_strMiscDir + "InterLiquidMetalBlob_BufferA.frag",
        {"Failed to BufferA load shader file(s).", "BufferA Shader program link error:\n"});
    return m_bufferA.program != 0 && CreatePass(m_bufferA, 1);
}

bool CShaderCube2::LoadCubeA()
{
    if (!m_program || !m_context.MakeCurrent())
        return false;
    ReleaseProgram(m_cubeProgram);
    ReleaseFramebuffer(m_cubeFramebuffer);
    for (unsigned& texture : m_cubeTextures)
        ReleaseTexture(texture);
    ReleaseTexture(m_stateTexture);
    m_cubeProgram =
        BuildBufferProgram(m_strMiscDir + "InterLiquidMetalBlob_CubeA.frag",
                           {"Failed to CubeA load shader file(s).", "CubeA Shader program link error:\n"});
    if (!m_cubeProgram)
        return false;

    // Both cube maps start as zeros: each face is cleared through the framebuffer.
    glGenFramebuffers(1, &m_cubeFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, m_cubeFramebuffer);
    glViewport(0, 0, kCubeSide, kCubeSide);
    glClearColor(0, 0, 0, 0);
    bool complete = true;
    for (unsigned& texture : m_cubeTextures) {
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_CUBE_MAP, texture);
        for (int i = 0; i < 6; ++i)
            glTexImage2D(Face(i), 0, GL_RGBA32F, kCubeSide, kCubeSide, 0, GL_RGBA, GL_FLOAT, nullptr);
        SetNearestClamped(GL_TEXTURE_CUBE_MAP);
        for (int i = 0; i < 6; ++i) {
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, Face(i), texture, 0);
            complete = complete && glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
            glClear(GL_COLOR_BUFFER_BIT);
        }
    }
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    BindBackBuffer();

    m_state.fill(0.0f);
    glGenTextures(1, &m_stateTexture);
    glBindTexture(GL_TEXTURE_2D, m_stateTexture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, 2, 1, 0, GL_RGBA, GL_FLOAT, m_state.data());
    SetNearestClamped(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    if (!complete)
        ReleaseFramebuffer(m_cubeFramebuffer);
    return complete;
}

bool CShaderCube2::Ready() const
{
    return m_program && m_cubeTexture && m_bufferA.Ready() && m_cubeProgram && m_cubeFramebuffer &&
           m_cubeTextures[0] && m_cubeTextures[1] && m_stateTexture;
}

void CShaderCube2::DrawCubePass()
{
    const unsigned program = m_cubeProgram;
    const auto current = static_cast<std::size_t>(m_currentCube);
    glBindFramebuffer(GL_FRAMEBUFFER, m_cubeFramebuffer);
    glViewport(0, 0, kCubeSide, kCubeSide);
    glUseProgram(program);
    BindSampler(program, "iChannel1", 1, Sampler::Flat, m_stateTexture);
    BindSampler(program, "iChannel0", 0, Sampler::Cube, m_cubeTextures[current]);
    SetInt(program, "iFrame", m_nFrame);
    SetResolution(program, kCubeSide, kCubeSide);
    const GLint face = glGetUniformLocation(program, "iFace");
    for (int i = 0; i < 6; ++i) {
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, Face(i), m_cubeTextures[1 - current], 0);
        glUniform1i(face, i);
        DrawQuad(true);
    }
    BindBackBuffer();
    m_currentCube = 1 - m_currentCube;
}

void CShaderCube2::FeedBackState()
{
    glBindFramebuffer(GL_FRAMEBUFFER, m_bufferA.framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, 2, 1, GL_RGBA, GL_FLOAT, m_state.data());
    BindBackBuffer();
    glBindTexture(GL_TEXTURE_2D, m_stateTexture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 2, 1, GL_RGBA, GL_FLOAT, m_state.data());
    glBindTexture(GL_TEXTURE_2D, 0);
}

void CShaderCube2::Render(platform::Surface& target, const platform::Surface* source)
{
    static const std::int64_t start = TickCount();
    if (!source || !Ready() || !BeginFrame(source, false))
        return;
    // Six 1024 x 1024 float faces cost more than a frame period on a software
    // driver: the room is redrawn on even frames only, and buffer A reflects
    // the latest one in between.
    if (m_nFrame % 2 == 0)
        DrawCubePass();
    FollowAltClick();

    const unsigned a = m_bufferA.program;
    BeginPass(m_bufferA);
    SetFloat(a, "iTime", SecondsSince(start));
    SetResolution(a, m_width, m_height);
    SetVec3(a, "iMouse", static_cast<float>(m_ptMouse.x()), static_cast<float>(m_ptMouse.y()),
            static_cast<float>(m_ptClick.x()));
    BindSampler(a, "iChannel1", 1, Sampler::Cube, m_cubeTexture);
    BindSampler(a, "iChannel0", 0, Sampler::Cube, m_cubeTextures[static_cast<std::size_t>(m_currentCube)]);
    DrawQuad(true);
    EndPass(m_bufferA);

    BeginImage(false);
    SetResolution(m_program, m_width, m_height);
    BindSampler(m_program, "iChannel0", 0, Sampler::Flat, m_bufferA.Latest());
    DrawQuad(true);
    ++m_nFrame;

    FeedBackState();
    FinishFrame(target);
}

void CShaderCube2::DeleteGlObjects()
{
    ReleasePass(m_bufferA);
    ReleaseProgram(m_cubeProgram);
    ReleaseFramebuffer(m_cubeFramebuffer);
    for (unsigned& texture : m_cubeTextures)
        ReleaseTexture(texture);
    ReleaseTexture(m_stateTexture);
    m_currentCube = 0;
    CShaderCube::DeleteGlObjects();
}
