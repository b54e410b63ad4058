// Guards the Linux backlight: the device chosen by type (firmware, platform,
// raw) among several, the percentage rounded from actual_brightness, writes
// through logind's Session.SetBrightness (dbusmock on a private bus), the
// sysfs file written when logind refuses or is gone, and no backlight.
#include <QtTest>

#include "fakedevicetree.h"
#include "linux/linuxmonitorbrightness.h"
#include "testlogindsession.h"

using namespace vantel::platform;

class TestLinuxMonitorBrightness : public QObject
{
    Q_OBJECT

    TestSystemBus bus;

    // Devices as "NAME:type:max:actual".
    static void addDevices(FakeDeviceTree& tree, const QStringList& devices)
    {
        for (const QString& device : devices) {
            const QStringList f = device.split(':');
            tree.supplies({f[0] + "/type=" + f[1], f[0] + "/max_brightness=" + f[2],
                           f[0] + "/actual_brightness=" + f[3], f[0] + "/brightness=" + f[3]},
                          "class/backlight");
        }
    }

    static QByteArray sysfsValue(const FakeDeviceTree& tree, const QString& device)
    {
        QFile file(tree.root() + "/class/backlight/" + device + "/brightness");
        return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray("none");
    }

private slots:
    void initTestCase() { QVERIFY2(bus.start(), qPrintable(bus.error())); }

    void init() { QVERIFY2(testlogind::startWithSession(bus), qPrintable(bus.error())); }

    void chosenDeviceAndPercent_data()
    {
        QTest::addColumn<QStringList>("devices");
        QTest::addColumn<int>("percent");
        QTest::addColumn<QString>("written"); // by setBrightness(40)
        const QString intel = "intel_backlight:raw:96000:48000";
        const QString vendor = "dell_backlight:platform:15:3";
        QTest::newRow("firmware first") << QStringList{intel, vendor, "acpi_video0:firmware:1000:600"} << 60
                                        << "acpi_video0=400";
        QTest::newRow("then platform") << QStringList{intel, vendor} << 20 << "dell_backlight=6";
        QTest::newRow("raw alone") << QStringList{intel} << 50 << "intel_backlight=38400";
        QTest::newRow("equal types: first name") << QStringList{"b:raw:10:10", "a:raw:10:1"} << 10 << "a=4";
        QTest::newRow("rounded down") << QStringList{"d:raw:1000:334"} << 33 << "d=400";
        QTest::newRow("rounded up") << QStringList{"d:raw:1000:335"} << 34 << "d=400";
        QTest::newRow("above the maximum") << QStringList{"d:raw:100:120"} << 100 << "d=40";
        QTest::newRow("no maximum: not a device") << QStringList{"a:firmware:0:0", "b:raw:200:50"} << 25 << "b=80";
        QTest::newRow("unreadable level") << QStringList{"a:firmware:100:x"} << -1 << "a=40";
    }

    void chosenDeviceAndPercent()
    {
        QFETCH(QStringList, devices);
        QFETCH(QString, written);
        FakeDeviceTree tree;
        addDevices(tree, devices);
        LinuxMonitorBrightness backlight(tree.root().toStdString());
        QTEST(backlight.currentBrightness(), "percent");
        QVERIFY(backlight.setBrightness(40));
        QCOMPARE(testlogind::setBrightnessCalls(bus), QStringList{written});
        // logind does the write; the file is left to it.
        QCOMPARE(sysfsValue(tree, written.section('=', 0, 0)), devices.last().section(':', 3).toUtf8());
    }

    void sysfsWhenLogindRefusesOrIsGone()
    {
        FakeDeviceTree tree;
        addDevices(tree, {"acpi_video0:firmware:1000:600"});
        LinuxMonitorBrightness backlight(tree.root().toStdString());
        QVERIFY(!backlight.setBrightness(101));
        QVERIFY(!backlight.setBrightness(-1));
        QVERIFY(bus.stopTemplate("logind"));
        QVERIFY2(testlogind::startWithSession(bus, true), qPrintable(bus.error()));
        QVERIFY(backlight.setBrightness(75));
        QCOMPARE(testlogind::setBrightnessCalls(bus), QStringList{"acpi_video0=750"}); // asked, refused
        QCOMPARE(sysfsValue(tree, "acpi_video0"), QByteArray("750"));

        QVERIFY(bus.stopTemplate("logind"));
        QVERIFY(backlight.setBrightness(0));
        QCOMPARE(sysfsValue(tree, "acpi_video0"), QByteArray("0"));
        // A brightness file that cannot be written either: the write failed.
        const QString file = tree.root() + "/class/backlight/acpi_video0/brightness";
        QVERIFY(QFile::remove(file) && QDir().mkdir(file));
        QVERIFY(!backlight.setBrightness(50));

        tree.remove("class/backlight");
        QCOMPARE(backlight.currentBrightness(), -1);
        QVERIFY(!backlight.setBrightness(50));
    }
};

QTEST_GUILESS_MAIN(TestLinuxMonitorBrightness)
#include "tst_linuxmonitorbrightness.moc"
