// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/shader_renderer.h"

#include "platform/desktop.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "platform/run_time_files.h"
#include "platform/surface.h"

#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <utility>

namespace {

constexpr int kImageLogSize = 1024; // info-log buffers, terminating zero included
constexpr int kPassLogSize = 512;

std::string InfoLog(GLuint object, bool program, int bufferSize)
{
    std::string log(static_cast<std::size_t>(bufferSize), '\0');
    GLsizei length = 0;
    if (program)
        glGetProgramInfoLog(object, bufferSize, &length, log.data());
    else
        glGetShaderInfoLog(object, bufferSize, &length, log.data());
    log.resize(static_cast<std::size_t>(std::clamp(length, 0, bufferSize - 1)));
    return log;
}

bool Linked(GLuint program)
{
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status == GL_TRUE;
}

std::string Utf8(const QString& text)
{
    return text.toStdString();
}

// Shown at once (modal): the effect layer has already cleared its set-up flag,
// so a paint that runs meanwhile does not set the effect up again.
void ShowGlewError(const std::string& glewError)
{
    platform::MessageBox(nullptr, QString::fromStdString("GLEW init failed: " + glewError), QString(),
                         platform::MB_OK | platform::MB_ICONERROR);
}

} // namespace

std::string ReadTextFile(const std::string& path)
{
    const platform::FileRead file =
        platform::ReadRunTimeFile(QString::fromStdString(path), platform::FileKind::ShaderSource);
    // The text ends at the first zero byte.
    const QByteArrayView bytes(file.bytes.constData(), qstrnlen(file.bytes.constData(), file.bytes.size()));
    // Text mode: each carriage return that starts a CR LF pair is dropped.
    std::string out;
    out.reserve(static_cast<std::size_t>(bytes.size()));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            continue;
        out.push_back(bytes[i]);
    }
    return out;
}

CShaderRenderer::~CShaderRenderer()
{
    Free();
}

namespace {

std::function<std::int64_t()>& TickSource()
{
    static std::function<std::int64_t()> source;
    return source;
}

} // namespace

void CShaderRenderer::SetTickSource(std::function<std::int64_t()> source)
{
    TickSource() = std::move(source);
}

std::int64_t CShaderRenderer::TickCount()
{
    if (const auto& source = TickSource())
        return source();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

float CShaderRenderer::SecondsSince(std::int64_t startTick)
{
    return static_cast<float>(TickCount() - startTick) / 1000.0f;
}

bool CShaderRenderer::Create(const platform::Surface* /*source*/, int width, int height,
                             const std::string& name)
{
    Free();
    m_width = width;
    m_height = height;
    switch (m_context.Create(width, height)) {
    case platform::GlContext::Status::Ok:
        break;
    case platform::GlContext::Status::GlewFailed:
        ShowGlewError(m_context.GlewError());
        return false;
    case platform::GlContext::Status::NoContext:
    case platform::GlContext::Status::NoFramebuffer:
        ReportError("OpenGL context creation failed.");
        return false;
    }
    return LoadShaders(name);
}

std::string CShaderRenderer::ShaderPath(const std::string& name, const char* extension) const
{
    return Utf8(platform::paths::FromData(QString::fromStdString(m_strShaderDir + name + extension)));
}

bool CShaderRenderer::LoadShaders(const std::string& name)
{
    const std::string folder = Utf8(platform::paths::ExeDir());
    m_strShaderDir = folder + "/shaders/";
    m_strAssetsDir = folder + "/assets/";
    m_strMiscDir = folder + "/_misc/";

    std::string vertexPath = ShaderPath(name, ".vert");
    if (!platform::paths::Exists(QString::fromStdString(vertexPath)))
        vertexPath = m_strShaderDir + "shader_common.vert";
    if (!BuildProgram(vertexPath, ShaderPath(name, ".frag")))
        return false;

    // The source texture starts as zeros, so sampling it before the first
    // successful upload reads black rather than undefined memory.
    m_uploadPixels.assign(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), 0u);
    glGenTextures(1, &m_sourceTexture);
    glBindTexture(GL_TEXTURE_2D, m_sourceTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, m_width, m_height, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 m_uploadPixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);

    if (m_strTextureName.empty())
        return true;
    return LoadTexture(m_fileTexture, m_strAssetsDir + m_strTextureName);
}

