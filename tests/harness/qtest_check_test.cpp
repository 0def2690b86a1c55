// A QtTest check that fails inside a GoogleTest test.
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(QtTestHarness, FailedWaitFailsTheRun)
{
    QTRY_VERIFY_WITH_TIMEOUT(false, 20);
}

} // namespace
