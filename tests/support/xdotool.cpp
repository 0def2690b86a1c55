#include "tests/support/xdotool.h"

#include <QProcess>

namespace lmd::test {

bool Xdotool(const QStringList& arguments)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    return tool.waitForFinished(20000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

} // namespace lmd::test