bool CShaderRenderer::BuildProgram(const std::string& vertexPath, const std::string& fragmentPath)
{
    const std::string vertexText = ReadTextFile(vertexPath);
    const std::string fragmentText = ReadTextFile(fragmentPath);
    if (vertexText.empty() || fragmentText.empty()) {
        ReportError("Failed to load shader file(s).");
        return false;
    }
    const GLuint vertex = CompileShader(ShaderStage::Vertex, vertexText);
    if (!vertex)
        return false;
    const GLuint fragment = CompileShader(ShaderStage::Fragment, fragmentText);
    if (!fragment) {
        glDeleteShader(vertex);
        return false;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, 0, "position");
    glBindAttribLocation(program, 1, "texcoord");
    glLinkProgram(program);
    glDeleteShader(vertex); // flagged: they go with the program
    glDeleteShader(fragment);
    if (!Linked(program)) {
        ReportError("Shader program link error:\n" + InfoLog(program, true, kImageLogSize));
        glDeleteProgram(program);
        return false;
    }
    ReleaseProgram(m_program);
    m_program = program;
    const auto location = [program](const char* uniform) { return glGetUniformLocation(program, uniform); };
    m_uniforms = {location("iTime"),
                  location("iResolution"),
                  location("iChannel0"),
                  location("iChannel1"),
                  location("iMouse"),
                  location("iFrame"),
                  location("iMojibanType"),
                  location("iDate"),
                  location("iHourHandColor"),
                  location("iMinuteHandColor"),
                  location("iSecondHandColor"),
                  location("iHourHand"),
                  location("iMinuteHand"),
                  location("iSecondHand"),
                  location("iMinuteHandStep"),
                  location("iSecondHandStop")};
    return true;
}

unsigned CShaderRenderer::CompileShader(ShaderStage stage, const std::string& source)
{
    const GLuint shader =
        glCreateShader(stage == ShaderStage::Vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
    const char* const text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == GL_TRUE)
        return shader;
    ReportError(std::string("Shader compile error (") +
                (stage == ShaderStage::Vertex ? "VERTEX" : "FRAGMENT") + "):\n" +
                InfoLog(shader, false, kImageLogSize));
    glDeleteShader(shader);
    return 0;
}

void CShaderRenderer::ReportError(const std::string& text)
{
    // The message owns the text: it is freed whether or not it is delivered.
    platform::PostAppMessage(platform::WM_SHOW_ERROR, 0, 0, std::make_unique<std::string>(text));
}

bool CShaderRenderer::LoadTexture(unsigned& texture, const std::string& path)
{
    QImage image = platform::ReadPictureFile(platform::paths::FromData(QString::fromStdString(path)));
    if (image.isNull())
        return false;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (image.width() > maxSize || image.height() > maxSize)
        return false;
    // Whatever the file's depth, upload 32-bit pixels: bytes blue, green, red,
    // alpha in memory, rows packed (alignment 1 covers any row length).
    image.convertTo(QImage::Format_ARGB32);
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(image.bytesPerLine() / 4));
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width(), image.height(), 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 image.constBits());
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glBindTexture(GL_TEXTURE_2D, 0);
    return true;
}

