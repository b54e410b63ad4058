// The brightness provider against a fake tablet tree (mains online, the
// backlight acpi_video0 at 600 of 1000) and a scheme store holding 60 % for
// mains, the debug log closed:
// - one poll (xscc_getStatus): the AC line from sysfs, the store from memory
//   after one stat() that finds the file unchanged; beside it the AC line
//   read alone, which is most of a poll;
// - one click's write: the store written whole and the backlight set, once
//   with logind absent (the sysfs file written) and once through the logind
//   mock on a private bus.
// For instructions, run the fixed-iteration poll under callgrind
// (valgrind --tool=callgrind --toggle-collect='XBrightness::xscc_getStatus*'
// bench_brightness --benchmark_filter='Poll.*iterations') and divide by 1000.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "indicator/iconcatalogue.h"
#include "library/vantelglobals.h"
#include "linux/linuxbackend.h"
#include "testlogindsession.h"
#include "testsystembus.h"
#include "vantelapi.h"
#include "xbrightness.h"
#include "xinfodata.h"

namespace {

using namespace vantel::platform;

TestSystemBus* bus = nullptr;

struct FakeTablet {
    QTemporaryDir dir;

    FakeTablet()
    {
        // The AC supply as the kernel lays it out, with its uevent.
        write("sys/class/power_supply/AC/type", "Mains");
        write("sys/class/power_supply/AC/online", "1");
        write("sys/class/power_supply/AC/uevent",
              "POWER_SUPPLY_NAME=AC\nPOWER_SUPPLY_TYPE=Mains\nPOWER_SUPPLY_ONLINE=1");
        const QString backlight = "sys/class/backlight/acpi_video0/";
        write(backlight + "type", "firmware");
        write(backlight + "max_brightness", "1000");
        write(backlight + "actual_brightness", "600");
        write(backlight + "brightness", "600");
        write("config/vantel/powerscheme.conf",
              "7516b95f-f776-4464-8c53-06167f40cc99 aded5e82-b909-4619-9949-f5d71dac0bcb AC 60");
        write("icons/null.svg", "");
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        installBackend(std::make_shared<LinuxBackend>((dir.path() + "/sys").toStdString(), "/proc"));
        structVANTEL_PROGRAMDATA data;
        data.pathImages = dir.filePath("icons");
        vantel_buildIcons(vantel_icons, data);
    }

    ~FakeTablet() { installBackend(nullptr); }

    void write(const QString& path, const QByteArray& value)
    {
        const QString full = dir.filePath(path);
        QDir().mkpath(QFileInfo(full).path());
        QFile file(full);
        if (file.open(QIODevice::WriteOnly))
            file.write(value + '\n');
    }
};

void BM_XBrightnessPoll(benchmark::State& state)
{
    FakeTablet tablet;
    XBrightness brightness(nullptr);
    QString value, icon;
    for (auto _ : state) {
        int ret = brightness.xscc_getStatus(value, icon);
        benchmark::DoNotOptimize(ret);
    }
    if (value != QLatin1String("75%"))
        state.SkipWithError("unexpected report");
}

void BM_ACLineAlone(benchmark::State& state)
{
    FakeTablet tablet;
    SystemPowerStatus status;
    for (auto _ : state) {
        bool ok = powerStatus().getSystemPowerStatus(status);
        benchmark::DoNotOptimize(ok);
    }
}

void clicks(benchmark::State& state, bool withLogind)
{
    if (withLogind ? !testlogind::startWithSession(*bus) : !bus->stopTemplate("logind")) {
        state.SkipWithError(qPrintable(bus->error()));
        return;
    }
    FakeTablet tablet;
    XBrightness brightness(nullptr);
    for (auto _ : state)
        brightness.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
    QFile sysfs(tablet.dir.filePath("sys/class/backlight/acpi_video0/brightness"));
    const bool sysfsWritten = sysfs.open(QIODevice::ReadOnly) && sysfs.readAll() != "600\n";
    if (sysfsWritten == withLogind)
        state.SkipWithError("the backlight was not written the expected way");
}

void BM_XBrightnessClickLogindAbsent(benchmark::State& state)
{
    clicks(state, false);
}

void BM_XBrightnessClickThroughLogind(benchmark::State& state)
{
    clicks(state, true);
}

} // namespace

BENCHMARK(BM_XBrightnessPoll);
BENCHMARK(BM_XBrightnessPoll)->Iterations(1000);
BENCHMARK(BM_ACLineAlone);
BENCHMARK(BM_XBrightnessClickLogindAbsent)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_XBrightnessClickThroughLogind)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Before anything asks for the system bus.
    TestSystemBus privateBus;
    if (!privateBus.start()) {
        std::fprintf(stderr, "bench_brightness: %s\n", qPrintable(privateBus.error()));
        return 1;
    }
    bus = &privateBus;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
