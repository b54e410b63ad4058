// What one whole poll costs on the Linux backends: the library opened with
// every indicator enabled and on a bar, against the shared doubles (a fake
// sysfs tree with mains, a battery with a kernel-style uevent and a
// backlight; the fake NetworkManager with one Wi-Fi device and 50 networks,
// connected; logind; a private Xvfb; the internet peer on 127.0.0.1, in a
// process of its own so that its accepts are not counted as ours), or on the
// simulated tablet with --sim.
//
//   bench_linuxpoll [--sim] [--log closed]            GUI-thread CPU of one poll (Google Benchmark)
//   bench_linuxpoll [--sim] [--log closed] [--idle] --polls N [--strace FILE]
//                                                     two polls to settle, then N polls from the
//                                                     library's own thread, and the totals of
//                                                     those N on one line; with --strace, the
//                                                     system calls of this process's threads
//                                                     over the N (strace -f -c) into FILE; under
//                                                     callgrind (--instr-atstart=no) only the N
//                                                     are instrumented; with --cold, the GUI
//                                                     thread streams 32 MiB, uncollected, each
//                                                     time before it waits, so that callgrind's
//                                                     cache simulation sees every poll start
//                                                     as cold as it does on a busy machine;
//                                                     with --idle, the polls reach no
//                                                     indicator (the floor of a wake-up);
//                                                     with --breakdown, also the GUI-thread
//                                                     CPU of each indicator's query and of
//                                                     all outside them, a poll on average
//                                                     (a stamp between two queries adds a
//                                                     clock read to each)
//   bench_linuxpoll --clicks                          GUI-thread time of each click: a capture to
//                                                     a stick on tmpfs, a brightness step through
//                                                     logind, the camera and the keyboard launch
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
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

#include <unistd.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_START_INSTRUMENTATION
#define CALLGRIND_STOP_INSTRUMENTATION
#define CALLGRIND_TOGGLE_COLLECT
#endif

#include "fakedevicetree.h"
#include "library/tracelwrapper.h"
#include "library/vantelglobals.h"
#include "library/vantelthread.h"
#include "platform.h"
#include "testlogindsession.h"
#include "testnetworkmanager.h"
#include "testprocess.h"
#include "testsystembus.h"
#include "testxserver.h"
#include "vantelapi.h"
#include "vantelsimulation.h"
#include "vantelvolumewatcher.h"
#include "xbartitle.h"
#include "xbatteryvehicle.h"
#include "xindicator.h"
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
    bool clicks = false;
    bool cold = false;
    bool idle = false;
    bool breakdown = false;
    int polls = 0;
    QString strace;
};

// Accepts every connection on 127.0.0.1 and closes it; says its port on fd 3.
const char* const kPeer = "import os, socket\n"
                          "s = socket.socket(); s.bind(('127.0.0.1', 0)); s.listen(16)\n"
                          "os.write(3, b'%d\\n' % s.getsockname()[1])\n"
                          "while True: s.accept()[0].close()\n";

struct Doubles {
    FakeDeviceTree tree;
    TestSystemBus bus;
    TestNetworkManager nm{bus};
    TestProcess peer;
    QString peerUrl;
    QStringList accessPoints;
    // The stick's mount point, on tmpfs as a stick's writes are not the disk's to time.
    QTemporaryDir stickDir{QStringLiteral("/dev/shm/vantel-stick-XXXXXX")};
    QString stick;
};

Doubles* doubles;
structVANTEL_PROGRAMDATA* programData;
bool logOpen = true;
// The polls reach no indicator: what the same wake-up of the same
// application costs with nothing queried, the floor beside a poll's figures.
bool idle = false;

// GUI-thread CPU of each indicator's query within the counted polls, with a
// stamp between two queries; index IND_TYPE_COUNT is the time outside them.
struct Breakdown {
    bool on = false;
    bool counting = false;
    std::int64_t last = 0;
    std::int64_t spent[IND_TYPE_COUNT] = {};
    std::int64_t outside = 0;
    QString names[IND_TYPE_COUNT];
};
Breakdown breakdown;

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

