// What one whole poll costs on the Linux backends: the library opened with
// every indicator enabled and on a bar, against the shared doubles (a fake
// sysfs tree with mains, a battery with a kernel-style uevent and a
// backlight; the fake NetworkManager with one Wi-Fi device and 50 networks,
// connected; logind; a private Xvfb; the internet peer on 127.0.0.1), or on
// the simulated tablet with --sim.
//
//   bench_linuxpoll [--sim] [--log closed]            GUI-thread CPU of one poll (Google Benchmark)
//   bench_linuxpoll [--sim] [--log closed] --polls N  N polls from the library's own thread, then
//                                                     the totals of that stretch on one line
//   bench_linuxpoll --soak [--polls N]                N polls (100000) as fast as they are taken,
//                                                     the signal moved every 100, the stick
//                                                     plugged or pulled every 1000; memory, files
//                                                     and threads every 10000
//
// Per-poll figures of --polls come from two run lengths (bench/linuxpoll.sh):
// what a run of 13 costs more than a run of 3, divided by 10.
#include <benchmark/benchmark.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <memory>

#include "fakedevicetree.h"
#include "platform.h"
#include "testlogindsession.h"
#include "testnetworkmanager.h"
#include "testsystembus.h"
#include "testtcppeer.h"
#include "testxserver.h"
#include "tracelwrapper.h"
#include "vantelapi.h"
#include "vantelglobals.h"
#include "vantelsimulation.h"
#include "vantelthread.h"
#include "vantelvolumewatcher.h"
#include "xbatteryvehicle.h"
#include "xbartitle.h"
#include "xinfo.h"

// The application object as a host declares it, for the removable disks.
class HostApplication : public QApplication
{
    Q_OBJECT
public:
    HostApplication(int& argc, char** argv) : QApplication(argc, argv) {}
signals:
    void AddUsbDisk(int idVolume);
    void RemoveUsbDisk(int idVolume);
};

namespace {

constexpr int kNetworks = 50;
const QByteArray kSystemMount = "21 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n";

struct Options {
    bool sim = false;
    bool logOpen = true;
    bool soak = false;
    int polls = 0;
};

struct Doubles {
    FakeDeviceTree tree;
    TestSystemBus bus;
    TestNetworkManager nm{bus};
    TestTcpPeer peer;
    QStringList accessPoints;
    QString stick;
};

Doubles* doubles;
structVANTEL_PROGRAMDATA* programData;
bool logOpen = true;

void fail(const QString& what)
{
    std::fprintf(stderr, "bench_linuxpoll: %s\n", qPrintable(what));
    std::exit(1);
}

std::int64_t threadCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The CPU time of the library's polling thread (the thread is named after its
// class), from the scheduler's nanosecond account.
std::int64_t pollingThreadCpuNs()
{
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != "VantelThread")
            continue;
        QFile stat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (stat.open(QIODevice::ReadOnly))
            return stat.readAll().split(' ').value(0).toLongLong();
    }
    return -1;
}

QByteArray procStatus(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return QByteArray();
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed();
    }
    return QByteArray();
}

int openFiles() { return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::System).size()); }

