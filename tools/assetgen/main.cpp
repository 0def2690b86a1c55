// lmd_assetgen <resource folder> <data folder>
// Draws every generated asset: embedded resources into the resource folder
// (with the list lmd_resources.qrc for rcc) and run-time data files into the
// data folder (the folder of the executable). Runs headless.
#include "tools/assetgen/assetgen.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: lmd_assetgen <resource folder> <data folder>\n");
        return 2;
    }
    // Text and painting need a GUI application, but no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return assetgen::RunAll(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
}
