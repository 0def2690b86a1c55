// The shader demos on the display, with shader and texture folders of the
// test's own: each fragment shader paints a colour of its own (green) and the
// red of its texture, so a frame tells which program and texture drew it.
// Left clicks step through the sets; a missing or empty shader is told and
// the old program stays; iTime counts ticks, iMouse counts rows from the
// bottom; the click text shows from a height of 200 pixels up.
// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "about/shader_orb_ctrl.h"
#include "about/shader_protoplasm.h"
#include "about/shader_root_sanctum.h"
#include "platform/desktop.h"
#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

// Green of each fragment shader's frame, and red of each texture.
const std::map<std::string, int> kShaderGreen = {
    {"shader_seascape.frag", 40},   {"shader_coast.frag", 80},   {"shader_ChillSmokeOrb.frag", 120},
    {"shader_raindrops.frag", 160}, {"shader_Glitch.frag", 200}, {"shader_protoplasm.frag", 220},
    {"shader_Sanctum.frag", 240},
};
const std::map<std::string, int> kTextureRed = {
    {"DivoviDavovu.png", 50},
    {"DivoviDavovu2.png", 100},
    {"st_GrayNoiseSmall.png", 150},
    {"st_Organic3.jpg", 200},
};

// A folder standing for the executable's: shaders/ and assets/ with the files
// the demos name, written by the test.
class DemoFolder
{
public:
    DemoFolder()
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("shaders"));
        QDir(m_dir.path()).mkpath(QStringLiteral("assets"));
        QFile::copy(platform::paths::InExeDir(QStringLiteral("shaders/shader_common.vert")),
                    m_dir.filePath(QStringLiteral("shaders/shader_common.vert")));
        QFile::copy(platform::paths::InExeDir(QStringLiteral("shaders/shader_Sanctum.vert")),
                    m_dir.filePath(QStringLiteral("shaders/shader_Sanctum.vert")));
        for (const auto& [name, green] : kShaderGreen)
            WriteShader(name, green);
        for (const auto& [name, red] : kTextureRed) {
            QImage picture(8, 8, QImage::Format_RGB32);
            picture.fill(QColor(red, 10, 10));
            picture.save(m_dir.filePath(QStringLiteral("assets/") + QString::fromStdString(name)), nullptr,
                         100);
        }
        platform::paths::SetExeDirOverride(m_dir.path());
    }
    ~DemoFolder() { platform::paths::SetExeDirOverride(QString()); }

    // A fragment shader painting (texture red, green, 0); the sanctum's has a
    // vec3 iResolution, as the real one.
    void WriteShader(const std::string& name, int green) const
    {
        const bool sanctum = name == "shader_Sanctum.frag";
        const std::string source = std::string("#version 120\n") + "uniform float iTime;\n" +
                                   (sanctum ? "uniform vec3 iResolution;\n" : "uniform vec2 iResolution;\n") +
                                   "uniform sampler2D iChannel0;\nvarying vec2 vTexCoord;\n"
                                   "void main() { gl_FragColor = vec4(texture2D(iChannel0, vTexCoord).r, " +
                                   std::to_string(green) + ".0 / 255.0 + min(iTime, 0.0), 0.0, 1.0); }\n";
        Write("shaders/" + name, source);
    }
    void Write(const std::string& path, const std::string& text) const
    {
        QFile file(m_dir.filePath(QString::fromStdString(path)));
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(text.data(), static_cast<qint64>(text.size()));
    }
    void Remove(const std::string& path) const
    {
        QFile::remove(m_dir.filePath(QString::fromStdString(path)));
    }

private:
    QTemporaryDir m_dir;
};

struct Drawn
{
    int red, green;
};

// The colour in the middle of the control's next frame.
Drawn Centre(CShaderCtrl& control)
{
    const QImage frame = control.grabFramebuffer();
    const QRgb c = frame.pixel(frame.width() / 2, frame.height() / 2);
    return {qRed(c), qGreen(c)};
}

bool Near(int a, int b)
{
    return std::abs(a - b) <= 3;
}

// What the set paints.
::testing::AssertionResult Shows(CShaderCtrl& control, const char* fragment, const char* texture)
{
    const Drawn drawn = Centre(control);
    const int green = kShaderGreen.at(fragment);
    const int red = texture ? kTextureRed.at(texture) : 0;
    if (Near(drawn.green, green) && Near(drawn.red, red))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "drawn (" << drawn.red << ", " << drawn.green << "), " << fragment << " on "
           << (texture ? texture : "nothing") << " paints (" << red << ", " << green << ")";
}

void Tick(QWidget& control)
{
    platform::WindowTimerEvent tick(CShaderCtrl::kTimerId);
    QCoreApplication::sendEvent(&control, &tick);
}

// The value of a float uniform of the control's program.
std::array<float, 2> Uniform(CShaderCtrl& control, const char* name)
{
    control.makeCurrent();
    std::array<float, 2> value{-1, -1};
    glGetUniformfv(control.Program(), glGetUniformLocation(control.Program(), name), value.data());
    control.doneCurrent();
    return value;
}

