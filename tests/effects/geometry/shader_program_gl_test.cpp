// Building GLSL programs from files: programs that draw, and every failure as
// a 0 result with its message on the error stream and nothing left behind.
// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "effects/geometry/shader_program.h"
#include "platform/gl.h"
#include "tests/effects/geometry/cerr_capture.h"

#include <QTemporaryDir>
#include <array>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using lmd::test::CerrCapture;

constexpr int kSize = 8;

constexpr const char* kVertex = R"(#version 120
void main()
{
    gl_FrontColor = gl_Color;
    gl_Position = gl_Vertex;
}
)";
constexpr const char* kFragment = R"(#version 120
void main() { gl_FragColor = vec4(0.2, 0.6, 1.0, 1.0); }
)";

class ShaderProgramGlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(context.Create(kSize, kSize), platform::GlContext::Status::Ok);
        ASSERT_TRUE(context.MakeCurrent());
    }
    void TearDown() override
    {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        glUseProgram(0);
        context.DoneCurrent();
    }

    std::string File(const char* name, const std::string& text)
    {
        const std::string path = dir.filePath(name).toStdString();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // Draws a red full-window quad with the program and returns the middle pixel (0x00RRGGBB).
    std::uint32_t DrawWith(unsigned program)
    {
        glUseProgram(program);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(1, 0, 0);
        glBegin(GL_QUADS);
        glVertex2f(-1, -1);
        glVertex2f(1, -1);
        glVertex2f(1, 1);
        glVertex2f(-1, 1);
        glEnd();
        glUseProgram(0);
        std::array<std::uint32_t, kSize * kSize> pixels{};
        context.ReadPixels(pixels.data());
        return pixels[kSize * kSize / 2 + kSize / 2] & 0xFFFFFFu;
    }

    QTemporaryDir dir;
    platform::GlContext context;
    CerrCapture messages;
};

} // namespace

TEST_F(ShaderProgramGlTest, VertexAndFragmentProgramDraws)
{
    const unsigned program =
        BuildShaderProgram(File("a.vert", kVertex).c_str(), File("a.frag", kFragment).c_str());
    ASSERT_NE(program, 0u) << messages.Text();
    EXPECT_EQ(messages.Text(), "");
    EXPECT_EQ(DrawWith(program), 0x3399FFu);
    glDeleteProgram(program);
}

TEST_F(ShaderProgramGlTest, VertexOnlyProgramLinksAndKeepsFixedFragments)
{
    // Also with Windows line ends.
    std::string crlf = kVertex;
    for (std::size_t at = crlf.find('\n'); at != std::string::npos; at = crlf.find('\n', at + 2))
        crlf.insert(at, "\r");
    const unsigned program = BuildShaderProgram(File("b.vert", crlf).c_str(), nullptr);
    ASSERT_NE(program, 0u) << messages.Text();
    EXPECT_EQ(DrawWith(program), 0xFF0000u); // the colour of the vertices
    glDeleteProgram(program);
}

TEST_F(ShaderProgramGlTest, FailuresGiveZeroAndTheirMessage)
{
    const std::string vert = File("ok.vert", kVertex);
    const std::string missing = dir.filePath("missing.frag").toStdString();
    const std::string empty = File("empty.vert", "");
    const std::string broken = File("broken.frag", "#version 120\nvoid main() { gl_FragColor = oops; }\n");
    // Compiles, but a vertex shader without main cannot be linked.
    const std::string noMain = File("nomain.vert", "#version 120\nvec4 f() { return vec4(1.0); }\n");
    struct Case
    {
        const char* vertex;
        const char* fragment;
        std::string message; // the first line written
    };
    const Case cases[] = {
        {missing.c_str(), nullptr, "Error: Can't open source file: " + missing},
        {vert.c_str(), missing.c_str(), "Error: Can't open source file: " + missing},
        {empty.c_str(), nullptr, "Error: Could not read souce file: " + empty},
        {vert.c_str(), broken.c_str(), "Compile Error in " + broken},
        {noMain.c_str(), nullptr, "Link Error."},
    };
    for (const Case& c : cases) {
        messages.Clear();
        EXPECT_EQ(BuildShaderProgram(c.vertex, c.fragment), 0u) << c.message;
        const std::string text = messages.Text();
        EXPECT_EQ(text.substr(0, text.find('\n')), c.message);
    }
    // A compile error comes with the compiler's log.
    messages.Clear();
    BuildShaderProgram(vert.c_str(), broken.c_str());
    EXPECT_NE(messages.Text().find("oops"), std::string::npos) << messages.Text();
    // Nothing is left behind: no program or shader name is in use.
    for (GLuint name = 1; name < 32; ++name) {
        EXPECT_FALSE(glIsProgram(name)) << name;
        EXPECT_FALSE(glIsShader(name)) << name;
    }
}