void startDoubles(Doubles& d)
{
    // Mains online, a discharging battery as the kernel writes its uevent, a backlight.
    d.tree.write("sys/class/power_supply/AC/uevent",
                 "DEVTYPE=power_supply\nPOWER_SUPPLY_NAME=AC\nPOWER_SUPPLY_TYPE=Mains\nPOWER_SUPPLY_ONLINE=1\n");
    d.tree.attribute("sys/class/power_supply/AC/type", "Mains");
    d.tree.attribute("sys/class/power_supply/AC/online", "1");
    d.tree.write("sys/class/power_supply/BAT0/uevent",
                 "DEVTYPE=power_supply\nPOWER_SUPPLY_NAME=BAT0\nPOWER_SUPPLY_TYPE=Battery\n"
                 "POWER_SUPPLY_STATUS=Charging\nPOWER_SUPPLY_PRESENT=1\nPOWER_SUPPLY_TECHNOLOGY=Li-ion\n"
                 "POWER_SUPPLY_CYCLE_COUNT=112\nPOWER_SUPPLY_VOLTAGE_MIN_DESIGN=11400000\n"
                 "POWER_SUPPLY_VOLTAGE_NOW=12285000\nPOWER_SUPPLY_CURRENT_NOW=1532000\n"
                 "POWER_SUPPLY_CHARGE_FULL_DESIGN=4160000\nPOWER_SUPPLY_CHARGE_FULL=3800000\n"
                 "POWER_SUPPLY_CHARGE_NOW=2432000\nPOWER_SUPPLY_CAPACITY=64\n"
                 "POWER_SUPPLY_CAPACITY_LEVEL=Normal\nPOWER_SUPPLY_MODEL_NAME=5B10W13975\n"
                 "POWER_SUPPLY_MANUFACTURER=SMP\nPOWER_SUPPLY_SERIAL_NUMBER=  456\n");
    d.tree.attribute("sys/class/power_supply/BAT0/type", "Battery");
    d.tree.attribute("sys/class/power_supply/BAT0/status", "Charging");
    d.tree.attribute("sys/class/power_supply/BAT0/capacity", "64");
    d.tree.attribute("sys/class/backlight/intel_backlight/type", "raw");
    d.tree.attribute("sys/class/backlight/intel_backlight/max_brightness", "96000");
    d.tree.attribute("sys/class/backlight/intel_backlight/actual_brightness", "48000");
    d.tree.attribute("sys/class/backlight/intel_backlight/brightness", "48000");
    // A USB stick's block device, mounted only while plugged.
    const QString port = "sys/devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0";
    d.tree.attribute(port + "/block/sdb/removable", "1");
    d.tree.attribute(port + "/block/sdb/sdb1/partition", "1");
    d.tree.link("../../" + port.mid(4) + "/block/sdb/sdb1", "sys/dev/block/8:17");
    d.stick = d.tree.root() + "/STICK";
    QDir().mkpath(d.stick);
    d.tree.write("proc/self/mountinfo", kSystemMount);
    qputenv("VANTEL_SYSFS_ROOT", (d.tree.root() + "/sys").toLocal8Bit());
    qputenv("VANTEL_PROC_ROOT", (d.tree.root() + "/proc").toLocal8Bit());

    if (!d.bus.start())
        fail(d.bus.error());
    if (!testlogind::startWithSession(d.bus))
        fail(QStringLiteral("logind mock: ") + d.bus.error());
    if (!d.nm.start() || d.nm.addWifiDevice().isEmpty())
        fail(QStringLiteral("NetworkManager mock: ") + d.nm.error());
    for (int n = 0; n < kNetworks; ++n) {
        const QString bssid = QStringLiteral("02:00:00:00:00:%1").arg(n, 2, 16, QLatin1Char('0'));
        const QString ap = d.nm.addAccessPoint(QStringLiteral("Network %1").arg(n), bssid, 30 + n);
        if (ap.isEmpty())
            fail(d.nm.error());
        d.accessPoints << ap;
    }
    if (!d.nm.connectTo(QStringLiteral("Network 49"), d.accessPoints.last()))
        fail(d.nm.error());
    if (!d.peer.accept())
        fail(d.peer.error());
}

void writeSettings(const QString& path, const QString& checkAddress)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail(QStringLiteral("cannot write ") + path);
    file.write("[Data]\nDATA_PLATFORM=2\n[Settaggi]\nSETT_CHECKCONN_ADDRESS=" + checkAddress.toUtf8()
               + "\nSETT_CHECKCONN_IP=127.0.0.1\n");
}

// Opens the library and puts every indicator, enabled, on `bar`.
void attach(XBarTitle& bar)
{
    QVector<XInfo*> indicators;
    int next = 0;
    VANTEL_OpenLib();
    VANTEL_InitLib();
    if (VANTEL_SetProgramData(programData) != VANTEL_RET_OK)
        fail(QStringLiteral("the settings did not load"));
    VANTEL_getProgramInfo(indicators);
    for (XInfo* indicator : indicators)
        indicator->xinfo_setEnable(true);
    indicators[IND_TYPE_BATTERYVEHICLE]->findChild<XBatteryVehicle*>()->xbatvhe_setParameter(12600, true);
    VANTEL_indicatorAdd(&bar, 0, next);
    if (!logOpen)
        vantel_log->trc_close();
}

void close()
{
    VANTEL_CloseLib();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// One poll as the GUI thread runs it: the polling signal delivered here.
void BM_Poll(benchmark::State& state)
{
    XBarTitle bar;
    bar.show();
    attach(bar);
    vantel_thread->setState(0); // the benchmark drives the polls
    QCoreApplication::processEvents();
    emit vantel_thread->updateStatus(false); // the first poll loads fonts and icons
    for (auto _ : state)
        emit vantel_thread->updateStatus(false);
    close();
}
BENCHMARK(BM_Poll)->Unit(benchmark::kMicrosecond);

int logLines(const QString& dir)
{
    int lines = 0;
    for (const QFileInfo& file : QDir(dir).entryInfoList(QDir::Files)) {
        QFile log(file.filePath());
        if (log.open(QIODevice::ReadOnly))
            lines += int(log.readAll().count('\n'));
    }
    return lines;
}

// `polls` polls from the library's own thread; prints the totals from the
// attachment to the last poll's end.
int runPolls(int polls, const QString& logDir)
{
    XBarTitle bar;
    bar.show();
    long wakeUps = 0;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [&] { ++wakeUps; });
    const std::int64_t guiStart = threadCpuNs();
    const int linesStart = logLines(logDir);
    attach(bar);
    std::atomic<int> seen{0};
    // Direct: it runs where the signal is emitted and posts nothing itself
    // before the last poll.
    QObject::connect(vantel_thread, &VantelThread::updateStatus, [&] {
        if (++seen == polls)
            QMetaObject::invokeMethod(qApp, "quit", Qt::QueuedConnection);
    });
    wakeUps = 0;
    QCoreApplication::exec();
    const std::int64_t gui = threadCpuNs() - guiStart;
    const std::int64_t thread = pollingThreadCpuNs();
    const long wakes = wakeUps;
    const int lines = logLines(logDir) - linesStart;
    close();
    std::printf("polls %d gui_cpu_ns %lld polling_thread_cpu_ns %lld gui_wakeups %ld log_lines %d\n", polls,
                static_cast<long long>(gui), static_cast<long long>(thread), wakes, lines);
    return 0;
}