int openFiles() { return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size()); }

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
    d.stick = d.stickDir.path();
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
    if (!d.peer.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromLatin1(kPeer)}, 3))
        fail(d.peer.error());
    const QByteArray peerPort = d.peer.readLine(5000);
    if (peerPort.isEmpty())
        fail(QStringLiteral("internet peer: ") + d.peer.error());
    d.peerUrl = QStringLiteral("http://127.0.0.1:%1/").arg(QString::fromLatin1(peerPort));
}

void writeSettings(const QString& path, const QString& checkAddress)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail(QStringLiteral("cannot write ") + path);
    // Small programs stand for the camera and the keyboard: a launch is timed, not the program.
    file.write("[Data]\nDATA_PLATFORM=2\nDATA_CAMERA_APP=/bin/true\n[Settaggi]\nSETT_CHECKCONN_ADDRESS=" + checkAddress.toUtf8()
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
    if (idle || breakdown.on)
        for (XInfo* indicator : indicators)
            QObject::disconnect(vantel_thread, &VantelThread::updateStatus, indicator, nullptr);
    if (breakdown.on) {
        // The same queries in the same order, from the same emission (so
        // within one round), each after a stamp that closes the one before.
        for (int type = 0; type <= IND_TYPE_COUNT; ++type) {
            QObject::connect(vantel_thread, &VantelThread::updateStatus, qApp, [type] {
                const std::int64_t now = threadCpuNs();
                if (breakdown.counting && type > 0)
                    breakdown.spent[type - 1] += now - breakdown.last;
                if (breakdown.counting && type == 0)
                    breakdown.outside += now - breakdown.last;
                breakdown.last = now;
            });
            if (type == IND_TYPE_COUNT)
                break;
            breakdown.names[type] = indicators[type]->xinfo_getWidget()->objectName();
            QObject::connect(vantel_thread, &VantelThread::updateStatus, indicators[type],
                             qOverload<bool>(&XInfo::xinfo_getStatus));
        }
    }
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
    vantel_thread->runPoll(); // the first poll loads fonts and icons
    for (auto _ : state)
        vantel_thread->runPoll();
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

// The strace that counts this process's system calls from start() to stop():
// -f on a running process follows all its threads.
class SyscallCount
{
public:
    void start(const QString& file)
    {
        if (file.isEmpty())
            return;
        if (!tracer.start(QStringLiteral("strace"), {QStringLiteral("-f"), QStringLiteral("-c"), QStringLiteral("-o"),
                                                     file, QStringLiteral("-p"), QString::number(::getpid())}))
            fail(tracer.error());
        QElapsedTimer waited;
        waited.start();
        while (!everyThreadTraced()) {
            if (waited.elapsed() > 10000)
                fail(QStringLiteral("strace did not attach: ") + QString::fromLocal8Bit(tracer.errorOutput()));
            ::usleep(10000);
        }
    }
    // strace detaches on SIGTERM and writes its table.
    void stop() { tracer.stop(10000); }

private:
    static bool everyThreadTraced()
    {
        const QDir tasks(QStringLiteral("/proc/self/task"));
        for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile status(tasks.filePath(task + QStringLiteral("/status")));
            if (!status.open(QIODevice::ReadOnly))
                continue;
            const QByteArray text = status.readAll();
            const int at = text.indexOf("TracerPid:");
            if (at < 0 || text.mid(at + 10, text.indexOf('\n', at) - at - 10).trimmed() == "0")
                return false;
        }
        return true;
    }

    TestProcess tracer;
};

// Evicts what the GUI thread left in the caches, as two idle seconds on a
// shared machine do; the eviction is kept out of callgrind's counts.
void flushCaches()
{
    static std::vector<char> junk(32 << 20, 1);
    CALLGRIND_TOGGLE_COLLECT;
    for (std::size_t at = 0; at < junk.size(); at += 64)
        junk[at] = char(junk[at] + 1);
    CALLGRIND_TOGGLE_COLLECT;
}

