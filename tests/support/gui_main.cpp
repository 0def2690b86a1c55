// Entry point of the gui and gl test executables: one QApplication on the test
// display (xcb, no high-DPI scaling, as the clock itself runs), then GoogleTest.
// Listing the tests (ctest's discovery) needs no display, so it makes none.
#include "platform/gl.h"
#include "platform/loaded_modules.h"

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace {

// QtTest's checks (QVERIFY, QCOMPARE, QTRY_VERIFY ...) report to QtTest, not to
// GoogleTest: outside QTest::qExec a failed one only raises QtTest's failure flag
// and returns from the test body, and GoogleTest would call the test passed. The
// flag cannot be lowered again, so the first test that raised it is named and the
// whole run fails (ctest runs one test a process, so that is the test's verdict).
class QtTestChecks : public ::testing::EmptyTestEventListener
{
public:
    void OnTestEnd(const ::testing::TestInfo& test) override
    {
        if (m_firstFailed.empty() && QTest::currentTestFailed())
            m_firstFailed = std::string(test.test_suite_name()) + "." + test.name();
    }

    // Turns a passing result into a failure when a QtTest check failed.
    int Verdict(int result) const
    {
        if (m_firstFailed.empty())
            return result;
        std::fprintf(stderr, "A QtTest check (QVERIFY, QCOMPARE, QTRY_...) failed in %s\n",
                     m_firstFailed.c_str());
        return 1;
    }

private:
    std::string m_firstFailed;
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();

    QApplication app(argc, argv);
    platform::InitGlut(&argc, argv); // as the clock does at start-up
    auto* qtChecks = new QtTestChecks; // GoogleTest's listener list owns it
    ::testing::UnitTest::GetInstance()->listeners().Append(qtChecks);
    const int result = qtChecks->Verdict(RUN_ALL_TESTS());
    // The leak check at exit finds the GL driver's data still in place.
    platform::KeepLoadedModulesToExit();
    return result;
}
