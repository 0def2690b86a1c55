// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/geometry/shader_program.h"

#include "effects/shader_renderer.h"
#include "platform/paths.h"

#include <algorithm>
#include <iostream>

namespace {

// The info log of a shader or program, or empty when it has none.
std::string InfoLog(GLuint object, bool program)
{
    GLint length = 0;
    if (program)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 1)
        return {};
    std::string log(static_cast<std::size_t>(length), '\0');
    GLsizei written = 0;
    if (program)
        glGetProgramInfoLog(object, length, &written, log.data());
    else
        glGetShaderInfoLog(object, length, &written, log.data());
    log.resize(static_cast<std::size_t>(std::clamp<GLsizei>(written, 0, length - 1)));
    return log;
}

// A compiled shader of the file attached to program; false (shader deleted) on failure.
bool AttachShader(GLuint program, GLenum type, const char* fileName)
{
    const GLuint shader = glCreateShader(type);
    if (shader == 0)
        return false;
    if (ReadShaderSource(shader, fileName)) {
        glDeleteShader(shader);
        return false;
    }
    glCompileShader(shader);
    if (!PrintShaderInfoLog(shader, fileName)) {
        glDeleteShader(shader);
        return false;
    }
    glAttachShader(program, shader);
    glDeleteShader(shader); // lives on while attached
    return true;
}

} // namespace

bool ReadShaderSource(unsigned shader, const std::string& fileName)
{
    const std::string source = ReadTextFile(fileName);
    if (source.empty()) {
        // An empty text is a missing file, or one that exists but yields nothing.
        if (platform::paths::Exists(QString::fromStdString(fileName)))
            std::cerr << "Error: Could not read souce file: " << fileName << '\n';
        else
            std::cerr << "Error: Can't open source file: " << fileName << '\n';
        return true;
    }
    const GLchar* text = source.data();
    const auto length = static_cast<GLint>(source.size());
    glShaderSource(shader, 1, &text, &length);
    return false;
}

bool PrintShaderInfoLog(unsigned shader, const std::string& fileName)
{
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == GL_FALSE)
        std::cerr << "Compile Error in " << fileName << '\n';
    if (const std::string log = InfoLog(shader, false); !log.empty())
        std::cerr << log << '\n';
    return status != GL_FALSE;
}

unsigned BuildShaderProgram(const char* vertexFile, const char* fragmentFile)
{
    const GLuint program = glCreateProgram();
    if (program == 0)
        return 0;
    if (vertexFile == nullptr || !AttachShader(program, GL_VERTEX_SHADER, vertexFile) ||
        (fragmentFile != nullptr && !AttachShader(program, GL_FRAGMENT_SHADER, fragmentFile))) {
        glDeleteProgram(program);
        return 0;
    }
    glLinkProgram(program);
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status == GL_FALSE)
        std::cerr << "Link Error." << '\n';
    if (const std::string log = InfoLog(program, true); !log.empty())
        std::cerr << log << '\n';
    if (status == GL_FALSE) {
        glDeleteProgram(program);
        return 0;
    }
    return program;
}