class ShaderCtrlTest : public ::testing::Test
{
protected:
    // The control at the size of its page's static, shown and set up.
    template <typename Control> std::unique_ptr<Control> Show(QSize size = {291, 239})
    {
        auto control = std::make_unique<Control>();
        control->setGeometry(QRect(QPoint(60, 60), size));
        control->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(control.get()));
        EXPECT_TRUE(QTest::qWaitFor([&] { return control->Program() != 0; }));
        return control;
    }

    std::vector<QString> Messages() const
    {
        QCoreApplication::processEvents(); // the reports are queued
        std::vector<QString> texts;
        for (const auto& box : desktop->messageBoxes)
            texts.push_back(box.text);
        return texts;
    }

    platform::ScopedRecordingDesktop desktop;
    DemoFolder folder;
};

TEST_F(ShaderCtrlTest, OrbClicksStepThroughItsThreeShaders)
{
    const auto orb = Show<CShaderOrbCtrl>();
    EXPECT_TRUE(Shows(*orb, "shader_seascape.frag", nullptr));
    for (const char* next : {"shader_coast.frag", "shader_ChillSmokeOrb.frag", "shader_seascape.frag"}) {
        QTest::mouseClick(orb.get(), Qt::LeftButton, {}, QPoint(100, 100));
        EXPECT_TRUE(Shows(*orb, next, nullptr));
    }
    EXPECT_EQ(orb->ShaderIndex(), 0);
    QTest::mouseClick(orb.get(), Qt::RightButton, {}, QPoint(100, 100)); // only the left button steps
    EXPECT_TRUE(Shows(*orb, "shader_seascape.frag", nullptr));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ShaderCtrlTest, ProtoplasmClicksStepThroughFourPairsAndComeBackOnTheSecondPicture)
{
    const auto demo = Show<CShaderProtoplasm>();
    EXPECT_TRUE(Shows(*demo, "shader_raindrops.frag", "DivoviDavovu.png"));
    const std::pair<const char*, const char*> steps[] = {
        {"shader_Glitch.frag", "DivoviDavovu.png"}, {"shader_protoplasm.frag", "st_GrayNoiseSmall.png"},
        {"shader_Sanctum.frag", "st_Organic3.jpg"}, {"shader_raindrops.frag", "DivoviDavovu2.png"},
        {"shader_Glitch.frag", "DivoviDavovu.png"},
    };
    unsigned texture = demo->Texture();
    for (const auto& [fragment, texture_file] : steps) {
        QTest::mouseClick(demo.get(), Qt::LeftButton, {}, QPoint(50, 50));
        EXPECT_TRUE(Shows(*demo, fragment, texture_file));
        // The texture it replaced is gone.
        demo->makeCurrent();
        EXPECT_EQ(glIsTexture(texture), GL_FALSE) << fragment;
        demo->doneCurrent();
        texture = demo->Texture();
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ShaderCtrlTest, ANewContextReloadsTheShaderTheClicksChose)
{
    // Moving the control to another window gives it a new context: its program,
    // texture and font come back as they were, the time goes on.
    QWidget first;
    QWidget second;
    for (QWidget* window : {&first, &second})
        window->resize(320, 280);
    auto* demo = new CShaderProtoplasm(&first);
    demo->setGeometry(10, 10, 291, 239);
    first.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&first));
    QTRY_VERIFY(demo->Program() != 0);
    QTest::mouseClick(demo, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseClick(demo, Qt::LeftButton, {}, QPoint(50, 50));
    Tick(*demo);

    demo->setParent(&second);
    demo->show();
    second.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
    QTRY_VERIFY(demo->Program() != 0);
    EXPECT_TRUE(Shows(*demo, "shader_protoplasm.frag", "st_GrayNoiseSmall.png"));
    EXPECT_TRUE(demo->FontReady());
    EXPECT_EQ(demo->Time(), 0.016f);
    EXPECT_TRUE(Messages().empty());
    delete demo;
}

