// Guards the screen-capture provider on a private X server with a fake USB
// stick (mount table and sysfs block tree under VANTEL_PROC_ROOT /
// VANTEL_SYSFS_ROOT, a real folder as its root): hidden without a disk, the
// disk followed through the application object's signals, the lines of a poll
// at each step, the click, work, outcome, outcome, rest sequence through the
// indicator with clicks during it dropped, a PNG of the screen's size showing
// what the test drew, a taken name numbered, slt_capture with and without a
// disk; and each failure (disk gone, a file in the folder's place, read-only
// and full disks, all 62 names taken, a platform that cannot grab) shown as an
// error with no file left behind, whole or half written. Through the real
// desktop portal over sway, whose answer comes polls later: the working icon
// meanwhile, the portal's own picture saved; a portal that refuses, offers no
// Screenshot, stays silent past the time limit or vanishes gives the error, and
// the next click works.
#include <QPainter>
#include <QRandomGenerator>
#include <QScreen>
#include <QSignalSpy>
#include <QtTest>

#include <csignal>
#include <functional>
#include <sched.h>
#include <sys/mount.h>

#include "capture/removablevolumes.h"
#include "fakedevicetree.h"
#include "indicator/iconcatalogue.h"
#include "linux/linuxbackend.h"
#include "linux/portalscreengrab.h"
#include "platform.h"
#include "testcatalogue.h"
#include "testcompositor.h"
#include "testlog.h"
#include "testportal.h"
#include "testxserver.h"
#include "vantelapi.h"
#include "vantelvolumewatcher.h"
#include "xindicator.h"
#include "xinfo.h"
#include "xscreencapture.h"

using namespace vantel::platform;

// An application object as a host declares it.
class DiskApplication : public QApplication
{
    Q_OBJECT
public:
    DiskApplication(int& argc, char** argv) : QApplication(argc, argv) {}
signals:
    void AddUsbDisk(int idVolume);
    void RemoveUsbDisk(int idVolume);
};

namespace {

const QPoint patternAt(200, 150);
const QByteArray systemMount = "21 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n";

// Solid blocks and a field of noise that no PNG compresses much.
QImage makePattern()
{
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(qRgb(200, 30, 60));
    QPainter(&image).fillRect(200, 0, 200, 40, QColor(20, 90, 220));
    QRandomGenerator noise(42);
    for (int y = 40; y < 300; ++y)
        for (int x = 0; x < 400; ++x)
            image.setPixel(x, y, noise.generate() | 0xff000000u);
    return image;
}

class PatternWindow : public QWidget
{
public:
    QImage pattern = makePattern();
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, pattern); }
};

// The native backend, its desktop read only through the portal, given up on
// after 3 s.
// One for the process, its bus there before the application asks for it.
TestPortal& portal()
{
    static TestPortal thePortal;
    return thePortal;
}

class PortalBackend : public LinuxBackend
{
public:
    using LinuxBackend::LinuxBackend;
    ScreenGrab* screenGrab() override { return &grab; }
    PortalScreenGrab grab{3000};
};

} // namespace

class TestXScreenCapture : public QObject
{
    Q_OBJECT

    QTemporaryDir work;
    FakeDeviceTree tree;
    QString stick, stickRoot, shots;
    PatternWindow window;
    std::unique_ptr<VantelVolumeWatcher> watcher;
    bool ownNamespace = false;

    void plug(bool in)
    {
        QByteArray table = systemMount;
        if (in)
            table += "40 21 8:17 / " + stick.toUtf8() + " rw,nosuid shared:80 - vfat /dev/sdb1 rw\n";
        tree.write("proc/self/mountinfo", table);
        QSignalSpy told(qApp, in ? SIGNAL(AddUsbDisk(int)) : SIGNAL(RemoveUsbDisk(int)));
        QVERIFY(told.wait(3000));
        QCOMPARE(told.at(0).at(0).toInt(), 1 << 3); // D:, the first letter handed out
    }

    static int poll(XScreenCapture& capture, QString& icon)
    {
        QString value = "stale";
        const int ret = capture.xscc_getStatus(value, icon);
        return value.isEmpty() ? ret : -1;
    }

    QStringList pictures() const { return QDir(shots).entryList(QDir::Files | QDir::Hidden); }

