// Guards `vantel-demo --check`: every line it prints about what an indicator
// lacks appears when that thing is missing and gives way to "ok" when it is
// there (NetworkManager and a logind session on a private system bus, a
// backlight in a fake sysfs, Xvfb, a Wayland compositor, the keyboard and
// camera programs), and the exit code says whether every indicator that is on
// can work.
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "fakedevicetree.h"
#include "testlogindsession.h"
#include "testcompositor.h"
#include "testportal.h"
#include "testprocess.h"
#include "testsystembus.h"
#include "testxserver.h"

namespace {

struct Check {
    int exitCode = -1;
    QMap<QString, QString> lines; // indicator name to what the check says of it
    QByteArray out;
};

// The machine the check looks at, everything missing until a test adds it.
struct Machine {
    QString busAddress;
    QString display;
    QString runtimeDir;
    QString waylandDisplay; // unset: wayland-0
    QString sysfsRoot;
    QString keyboardProgram; // unset: the library's default, /usr/bin/onboard
    QString cameraProgram;
};

Check runCheck(const Machine& machine, const QString& iniPath)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "VANTEL_KEYBOARD_PROGRAM"})
        env.remove(QLatin1String(name));
    env.insert("DBUS_SYSTEM_BUS_ADDRESS", machine.busAddress);
    env.insert("XDG_RUNTIME_DIR", machine.runtimeDir);
    env.insert("VANTEL_SYSFS_ROOT", machine.sysfsRoot);
    if (!machine.display.isEmpty())
        env.insert("DISPLAY", machine.display);
    if (!machine.waylandDisplay.isEmpty())
        env.insert("WAYLAND_DISPLAY", machine.waylandDisplay);
    if (!machine.keyboardProgram.isEmpty())
        env.insert("VANTEL_KEYBOARD_PROGRAM", machine.keyboardProgram);

    // Platform 2: the camera and the keyboard are on, with the screen capture.
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.setValue("Data/DATA_PLATFORM", 2);
    ini.setValue("Data/DATA_CAMERA_APP", machine.cameraProgram);
    ini.sync();

    Check check;
    check.exitCode = runTestClient(QStringLiteral(VANTEL_DEMO), {"--check", "--ini", iniPath}, env, 60000, &check.out);
    for (const QByteArray& line : check.out.split('\n')) {
        const int colon = line.indexOf(": ");
        if (colon > 0)
            check.lines.insert(QString::fromUtf8(line.left(colon)), QString::fromUtf8(line.mid(colon + 2)));
    }
    return check;
}

} // namespace

