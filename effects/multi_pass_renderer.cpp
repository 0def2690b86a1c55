// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/multi_pass_renderer.h"

#include "platform/desktop.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/run_time_files.h"

#include <QImage>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

GLenum TargetOf(CMultiPassRenderer::Sampler kind)
{
    switch (kind) {
    case CMultiPassRenderer::Sampler::Volume:
        return GL_TEXTURE_3D;
    case CMultiPassRenderer::Sampler::Cube:
        return GL_TEXTURE_CUBE_MAP;
    case CMultiPassRenderer::Sampler::Flat:
        break;
    }
    return GL_TEXTURE_2D;
}

constexpr int kSamplerUnits = 4; // iChannel0 to iChannel3
constexpr int kLogSize = 1024;   // info-log buffer, terminating zero included

std::string InfoLog(GLuint program)
{
    std::string log(kLogSize, '\0');
    GLsizei length = 0;
    glGetProgramInfoLog(program, kLogSize, &length, log.data());
    log.resize(static_cast<std::size_t>(std::clamp(length, 0, kLogSize - 1)));
    return log;
}

// A face picture as packed RGB bytes, top row first, with its side; no bytes
// when the file cannot be read, is not square or is larger than a cube map's
// face may be.
struct FacePicture
{
    std::vector<unsigned char> rgb;
    int side = 0;
};

FacePicture ReadFace(const QString& path)
{
    const QImage file = platform::ReadPictureFile(path);
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_CUBE_MAP_TEXTURE_SIZE, &maxSide);
    if (file.isNull() || file.width() != file.height() || file.width() > maxSide)
        return {};
    const int side = file.width();
    const QImage rgb = file.convertToFormat(QImage::Format_RGB888);
    const auto rowBytes = static_cast<std::size_t>(side) * 3;
    FacePicture face{std::vector<unsigned char>(rowBytes * static_cast<std::size_t>(side)), side};
    for (int y = 0; y < side; ++y)
        std::memcpy(&face.rgb[rowBytes * static_cast<std::size_t>(y)], rgb.constScanLine(y), rowBytes);
    return face;
}

// The side most of the read faces share (the earlier face's on a tie); 1 when
// no face could be read.
int CommonSide(const std::array<FacePicture, 6>& faces)
{
    int best = 1;
    long bestCount = 0;
    for (const FacePicture& face : faces) {
        const long count = std::count_if(faces.begin(), faces.end(), [&](const FacePicture& other) {
            return !other.rgb.empty() && other.side == face.side;
        });
        if (!face.rgb.empty() && count > bestCount) {
            best = face.side;
            bestCount = count;
        }
    }
    return best;
}

} // namespace

bool BufferPass::Ready() const
{
    return program != 0 && framebuffer != 0 && count > 0 && textures[0] != 0 &&
           (count < 2 || textures[1] != 0);
}

bool CMultiPassRenderer::FileExists(const std::string& path)
{
    return platform::paths::Exists(QString::fromStdString(path));
}

void CMultiPassRenderer::PostSilentError()
{
    platform::PostAppMessage(platform::WM_SHOW_ERROR);
}

bool CMultiPassRenderer::BeginFrame(const platform::Surface* source, bool upload)
{
    const bool keepTexture = TakeSourceUnchanged();
    if (!m_context.MakeCurrent())
        return false;
    if (upload && !keepTexture)
        UploadSource(source); // a failed upload keeps the previous picture
    return true;
}

bool CMultiPassRenderer::PassFilesExist(const std::string& firstPath) const
{
    if (FileExists(CommonVertexPath()) && FileExists(firstPath))
        return true;
    PostSilentError();
    return false;
}

bool CMultiPassRenderer::BuildPasses(std::initializer_list<PassFile> passes)
{
    for (const PassFile& file : passes) {
        file.pass.program = BuildPassProgram(file.path);
        if (!file.pass.program)
            return false;
    }
    return std::all_of(passes.begin(), passes.end(),
                       [this](const PassFile& file) { return CreatePass(file.pass, file.count); });
}

