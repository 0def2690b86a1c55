// Platform benchmarks: the profile store on a large INI file.
#include "platform/ini.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// Keys the clock reads and writes on every start and exit, in its last sections.
constexpr int kSettingsKeys = 100;

// An INI file of about `megabytes` MB: many sections of hand-written notes and
// keys, the clock's own sections last (the far end for a scan).
QByteArray LargeIni(int megabytes)
{
    QByteArray text;
    const qsizetype size = qsizetype{megabytes} << 20;
    text.reserve(size + 4096);
    for (int section = 0; text.size() < size; ++section) {
        text += "[Other" + QByteArray::number(section) + "]\n; notes kept as they are\n";
        for (int key = 0; key < 20; ++key)
            text += "Key" + QByteArray::number(key) + "=value of key " + QByteArray::number(key) +
                    " in a section written by hand\n";
    }
    text += "[GENERAL]\n";
    for (int key = 0; key < kSettingsKeys / 2; ++key)
        text += "Setting" + QByteArray::number(key) + "=1\n";
    text += "[ALARM]\n";
    return text;
}

// Load, the clock's reads and writes (half of them keys to append), save. Each
// round starts from the original file, written with the timing paused, so that
// every timed round appends the same keys; the first round is not timed.
void BM_IniLoadSave(benchmark::State& state)
{
    const QTemporaryDir dir;
    const QString path = dir.filePath("LMD.ini");
    const QByteArray original = LargeIni(static_cast<int>(state.range(0)));
    const auto writeOriginal = [&] {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(original) == original.size();
    };
    const auto loadSave = [&path] {
        platform::IniFile ini(path);
        int sum = 0;
        for (int key = 0; key < kSettingsKeys; ++key)
            sum += ini.GetProfileInt(u"GENERAL", QStringLiteral("Setting%1").arg(key), 0);
        for (int key = 0; key < kSettingsKeys; ++key)
            ini.WriteProfileInt(key % 2 ? u"ALARM" : u"GENERAL", QStringLiteral("Setting%1").arg(key), key);
        benchmark::DoNotOptimize(sum);
        return ini.Save();
    };
    if (!writeOriginal() || !loadSave()) {
        state.SkipWithError("cannot write the INI file");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        const bool written = writeOriginal();
        state.ResumeTiming();
        if (!written || !loadSave()) {
            state.SkipWithError("cannot write the INI file");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * original.size());
}
BENCHMARK(BM_IniLoadSave)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
