// Guards the native backend end to end at the real /sys path: the suite runs
// itself again under umockdev-run with a laptop whose mains are unplugged,
// whose battery holds 9 of 40 Wh and whose mouse battery is nearly empty.
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include "platform.h"

using namespace vantel::platform;

class TestUmockdevBattery : public QObject
{
    Q_OBJECT

private slots:
    void realSysPath()
    {
        if (qEnvironmentVariableIsEmpty("UMOCKDEV_DIR")) {
            const QString runner = QStandardPaths::findExecutable("umockdev-run");
            if (runner.isEmpty())
                QSKIP("umockdev-run is not installed");
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("VANTEL_PLATFORM", "linux");
            env.remove("VANTEL_SYSFS_ROOT");
            // umockdev preloads itself; a sanitizer runtime need not come first then.
            env.insert("ASAN_OPTIONS", "verify_asan_link_order=0");
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(runner, {"-d", QStringLiteral(FIXTURES_DIR "/umockdev/laptop-discharging.umockdev"),
                                 "--", QCoreApplication::applicationFilePath(), "realSysPath"});
            QVERIFY(child.waitForFinished(60000));
            const QByteArray output = child.readAll();
            if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
                qWarning().noquote() << output;
            QCOMPARE(child.exitCode(), 0);
            QVERIFY(output.contains("PASS   : TestUmockdevBattery::realSysPath"));
            return;
        }
        QCOMPARE(QByteArray(backend().name()), QByteArray("linux"));
        SystemPowerStatus status;
        QVERIFY(powerStatus().getSystemPowerStatus(status));
        QCOMPARE(int(status.acLineStatus), 0);
        QCOMPARE(int(status.batteryLifePercent), 23); // 22.5 rounded, not the mouse's 3
    }
};

QTEST_GUILESS_MAIN(TestUmockdevBattery)
#include "tst_umockdevbattery.moc"