// Two polls to settle (fonts, icons, first answers and the repaints they
// bring), then `polls` polls from the library's own thread; prints the totals
// of those `polls`.
int runPolls(int polls, const QString& logDir, const QString& straceFile, bool cold)
{
    XBarTitle bar;
    bar.show();
    long wakeUps = 0;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, [&] { ++wakeUps; });
    if (cold)
        QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, flushCaches);
    attach(bar);
    SyscallCount syscalls;
    std::int64_t guiStart = 0, threadStart = 0;
    int linesStart = 0;
    int seen = 0;
    // Connected after the indicators and run on the GUI thread, so it runs
    // once a poll's queries there are done.
    QObject::connect(vantel_thread, &VantelThread::updateStatus, qApp, [&] {
        if (seen++ == 1) {
            syscalls.start(straceFile);
            CALLGRIND_START_INSTRUMENTATION;
            linesStart = logLines(logDir);
            threadStart = pollingThreadCpuNs();
            wakeUps = 0;
            guiStart = threadCpuNs();
            breakdown.counting = true;
            breakdown.last = guiStart;
        } else if (seen == polls + 2) {
            QMetaObject::invokeMethod(qApp, "quit", Qt::QueuedConnection);
        }
    });
    QCoreApplication::exec();
    const long wakes = wakeUps;
    const std::int64_t gui = threadCpuNs() - guiStart;
    breakdown.outside += guiStart + gui - breakdown.last;
    const std::int64_t thread = pollingThreadCpuNs() - threadStart;
    CALLGRIND_STOP_INSTRUMENTATION;
    syscalls.stop();
    const int lines = logLines(logDir) - linesStart;
    close();
    std::printf("polls %d gui_cpu_ns %lld polling_thread_cpu_ns %lld gui_wakeups %ld log_lines %d\n", polls,
                static_cast<long long>(gui), static_cast<long long>(thread), wakes, lines);
    if (breakdown.on) {
        for (int type = 0; type < IND_TYPE_COUNT; ++type)
            std::printf("query %2d %-22s %8.1f us a poll\n", type, qPrintable(breakdown.names[type]),
                        breakdown.spent[type] / 1e3 / polls);
        std::printf("outside the queries        %8.1f us a poll\n", breakdown.outside / 1e3 / polls);
    }
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

// Mounts the stick or takes it away, and waits until the library has been told.
void plug(bool in)
{
    QByteArray table = kSystemMount;
    if (in)
        table += "40 21 8:17 / " + doubles->stick.toUtf8() + " rw,nosuid shared:80 - vfat /dev/sdb1 rw\n";
    QSignalSpy told(qApp, in ? SIGNAL(AddUsbDisk(int)) : SIGNAL(RemoveUsbDisk(int)));
    doubles->tree.write("proc/self/mountinfo", table);
    if (!settle([&] { return !told.isEmpty(); }))
        fail(QStringLiteral("the stick was not seen"));
}

void connectVolumes(VantelVolumeWatcher& watcher)
{
    QObject::connect(&watcher, SIGNAL(AddUsbDisk(int)), qApp, SIGNAL(AddUsbDisk(int)));
    QObject::connect(&watcher, SIGNAL(RemoveUsbDisk(int)), qApp, SIGNAL(RemoveUsbDisk(int)));
}

struct ClickCost {
    double guiCpuMs = 0;
    double wallMs = 0;
};

// A click on `type`'s button and the four queries that act on it and show
// its outcome (the camera and the capture go through requested, working and
// done, one poll each), on the GUI thread; what four resting queries cost is
// taken off.
ClickCost click(int type, int times, const std::function<void()>& between)
{
    XInfo* indicator = vantel_indicators[type];
    auto timed = [&](bool clicked) {
        ClickCost cost;
        for (int i = 0; i < times; ++i) {
            QElapsedTimer wall;
            wall.start();
            const std::int64_t cpu = threadCpuNs();
            if (clicked)
                indicator->xinfo_getWidget()->click();
            for (int query = 0; query < 4; ++query)
                indicator->xinfo_getStatus(false);
            cost.guiCpuMs += (threadCpuNs() - cpu) / 1e6;
            cost.wallMs += wall.nsecsElapsed() / 1e6;
            between();
        }
        cost.guiCpuMs /= times;
        cost.wallMs /= times;
        return cost;
    };
    const ClickCost resting = timed(false);
    ClickCost cost = timed(true);
    cost.guiCpuMs -= resting.guiCpuMs;
    cost.wallMs -= resting.wallMs;
    return cost;
}

