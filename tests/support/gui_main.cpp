// Entry point of the gui and gl test executables: one QApplication on the test
// display (xcb, no high-DPI scaling, as the clock itself runs), then GoogleTest.
#include "platform/gl.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    platform::InitGlut(&argc, argv); // as the clock does at start-up
    return RUN_ALL_TESTS();
}
