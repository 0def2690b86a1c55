#include "tests/app/lmd_app_fixture.h"

#include "platform/ini.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace lmd::test {

QStringList EverySettingsKey()
{
    QStringList keys;
    const auto add = [&](const QString& section, const QStringList& names) {
        for (const QString& name : names)
            keys << section + '/' + name;
    };
    add("GENERAL", {"StartX", "StartY", "Stealth", "Splash", "TopMost", "Zoom", "Alpha"});
    add("FRAME", {"Frame", "FrameType", "ExtFramePath", "Gradation", "ExtTexture"});
    add("MOJIBAN",
        {"ClockFace", "ClockHands", "Date", "DigitalWatch", "DigiSec", "DotColorGroup", "DotMatrixOnColor",
         "DotMatrixOffColor", "HandsColorKind", "HourColor", "MinColor", "SecondColor", "UseShaderMojiban"});
    add("EFFECT", {"EffectPtn0", "EffectPtn1", "EffectPtn2", "FilterColor", "FilterAlpha", "ImageFolderPath",
                   "PlayInterval", "SearchSub", "ExtShader"});
    for (int n = 1; n <= 9; ++n)
        for (const char* stem : {"Enable", "NotifyTiming", "MonthDay", "HourMin", "BackColor", "AlarmMsg"})
            keys << QString("ALARM/%1%2").arg(stem).arg(n);
    return keys;
}

QStringList MissingSettingsKeys(const QString& path)
{
    const platform::IniFile ini(path);
    QStringList missing;
    for (const QString& key : EverySettingsKey()) {
        const QStringList parts = key.split('/');
        if (!ini.HasKey(parts[0], parts[1]))
            missing << key;
    }
    return missing;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Saved(const AppSettings& settings, const QString& path)
{
    QFile::remove(path);
    EXPECT_TRUE(SaveAppSettings(settings, path));
    return ReadFile(path);
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray QuietIni(const QByteArray& generalLines)
{
    return "[GENERAL]\nSplash=0\n" + generalLines + "[MOJIBAN]\nUseShaderMojiban=0\n";
}

SaveCounter::SaveCounter(const QString& folder, const QString& name) : name_(QFile::encodeName(name))
{
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ >= 0)
        ::inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_MOVED_TO);
}

SaveCounter::~SaveCounter()
{
    if (fd_ >= 0)
        ::close(fd_);
}

int SaveCounter::Take()
{
    int saves = 0;
    alignas(inotify_event) char buffer[4096];
    ssize_t length = 0;
    while ((length = ::read(fd_, buffer, sizeof buffer)) > 0) {
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if (event->len > 0 && name_ == event->name)
                ++saves;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return saves;
}

} // namespace lmd::test