int clicks()
{
    VantelVolumeWatcher watcher;
    connectVolumes(watcher);
    XBarTitle bar;
    bar.show();
    attach(bar);
    vantel_thread->setState(0); // the clicks are timed alone
    plug(true);
    for (XInfo* indicator : std::as_const(vantel_indicators))
        indicator->xinfo_getStatus(false); // the camera and capture buttons show with the stick
    QCoreApplication::processEvents();
    const QString shots = doubles->stick + QStringLiteral("/Screenshot");
    // What each click leaves behind is cleared outside the timing, as the
    // event loop does between polls.
    auto drain = [] { settle([] { return false; }); };
    auto reap = [] {
        QCoreApplication::processEvents();
        for (QProcess* program : qApp->findChildren<QProcess*>())
            program->waitForFinished(2000);
        for (XInfo* indicator : std::as_const(vantel_indicators))
            for (QProcess* program : indicator->findChildren<QProcess*>())
                program->waitForFinished(2000);
        QCoreApplication::processEvents();
    };
    // `done`: what the clicks left to see, so that a click that did nothing is not timed as cheap.
    std::printf("%-18s %12s %10s %6s\n", "click", "gui_cpu_ms", "wall_ms", "done");
    auto report = [](const char* name, const ClickCost& cost, int done) {
        std::printf("%-18s %12.2f %10.2f %6d\n", name, cost.guiCpuMs, cost.wallMs, done);
    };
    int pictures = 0;
    const ClickCost capture = click(IND_TYPE_SCREENCAPTURE, 5, [&] {
        for (const QFileInfo& file : QDir(shots).entryInfoList(QDir::Files)) {
            ++pictures;
            QFile::remove(file.filePath());
        }
    });
    report("capture", capture, pictures);
    const ClickCost step = click(IND_TYPE_BRIGHTNESS, 10, [] {});
    report("brightness_step", step, int(testlogind::setBrightnessCalls(doubles->bus).size()));
    int launches = 0;
    const ClickCost camera = click(IND_TYPE_CAMERA, 10, [&] {
        launches += int(vantel_indicators[IND_TYPE_CAMERA]->findChildren<QProcess*>().size());
        reap();
    });
    report("camera_launch", camera, launches);
    report("keyboard_launch", click(IND_TYPE_KEYBOARD, 5, [&] {
        reap();
        drain();
    }), -1);
    close();
    return 0;
}

int soak(int polls)
{
    Doubles& d = *doubles;
    VantelVolumeWatcher watcher;
    connectVolumes(watcher);
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
        vantel_thread->runPoll();
        QCoreApplication::processEvents();
        if (poll % 100 == 0 && !d.nm.setStrength(d.accessPoints.last(), 40 + (poll / 100) % 60))
            fail(d.nm.error());
        if (poll % 1000 == 0) {
            plugged = !plugged;
            plug(plugged);
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
        else if (arg == "--clicks")
            options.clicks = true;
        else if (arg == "--cold")
            options.cold = true;
        else if (arg == "--idle")
            options.idle = true;
        else if (arg == "--breakdown")
            options.breakdown = true;
        else if (arg == "--strace" && i + 1 < argc)
            options.strace = QString::fromLocal8Bit(argv[++i]);
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
    idle = options.idle;
    breakdown.on = options.breakdown;
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
        qputenv("VANTEL_KEYBOARD_PROGRAM", "/bin/true");
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
        checkAddress = services->peerUrl;
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
    if (options.clicks) {
        if (options.sim)
            fail(QStringLiteral("--clicks runs on the Linux backends"));
        return clicks();
    }
    if (options.polls > 0)
        return runPolls(options.polls, logDir, options.strace, options.cold);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#include "bench_linuxpoll.moc"
