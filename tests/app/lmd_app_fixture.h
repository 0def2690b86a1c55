#pragma once
// Helpers of the start-up and exit tests: a folder that stands for the
// executable's folder, INI files in it, and the check that a saved file holds
// every key of the settings store.
#include "store/app_settings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace lmd::test {

// Every "Section/Key" the settings store keeps (the alarm keys for 1 to 9),
// written out here from the file format, independent of the store's code.
QStringList EverySettingsKey();

// The keys of EverySettingsKey() that the INI file at path lacks.
QStringList MissingSettingsKeys(const QString& path);

QByteArray ReadFile(const QString& path);
bool WriteFile(const QString& path, const QByteArray& bytes);

// Every stored field of a settings record, as the INI text it saves to (a
// new file at path).
QByteArray Saved(const AppSettings& settings, const QString& path);

// INI text that keeps the test display quiet: no splash, GDI hands instead of
// the dial shader (no shader error boxes), plus any further lines.
QByteArray QuietIni(const QByteArray& generalLines = {});

// Counts the saves of one file in a folder: each atomic save renames a new
// file onto it.
class SaveCounter
{
public:
    SaveCounter(const QString& folder, const QString& name);
    ~SaveCounter();
    SaveCounter(const SaveCounter&) = delete;
    SaveCounter& operator=(const SaveCounter&) = delete;

    // The saves since the last call.
    int Take();

private:
    QByteArray name_;
    int fd_ = -1;
};

} // namespace lmd::test
