// Guards the simulated tablet as tests and the demo host drive it: power
// status set from outside (or unreadable), volumes plugged and pulled with a
// real folder as root and the watcher's signals at once, the debugger output
// it keeps, and the scenario stepping through its states.
#include <QDir>
#include <QSignalSpy>
#include <QtTest>

#include "platform.h"
#include "vantelsimulation.h"
#include "vantelvolumewatcher.h"

using namespace vantel::platform;

class TestSimulatedTablet : public QObject
{
    Q_OBJECT

private slots:
    void powerStatusAsSet()
    {
        VantelSimulation sim;
        QCOMPARE(QString(backend().name()), QStringLiteral("sim"));
        SystemPowerStatus status;
        sim.setPowerStatus(0, 42);
        QVERIFY(vantel::platform::powerStatus().getSystemPowerStatus(status));
        QCOMPARE(int(status.acLineStatus), 0);
        QCOMPARE(int(status.batteryLifePercent), 42);
        sim.setPowerStatus(255, 300); // out of range: the byte's highest value
        QVERIFY(vantel::platform::powerStatus().getSystemPowerStatus(status));
        QCOMPARE(int(status.batteryLifePercent), 255);
        sim.setPowerStatusReadable(false);
        QVERIFY(!powerStatus().getSystemPowerStatus(status));
    }

    void volumesPlugAndPull()
    {
        VantelSimulation sim;
        VantelVolumeWatcher watcher;
        QSignalSpy added(&watcher, &VantelVolumeWatcher::AddUsbDisk);
        QSignalSpy removed(&watcher, &VantelVolumeWatcher::RemoveUsbDisk);

        const QString stick = sim.plugVolume("STICK");
        const QString disk = sim.plugVolume("DISK", false);
        QVERIFY(QDir(stick).exists());
        QVERIFY(stick.endsWith("/STICK/"));
        QCOMPARE(sim.plugVolume("STICK"), stick);
        QVERIFY(sim.plugVolume("../x").isEmpty());
        QCOMPARE(volumes().driveType(stick.toStdString()), unsigned(DRIVE_REMOVABLE));
        QCOMPARE(volumes().driveType(disk.toStdString()), unsigned(DRIVE_FIXED));
        QCOMPARE(volumes().driveType("/"), unsigned(DRIVE_FIXED));
        QCOMPARE(int(volumes().volumes().size()), 3);
        QCOMPARE(added.count(), 2);
        QCOMPARE(added.at(0).at(0).toInt(), 1 << 3);
        QCOMPARE(added.at(1).at(0).toInt(), 1 << 4);
        QCOMPARE(QString::fromStdString(volumes().driveRoot(3)), stick);

        QVERIFY(sim.pullVolume("STICK"));
        QVERIFY(!sim.pullVolume("STICK"));
        QVERIFY(!QDir(stick).exists());
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.at(0).at(0).toInt(), 1 << 3);
        QCOMPARE(volumes().driveType(stick.toStdString()), unsigned(DRIVE_NO_ROOT_DIR));
    }

    void debugOutputIsKept()
    {
        VantelSimulation sim;
        debugOutput().outputDebugString("first");
        debugOutput().outputDebugString("second");
        QCOMPARE(sim.debugOutput(), QStringList({"first", "second"}));
    }

    void scenarioRunsThroughItsSteps()
    {
        VantelSimulation sim;
        VantelVolumeWatcher watcher;
        QSignalSpy steps(&sim, &VantelSimulation::scenarioStep);
        QSignalSpy added(&watcher, &VantelVolumeWatcher::AddUsbDisk);
        QSignalSpy removed(&watcher, &VantelVolumeWatcher::RemoveUsbDisk);
        int lowest = 100;
        connect(&sim, &VantelSimulation::scenarioStep, this, [&lowest] {
            SystemPowerStatus status;
            if (vantel::platform::powerStatus().getSystemPowerStatus(status) && status.acLineStatus == 0)
                lowest = std::min(lowest, int(status.batteryLifePercent));
        });
        sim.startScenario(5);
        QTRY_VERIFY_WITH_TIMEOUT(steps.count() >= 12, 10000);
        sim.stopScenario();
        QCOMPARE(steps.at(0).at(0).toInt(), 0);
        QCOMPARE(steps.at(11).at(0).toInt(), 0); // starts over
        QCOMPARE(lowest, 2);
        QCOMPARE(added.count(), 1);
        QCOMPARE(removed.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSimulatedTablet)
#include "tst_simulatedtablet.moc"
