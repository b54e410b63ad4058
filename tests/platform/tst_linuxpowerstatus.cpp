// Guards the Linux power status: which supplies count as mains, which
// batteries count and how several combine, the desktop answer without a
// battery, and defined answers for missing, empty or garbage attributes and
// for a battery that vanishes between two queries.
#include <QtTest>

#include "fakedevicetree.h"
#include "linux/linuxpowerstatus.h"

using namespace vantel::platform;

class TestLinuxPowerStatus : public QObject
{
    Q_OBJECT

    static bool query(const QString& root, SystemPowerStatus& status)
    {
        LinuxPowerStatus power(root.toStdString());
        return power.getSystemPowerStatus(status);
    }

private slots:
    void fixtures_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<int>("acLine");
        QTest::addColumn<int>("percent");
        // 30+5 of 50+20 Wh, not the mean 42.5 of the two percentages; the mouse does not count.
        QTest::newRow("laptop, two batteries") << "laptop-two-batteries" << 0 << 50;
        // 2 Ah at 15 V is 30 of 60 Wh, plus a full 30 Wh battery: 60 of 90 Wh.
        QTest::newRow("laptop, charge and energy") << "laptop-charge-on-mains" << 1 << 67;
        QTest::newRow("desktop, mouse battery only") << "desktop" << 1 << 255;
        QTest::newRow("tablet, USB charger") << "tablet-usb-charging" << 1 << 42;
        // Empty, garbage and negative values fall through to the capacity;
        // an empty type and an empty bay are not counted.
        QTest::newRow("broken attributes") << "broken-attributes" << 0 << 37;
    }

    void fixtures()
    {
        QFETCH(QString, situation);
        QFETCH(int, acLine);
        QFETCH(int, percent);
        SystemPowerStatus status;
        QVERIFY(query(QStringLiteral(FIXTURES_DIR "/") + situation, status));
        QCOMPARE(int(status.acLineStatus), acLine);
        QCOMPARE(int(status.batteryLifePercent), percent);
    }

    void batteryAloneTellsTheLine_data()
    {
        QTest::addColumn<QByteArray>("batteryStatus");
        QTest::addColumn<int>("acLine");
        QTest::newRow("charging") << QByteArray("Charging") << 1;
        QTest::newRow("not charging") << QByteArray("Not charging") << 1;
        QTest::newRow("discharging") << QByteArray("Discharging") << 0;
        QTest::newRow("unknown") << QByteArray("Unknown") << 255;
    }

    void batteryAloneTellsTheLine()
    {
        QFETCH(QByteArray, batteryStatus);
        QFETCH(int, acLine);
        FakeDeviceTree tree;
        tree.attribute("class/power_supply/BAT0/type", "Battery");
        tree.attribute("class/power_supply/BAT0/status", batteryStatus);
        tree.attribute("class/power_supply/BAT0/capacity", "80");
        SystemPowerStatus status;
        QVERIFY(query(tree.root(), status));
        QCOMPARE(int(status.acLineStatus), acLine);
        QCOMPARE(int(status.batteryLifePercent), 80);
    }

    void chargeWithoutVoltageCombinesByCharge()
    {
        FakeDeviceTree tree;
        tree.attribute("class/power_supply/BAT0/type", "Battery");
        tree.attribute("class/power_supply/BAT0/charge_now", "1000");
        tree.attribute("class/power_supply/BAT0/charge_full", "4000");
        tree.attribute("class/power_supply/BAT1/type", "Battery");
        tree.attribute("class/power_supply/BAT1/charge_now", "1000");
        tree.attribute("class/power_supply/BAT1/charge_full", "1000");
        SystemPowerStatus status;
        QVERIFY(query(tree.root(), status));
        QCOMPARE(int(status.batteryLifePercent), 40); // not the mean 62.5
    }

    void valuesAreClamped()
    {
        FakeDeviceTree tree;
        tree.attribute("class/power_supply/BAT0/type", "Battery");
        tree.attribute("class/power_supply/BAT0/energy_now", "52000000"); // above full, as worn cells report
        tree.attribute("class/power_supply/BAT0/energy_full", "50000000");
        SystemPowerStatus status;
        QVERIFY(query(tree.root(), status));
        QCOMPARE(int(status.batteryLifePercent), 100);
        QFile::remove(tree.root() + "/class/power_supply/BAT0/energy_now");
        tree.attribute("class/power_supply/BAT0/capacity", "140");
        QVERIFY(query(tree.root(), status));
        QCOMPARE(int(status.batteryLifePercent), 100);
    }

    void batteryWithoutValuesIsUnknown()
    {
        FakeDeviceTree tree;
        tree.attribute("class/power_supply/BAT0/type", "Battery");
        tree.attribute("class/power_supply/BAT0/status", "Discharging");
        tree.write("class/power_supply/BAT0/capacity", "");
        SystemPowerStatus status;
        QVERIFY(query(tree.root(), status));
        QCOMPARE(int(status.acLineStatus), 0);
        QCOMPARE(int(status.batteryLifePercent), 255);
    }

    void batteryVanishesBetweenQueries()
    {
        FakeDeviceTree tree;
        tree.attribute("class/power_supply/AC/type", "Mains");
        tree.attribute("class/power_supply/AC/online", "0");
        tree.attribute("class/power_supply/BAT0/type", "Battery");
        tree.attribute("class/power_supply/BAT0/capacity", "33");
        LinuxPowerStatus power(tree.root().toStdString());
        SystemPowerStatus status;
        QVERIFY(power.getSystemPowerStatus(status));
        QCOMPARE(int(status.batteryLifePercent), 33);
        tree.remove("class/power_supply/BAT0");
        QVERIFY(power.getSystemPowerStatus(status));
        QCOMPARE(int(status.acLineStatus), 0);
        QCOMPARE(int(status.batteryLifePercent), 255);
    }

    void missingClassIsADesktop()
    {
        QTemporaryDir root;
        SystemPowerStatus status;
        QVERIFY(query(root.path(), status));
        QCOMPARE(int(status.acLineStatus), 1);
        QCOMPARE(int(status.batteryLifePercent), 255);
    }

    void missingRootFails()
    {
        SystemPowerStatus status;
        QVERIFY(!query(QStringLiteral(FIXTURES_DIR "/no-such-root"), status));
    }
};

QTEST_GUILESS_MAIN(TestLinuxPowerStatus)
#include "tst_linuxpowerstatus.moc"