// Processes events until `done` or 5 s.
bool settle(const std::function<bool()>& done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

int soak(int polls)
{
    Doubles& d = *doubles;
    VantelVolumeWatcher watcher;
    QObject::connect(&watcher, SIGNAL(AddUsbDisk(int)), qApp, SIGNAL(AddUsbDisk(int)));
    QObject::connect(&watcher, SIGNAL(RemoveUsbDisk(int)), qApp, SIGNAL(RemoveUsbDisk(int)));
    XBarTitle bar;
    bar.show();
    attach(bar);
    vantel_thread->setState(0); // this loop drives the polls
    bool plugged = false;
    QElapsedTimer clock;
    clock.start();
    std::printf("%8s %10s %6s %8s %8s\n", "polls", "rss_kib", "fds", "threads", "seconds");
    for (int poll = 1; poll <= polls; ++poll) {
        // What the GUI thread runs for one poll, then whatever the doubles sent meanwhile.
        emit vantel_thread->updateStatus(false);
        QCoreApplication::processEvents();
        if (poll % 100 == 0 && !d.nm.setStrength(d.accessPoints.last(), 40 + (poll / 100) % 60))
            fail(d.nm.error());
        if (poll % 1000 == 0) {
            plugged = !plugged;
            QByteArray table = kSystemMount;
            if (plugged)
                table += "40 21 8:17 / " + d.stick.toUtf8() + " rw,nosuid shared:80 - vfat /dev/sdb1 rw\n";
            QSignalSpy told(qApp, plugged ? SIGNAL(AddUsbDisk(int)) : SIGNAL(RemoveUsbDisk(int)));
            d.tree.write("proc/self/mountinfo", table);
            if (!settle([&] { return !told.isEmpty(); }))
                fail(QStringLiteral("the stick was not seen"));
        }
        if (poll % 10000 == 0) {
            std::printf("%8d %10s %6d %8s %8.1f\n", poll, procStatus("VmRSS:").replace(" kB", "").constData(),
                        openFiles(), procStatus("Threads:").constData(), clock.elapsed() / 1000.0);
            std::fflush(stdout);
        }
    }
    close();
    return 0;
}

Options parse(int& argc, char** argv)
{
    Options options;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg = argv[i];
        if (arg == "--sim")
            options.sim = true;
        else if (arg == "--soak")
            options.soak = true;
        else if (arg == "--log" && i + 1 < argc)
            options.logOpen = QByteArray(argv[++i]) != "closed";
        else if (arg == "--polls" && i + 1 < argc)
            options.polls = QByteArray(argv[++i]).toInt();
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    const Options options = parse(argc, argv);
    logOpen = options.logOpen;
    QTemporaryDir work;
    const QString logDir = work.filePath(QStringLiteral("log"));
    QDir().mkpath(logDir);
    qputenv("TRACEL_LOG_DIR", logDir.toUtf8());
    qputenv("XDG_CONFIG_HOME", work.filePath(QStringLiteral("config")).toUtf8());

    TestXServer display;
    std::unique_ptr<Doubles> services;
    if (options.sim) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    } else {
        if (!display.start(QSize(1920, 1080)))
            fail(display.error());
        qputenv("QT_QPA_PLATFORM", "xcb");
        services = std::make_unique<Doubles>();
        doubles = services.get();
        startDoubles(*services);
    }
    HostApplication app(argc, argv);
    std::unique_ptr<VantelSimulation> sim;
    QString checkAddress;
    if (options.sim) {
        sim = std::make_unique<VantelSimulation>();
        sim->setPowerStatus(1, 64);
        checkAddress = sim->internetAddress();
    } else {
        checkAddress = services->peer.url();
    }
    structVANTEL_PROGRAMDATA data;
    data.pathImages = QStringLiteral(VANTEL_ICON_BUILD_DIR);
    data.pathIni = work.filePath(QStringLiteral("system.ini"));
    writeSettings(data.pathIni, checkAddress);
    programData = &data;

    if (options.soak) {
        if (options.sim)
            fail(QStringLiteral("--soak runs on the Linux backends"));
        return soak(options.polls > 0 ? options.polls : 100000);
    }
    if (options.polls > 0)
        return runPolls(options.polls, logDir);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#include "bench_linuxpoll.moc"
