// One battery status query against a fake laptop tree (mains unplugged, one
// battery with energy values, each supply with its uevent as the kernel
// writes it), the debug log closed, side by side with a floor on the same
// tree: a plain loop that lists the supplies and reads each uevent once.
// Goal: the backend's query at most 1.5 times the floor's CPU time.
//
// The fixed-iteration variants are the ones to count: system calls with
// strace -f -c bench_batterystatus --benchmark_filter='LinuxPowerStatus/iterations'
// (divide by 1000; goal at most 10 a query), instructions with callgrind
// (valgrind --tool=callgrind --toggle-collect='XBattery::xbat_getStatus*'
// bench_batterystatus --benchmark_filter='XBattery.*iterations').
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <utility>
#include <vector>

#include "indicator/iconcatalogue.h"
#include "library/vantelglobals.h"
#include "linux/linuxbackend.h"
#include "linux/linuxpowerstatus.h"
#include "settings/xinisystem.h"
#include "vantelapi.h"
#include "xbattery.h"

namespace {

struct FakeLaptop {
    QTemporaryDir dir;

    FakeLaptop()
    {
        supply("AC", {{"type", "Mains"}, {"online", "0"}});
        supply("BAT0", {{"type", "Battery"},
                        {"status", "Discharging"},
                        {"present", "1"},
                        {"technology", "Li-ion"},
                        {"cycle_count", "0"},
                        {"voltage_min_design", "11100000"},
                        {"voltage_now", "11520000"},
                        {"power_now", "7350000"},
                        {"energy_full_design", "57000000"},
                        {"energy_full", "50000000"},
                        {"energy_now", "23000000"},
                        {"capacity", "46"},
                        {"capacity_level", "Normal"},
                        {"model_name", "5B10W13930"},
                        {"manufacturer", "SMP"},
                        {"serial_number", "1234"}});
        write("icons/null.svg", "");
        write("icons/battery_half.svg", "");
    }

    // The attribute files and the uevent that lists them, as the kernel has them.
    void supply(const QString& name, const std::vector<std::pair<QByteArray, QByteArray>>& attributes)
    {
        const QString folder = "sys/class/power_supply/" + name + "/";
        QByteArray uevent = "POWER_SUPPLY_NAME=" + name.toUtf8() + "\n";
        for (const auto& [attribute, value] : attributes) {
            write(folder + attribute, value);
            uevent += "POWER_SUPPLY_" + attribute.toUpper() + "=" + value + "\n";
        }
        write(folder + "uevent", uevent.chopped(1));
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

// The least a query can do: list the folder, read each uevent once.
void BM_PowerSupplyFloor(benchmark::State& state)
{
    FakeLaptop laptop;
    const std::string classDir = laptop.sysfs() + "/class/power_supply";
    char buffer[4096];
    for (auto _ : state) {
        std::size_t total = 0;
        DIR* dir = ::opendir(classDir.c_str());
        while (const dirent* entry = ::readdir(dir)) {
            if (entry->d_name[0] == '.')
                continue;
            const int fd = ::openat(::dirfd(dir), (std::string(entry->d_name) + "/uevent").c_str(), O_RDONLY);
            const ssize_t length = ::read(fd, buffer, sizeof(buffer));
            ::close(fd);
            total += std::size_t(length);
        }
        ::closedir(dir);
        benchmark::DoNotOptimize(total);
    }
}

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

BENCHMARK(BM_PowerSupplyFloor);
BENCHMARK(BM_LinuxPowerStatus);
BENCHMARK(BM_LinuxPowerStatus)->Iterations(1000);
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
