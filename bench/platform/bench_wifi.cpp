// The GUI-thread cost of the Wi-Fi indicator on NetworkManager
// (python3-dbusmock on a private system bus) with 50 visible networks of two
// access points each, connected to one, the debug log closed: one refresh of
// the WLAN client (what each notification costs), with no signal bar moved
// and with every bar to repaint, and one status query of the provider (what
// each poll costs). Then the bus calls both make, counted by dbus-monitor:
// the goal is none. Last, the heap the WLAN client gives back when the 50
// networks become one (its lists and its signal-bar pictures). The CPU column is the thread's own time; on a busy
// machine the wall time also holds the waits for a core.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

#include <malloc.h>

#include "classwifi/cwifi.h"
#include "library/vantelglobals.h"
#include "testcatalogue.h"
#include "testnetworkmanager.h"
#include "testsystembus.h"
#include "xwifi.h"

namespace {

constexpr int kNetworks = 50;

Cwifi* client;
XWifi* provider;
QStringList accessPoints; // those of networks 1 to 49

void BM_WifiRefresh(benchmark::State& state)
{
    for (auto _ : state)
        emit client->WifiEndScan(); // the refresh, called directly in this thread
    state.counters["networks"] = client->NetworkCount();
}
BENCHMARK(BM_WifiRefresh)->Unit(benchmark::kMicrosecond);

// The same with every signal bar to paint, as after a scan that moved them all.
void BM_WifiRefreshPaintingAll(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto fresh = std::make_unique<Cwifi>(QString());
        state.ResumeTiming();
        emit fresh->WifiEndScan();
        state.PauseTiming();
        fresh.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WifiRefreshPaintingAll)->Unit(benchmark::kMicrosecond);

void BM_WifiPoll(benchmark::State& state)
{
    QString value, icon;
    int ret = 0;
    for (auto _ : state) {
        ret = provider->xwifi_getStatus(value, icon);
        benchmark::DoNotOptimize(ret);
    }
    if (value.isEmpty())
        state.SkipWithError("no connected network seen");
}
BENCHMARK(BM_WifiPoll);

bool setUp(TestNetworkManager& nm)
{
    if (!nm.start() || nm.addWifiDevice().isEmpty())
        return false;
    QString first;
    for (int n = 0; n < kNetworks; ++n) {
        for (int b = 0; b < 2; ++b) {
            const QString bssid = QStringLiteral("02:00:00:00:%1:%2").arg(n, 2, 16, QLatin1Char('0')).arg(b, 2, 16, QLatin1Char('0'));
            const QString ap = nm.addAccessPoint(QStringLiteral("Network %1").arg(n), bssid, 20 + n + 10 * b);
            if (ap.isEmpty())
                return false;
            if (first.isEmpty())
                first = ap;
            else if (n > 0)
                accessPoints << ap;
        }
    }
    return nm.connectTo(QStringLiteral("Network 0"), first);
}

// Method calls on the bus while `work` runs, as dbus-monitor saw them.
int busCalls(const QString& address, const std::function<void()>& work)
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("calls"));
    QProcess monitor;
    monitor.setStandardOutputFile(log);
    monitor.start(QStringLiteral("dbus-monitor"),
                  {QStringLiteral("--address"), address, QStringLiteral("--profile"), QStringLiteral("type='method_call'")});
    if (!monitor.waitForStarted())
        return -1;
    const auto count = [&] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) ? int(file.readAll().count("\nmc\t")) : -1;
    };
    QThread::msleep(300); // the monitor is listening
    const int before = count();
    work();
    QThread::msleep(300);
    const int after = count();
    monitor.terminate();
    monitor.waitForFinished();
    return after - before;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestSystemBus bus;
    if (!bus.start()) {
        std::fprintf(stderr, "bench_wifi: %s\n", qPrintable(bus.error()));
        return 1;
    }
    QApplication app(argc, argv);
    installTestCatalogue(QStringLiteral(VANTEL_SOURCE_DIR "/icons"));
    TestNetworkManager nm(bus);
    if (!setUp(nm)) {
        std::fprintf(stderr, "bench_wifi: %s\n", qPrintable(nm.error()));
        return 1;
    }
    vantel_log = nullptr;
    Cwifi wifi{QString()};
    XWifi status(nullptr);
    client = &wifi;
    provider = &status;

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    QString value, icon;
    const int refreshCalls = busCalls(bus.address(), [] {
        for (int i = 0; i < 100; ++i)
            emit client->WifiEndScan();
    });
    const int pollCalls = busCalls(bus.address(), [&] {
        for (int i = 0; i < 1000; ++i)
            provider->xwifi_getStatus(value, icon);
    });
    std::printf("bus calls: %d in 100 refreshes, %d in 1000 polls\n", refreshCalls, pollCalls);

    const auto refreshed = [] {
        QThread::msleep(500); // the service has the new list
        QCoreApplication::processEvents();
        emit client->WifiEndScan();
        return mallinfo2().uordblks;
    };
    const std::size_t before = refreshed();
    for (const QString& ap : accessPoints)
        nm.removeAccessPoint(ap);
    const std::size_t after = refreshed();
    std::printf("heap given back when %d networks became %d: %zu bytes\n", kNetworks, client->NetworkCount(),
                before > after ? before - after : 0);
    return refreshCalls == 0 && pollCalls == 0 ? 0 : 1;
}
