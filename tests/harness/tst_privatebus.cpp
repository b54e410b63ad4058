// Guards the private system bus and its dbusmock templates as later suites
// use them, and that the Linux backend makes its services on first use: a
// power status query opens no bus or display connection and answers the
// same with the fake NetworkManager, logind and UPower there or gone.
#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QtTest>

#include <cstring>
#include <unistd.h>

#include "linux/linuxbackend.h"
#include "testsystembus.h"
#include "testxserver.h"

using namespace vantel::platform;

namespace {

int openSockets()
{
    int count = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString& fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        char target[64] = {};
        const QByteArray path = QFile::encodeName(fds.filePath(fd));
        if (::readlink(path.constData(), target, sizeof(target) - 1) > 0 && std::strncmp(target, "socket:", 7) == 0)
            ++count;
    }
    return count;
}

} // namespace

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

    void templatesStartAnswerAndStop()
    {
        QVERIFY2(bus.startTemplate("networkmanager"), qPrintable(bus.error()));
        QDBusMessage added = bus.mock("networkmanager", "/org/freedesktop", "AddWiFiDevice",
                                      {"wlan0", "wlan0", 30});
        QCOMPARE(added.type(), QDBusMessage::ReplyMessage);
        const QString device = added.arguments().value(0).toString();
        QDBusMessage devices = bus.call("org.freedesktop.NetworkManager", "/org/freedesktop/NetworkManager",
                                        "org.freedesktop.DBus.Properties", "Get",
                                        {"org.freedesktop.NetworkManager", "Devices"});
        QCOMPARE(devices.type(), QDBusMessage::ReplyMessage);
        const QDBusArgument paths = devices.arguments().value(0).value<QDBusVariant>().variant().value<QDBusArgument>();
        QList<QDBusObjectPath> list;
        paths >> list;
        QCOMPARE(list.size(), 1);
        QCOMPARE(list.first().path(), device);

        const qint64 pid = bus.templatePid("networkmanager");
        QVERIFY(pid > 0);
        QVERIFY2(bus.stopTemplate("networkmanager"), qPrintable(bus.error()));
        QVERIFY(!QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)));
        // Started again, it is a fresh NetworkManager without the device.
        QVERIFY2(bus.startTemplate("networkmanager"), qPrintable(bus.error()));
        devices = bus.call("org.freedesktop.NetworkManager", "/org/freedesktop/NetworkManager",
                           "org.freedesktop.DBus.Properties", "Get", {"org.freedesktop.NetworkManager", "Devices"});
        QCOMPARE(devices.type(), QDBusMessage::ReplyMessage);
        QVERIFY(bus.stopTemplate("networkmanager"));
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