unsigned CShaderRenderer::BuildPassProgram(const std::string& fragmentPath)
{
    const GLuint vertex =
        CompileShader(ShaderStage::Vertex, ReadTextFile(m_strShaderDir + "shader_common.vert"));
    const GLuint fragment = CompileShader(ShaderStage::Fragment, ReadTextFile(fragmentPath));
    if (!vertex || !fragment) {
        if (vertex)
            glDeleteShader(vertex);
        if (fragment)
            glDeleteShader(fragment);
        return 0;
    }
    const GLuint program = LinkPassShaders(vertex, fragment);
    if (!Linked(program)) {
        ReportError("Shader link error: \n" + InfoLog(program, true, kPassLogSize));
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

unsigned CShaderRenderer::LinkPassShaders(unsigned vertex, unsigned fragment)
{
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, 0, "position");
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    return program;
}

void CShaderRenderer::CreateFBO(unsigned& framebuffer, unsigned* textures, int count)
{
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    // Buffer passes read their previous frame: start them at zero.
    const std::vector<float> zeros(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height) *
                                   4);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    for (int i = 0; i < count; ++i) {
        glGenTextures(1, &textures[i]);
        glBindTexture(GL_TEXTURE_2D, textures[i]);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, m_width, m_height, 0, GL_RGBA, GL_FLOAT, zeros.data());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    BindBackBuffer();
}

bool CShaderRenderer::UploadSource(const platform::Surface* source)
{
    if (!source || source->IsNull() || !m_sourceTexture)
        return false;
    // Bottom row first; pixels the source does not cover stay black.
    const int rows = std::min(m_height, source->Height());
    const int columns = std::min(m_width, source->Width());
    if (rows < m_height || columns < m_width)
        std::fill(m_uploadPixels.begin(), m_uploadPixels.end(), 0u);
    for (int y = 0; y < rows; ++y)
        std::memcpy(
            &m_uploadPixels[static_cast<std::size_t>(m_height - 1 - y) * static_cast<std::size_t>(m_width)],
            source->Row(y), static_cast<std::size_t>(columns) * 4);
    glBindTexture(GL_TEXTURE_2D, m_sourceTexture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, m_width, m_height, GL_BGRA, GL_UNSIGNED_BYTE,
                    m_uploadPixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    m_bSourceUploaded = true;
    return true;
}

bool CShaderRenderer::TakeSourceUnchanged()
{
    const bool keep = std::exchange(m_bSourceUnchanged, false) && m_bSourceUploaded;
    // A frame that should upload but does not (it fails before) leaves a texture
    // that no longer shows the source.
    m_bSourceUploaded = keep;
    return keep;
}

bool CShaderRenderer::BeginImagePass(const platform::Surface* source)
{
    return BeginImagePass(source, TakeSourceUnchanged(), true);
}

bool CShaderRenderer::BeginImagePass(const platform::Surface* source, bool keepTexture, bool clear)
{
    if (!source || !m_program || !m_context.MakeCurrent())
        return false;
    if (!keepTexture)
        UploadSource(source); // a failed upload keeps the previous picture
    BindBackBuffer();
    glViewport(0, 0, m_width, m_height);
    if (clear) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    glUseProgram(m_program);
    return true;
}

void CShaderRenderer::SetCommonUniforms(float seconds)
{
    glUniform1f(m_uniforms.iTime, seconds);
    glUniform2f(m_uniforms.iResolution, static_cast<float>(m_width), static_cast<float>(m_height));
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, m_sourceTexture);
    glUniform1i(m_uniforms.iChannel0, 0);
}

void CShaderRenderer::FinishImagePass(platform::Surface& target)
{
    DrawQuad(true);
    EndImagePass();
    ReadBack(target);
}

void CShaderRenderer::EndImagePass()
{
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glUseProgram(0);
}

