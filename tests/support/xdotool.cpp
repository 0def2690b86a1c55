#include "tests/support/xdotool.h"

#include <QProcess>

namespace lmd::test {

bool Xdotool(const QStringList& arguments)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    return tool.waitForFinished(20000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

bool Click(QPoint point, int button)
{
    return Xdotool({QStringLiteral("mousemove"), QString::number(point.x()), QString::number(point.y()),
                    QStringLiteral("click"), QString::number(button)});
}

} // namespace lmd::test
