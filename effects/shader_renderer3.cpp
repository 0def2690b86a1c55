// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/shader_renderer3.h"

#include "platform/paths.h"
#include "platform/run_time_files.h"

namespace {

constexpr int kNoiseSide = 32;
constexpr qsizetype kNoiseBytes = kNoiseSide * kNoiseSide * kNoiseSide;

} // namespace

bool CShaderRenderer3::LoadBufferA(const std::string& name)
{
    if (!m_program || !m_context.MakeCurrent())
        return false;
    ReleasePass(m_bufferA);
    for (unsigned& input : m_inputs)
        ReleaseTexture(input);
    m_bufferA.program = BuildBufferProgram(ShaderPath(name, ".frag"), {});
    if (!m_bufferA.program || !CreatePass(m_bufferA, 1))
        return false;
    const std::size_t count = std::min(m_textureNames.size(), m_inputs.size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::string path = m_strAssetsDir + m_textureNames[i];
        const bool loaded =
            i == 0 && m_b3DNoise ? Load3DNoise(m_inputs[i], path) : LoadTexture(m_inputs[i], path);
        if (!loaded) {
            PostSilentError();
            return false;
        }
    }
    return true;
}

bool CShaderRenderer3::Load3DNoise(unsigned& texture, const std::string& path)
{
    const platform::FileRead file = platform::ReadRunTimeFile(
        platform::paths::FromData(QString::fromStdString(path)), platform::FileKind::NoiseVolume);
    if (file.bytes.size() < kNoiseBytes)
        return false; // a longer file passes: only its first bytes are used
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_3D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage3D(GL_TEXTURE_3D, 0, GL_R8, kNoiseSide, kNoiseSide, kNoiseSide, 0, GL_RED, GL_UNSIGNED_BYTE,
                 file.bytes.constData());
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_3D, GL_TEXTURE_WRAP_R, GL_REPEAT);
    glBindTexture(GL_TEXTURE_3D, 0);
    return true;
}

void CShaderRenderer3::Render(platform::Surface& target, const platform::Surface* source)
{
    static const std::int64_t start = TickCount();
    if (!source || !m_program || !m_bufferA.Ready() || !BeginFrame(source, true))
        return;
    const float seconds = SecondsSince(start);
    const auto mouseX = static_cast<float>(m_ptMouse.x());
    const auto mouseY = static_cast<float>(m_ptMouse.y());

    const unsigned a = m_bufferA.program;
    BeginPass(m_bufferA);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    BindSampler(a, "iChannel0", 0, m_b3DNoise ? Sampler::Volume : Sampler::Flat, m_inputs[0]);
    BindSampler(a, "iChannel1", 1, Sampler::Flat, m_inputs[1]);
    BindSampler(a, "iChannel2", 2, Sampler::Flat, m_inputs[2]);
    SetFloat(a, "iTime", seconds);
    SetResolution(a, m_width, m_height);
    SetVec2(a, "iMouse", mouseX, mouseY);
    DrawQuad(false);
    EndPass(m_bufferA);

    DrawImagePass(target, seconds, {m_bufferA.Latest(), m_sourceTexture}, m_ptMouse);
}

void CShaderRenderer3::DeleteGlObjects()
{
    ReleasePass(m_bufferA);
    for (unsigned& input : m_inputs)
        ReleaseTexture(input);
    CShaderRenderer::DeleteGlObjects();
}
