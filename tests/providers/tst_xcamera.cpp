// Guards the camera provider with a real small program as the camera
// application: hidden without a disk or without the program, and a click
// made while hidden forgotten; the disk followed through the application
// object's AddUsbDisk / RemoveUsbDisk; a program path with a comma and a
// blank; the click, request, launch, outcome, rest cycle through the
// indicator, launching once with "MODE=2" and dropping the clicks made
// during it, with the lines of each poll; and a program once found that then goes:
// still shown, the launch fails with "camerror.svg". A camera the library
// ends gets SIGTERM and SIGKILL only after 3 s, nobody waiting; a stick that
// stops answering while the camera reads it holds neither the polls nor the
// provider's end: the indicator hides, and the camera goes once it can.
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include "library/librarycontext.h"
#include "library/vantelglobals.h"
#include "recordingscript.h"
#include "stuckstick.h"
#include "testcatalogue.h"
#include "testlog.h"
#include "testsettings.h"
#include "vantelapi.h"
#include "vantelsimulation.h"
#include "vantelvolumewatcher.h"
#include "xcamera.h"
#include "xindicator.h"
#include "xinfo.h"

// A host's application object: it announces removable disks.
class CameraHost : public QApplication
{
    Q_OBJECT
public:
    using QApplication::QApplication;

signals:
    void AddUsbDisk(int idVolume);
    void RemoveUsbDisk(int idVolume);
};

class TestXCamera : public QObject
{
    Q_OBJECT

    QTemporaryDir work;
    VantelSimulation* sim = nullptr;
    QString camera; // the camera application, a comma and a blank in its path

    void useCamera(const QString& path)
    {
        QVERIFY(installTestSettings(work.filePath("system.ini"),
                                    "[Data]\nDATA_PLATFORM=2\nDATA_CAMERA_APP=" + path.toUtf8() + "\n"));
    }

    // Rest, click, request, launch: the camera has started once this returns.
    static void launchCamera(XCamera& provider)
    {
        QString icon;
        QCOMPARE(poll(provider, icon), int(XINFORET_OK));
        QCOMPARE(icon, QString("camicon.svg"));
        provider.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
        QCOMPARE(poll(provider, icon), int(XINFORET_OK));
        QCOMPARE(icon, QString("camwork.svg"));
        QCOMPARE(poll(provider, icon), int(XINFORET_OK));
        QCOMPARE(icon, QString("camok.svg"));
    }

    // One status query: its result, and the icon's file name (the value, should there be one).
    static int poll(XCamera& provider, QString& icon)
    {
        QString value = "old";
        QString path;
        const int ret = provider.xcam_getStatus(value, path);
        icon = value.isEmpty() ? QFileInfo(path).fileName() : "value " + value;
        return ret;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(installTestCatalogue(qEnvironmentVariable("VANTEL_SOURCE_DIR") + "/icons"));
        QFile::remove(testLogFile());
        VANTEL_OpenLib();
        sim = new VantelSimulation(this);
        auto* watcher = new VantelVolumeWatcher(this);
        auto* host = static_cast<CameraHost*>(qApp);
        connect(watcher, &VantelVolumeWatcher::AddUsbDisk, host, &CameraHost::AddUsbDisk);
        connect(watcher, &VantelVolumeWatcher::RemoveUsbDisk, host, &CameraHost::RemoveUsbDisk);
        camera = work.filePath("cam,v2/my camera.sh");
        QVERIFY(RecordingScript::write(camera, 5));
    }

    void cleanupTestCase()
    {
        VANTEL_CloseLib();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void init()
    {
        LibraryContext::restoreLoadState();
        RecordingScript::remove(camera);
        useCamera(camera);
    }

    void cleanup() { sim->pullVolume("STICK"); }

    // Each row hides the indicator; a click then is not remembered once it shows.
    void hiddenUntilAvailable_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("no disk") << "disk";
        QTest::newRow("disk folder gone") << "folder";
        QTest::newRow("no program named") << "";
        QTest::newRow("program missing") << "program";
    }

