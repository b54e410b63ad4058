// Cost of one TRACEL_PrintDebugLog call as the library makes it (format "%s",
// one line of text): written, dropped by the level filter, and written from
// several threads at once. Logs go to a temporary directory removed at the end.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "tracel.h"

namespace {

const char16_t kLine[] = u"XBattery::xbat_getStatus ret=0 value=75% icon=battery_75.png";

TRACEL_HANDLE written = 0;
TRACEL_HANDLE filtered = 0;

void BM_PrintLine(benchmark::State& state)
{
    for (auto _ : state)
        TRACEL_PrintDebugLog(written, 4096, u"%s", kLine);
}
BENCHMARK(BM_PrintLine)->Threads(1)->Threads(2)->UseRealTime();

void BM_PrintFiltered(benchmark::State& state)
{
    for (auto _ : state)
        TRACEL_PrintDebugLog(filtered, 4096, u"%s", kLine);
}
BENCHMARK(BM_PrintFiltered);

} // namespace

int main(int argc, char** argv)
{
    char dir[] = "/tmp/tracel-bench-XXXXXX";
    if (!mkdtemp(dir))
        return 1;
    setenv("TRACEL_LOG_DIR", dir, 1);
    written = TRACEL_OpenDebugLog(u"bench");
    setenv("TRACEL_MASK", "256", 1);
    filtered = TRACEL_OpenDebugLog(u"bench-filtered");
    if (written == 0 || filtered == 0)
        return 1;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    TRACEL_CloseDebugLog(written);
    TRACEL_CloseDebugLog(filtered);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return 0;
}