class tst_MachineCheck : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    TestPortal portal; // its session bus, once for the process
    FakeDeviceTree emptySysfs;
    FakeDeviceTree sysfsWithBacklight;

    Machine bare() const
    {
        return {"unix:path=" + dir.filePath("no-bus.sock"), QString(), dir.filePath("runtime-none"), QString(),
                emptySysfs.root(), dir.filePath("no-keyboard"), dir.filePath("no-camera")};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        // A backlight the kernel lists but that has no readable maximum is none.
        emptySysfs.write("class/backlight/broken/type", "raw\n");
        sysfsWithBacklight.attribute("class/backlight/intel_backlight/max_brightness", "7500");
        sysfsWithBacklight.attribute("class/backlight/intel_backlight/actual_brightness", "3000");
        sysfsWithBacklight.attribute("class/backlight/intel_backlight/brightness", "3000");
        sysfsWithBacklight.attribute("class/backlight/intel_backlight/type", "raw");
    }

    void nothingThere()
    {
        const Machine machine = bare();
        const Check check = runCheck(machine, dir.filePath("bare.ini"));
        QCOMPARE(check.exitCode, 1);
        QCOMPARE(check.lines.value("wifi"), "no NetworkManager on the system bus");
        QCOMPARE(check.lines.value("brightness"), "no backlight device");
        QCOMPARE(check.lines.value("screen capture"), "no X server or Wayland compositor");
        QCOMPARE(check.lines.value("keyboard"), "the keyboard program " + machine.keyboardProgram + " not installed");
        QCOMPARE(check.lines.value("camera"),
                 "the camera program named in the settings not found: " + machine.cameraProgram);
        // What needs nothing of the machine is ok, what the settings turn off is off.
        QCOMPARE(check.lines.value("battery"), "ok");
        QCOMPARE(check.lines.value("internet"), "ok");
        QCOMPARE(check.lines.value("gps"), "ok (reads no device)");
        QCOMPARE(check.lines.value("vehicle battery"), "ok (the host hands in the readings)");
        QCOMPARE(check.lines.value("vci"), "off");
        QVERIFY2(check.out.endsWith("5 indicators that are on cannot work on this machine\n"), check.out.constData());
    }

    void everythingThere()
    {
        TestSystemBus bus;
        QVERIFY2(bus.start(), qPrintable(bus.error()));
        QVERIFY(bus.startTemplate("networkmanager"));
        QVERIFY(testlogind::startWithSession(bus));
        TestXServer x;
        QVERIFY2(x.start(), qPrintable(x.error()));

        Machine machine = bare();
        machine.busAddress = bus.address();
        machine.display = x.display();
        machine.sysfsRoot = sysfsWithBacklight.root();
        machine.keyboardProgram = QStringLiteral(VANTEL_DEMO_KEYBOARD);
        machine.cameraProgram = QStringLiteral(VANTEL_DEMO_CAMERA);
        const Check check = runCheck(machine, dir.filePath("full.ini"));
        for (const char* name : {"wifi", "brightness", "screen capture", "keyboard", "camera", "battery"})
            QVERIFY2(check.lines.value(name) == "ok", check.out.constData());
        QVERIFY2(check.out.endsWith("every indicator that is on can work on this machine\n"), check.out.constData());
        QCOMPARE(check.exitCode, 0);
    }

    // The lines between: a backlight without a logind session, a Wayland
    // compositor without an X server, no camera named, no keyboard program.
    void halfThere()
    {
        if (!QFileInfo::exists("/usr/bin/cage"))
            QSKIP("cage is not installed");
        TestSystemBus bus;
        QVERIFY2(bus.start(), qPrintable(bus.error()));
        QVERIFY(bus.startTemplate("logind")); // logind, but no session for the caller
        TestCompositor compositor;
        QVERIFY2(compositor.start(TestCompositor::Cage), qPrintable(compositor.error()));

        Machine machine = bare();
        machine.busAddress = bus.address();
        machine.runtimeDir = compositor.runtimeDir();
        machine.waylandDisplay = compositor.socket();
        machine.sysfsRoot = sysfsWithBacklight.root();
        machine.keyboardProgram.clear();
        machine.cameraProgram.clear();
        const Check check = runCheck(machine, dir.filePath("half.ini"));
        compositor.stop();
        QCOMPARE(check.exitCode, 1);
        QCOMPARE(check.lines.value("brightness"), "no logind session for this process");
        QCOMPARE(check.lines.value("screen capture"), "ok (Wayland: the compositor's screencopy)");
        QCOMPARE(check.lines.value("camera"), "no camera program named in the settings (DATA_CAMERA_APP)");
        if (QFileInfo::exists("/usr/bin/onboard"))
            QCOMPARE(check.lines.value("keyboard"), "no X server (the keyboard's window is looked for on X11)");
        else
            QCOMPARE(check.lines.value("keyboard"), "onboard not installed");
    }

    // A Wayland desktop is read through the compositor's screencopy (sway),
    // else through the desktop portal (weston, a session bus with the
    // portal), else not at all (weston, a session bus without it).
    void captureWayOnWayland_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("withPortal");
        QTest::addColumn<QString>("line");
        QTest::newRow("sway") << int(TestCompositor::Sway) << false << "ok (Wayland: the compositor's screencopy)";
        QTest::newRow("weston") << int(TestCompositor::Weston) << false
                                << "no way to read the Wayland desktop (no screencopy from the compositor, no "
                                   "Screenshot portal on the session bus)";
        QTest::newRow("weston, portal") << int(TestCompositor::Weston) << true
                                        << "ok (Wayland: the desktop portal's Screenshot)";
    }

    void captureWayOnWayland()
    {
        QFETCH(int, kind);
        QFETCH(bool, withPortal);
        QFETCH(QString, line);
        // The wlroots backend refuses weston: it reads a sway of its own.
        TestCompositor portalSide;
        if (withPortal) {
            QVERIFY2(portalSide.start(TestCompositor::Sway), qPrintable(portalSide.error()));
            QVERIFY2(portal.start(TestPortal::WithGrim), qPrintable(portal.error()));
        }
        QVERIFY2(portal.startBus(), qPrintable(portal.error()));
        TestCompositor compositor;
        QVERIFY2(compositor.start(TestCompositor::Kind(kind)), qPrintable(compositor.error()));
        Machine machine = bare();
        machine.runtimeDir = compositor.runtimeDir();
        machine.waylandDisplay = compositor.socket();
        const Check check = runCheck(machine, dir.filePath("wayland.ini"));
        portal.stop();
        QCOMPARE(check.lines.value("screen capture"), line);
    }

    // A keyboard program that is there, with a compositor but no X server.
    void keyboardWithoutX()
    {
        if (!QFileInfo::exists("/usr/bin/cage"))
            QSKIP("cage is not installed");
        TestCompositor compositor;
        QVERIFY2(compositor.start(TestCompositor::Cage), qPrintable(compositor.error()));
        Machine machine = bare();
        machine.runtimeDir = compositor.runtimeDir();
        machine.waylandDisplay = compositor.socket();
        machine.keyboardProgram = QStringLiteral(VANTEL_DEMO_KEYBOARD);
        const Check check = runCheck(machine, dir.filePath("keyboard.ini"));
        compositor.stop();
        QCOMPARE(check.lines.value("keyboard"), "no X server (the keyboard's window is looked for on X11)");
    }
};

QTEST_GUILESS_MAIN(tst_MachineCheck)
#include "tst_machinecheck.moc"