    void hiddenUntilAvailable()
    {
        QFETCH(QString, situation);
        const QString later = work.filePath("later/camera.sh");
        QFile::remove(later);
        if (situation == "folder") {
            vantel_capturePath = sim->plugVolume("STICK");
            QVERIFY(sim->pullVolume("STICK"));
        } else if (situation != "disk") {
            vantel_capturePath = sim->plugVolume("STICK");
            useCamera(situation.isEmpty() ? QString() : later);
        }
        XCamera provider(nullptr);
        QString icon;
        QCOMPARE(poll(provider, icon), int(HARDWARE_OFF));
        QCOMPARE(icon, QString("null.svg"));
        provider.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
        QCOMPARE(poll(provider, icon), int(HARDWARE_OFF));

        if (situation == "disk" || situation == "folder")
            sim->plugVolume("STICK"); // announced by the application object
        else if (situation == "program")
            QVERIFY(RecordingScript::write(later, 0));
        else
            return; // nothing to find, ever
        QCOMPARE(poll(provider, icon), int(XINFORET_OK));
        QCOMPARE(icon, QString("camicon.svg")); // not "camwork.svg": the click is gone
        QCOMPARE(RecordingScript::starts(camera) + RecordingScript::starts(later), 0);
        QVERIFY(sim->pullVolume("STICK")); // the removal announced
        QCOMPARE(poll(provider, icon), int(HARDWARE_OFF));
    }

    // Twice round: the second launch ends the first program; the indicator's
    // end ends the second.
    void cycleThroughTheIndicator()
    {
        vantel_capturePath = sim->plugVolume("STICK");
        auto* indicator = new XInfo;
        indicator->xinfo_init(IND_TYPE_CAMERA, -1);
        QVERIFY(indicator->xinfo_getEnable());

        // Poll by poll: a click before it, then the icon.
        const struct {
            bool click;
            const char* icon;
        } polls[] = {{false, "camicon.svg"}, {true, "camwork.svg"}, {true, "camok.svg"}, {true, "camok.svg"},
                     {false, "camicon.svg"}};
        qint64 firstPid = 0;
        for (int round = 0; round < 2; ++round) {
            for (const auto& step : polls) {
                if (step.click)
                    indicator->slt_clicked();
                indicator->xinfo_getStatus();
                QVERIFY(indicator->xinfo_getWidget()->isVisible());
                QCOMPARE(QFileInfo(indicator->xinfo_getImage().path).fileName(), QString(step.icon));
            }
            RecordedStart start;
            QTRY_VERIFY(RecordingScript::lastStart(camera, start) && start.pid != firstPid);
            QCOMPARE(start.arguments, QStringList{"MODE=2"});
            QCOMPARE(RecordingScript::starts(camera), round + 1);
            QVERIFY(processExists(start.pid));
            QTRY_VERIFY(!processExists(firstPid)); // ended on its own time
            firstPid = start.pid;
        }
        delete indicator;
        QTRY_VERIFY(!processExists(firstPid));
    }

    // The lines of a poll hidden, then at each step of a launch: polls ("p")
    // and clicks ("c") before it.
    void traceLines_data()
    {
        QTest::addColumn<bool>("disk");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QStringList>("lines");
        const auto lines = [](int state, int icon, int ret) {
            return testQueryLines("XCamera::xcam_getStatus", state, vantel_iconPath(icon), ret);
        };
        QTest::newRow("no disk") << false << "" << lines(0, ICON_NULL, HARDWARE_OFF);
        QTest::newRow("at rest") << true << "" << lines(1, ICON_CAMICON, XINFORET_OK);
        QTest::newRow("clicked") << true << "pc" << lines(2, ICON_CAMWORK, XINFORET_OK);
        QTest::newRow("launched") << true << "pcp" << lines(4, ICON_CAMOK, XINFORET_OK);
        QTest::newRow("outcome, at rest again") << true << "pcpp" << lines(1, ICON_CAMOK, XINFORET_OK);
    }

    void traceLines()
    {
        QFETCH(bool, disk);
        QFETCH(QString, before);
        XCamera provider(nullptr);
        if (disk)
            sim->plugVolume("STICK"); // announced by the application object
        QString icon;
        for (const QChar step : before) {
            if (step == 'c')
                provider.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
            else
                poll(provider, icon);
        }
        QTEST(tracedDuring(4096, [&] { poll(provider, icon); }), "lines");
    }

