// Guards the camera provider with a real small program as the camera
// application: hidden without a disk or without the program, and a click
// made while hidden forgotten; the disk followed through the application
// object's AddUsbDisk / RemoveUsbDisk; a program path with a comma and a
// blank; the click, request, launch, outcome, rest cycle through the
// indicator, launching once with "MODE=2" and dropping the clicks made
// during it, with its trace lines; and a program once found that then goes:
// still shown, the launch fails with "camerror.svg".
#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include "recordingscript.h"
#include "testcatalogue.h"
#include "testlog.h"
#include "testsettings.h"
#include "vantelapi.h"
#include "vantelglobals.h"
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
        vantel_cameraAppFound = false;
        vantel_capturePath.clear();
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
        const int before = testLogTexts(4096).size();

        // Poll by poll: a click before it, then the icon and the state.
        const struct {
            bool click;
            const char* icon;
            int state;
        } polls[] = {{false, "camicon.svg", 1}, {true, "camwork.svg", 2}, {true, "camok.svg", 4},
                     {true, "camok.svg", 1},    {false, "camicon.svg", 1}};
        QStringList expected;
        qint64 firstPid = 0;
        for (int round = 0; round < 2; ++round) {
            for (const auto& step : polls) {
                if (step.click)
                    indicator->slt_clicked();
                indicator->xinfo_getStatus();
                QVERIFY(indicator->xinfo_getWidget()->isVisible());
                const QString path = indicator->xinfo_getImage().path;
                QCOMPARE(QFileInfo(path).fileName(), QString(step.icon));
                expected << "[XCamera::xcam_getStatus] ---------------"
                         << QString("getStatus report status:[%1] value:[] icon:[%2] ret:[0]").arg(step.state).arg(path);
            }
            RecordedStart start;
            QTRY_VERIFY(RecordingScript::lastStart(camera, start) && start.pid != firstPid);
            QCOMPARE(start.arguments, QStringList{"MODE=2"});
            QCOMPARE(RecordingScript::starts(camera), round + 1);
            QVERIFY(processExists(start.pid));
            QTRY_VERIFY(!processExists(firstPid)); // ended on its own time
            firstPid = start.pid;
        }
        QCOMPARE(testLogTexts(4096).mid(before), expected);
        delete indicator;
        QTRY_VERIFY(!processExists(firstPid));
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