unsigned CMultiPassRenderer::BuildBufferProgram(const std::string& fragmentPath, const PassMessages& messages)
{
    const std::string vertexPath = CommonVertexPath();
    if (!FileExists(vertexPath) || !FileExists(fragmentPath)) {
        if (messages.missingFile)
            ReportError(messages.missingFile);
        else
            PostSilentError();
        return 0;
    }
    const GLuint vertex = CompileShader(ShaderStage::Vertex, ReadTextFile(vertexPath));
    if (!vertex)
        return 0;
    const GLuint fragment = CompileShader(ShaderStage::Fragment, ReadTextFile(fragmentPath));
    if (!fragment) {
        glDeleteShader(vertex);
        return 0;
    }
    const GLuint program = LinkPassShaders(vertex, fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        if (messages.linkError)
            ReportError(messages.linkError + InfoLog(program));
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

bool CMultiPassRenderer::CreatePass(BufferPass& pass, int count)
{
    pass.count = count;
    pass.current = 0;
    CreateFBO(pass.framebuffer, pass.textures.data(), count);
    glBindFramebuffer(GL_FRAMEBUFFER, pass.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, pass.textures[0], 0);
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    BindBackBuffer();
    if (!complete) {
        ReleaseFramebuffer(pass.framebuffer);
        for (unsigned& texture : pass.textures)
            ReleaseTexture(texture);
    }
    return complete;
}

void CMultiPassRenderer::ReleasePass(BufferPass& pass)
{
    ReleaseProgram(pass.program);
    ReleaseFramebuffer(pass.framebuffer);
    for (unsigned& texture : pass.textures)
        ReleaseTexture(texture);
    pass = {};
}

void CMultiPassRenderer::BeginPass(const BufferPass& pass)
{
    glBindFramebuffer(GL_FRAMEBUFFER, pass.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, pass.Target(), 0);
    glViewport(0, 0, m_width, m_height);
    glUseProgram(pass.program);
}

void CMultiPassRenderer::EndPass(BufferPass& pass)
{
    pass.Flip();
    BindBackBuffer();
}

void CMultiPassRenderer::BeginImage(bool clearDepth)
{
    BindBackBuffer();
    glViewport(0, 0, m_width, m_height);
    glClearColor(0, 0, 0, 0);
    glClear(clearDepth ? GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT : GL_COLOR_BUFFER_BIT);
    glUseProgram(m_program);
}

void CMultiPassRenderer::DrawImagePass(platform::Surface& target, float seconds,
                                       std::initializer_list<unsigned> channels, std::optional<QPoint> mouse)
{
    static constexpr std::array<const char*, kSamplerUnits> kChannels = {"iChannel0", "iChannel1",
                                                                         "iChannel2", "iChannel3"};
    BeginImage(true);
    int unit = 0;
    for (const unsigned texture : channels) {
        if (unit == kSamplerUnits)
            break;
        BindSampler(m_program, kChannels[static_cast<std::size_t>(unit)], unit, Sampler::Flat, texture);
        ++unit;
    }
    SetFloat(m_program, "iTime", seconds);
    SetResolution(m_program, m_width, m_height);
    if (mouse)
        SetVec2(m_program, "iMouse", static_cast<float>(mouse->x()), static_cast<float>(mouse->y()));
    SetInt(m_program, "iFrame", m_nFrame++);
    DrawQuad(false);
    FinishFrame(target);
}

void CMultiPassRenderer::FinishFrame(platform::Surface& target)
{
    for (int unit = kSamplerUnits - 1; unit >= 0; --unit) {
        glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
        glBindTexture(GL_TEXTURE_2D, 0);
        glBindTexture(GL_TEXTURE_3D, 0);
        glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    }
    glUseProgram(0);
    ReadBack(target);
}

bool CMultiPassRenderer::LoadCubeTexture(unsigned& texture, const std::array<const char*, 6>& faces,
                                         bool mipmaps)
{
    ReleaseTexture(texture);
    std::array<FacePicture, 6> pictures;
    for (std::size_t i = 0; i < faces.size(); ++i)
        pictures[i] = ReadFace(platform::paths::FromData(QString::fromStdString(m_strMiscDir + faces[i])));
    const int side = CommonSide(pictures);
    bool complete = true;
    for (std::size_t i = 0; i < faces.size(); ++i) {
        if (pictures[i].side == side && !pictures[i].rgb.empty())
            continue;
        // Modal: frames that run meanwhile find no cube map yet and draw nothing.
        platform::MessageBox(nullptr, QStringLiteral("Failed to load image: %1").arg(faces[i]), QString(),
                             platform::MB_OK | platform::MB_ICONERROR);
        pictures[i].rgb.assign(static_cast<std::size_t>(side) * static_cast<std::size_t>(side) * 3, 0);
        complete = false;
    }
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_CUBE_MAP, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    for (std::size_t i = 0; i < faces.size(); ++i)
        glTexImage2D(static_cast<GLenum>(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i), 0, GL_RGB, side, side, 0,
                     GL_RGB, GL_UNSIGNED_BYTE, pictures[i].rgb.data());
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER,
                    mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    if (mipmaps)
        glGenerateMipmap(GL_TEXTURE_CUBE_MAP);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    return complete;
}

void CMultiPassRenderer::SetInt(unsigned program, const char* name, int value)
{
    glUniform1i(glGetUniformLocation(program, name), value);
}

void CMultiPassRenderer::SetFloat(unsigned program, const char* name, float value)
{
    glUniform1f(glGetUniformLocation(program, name), value);
}

void CMultiPassRenderer::SetVec2(unsigned program, const char* name, float x, float y)
{
    glUniform2f(glGetUniformLocation(program, name), x, y);
}

void CMultiPassRenderer::SetVec3(unsigned program, const char* name, float x, float y, float z)
{
    glUniform3f(glGetUniformLocation(program, name), x, y, z);
}

void CMultiPassRenderer::SetVec4(unsigned program, const char* name, float x, float y, float z, float w)
{
    glUniform4f(glGetUniformLocation(program, name), x, y, z, w);
}

void CMultiPassRenderer::SetResolution(unsigned program, int width, int height)
{
    SetVec2(program, "iResolution", static_cast<float>(width), static_cast<float>(height));
}

void CMultiPassRenderer::BindSampler(unsigned program, const char* name, int unit, Sampler kind,
                                     unsigned texture)
{
    glActiveTexture(static_cast<GLenum>(GL_TEXTURE0 + unit));
    glBindTexture(TargetOf(kind), texture);
    glActiveTexture(GL_TEXTURE0);
    SetInt(program, name, unit);
}

void CMultiPassRenderer::FollowAltClick()
{
    if (platform::IsKeyDown(platform::Key::Alt)) {
        m_ptClick = m_ptMouse;
    } else {
        m_ptMouse = QPoint();
        m_ptClick = QPoint();
    }
}
