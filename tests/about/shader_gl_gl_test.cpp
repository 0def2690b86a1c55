// The shader pages' loaders in an offscreen context: every shader set of the
// three demos compiles and links with its attributes and uniforms as the
// demos feed them; a failed load keeps the program or texture it would have
// replaced, a successful one deletes it; pictures of any layout and size reach
// the texture pixel for pixel (or scaled to the limit); "iResolution" is set
// with its declared type; and the font's display lists draw the glyphs that
// Qt rasterised.
// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "about/font_bitmaps.h"
#include "about/shader_gl.h"
#include "about/shader_orb_ctrl.h"
#include "about/shader_protoplasm.h"
#include "about/shader_root_sanctum.h"
#include "platform/dialog.h"
#include "platform/gl.h"
#include "platform/paths.h"
#include "tests/support/hostile_files.h"

#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vector>

namespace {

std::string Shader(const char* file)
{
    return platform::paths::InExeDir(QStringLiteral("shaders/") + QString::fromUtf8(file)).toStdString();
}

QString Asset(const char* file)
{
    return platform::paths::InExeDir(QStringLiteral("assets/") + QString::fromUtf8(file));
}

class ShaderGlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(context.Create(64, 48), platform::GlContext::Status::Ok);
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override
    {
        if (context.MakeCurrent()) {
            about::DeleteProgram(program);
            about::DeleteTexture(texture);
        }
        context.Destroy();
    }

    QString Write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    std::string WriteShader(const QString& name, const char* text) const
    {
        return Write(name, text).toStdString();
    }

    platform::GlContext context;
    QTemporaryDir dir;
    unsigned program = 0;
    unsigned texture = 0;
};

struct SetCase
{
    const char* owner;
    CShaderCtrl::ShaderSet set;
    about::QuadAttributes attributes;
    bool mouse;
};