    // A click and the polls until its outcome, 100 ms apart: the outcome's
    // icon, and in `waited` the polls that showed the working icon.
    static QString clickAndWait(XScreenCapture& capture, int& waited, const std::function<void()>& meanwhile = {})
    {
        QString icon;
        poll(capture, icon);
        poll(capture, icon);
        capture.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
        waited = 0;
        for (int polls = 0; polls < 100 && (polls < 2 || icon == vantel_iconPath(ICON_SCRCAPTWORK)); ++polls) {
            if (polls == 2 && meanwhile)
                meanwhile();
            if (polls >= 2)
                QTest::qWait(100);
            poll(capture, icon);
            waited += icon == vantel_iconPath(ICON_SCRCAPTWORK);
        }
        return icon;
    }

    // The names of this second and the next two, unnumbered and numbered up to `last`.
    void takeNames(int last)
    {
        QDir().mkpath(shots);
        const QDateTime now = QDateTime::currentDateTime();
        for (int s = 0; s < 3; ++s)
            for (int n = 0; n <= last; ++n) {
                const QString number = n ? QString::number(n) : QString();
                QFile(shots + "/img" + now.addSecs(s).toString("yyyyMMdd_hhmmss") + number + ".png")
                    .open(QIODevice::WriteOnly);
            }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(installTestCatalogue(qEnvironmentVariable("VANTEL_SOURCE_DIR") + "/icons"));
        const QString port = "sys/devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0";
        tree.attribute(port + "/block/sdb/removable", "1");
        tree.attribute(port + "/block/sdb/sdb1/partition", "1");
        tree.link("../../" + port.mid(4) + "/block/sdb/sdb1", "sys/dev/block/8:17");
        stick = work.filePath("STICK");
        stickRoot = stick + "/";
        shots = stick + "/Screenshot";
        QVERIFY(QDir().mkpath(stick));
        tree.write("proc/self/mountinfo", systemMount);
        qputenv("VANTEL_SYSFS_ROOT", (tree.root() + "/sys").toLocal8Bit());
        qputenv("VANTEL_PROC_ROOT", (tree.root() + "/proc").toLocal8Bit());
        installBackend(nullptr);
        QFile::remove(testLogFile());
        VANTEL_OpenLib();
        watcher = std::make_unique<VantelVolumeWatcher>();
        connect(watcher.get(), SIGNAL(AddUsbDisk(int)), qApp, SIGNAL(AddUsbDisk(int)));
        connect(watcher.get(), SIGNAL(RemoveUsbDisk(int)), qApp, SIGNAL(RemoveUsbDisk(int)));
        plug(true);

        if (QGuiApplication::platformName() == "xcb") {
            window.setWindowFlags(Qt::FramelessWindowHint);
            window.setGeometry(QRect(patternAt, window.pattern.size()));
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::primaryScreen()->grabWindow(0).toImage().pixel(patternAt),
                                      qRgb(200, 30, 60), 5000);
        }

