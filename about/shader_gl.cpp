// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "about/shader_gl.h"

#include "effects/geometry/shader_program.h"
#include "effects/shader_renderer.h"
#include "platform/run_time_files.h"

#include <QImage>
#include <array>
#include <iostream>
#include <string_view>

namespace about {

namespace {

constexpr GLsizei kLinkLogSize = 512; // the link log read on failure, zero included

// A linked program of the two stages with the attributes bound, or 0 (the
// stages are deleted either way: a linked program keeps what it needs).
GLuint Link(GLuint vertex, GLuint fragment, QuadAttributes attributes)
{
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, 0, "position");
    if (attributes == QuadAttributes::PositionAndTexcoord)
        glBindAttribLocation(program, 1, "texcoord");
    glLinkProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked == GL_TRUE)
        return program;
    std::array<char, kLinkLogSize> log{};
    glGetProgramInfoLog(program, kLinkLogSize, nullptr, log.data());
    std::cerr << "Link error: " << log.data() << '\n';
    glDeleteProgram(program);
    return 0;
}

} // namespace

unsigned CompileGlslStage(unsigned stage, const std::string& source)
{
    const GLuint shader = glCreateShader(stage);
    if (shader == 0)
        return 0;
    const GLchar* text = source.c_str();
    const auto length = static_cast<GLint>(source.size());
    glShaderSource(shader, 1, &text, &length);
    glCompileShader(shader);
    if (PrintShaderInfoLog(shader, stage == GL_VERTEX_SHADER ? "vertex stage" : "fragment stage"))
        return shader;
    glDeleteShader(shader);
    return 0;
}

bool LoadProgram(unsigned& program, const std::string& vertexPath, const std::string& fragmentPath,
                 QuadAttributes attributes)
{
    const std::string vertexText = ReadTextFile(vertexPath);
    const std::string fragmentText = ReadTextFile(fragmentPath);
    if (vertexText.empty() || fragmentText.empty())
        return false;
    const GLuint vertex = CompileGlslStage(GL_VERTEX_SHADER, vertexText);
    const GLuint fragment = CompileGlslStage(GL_FRAGMENT_SHADER, fragmentText);
    if (vertex == 0 || fragment == 0) {
        glDeleteShader(vertex); // 0 is ignored
        glDeleteShader(fragment);
        return false;
    }
    const GLuint linked = Link(vertex, fragment, attributes);
    if (linked == 0)
        return false;
    DeleteProgram(program);
    program = linked;
    return true;
}

int MaxTextureSide()
{
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side;
}

bool LoadTexture(unsigned& texture, const QString& path)
{
    QImage picture = platform::ReadPictureFile(path);
    if (picture.isNull())
        return false;
    // Upload what glTexImage2D will read: packed 32-bit rows (bytes blue,
    // green, red, alpha) of exactly width x height pixels, within the
    // implementation's limit.
    const int limit = MaxTextureSide();
    if (picture.width() > limit || picture.height() > limit)
        picture = picture.scaled(limit, limit, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    picture.convertTo(QImage::Format_ARGB32);
    if (picture.isNull() || picture.bytesPerLine() != picture.width() * 4)
        return false;

    GLuint loaded = 0;
    glGenTextures(1, &loaded);
    glBindTexture(GL_TEXTURE_2D, loaded);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, picture.width(), picture.height(), 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 picture.constBits());
    glPopClientAttrib();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
    DeleteTexture(texture);
    texture = loaded;
    return true;
}

void DeleteProgram(unsigned& program)
{
    if (program != 0)
        glDeleteProgram(program);
    program = 0;
}

void DeleteTexture(unsigned& texture)
{
    if (texture != 0)
        glDeleteTextures(1, &texture);
    texture = 0;
}

unsigned ActiveUniformType(unsigned program, const char* name)
{
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        std::array<GLchar, 64> active{};
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, static_cast<GLuint>(i), static_cast<GLsizei>(active.size()), nullptr,
                           &size, &type, active.data());
        if (std::string_view(active.data()) == name)
            return type;
    }
    return 0;
}

ShaderUniforms ShaderUniforms::Of(unsigned program)
{
    ShaderUniforms uniforms;
    if (program == 0)
        return uniforms;
    uniforms.time = glGetUniformLocation(program, "iTime");
    uniforms.resolution = glGetUniformLocation(program, "iResolution");
    uniforms.mouse = glGetUniformLocation(program, "iMouse");
    uniforms.channel0 = glGetUniformLocation(program, "iChannel0");
    const GLenum resolution = ActiveUniformType(program, "iResolution");
    uniforms.resolutionComponents = resolution == GL_FLOAT_VEC2 ? 2 : resolution == GL_FLOAT_VEC3 ? 3 : 0;
    return uniforms;
}

void SetResolution(const ShaderUniforms& uniforms, int width, int height)
{
    const auto w = static_cast<GLfloat>(width);
    const auto h = static_cast<GLfloat>(height);
    if (uniforms.resolutionComponents == 2)
        glUniform2f(uniforms.resolution, w, h);
    else if (uniforms.resolutionComponents == 3)
        glUniform3f(uniforms.resolution, w, h, 1.0f);
}

} // namespace about