void CShaderRenderer::Render(platform::Surface& target, const platform::Surface* source)
{
    static const std::int64_t start = TickCount();
    if (!BeginImagePass(source))
        return;
    SetCommonUniforms(SecondsSince(start));
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, m_fileTexture);
    glUniform1i(m_uniforms.iChannel1, 1);
    glActiveTexture(GL_TEXTURE0);
    if (m_uniforms.iMouse >= 0)
        glUniform2f(m_uniforms.iMouse, static_cast<float>(m_ptMouse.x()), static_cast<float>(m_ptMouse.y()));
    glUniform1i(m_uniforms.iFrame, m_nFrame++);
    if (m_uniforms.iMojibanType >= 0)
        glUniform1i(m_uniforms.iMojibanType, m_nMojibanType);
    FinishImagePass(target);
}

namespace {

// Draws corners of x, y, u, v (kFullScreenQuadStride apart) as the given primitive.
void DrawCorners(GLenum mode, const float* corners, int count, bool withTexcoord)
{
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, kFullScreenQuadStride, corners);
    if (withTexcoord) {
        glEnableVertexAttribArray(1);
        glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, kFullScreenQuadStride, corners + 2);
    }
    glDrawArrays(mode, 0, count);
    glDisableVertexAttribArray(0);
    if (withTexcoord)
        glDisableVertexAttribArray(1);
}

} // namespace

void CShaderRenderer::DrawQuad(bool withTexcoord)
{
    DrawCorners(GL_TRIANGLE_STRIP, kFullScreenQuad.data(), 4, withTexcoord);
}

void CShaderRenderer::DrawTriangles(const std::vector<float>& corners)
{
    DrawCorners(GL_TRIANGLES, corners.data(), static_cast<int>(corners.size() / 4), true);
}

void CShaderRenderer::ReadBack(platform::Surface& target)
{
    ReadBack(target, QRect(0, 0, m_width, m_height));
}

void CShaderRenderer::ReadBack(platform::Surface& target, const QRect& rect)
{
    const QRect area = rect & QRect(0, 0, m_width, m_height);
    m_changedRect = area;
    // The context stays current: the next frame finds it so (GlContext::MakeCurrent).
    if (area.isEmpty())
        return;
    // Row 0 of the read-back is the bottom row; the target's row 0 is the top.
    m_readPixels.resize(static_cast<std::size_t>(area.width()) * static_cast<std::size_t>(area.height()));
    m_context.ReadPixels(area.x(), m_height - 1 - area.bottom(), area.width(), area.height(),
                         m_readPixels.data());
    // The target is opaque whatever alpha the shader wrote.
    const int rows = std::min(area.bottom() + 1, target.Height());
    const int end = std::min(area.right() + 1, target.Width());
    for (int y = area.top(); y < rows; ++y) {
        const std::uint32_t* from = &m_readPixels[static_cast<std::size_t>(area.bottom() - y) *
                                                  static_cast<std::size_t>(area.width())];
        std::uint32_t* to = target.Row(y);
        for (int x = area.left(); x < end; ++x)
            to[x] = from[x - area.left()] | 0xFF000000u;
    }
}

void CShaderRenderer::ReleaseTexture(unsigned& texture)
{
    if (texture)
        glDeleteTextures(1, &texture);
    texture = 0;
}

void CShaderRenderer::ReleaseProgram(unsigned& program)
{
    if (program)
        glDeleteProgram(program);
    program = 0;
}

void CShaderRenderer::ReleaseFramebuffer(unsigned& framebuffer)
{
    if (framebuffer)
        glDeleteFramebuffers(1, &framebuffer);
    framebuffer = 0;
}

void CShaderRenderer::DeleteGlObjects()
{
    ReleaseProgram(m_program);
    ReleaseTexture(m_sourceTexture);
    ReleaseTexture(m_fileTexture);
}

void CShaderRenderer::Free()
{
    if (m_context.IsValid()) {
        if (m_context.MakeCurrent())
            DeleteGlObjects();
        m_context.Destroy();
    }
    // Names of a context that is gone mean nothing: never keep them.
    m_program = m_sourceTexture = m_fileTexture = 0;
    m_uniforms = {};
    m_bSourceUnchanged = m_bSourceUploaded = false;
}
