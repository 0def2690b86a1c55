#pragma once
// Screenshots that tests write for people to look at: <build folder>/screens/<name>.png
// (build/asan/screens after scripts/test).
#include <QImage>
#include <QString>

namespace lmd::test {

// Folder for screenshots (LMD_SCREENS_DIR, else ./screens); created on demand.
QString ScreensDir();

// Saves the picture as <ScreensDir>/<name>.png and returns the full path.
QString SaveScreen(const QImage& picture, const QString& name);

// The whole X screen, read back from the display (for pixel checks of real windows).
QImage GrabScreen();

} // namespace lmd::test
