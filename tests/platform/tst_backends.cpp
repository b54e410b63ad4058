// Guards the platform backends: the one VANTEL_PLATFORM chooses at start
// (sim: the simulated tablet, anything else the native one), and the
// simulated tablet as tests and the demo host drive it: its power status set
// from outside, volumes plugged and pulled with a real folder as root, and
// the demo's scenario going down through the warnings, plugging a stick and
// taking the internet (a loopback peer) away and back; the Windows version
// each backend follows.
#include <QDir>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QUrl>
#include <QtTest>

#include "platform.h"
#include "sim/simtablet.h"
#include "vantelsimulation.h"
#include "vantelvolumewatcher.h"

using namespace vantel::platform;

namespace {

// Whether a connection to the simulated internet at `address` is accepted.
bool reaches(const QString& address)
{
    const QUrl url(address);
    QTcpSocket socket;
    socket.connectToHost(url.host(), quint16(url.port()));
    return socket.waitForConnected(5000);
}

} // namespace

class TestBackends : public QObject
{
    Q_OBJECT

private slots:
    void chosenOnceFromEnvironment()
    {
        qputenv("VANTEL_PLATFORM", "sim");
        installBackend(nullptr); // none chosen yet, as at start
        QCOMPARE(QByteArray(backend().name()), QByteArray("sim"));
        qunsetenv("VANTEL_PLATFORM");
        QCOMPARE(QByteArray(currentBackend()->name()), QByteArray("sim")); // chosen once
        installBackend(nullptr);
        QCOMPARE(QByteArray(backend().name()), QByteArray("linux"));
    }

    void windowsVersionFollowed()
    {
        installBackend(nullptr);
        QCOMPARE(windowsVersion().versionWord(), unsigned(WV_WINDOWS7)); // Linux: Windows 7's ways
        QCOMPARE(windowsVersion().version().major, 6u);
        auto tablet = std::make_shared<SimTablet>();
        installBackend(tablet);
        tablet->simVersion().set({10, 0}, WV_WINDOWS10);
        QCOMPARE(windowsVersion().versionWord(), unsigned(WV_WINDOWS10));
        QCOMPARE(windowsVersion().version().major, 10u);
    }

    void simulatedTablet()
    {
        VantelSimulation sim;
        sim.setPowerStatus(255, 300); // out of range: the byte's highest value
        SystemPowerStatus status;
        QVERIFY(powerStatus().getSystemPowerStatus(status));
        QCOMPARE(int(status.batteryLifePercent), 255);
        const QString stick = sim.plugVolume("STICK");
        QVERIFY(QDir(stick).exists());
        QCOMPARE(sim.plugVolume("STICK"), stick);
        QVERIFY(sim.plugVolume("../x").isEmpty()); // never outside its folder
        QVERIFY(sim.pullVolume("STICK"));
        QVERIFY(!sim.pullVolume("STICK"));
        QVERIFY(!QDir(stick).exists());
    }

    void scenarioRunsThroughItsSteps()
    {
        VantelSimulation sim;
        const QString internet = sim.internetAddress();
        VantelVolumeWatcher watcher;
        QSignalSpy steps(&sim, &VantelSimulation::scenarioStep);
        QSignalSpy added(&watcher, &VantelVolumeWatcher::AddUsbDisk);
        QSignalSpy removed(&watcher, &VantelVolumeWatcher::RemoveUsbDisk);
        int lowest = 100;
        QString internetAway;
        connect(&sim, &VantelSimulation::scenarioStep, this, [&](int step) {
            SystemPowerStatus status;
            if (powerStatus().getSystemPowerStatus(status) && status.acLineStatus == 0)
                lowest = std::min(lowest, int(status.batteryLifePercent));
            if (!reaches(internet))
                internetAway += QString::number(step) + QLatin1Char(' ');
            if (steps.count() == 17)
                sim.stopScenario();
        });
        sim.startScenario(5);
        QTRY_COMPARE_WITH_TIMEOUT(steps.count(), 17, 10000);
        QCOMPARE(steps.at(16).at(0).toInt(), 0); // over again
        QCOMPARE(internetAway, QStringLiteral("2 3 4 5 6 7 8 9 10 11 12 13 "));
        QCOMPARE(lowest, 2);
        QCOMPARE(added.count(), 1);
        QCOMPARE(removed.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestBackends)
#include "tst_backends.moc"
