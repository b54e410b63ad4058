// One battery status query against a fake laptop tree (mains unplugged, one
// battery with energy values), the debug log closed. The fixed-iteration
// variant is the one to run under callgrind, counting inside the query only
// (valgrind --tool=callgrind --toggle-collect='XBattery::xbat_getStatus*'
// bench_batterystatus --benchmark_filter='XBattery.*iterations'); divide the
// instructions by 1000.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "iconcatalogue.h"
#include "linux/linuxbackend.h"
#include "linux/linuxpowerstatus.h"
#include "vantelapi.h"
#include "vantelglobals.h"
#include "xbattery.h"
#include "xinisystem.h"

namespace {

struct FakeLaptop {
    QTemporaryDir dir;

    FakeLaptop()
    {
        write("sys/class/power_supply/AC/type", "Mains");
        write("sys/class/power_supply/AC/online", "0");
        const QString battery = "sys/class/power_supply/BAT0/";
        write(battery + "type", "Battery");
        write(battery + "status", "Discharging");
        write(battery + "present", "1");
        write(battery + "energy_now", "23000000");
        write(battery + "energy_full", "50000000");
        write(battery + "capacity", "46");
        write("icons/null.svg", "");
        write("icons/battery_half.svg", "");
    }

    void write(const QString& path, const QByteArray& value)
    {
        const QString full = dir.filePath(path);
        QDir().mkpath(QFileInfo(full).path());
        QFile file(full);
        if (file.open(QIODevice::WriteOnly))
            file.write(value.isEmpty() ? value : value + '\n');
    }

    std::string sysfs() const { return (dir.path() + "/sys").toStdString(); }
};

void BM_LinuxPowerStatus(benchmark::State& state)
{
    FakeLaptop laptop;
    vantel::platform::LinuxPowerStatus power(laptop.sysfs());
    vantel::platform::SystemPowerStatus status;
    for (auto _ : state) {
        bool ok = power.getSystemPowerStatus(status);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(status);
    }
}

void BM_XBatteryStatus(benchmark::State& state)
{
    FakeLaptop laptop;
    vantel::platform::installBackend(std::make_shared<vantel::platform::LinuxBackend>(laptop.sysfs(), "/proc"));
    XIniSystem settings;
    settings.xinisys_init(laptop.dir.filePath("system.ini"));
    settings.xini_load(true);
    vantel_settings = &settings;
    structVANTEL_PROGRAMDATA data;
    data.pathImages = laptop.dir.filePath("icons");
    vantel_buildIcons(vantel_icons, data);

    XBattery battery(nullptr);
    QString value, icon;
    for (auto _ : state) {
        int ret = battery.xbat_getStatus(value, icon);
        benchmark::DoNotOptimize(ret);
    }
    if (value != QLatin1String("46%"))
        state.SkipWithError("unexpected report");
    vantel_settings = nullptr;
    vantel::platform::installBackend(nullptr);
}

} // namespace

BENCHMARK(BM_LinuxPowerStatus);
BENCHMARK(BM_XBatteryStatus);
BENCHMARK(BM_XBatteryStatus)->Iterations(1000);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