TEST_F(ShaderGlTest, EveryDemoSetCompilesLinksAndDeclaresWhatItIsFed)
{
    using about::QuadAttributes;
    std::vector<SetCase> cases;
    for (const auto& set : CShaderOrbCtrl::kSets)
        cases.push_back({"orb", set, QuadAttributes::Position, true});
    cases.push_back(
        {"protoplasm first", CShaderProtoplasm::kFirstSet, QuadAttributes::PositionAndTexcoord, false});
    for (const auto& set : CShaderProtoplasm::kSets)
        cases.push_back({"protoplasm", set, QuadAttributes::PositionAndTexcoord, false});
    cases.push_back({"root sanctum", CShaderRootSanctum::kSet, QuadAttributes::PositionAndTexcoord, false});

    for (const SetCase& c : cases) {
        SCOPED_TRACE(std::string(c.owner) + " " + c.set.fragment);
        ASSERT_TRUE(about::LoadProgram(program, Shader(c.set.vertex), Shader(c.set.fragment), c.attributes));
        EXPECT_EQ(glGetAttribLocation(program, "position"), 0);
        if (c.attributes == QuadAttributes::PositionAndTexcoord)
            EXPECT_EQ(glGetAttribLocation(program, "texcoord"), 1);
        EXPECT_EQ(about::ActiveUniformType(program, "iTime"), static_cast<GLenum>(GL_FLOAT));
        const bool sanctum = std::string(c.set.fragment) == "shader_Sanctum.frag";
        EXPECT_EQ(about::ActiveUniformType(program, "iResolution"),
                  static_cast<GLenum>(sanctum ? GL_FLOAT_VEC3 : GL_FLOAT_VEC2));
        if (c.mouse)
            EXPECT_EQ(about::ActiveUniformType(program, "iMouse"), static_cast<GLenum>(GL_FLOAT_VEC2));
        if (c.set.texture) {
            EXPECT_EQ(about::ActiveUniformType(program, "iChannel0"), static_cast<GLenum>(GL_SAMPLER_2D));
            EXPECT_TRUE(about::LoadTexture(texture, Asset(c.set.texture)));
        }
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderGlTest, AFailedLoadKeepsTheProgramAndASuccessfulOneDeletesIt)
{
    const std::string vertex = Shader("shader_common.vert");
    const std::string good =
        WriteShader("good.frag", "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n");
    ASSERT_TRUE(about::LoadProgram(program, vertex, good, about::QuadAttributes::Position));
    const unsigned first = program;

    const QString fifo = dir.filePath(QStringLiteral("fifo.frag"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0); // nobody writes it
    const struct
    {
        const char* what;
        std::string vertex, fragment;
    } failures[] = {
        {"missing fragment file", vertex, dir.filePath(QStringLiteral("none.frag")).toStdString()},
        {"missing vertex file", dir.filePath(QStringLiteral("none.vert")).toStdString(), good},
        {"empty fragment file", vertex, WriteShader("empty.frag", "")},
        {"FIFO for a fragment file", vertex, fifo.toStdString()},
        {"fragment that does not compile", vertex,
         WriteShader("bad.frag", "#version 120\nvoid main() { nope; }\n")},
        {"stages that do not link", vertex,
         WriteShader("unlinked.frag", "#version 120\nvarying vec3 vNobodyWrites;\n"
                                      "void main() { gl_FragColor = vec4(vNobodyWrites, 1.0); }\n")},
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(failure.what);
        EXPECT_FALSE(
            about::LoadProgram(program, failure.vertex, failure.fragment, about::QuadAttributes::Position));
        EXPECT_EQ(program, first);
        EXPECT_EQ(glIsProgram(first), GL_TRUE);
    }

    ASSERT_TRUE(about::LoadProgram(program, vertex, good, about::QuadAttributes::Position));
    EXPECT_NE(program, first);
    EXPECT_EQ(glIsProgram(first), GL_FALSE); // the replaced program is gone
}

// The texture's pixels as bytes blue, green, red, alpha, row 0 first.
std::vector<QRgb> TexturePixels(GLuint texture, QSize& size)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint w = 0, h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    size = QSize(w, h);
    std::vector<QRgb> pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return pixels;
}

TEST_F(ShaderGlTest, PicturesOfAnyLayoutReachTheTexturePixelForPixelTopRowFirst)
{
    // Odd widths make rows that are not whole 32-bit words in the file's own layout.
    const struct
    {
        const char* name;
        QImage::Format format;
        int width, height;
    } pictures[] = {
        {"rgb888.png", QImage::Format_RGB888, 3, 2},
        {"gray.png", QImage::Format_Grayscale8, 5, 3},
        {"indexed.bmp", QImage::Format_Indexed8, 7, 2},
        {"argb.png", QImage::Format_ARGB32, 2, 4},
    };
    for (const auto& p : pictures) {
        SCOPED_TRACE(p.name);
        QImage picture(p.width, p.height, QImage::Format_ARGB32);
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                picture.setPixel(x, y, qRgba(40 * x + 10, 60 * y + 5, 200 - 20 * x, 255));
        QImage stored = picture.convertToFormat(p.format);
        const QString path = dir.filePath(QString::fromUtf8(p.name));
        ASSERT_TRUE(stored.save(path));
        const QImage expected = QImage(path).convertToFormat(QImage::Format_ARGB32);

        const unsigned previous = texture;
        ASSERT_TRUE(about::LoadTexture(texture, path));
        QSize size;
        const std::vector<QRgb> pixels = TexturePixels(texture, size);
        ASSERT_EQ(size, QSize(p.width, p.height));
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                EXPECT_EQ(pixels[static_cast<std::size_t>(y * p.width + x)], expected.pixel(x, y))
                    << x << "," << y;
        if (previous != 0)
            EXPECT_EQ(glIsTexture(previous), GL_FALSE); // the replaced texture is gone
    }
}

TEST_F(ShaderGlTest, APictureBeyondTheLimitIsScaledToIt)
{
    const int limit = about::MaxTextureSide();
    ASSERT_GT(limit, 0);
    QImage wide(limit + 2, 2, QImage::Format_RGB888);
    wide.fill(QColor(30, 90, 150));
    const QString path = dir.filePath(QStringLiteral("wide.png"));
    ASSERT_TRUE(wide.save(path));
    ASSERT_TRUE(about::LoadTexture(texture, path));
    QSize size;
    const std::vector<QRgb> pixels = TexturePixels(texture, size);
    ASSERT_EQ(size, QSize(limit, 1));
    EXPECT_EQ(pixels[static_cast<std::size_t>(limit / 2)], qRgb(30, 90, 150));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ShaderGlTest, AFileThatIsNoPictureKeepsTheTexture)
{
    QImage one(2, 2, QImage::Format_RGB32);
    one.fill(Qt::red);
    const QString good = dir.filePath(QStringLiteral("one.png"));
    ASSERT_TRUE(one.save(good));
    ASSERT_TRUE(about::LoadTexture(texture, good));
    const unsigned first = texture;

    const QString fifo = dir.filePath(QStringLiteral("fifo.png"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    std::vector<QString> paths = {dir.filePath(QStringLiteral("missing.png")), fifo,
                                  Write(QStringLiteral("text.png"), "not a picture"), dir.path()};
    QFile onePicture(good);
    ASSERT_TRUE(onePicture.open(QIODevice::ReadOnly));
    const QByteArray picture = onePicture.readAll();
    for (const lmd::test::HostileCase& c : lmd::test::kHostileFiles) {
        paths.push_back(dir.filePath(QStringLiteral("hostile%1.png").arg(paths.size())));
        ASSERT_TRUE(lmd::test::PlaceHostileFile(paths.back(), c.kind, platform::FileKind::Picture, picture));
    }
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(about::LoadTexture(texture, path));
        EXPECT_EQ(texture, first);
        EXPECT_EQ(glIsTexture(first), GL_TRUE);
    }
}

TEST_F(ShaderGlTest, IResolutionIsSetWithItsDeclaredType)
{
    const std::string vertex = Shader("shader_common.vert");
    const struct
    {
        const char* declaration;
        std::vector<float> expected;
    } cases[] = {
        {"uniform vec2 iResolution;", {291, 239}},
        {"uniform vec3 iResolution;", {291, 239, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.declaration);
        const std::string source = std::string("#version 120\n") + c.declaration +
                                   "\nvoid main() { gl_FragColor = vec4(iResolution.xy, 0.0, 1.0); }\n";
        ASSERT_TRUE(about::LoadProgram(program, vertex, WriteShader("resolution.frag", source.c_str()),
                                       about::QuadAttributes::Position));
        const about::ShaderUniforms uniforms = about::ShaderUniforms::Of(program);
        EXPECT_EQ(uniforms.resolutionComponents, static_cast<int>(c.expected.size()));
        while (glGetError() != GL_NO_ERROR) {
        }
        glUseProgram(program);
        about::SetResolution(uniforms, 291, 239);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        std::array<float, 3> value{-1, -1, -1};
        glGetUniformfv(program, uniforms.resolution, value.data());
        glUseProgram(0);
        for (std::size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(value[i], c.expected[i]) << i;
    }
}

TEST_F(ShaderGlTest, TheFontListsDrawTheRasterisedGlyphsAtTheRasterPosition)
{
    const QFont font = platform::WindowsFontFromHeight(QStringLiteral("Consolas"), -12, 400);
    const GLuint base = glGenLists(256);
    ASSERT_NE(base, 0u);
    ASSERT_TRUE(about::UseFontBitmaps(font, 0, 256, base));

    // "A" then "g" from (10, 20) of the 64 x 48 stand-in back buffer, white on black.
    glViewport(0, 0, 64, 48);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 64, 0, 48, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1, 1, 1);
    glRasterPos2i(10, 20);
    glListBase(base);
    glCallLists(2, GL_UNSIGNED_BYTE, "Ag");
    std::vector<std::uint32_t> frame(64 * 48);
    context.ReadPixels(frame.data());
    glDeleteLists(base, 256);

    // Every pixel is lit exactly where a glyph's bitmap has its bit, the second
    // glyph one advance to the right; rows count up from the bottom.
    const about::GlyphBitmap a = about::RasteriseGlyph(font, u'A');
    const about::GlyphBitmap g = about::RasteriseGlyph(font, u'g');
    ASSERT_GT(a.advance, 0);
    int lit = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            bool expected = false;
            for (const auto& [glyph, originX] : {std::pair{&a, 10.f}, std::pair{&g, 10.f + a.advance}}) {
                const int gx = x - static_cast<int>(originX - glyph->xorig);
                const int gy = y - static_cast<int>(20 - glyph->yorig);
                if (gx >= 0 && gy >= 0 && gx < glyph->width && gy < glyph->height && glyph->Bit(gx, gy))
                    expected = true;
            }
            const bool on = (frame[static_cast<std::size_t>(y * 64 + x)] & 0xFFFFFFu) != 0;
            EXPECT_EQ(on, expected) << x << "," << y;
            lit += on;
        }
    EXPECT_GT(lit, 20);
}

} // namespace