    // A camera ended with its provider gets SIGTERM at once, so a polite one
    // closes its file, and SIGKILL only after the grace, for one that ignores
    // SIGTERM; the provider's end waits for neither.
    void endedCameraGetsSigtermThenSigkill()
    {
        const QString polite = work.filePath("polite camera.sh");
        const QString stubborn = work.filePath("stubborn camera.sh");
        QVERIFY(EndableScript::write(polite, false));
        QVERIFY(EndableScript::write(stubborn, true));
        vantel_capturePath = sim->plugVolume("STICK");

        useCamera(polite);
        auto* first = new XCamera(nullptr);
        launchCamera(*first);
        if (QTest::currentTestFailed())
            return;
        QTRY_VERIFY(EndableScript::pid(polite) > 0);
        useCamera(stubborn);
        auto* second = new XCamera(nullptr);
        launchCamera(*second);
        if (QTest::currentTestFailed())
            return;
        QTRY_VERIFY(EndableScript::pid(stubborn) > 0);
        const qint64 stubbornPid = EndableScript::pid(stubborn);

        LoopWatch watch;
        QElapsedTimer clock;
        clock.start();
        delete first;
        delete second;
        QVERIFY2(clock.elapsed() < 100, qPrintable(QStringLiteral("the ends took %1 ms").arg(clock.elapsed())));
        QTRY_VERIFY(EndableScript::gotSigterm(polite));
        QTRY_VERIFY(!processExists(EndableScript::pid(polite)));
        QTest::qWait(int(kEndGraceMs - 300 - clock.elapsed()));
        QVERIFY2(processExists(stubbornPid), "killed before its grace was over");
        QTRY_VERIFY_WITH_TIMEOUT(!processExists(stubbornPid), 1500);
        QVERIFY(clock.elapsed() >= kEndGraceMs);
        QVERIFY(!EndableScript::gotSigterm(stubborn));
        QVERIFY2(watch.longest < 300, qPrintable(QStringLiteral("the event loop stood %1 ms").arg(watch.longest)));
    }

    // The camera reads a stick that stops answering (the stick is the disk):
    // its read never returns, and a look at the stick would not either. The
    // polls answer at once with the indicator hidden, the provider's end
    // does not wait for the camera, which sleeps in the kernel past its
    // SIGKILL, and everything goes once the stick answers again.
    void stuckStickHoldsNoPollAndNoEnd()
    {
        if (!StuckStick::available())
            QSKIP("no /dev/fuse on this machine");
        StuckStick stick(work.filePath("stuck"));
        QVERIFY(stick.start());

        const QString reader = work.filePath("reading camera.sh");
        QVERIFY(EndableScript::write(reader, false, "exec cat \"" + QFile::encodeName(stick.data()) + "\" > /dev/null"));
        useCamera(reader);
        vantel_capturePath = work.filePath("stuck") + "/";
        auto* provider = new XCamera(nullptr);
        launchCamera(*provider); // the stick still answers
        QString icon;
        if (QTest::currentTestFailed())
            return;
        QTRY_VERIFY(stick.beingRead());
        const qint64 pid = EndableScript::pid(reader);
        QVERIFY(pid > 0);

        LoopWatch watch;
        QElapsedTimer clock;
        qint64 slowest = 0;
        for (int i = 0; i < 5; ++i) {
            QTest::qWait(i == 0 ? 1500 : 300); // the first past the kernel's cached look at the stick
            clock.start();
            QCOMPARE(poll(*provider, icon), int(HARDWARE_OFF));
            slowest = qMax(slowest, clock.elapsed());
        }
        QVERIFY2(slowest < 400, qPrintable(QStringLiteral("a poll took %1 ms").arg(slowest)));
        QCOMPARE(icon, QString("null.svg"));

        clock.start();
        delete provider;
        QVERIFY2(clock.elapsed() < 100, qPrintable(QStringLiteral("the end took %1 ms").arg(clock.elapsed())));
        stick.outlastsItsEnd(pid, watch);
    }

    void programGoneAfterFound()
    {
        const QString doomed = work.filePath("doomed.sh");
        QVERIFY(RecordingScript::write(doomed, 0));
        useCamera(doomed);
        vantel_capturePath = sim->plugVolume("STICK");
        XCamera provider(nullptr);
        QString icon;
        QCOMPARE(poll(provider, icon), int(XINFORET_OK));
        QVERIFY(QFile::remove(doomed));
        XCamera other(nullptr); // no provider looks for it again
        QCOMPARE(poll(other, icon), int(XINFORET_OK));

        provider.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
        QCOMPARE(poll(provider, icon), int(XINFORET_OK));
        QCOMPARE(icon, QString("camwork.svg"));
        QCOMPARE(poll(provider, icon), int(XINFORET_OK));
        QCOMPARE(icon, QString("camerror.svg"));
    }
};

int main(int argc, char** argv)
{
    CameraHost app(argc, argv);
    TestXCamera test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_xcamera.moc"
