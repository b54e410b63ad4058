// Loading the full system settings table, as the library does once at set-up:
// from an existing complete file (every start but the first), from one a
// person edited with every second key missing, and from a missing file
// (the first start: the file is created).
#include "settings/xinisystem.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void load(const QString& path)
{
    XIniSystem ini;
    ini.xinisys_init(path);
    benchmark::DoNotOptimize(ini.xini_load(true));
}

QByteArray completeFile(const QTemporaryDir& dir)
{
    const QString path = dir.filePath(QStringLiteral("template.ini"));
    load(path);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& text)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
}

void BM_LoadExistingFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("system.ini"));
    writeFile(path, completeFile(dir));
    for (auto _ : state)
        load(path);
}
BENCHMARK(BM_LoadExistingFile)->Unit(benchmark::kMicrosecond);

void BM_LoadHalfMissingFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("system.ini"));
    QByteArray half;
    int n = 0;
    for (const QByteArray& line : completeFile(dir).split('\n')) {
        if (!line.contains('=') || n++ % 2 == 0)
            half += line + '\n';
    }
    for (auto _ : state) {
        state.PauseTiming();
        writeFile(path, half);
        state.ResumeTiming();
        load(path);
    }
}
BENCHMARK(BM_LoadHalfMissingFile)->Unit(benchmark::kMicrosecond);

void BM_LoadMissingFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("system.ini"));
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
        load(path);
    }
}
BENCHMARK(BM_LoadMissingFile)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