        // Mounts made here stay in this thread's own namespace.
        ownNamespace = ::unshare(CLONE_NEWNS) == 0 && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    }

    void cleanupTestCase() { VANTEL_CloseLib(); }

    void init()
    {
        vantel_findCaptureVolume();
        QCOMPARE(vantel_capturePath, stickRoot);
    }

    void cleanup()
    {
        if (ownNamespace)
            ::umount2(stick.toLocal8Bit().constData(), MNT_DETACH);
        QFile::remove(shots);
        QDir(shots).removeRecursively();
    }

    void followsTheDisk()
    {
        plug(false);
        vantel_findCaptureVolume();
        XScreenCapture capture(nullptr);
        QString icon;
        QCOMPARE(poll(capture, icon), int(HARDWARE_OFF));
        QCOMPARE(icon, vantel_iconPath(ICON_NULL));
        capture.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1); // dropped when the disk comes
        capture.slt_capture();                                         // nothing to write to
        QCOMPARE(poll(capture, icon), int(HARDWARE_OFF));

        plug(true);
        QCOMPARE(poll(capture, icon), int(XINFORET_OK));
        QCOMPARE(icon, vantel_iconPath(ICON_SCRCAPTICON));

        // Its folder gone while still mounted: no disk; back, and it shows again.
        QVERIFY(QDir().rename(stick, stick + ".gone"));
        QCOMPARE(poll(capture, icon), int(HARDWARE_OFF));
        QVERIFY(QDir().rename(stick + ".gone", stick));
        QCOMPARE(poll(capture, icon), int(XINFORET_OK));
        QCOMPARE(icon, vantel_iconPath(ICON_SCRCAPTICON));
        QVERIFY(pictures().isEmpty());

        plug(false);
        QCOMPARE(poll(capture, icon), int(HARDWARE_OFF));
        plug(true);
    }

    // The lines of a poll without the disk's folder, then at each step of a
    // capture: polls ("p") and clicks ("c") before it.
    void traceLines_data()
    {
        QTest::addColumn<bool>("disk");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QStringList>("lines");
        const auto lines = [](int state, int icon, int ret) {
            return testQueryLines("XScreenCapture::xscc_getStatus", state, vantel_iconPath(icon), ret);
        };
        QTest::newRow("no disk") << false << "" << lines(0, ICON_NULL, HARDWARE_OFF);
        QTest::newRow("at rest") << true << "" << lines(1, ICON_SCRCAPTICON, XINFORET_OK);
        QTest::newRow("clicked") << true << "pc" << lines(2, ICON_SCRCAPTWORK, XINFORET_OK);
        QTest::newRow("saved") << true << "pcp" << lines(4, ICON_SCRCAPTOK, XINFORET_OK);
        QTest::newRow("outcome, at rest again") << true << "pcpp" << lines(1, ICON_SCRCAPTOK, XINFORET_OK);
    }

    void traceLines()
    {
        QFETCH(bool, disk);
        QFETCH(QString, before);
        if (!disk)
            QVERIFY(QDir().rename(stick, stick + ".gone"));
        XScreenCapture capture(nullptr);
        QString icon;
        for (const QChar step : before) {
            if (step == 'c')
                capture.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
            else
                poll(capture, icon);
        }
        const QStringList traced = tracedDuring(4096, [&] { poll(capture, icon); });
        if (!disk)
            QVERIFY(QDir().rename(stick + ".gone", stick));
        QTEST(traced, "lines");
    }

    void clickSavesTheScreen()
    {
        XInfo indicator;
        indicator.xinfo_init(IND_TYPE_SCREENCAPTURE, XINFO_MODE_ICON);
        indicator.xinfo_setEnable(true);
        XIndicator* button = indicator.xinfo_getWidget();
        QStringList icons;
        // Clicks during the work and the outcome are dropped.
        for (bool click : {false, true, true, true, false}) {
            if (click)
                button->click();
            indicator.xinfo_getStatus(false);
            QVERIFY(button->isVisible());
            icons << QFileInfo(indicator.xinfo_getImage().path).fileName();
        }
        QCOMPARE(icons, QStringList({"scrcapticon.svg", "scrcaptwork.svg", "scrcaptok.svg", "scrcaptok.svg",
                                     "scrcapticon.svg"}));

        const QStringList files = pictures();
        QCOMPARE(files.size(), 1);
        QVERIFY2(QRegularExpression("^img\\d{8}_\\d{6}\\.png$").match(files[0]).hasMatch(), qPrintable(files[0]));
        QImage saved;
        QVERIFY(saved.load(shots + "/" + files[0], "png"));
        QCOMPARE(saved.size(), QGuiApplication::primaryScreen()->virtualGeometry().size());
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32).copy(QRect(patternAt, window.pattern.size())),
                 window.pattern);
    }

    void takenNameNumbered()
    {
        takeNames(0);
        XScreenCapture capture(nullptr);
        capture.slt_capture();
        QString icon;
        QCOMPARE(poll(capture, icon), int(XINFORET_OK));
        QCOMPARE(icon, vantel_iconPath(ICON_SCRCAPTOK));
        const QStringList numbered = pictures().filter(QRegularExpression("^img\\d{8}_\\d{6}1\\.png$"));
        QCOMPARE(numbered.size(), 1);
        QCOMPARE(pictures().size(), 4);
        QVERIFY(QImage(shots + "/" + numbered[0]).size() == QGuiApplication::primaryScreen()->size());
    }

    void failuresLeaveNothing_data()
    {
        QTest::addColumn<QString>("failure");
        for (const char* row : {"file in the folder's place", "all 62 names taken", "disk gone", "read-only disk",
                                "read-only folder", "full disk", "no grab"})
            QTest::newRow(row) << row;
    }

    void failuresLeaveNothing()
    {
        QFETCH(QString, failure);
        const bool mounted = failure.startsWith("read-only") || failure == "full disk";
        if (mounted && !ownNamespace)
            QSKIP("no right to make a mount namespace");
        if ((failure == "no grab") == (QGuiApplication::platformName() == "xcb"))
            QSKIP("runs alone on a platform whose screen a client cannot read (minimal, wayland)");
        const QByteArray point = stick.toLocal8Bit();
        if (mounted)
            QCOMPARE(::mount("vantel-stick", point, "tmpfs", failure == "read-only disk" ? MS_RDONLY : 0, "size=64k"), 0);
        if (failure == "read-only folder") {
            QVERIFY(QDir().mkdir(shots));
            QCOMPARE(::mount(nullptr, point, nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
        }
        if (failure == "file in the folder's place")
            QVERIFY(QFile(shots).open(QIODevice::WriteOnly));
        if (failure == "all 62 names taken")
            takeNames(61);
        const QStringList before = pictures();

        XScreenCapture capture(nullptr);
        QString icon;
        poll(capture, icon);
        capture.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
        poll(capture, icon);
        QCOMPARE(icon, vantel_iconPath(ICON_SCRCAPTWORK));
        if (failure == "disk gone") { // between the click and the capture: hidden
            QVERIFY(QDir().rename(stick, stick + ".gone"));
            QCOMPARE(poll(capture, icon), int(HARDWARE_OFF));
            capture.slt_capture(); // asked for all the same
            QVERIFY(QDir().rename(stick + ".gone", stick));
        }
        QCOMPARE(poll(capture, icon), int(XINFORET_OK));
        QCOMPARE(icon, vantel_iconPath(ICON_SCRCAPTERROR));
        QCOMPARE(pictures(), before);
        QCOMPARE(QFileInfo(shots).isFile(), failure == "file in the folder's place");
    }

    void portalAnswersPollsLater_data()
    {
        QTest::addColumn<int>("backend");
        QTest::addColumn<QString>("trouble");
        QTest::newRow("answers") << int(TestPortal::WithGrim) << QString();
        QTest::newRow("refuses") << int(TestPortal::WithoutGrim) << QString();
        QTest::newRow("no Screenshot") << int(TestPortal::NoAccess) << QString();
        QTest::newRow("silent") << int(TestPortal::WithGrim) << "silent";
        QTest::newRow("vanishes") << int(TestPortal::WithGrim) << "vanishes";
    }

    void portalAnswersPollsLater()
    {
        QFETCH(int, backend);
        QFETCH(QString, trouble);
        TestCompositor compositor;
        QVERIFY2(compositor.start(TestCompositor::Sway), qPrintable(compositor.error()));
        TestWaylandWindow painter;
        QVERIFY2(painter.show("painter"), qPrintable(painter.error()));
        QVERIFY2(portal().start(TestPortal::Backend(backend)), qPrintable(portal().error()));
        const std::shared_ptr<Backend> native = currentBackend();
        installBackend(std::make_shared<PortalBackend>((tree.root() + "/sys").toStdString(),
                                                       (tree.root() + "/proc").toStdString()));
        struct Restore {
            std::shared_ptr<Backend> backend;
            ~Restore() { installBackend(backend); }
        } restore{native};
        QFile::remove(TestPortal::pictureFile());

        XScreenCapture capture(nullptr);
        if (!trouble.isEmpty()) // the portal waits for its backend
            ::kill(pid_t(portal().backendPid()), SIGSTOP);
        QElapsedTimer clock;
        clock.start();
        int waited = 0;
        const QString outcome = clickAndWait(capture, waited, [&] {
            if (trouble == "vanishes")
                ::kill(pid_t(portal().portalPid()), SIGKILL);
        });
        if (trouble.isEmpty() && backend == TestPortal::WithGrim) {
            QCOMPARE(outcome, vantel_iconPath(ICON_SCRCAPTOK));
            QVERIFY(waited >= 2); // the request, then polls while the portal works
            QCOMPARE(pictures().size(), 1);
            const QImage saved(shots + "/" + pictures()[0]);
            const QImage given(TestPortal::pictureFile());
            QVERIFY(!given.isNull());
            QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), given.convertToFormat(QImage::Format_RGB32));
            return;
        }
        QCOMPARE(outcome, vantel_iconPath(ICON_SCRCAPTERROR));
        QVERIFY(pictures().isEmpty());
        if (trouble == "silent")
            QVERIFY2(clock.elapsed() >= 3000 && waited >= 10, qPrintable(QString::number(clock.elapsed())));
        QVERIFY2(clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));

        // The next click, with the portal working, saves the picture.
        QVERIFY2(portal().start(TestPortal::WithGrim), qPrintable(portal().error()));
        QCOMPARE(clickAndWait(capture, waited), vantel_iconPath(ICON_SCRCAPTOK));
        QCOMPARE(pictures().size(), 1);
    }
};

int main(int argc, char** argv)
{
    return vantelRunUnderXvfb(
        argc, argv, []() -> QObject* { return new TestXScreenCapture; },
        [](int& c, char** v) -> QApplication* {
            // Qt asks the session bus as it starts.
            if (!portal().startBus())
                qWarning("%s", qPrintable(portal().error()));
            return new DiskApplication(c, v);
        });
}
#include "tst_xscreencapture.moc"
