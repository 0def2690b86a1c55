// The OpenGL control base on the display: GLEW is ready before set-up, every
// hook runs with the control's own context current, and the objects made in
// set-up are freed in that context when the control goes, or when Qt drops
// the context as the control moves to another window.
// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "about/gl_ctrl.h"
#include "tests/about/gl_ctrl_fixture.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

// What the hooks saw, kept outside the control so it outlives it.
struct Record
{
    int setUps = 0, paints = 0, frees = 0;
    QSize size;
    bool glewReadyAtSetUp = false;
    bool ownContextEverywhere = true;
    bool textureAliveAtFree = false;
};

class ProbeCtrl : public CGLCtrl
{
public:
    explicit ProbeCtrl(Record& record) : m_record(record) {}
    ~ProbeCtrl() override { ReleaseGL(); }

protected:
    void SetUpGL() override
    {
        Check();
        ++m_record.setUps;
        m_record.glewReadyAtSetUp = GlewReady() && glGenBuffers != nullptr;
        glGenTextures(1, &m_texture);
        glBindTexture(GL_TEXTURE_2D, m_texture);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    void PaintGL() override
    {
        Check();
        ++m_record.paints;
        glClearColor(0, 1, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void ResizeGL(int width, int height) override
    {
        Check();
        m_record.size = QSize(width, height);
    }
    void FreeGL() override
    {
        Check();
        ++m_record.frees;
        m_record.textureAliveAtFree = glIsTexture(m_texture) == GL_TRUE;
        glDeleteTextures(1, &m_texture);
        m_texture = 0;
    }

private:
    void Check()
    {
        if (!lmd::test::OwnContextCurrent(*this))
            m_record.ownContextEverywhere = false;
    }

    Record& m_record;
    GLuint m_texture = 0;
};

TEST(GLCtrlTest, HooksRunInTheControlsContextAndTheObjectsGoWithIt)
{
    Record record;
    auto control = std::make_unique<ProbeCtrl>(record);
    control->resize(120, 90);
    control->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(control.get()));
    QTRY_VERIFY(record.paints > 0);
    EXPECT_EQ(record.setUps, 1);
    EXPECT_TRUE(record.glewReadyAtSetUp);
    EXPECT_EQ(record.size, QSize(120, 90));
    const QImage frame = control->grabFramebuffer();
    EXPECT_EQ(frame.pixel(60, 45), qRgb(0, 255, 0));

    control.reset();
    EXPECT_EQ(record.frees, 1);
    EXPECT_TRUE(record.textureAliveAtFree);
    EXPECT_TRUE(record.ownContextEverywhere);
}

TEST(GLCtrlTest, MovingToAnotherWindowFreesAndSetsUpAgain)
{
    Record record;
    QWidget first;
    QWidget second;
    first.resize(200, 150);
    second.resize(200, 150);
    auto* control = new ProbeCtrl(record);
    control->setParent(&first);
    control->setGeometry(10, 10, 100, 80);
    first.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&first));
    QTRY_VERIFY(record.paints > 0);

    control->setParent(&second);
    control->show();
    second.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&second));
    QTRY_COMPARE(record.setUps, 2);
    EXPECT_EQ(record.frees, 1);
    EXPECT_TRUE(record.textureAliveAtFree);

    delete control;
    EXPECT_EQ(record.frees, 2);
    EXPECT_TRUE(record.ownContextEverywhere);
}

TEST(GLCtrlTest, AControlNeverShownFreesNothing)
{
    Record record;
    { ProbeCtrl control(record); }
    EXPECT_EQ(record.setUps, 0);
    EXPECT_EQ(record.frees, 0);
}

} // namespace
