// Entry point of the gui and gl test executables: one QApplication on the test
// display (xcb, no high-DPI scaling, as the clock itself runs), then GoogleTest.
// Listing the tests (ctest's discovery) needs no display, so it makes none.
#include "platform/gl.h"
#include "platform/loaded_modules.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();

    QApplication app(argc, argv);
    platform::InitGlut(&argc, argv); // as the clock does at start-up
    const int result = RUN_ALL_TESTS();
    // The leak check at exit finds the GL driver's data still in place.
    platform::KeepLoadedModulesToExit();
    return result;
}
