// Guards the private system bus as later suites use it (it points the
// system bus at itself, its templates start and stop), and that the Linux
// backend makes its services on first use: a power status query opens no bus
// or display connection and answers the same with the fake NetworkManager,
// logind and UPower there or gone.
#include <QtTest>

#include "linux/linuxbackend.h"
#include "testprocess.h"
#include "testsystembus.h"
#include "testxserver.h"

using namespace vantel::platform;

class TestPrivateBus : public QObject
{
    Q_OBJECT

    TestSystemBus bus;
    TestXServer display;
    const QStringList mocks{"networkmanager", "logind", "upower"};

private slots:
    void initTestCase()
    {
        QVERIFY2(bus.start(), qPrintable(bus.error()));
        QVERIFY2(display.start(), qPrintable(display.error()));
        QCOMPARE(qgetenv("DBUS_SYSTEM_BUS_ADDRESS"), bus.address().toLocal8Bit());
    }

    void powerStatusWithBusThereOrNot()
    {
        const std::string sysfs = FIXTURES_DIR "/laptop-two-batteries";
        const int socketsBefore = openSockets();
        LinuxBackend machine(sysfs, "/proc");
        SystemPowerStatus alone;
        QVERIFY(machine.powerStatus().getSystemPowerStatus(alone));
        QCOMPARE(openSockets(), socketsBefore); // no bus, no display opened

        for (const QString& name : mocks)
            QVERIFY2(bus.startTemplate(name), qPrintable(bus.error()));
        SystemPowerStatus withBus;
        QVERIFY(machine.powerStatus().getSystemPowerStatus(withBus));
        for (const QString& name : mocks)
            QVERIFY2(bus.stopTemplate(name), qPrintable(bus.error()));
        SystemPowerStatus afterBus;
        QVERIFY(machine.powerStatus().getSystemPowerStatus(afterBus));

        for (const SystemPowerStatus& status : {alone, withBus, afterBus}) {
            QCOMPARE(int(status.acLineStatus), 0);
            QCOMPARE(int(status.batteryLifePercent), 50);
        }
    }
};

QTEST_GUILESS_MAIN(TestPrivateBus)
#include "tst_privatebus.moc"