TEST_F(ShaderCtrlTest, AMissingOrEmptyShaderIsToldAndTheOldProgramStays)
{
    for (const bool empty : {false, true}) {
        SCOPED_TRACE(empty ? "empty file" : "missing file");
        desktop->messageBoxes.clear();
        const auto orb = Show<CShaderOrbCtrl>();
        if (empty)
            folder.Write("shaders/shader_coast.frag", "");
        else
            folder.Remove("shaders/shader_coast.frag");
        const unsigned program = orb->Program();
        QTest::mouseClick(orb.get(), Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_EQ(Messages(), std::vector<QString>{QStringLiteral("Failed to load shaders")});
        EXPECT_EQ(orb->Program(), program);
        EXPECT_TRUE(Shows(*orb, "shader_seascape.frag", nullptr));
        // The next click goes on to the third shader.
        QTest::mouseClick(orb.get(), Qt::LeftButton, {}, QPoint(10, 10));
        EXPECT_TRUE(Shows(*orb, "shader_ChillSmokeOrb.frag", nullptr));
        folder.WriteShader("shader_coast.frag", kShaderGreen.at("shader_coast.frag"));
    }
}

TEST_F(ShaderCtrlTest, AMissingTextureIsToldByNameAndTheOldTextureStays)
{
    folder.Remove("assets/st_GrayNoiseSmall.png");
    const auto demo = Show<CShaderProtoplasm>();
    QTest::mouseClick(demo.get(), Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseClick(demo.get(), Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(Messages(),
              std::vector<QString>{QStringLiteral("Failed to load texture: st_GrayNoiseSmall.png")});
    // The new program draws on the texture that was there.
    EXPECT_TRUE(Shows(*demo, "shader_protoplasm.frag", "DivoviDavovu.png"));
}

TEST_F(ShaderCtrlTest, AMissingFirstShaderIsToldAtSetUp)
{
    folder.Remove("shaders/shader_Sanctum.frag");
    auto sanctum = std::make_unique<CShaderRootSanctum>();
    sanctum->resize(120, 90);
    sanctum->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(sanctum.get()));
    QTRY_COMPARE(Messages(), std::vector<QString>{QStringLiteral("Failed to load shaders")});
    EXPECT_EQ(sanctum->Program(), 0u);
}

TEST_F(ShaderCtrlTest, ITimeGrowsBy0016PerTickNotByTheClock)
{
    // No PreSubclassWindow, so no timer: the ticks are the test's alone.
    const auto orb = Show<CShaderOrbCtrl>();
    Centre(*orb);
    EXPECT_EQ(Uniform(*orb, "iTime")[0], 0.0f);
    float expected = 0;
    for (const int ticks : {1, 9, 240}) {
        for (int i = 0; i < ticks; ++i) {
            Tick(*orb);
            expected += 0.016f;
        }
        QTest::qWait(20); // a little real time passes: it must not count
        Centre(*orb);
        EXPECT_EQ(Uniform(*orb, "iTime")[0], expected) << ticks;
    }
    EXPECT_NEAR(expected, 250 * 0.016, 1e-3);
}

TEST_F(ShaderCtrlTest, TheTimerTicksFromPreSubclassWindowOn)
{
    const auto orb = Show<CShaderOrbCtrl>();
    QTest::qWait(50);
    EXPECT_EQ(orb->Time(), 0.0f);
    orb->PreSubclassWindow();
    QTRY_VERIFY(orb->Time() >= 3 * 0.016f);
}

TEST_F(ShaderCtrlTest, IMouseCountsRowsFromTheBottomEdge)
{
    folder.Write("shaders/shader_seascape.frag",
                 "#version 120\nuniform vec2 iMouse;\n"
                 "void main() { gl_FragColor = vec4(iMouse / 1000.0, 0.0, 1.0); }\n");
    const auto orb = Show<CShaderOrbCtrl>();
    for (const QPoint at : {QPoint(7, 0), QPoint(150, 100), QPoint(290, 238)}) {
        QTest::mouseMove(orb.get(), at);
        QTRY_COMPARE(orb->MouseUniform(), QPoint(at.x(), 239 - at.y()));
        Centre(*orb);
        const auto mouse = Uniform(*orb, "iMouse");
        EXPECT_EQ(mouse[0], static_cast<float>(at.x()));
        EXPECT_EQ(mouse[1], static_cast<float>(239 - at.y()));
    }
}

// Pixels of the click text's grey in a frame.
int GreyPixels(const QImage& frame)
{
    int n = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb c = frame.pixel(x, y);
            n += std::abs(qRed(c) - 179) <= 1 && qRed(c) == qGreen(c) && qGreen(c) == qBlue(c);
        }
    return n;
}

TEST_F(ShaderCtrlTest, TheClickTextShowsFromAHeightOf200Up)
{
    for (const auto& [name, green] : kShaderGreen)
        folder.WriteShader(name, 0); // black frames: only the text is grey
    const struct
    {
        int height;
        bool text;
    } cases[] = {{239, true}, {200, true}, {199, false}, {120, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.height);
        for (const bool orb : {true, false}) {
            std::unique_ptr<CShaderCtrl> control;
            if (orb)
                control = Show<CShaderOrbCtrl>({291, c.height});
            else
                control = Show<CShaderProtoplasm>({291, c.height});
            ASSERT_TRUE(control->FontReady());
            const QImage frame = control->grabFramebuffer();
            const int grey = GreyPixels(frame);
            if (!c.text) {
                EXPECT_EQ(grey, 0);
                continue;
            }
            EXPECT_GT(grey, 60);
            // The baseline is 200 rows above the bottom edge, from x = 5 on.
            const int baseline = c.height - 200;
            EXPECT_EQ(GreyPixels(frame.copy(0, 0, 291, std::max(0, frame.height() - baseline - 14))), 0);
            EXPECT_EQ(GreyPixels(frame.copy(0, 0, 5, frame.height())), 0);
        }
    }
    // The sanctum on its own writes nothing.
    auto sanctum = Show<CShaderRootSanctum>();
    EXPECT_FALSE(sanctum->FontReady());
    EXPECT_EQ(GreyPixels(sanctum->grabFramebuffer()), 0);
}

} // namespace
