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

private slots:
    void situations_data()
    {
        QTest::addColumn<QString>("fixture");      // a folder under fixtures/, or none:
        QTest::addColumn<QStringList>("supplies"); // these attributes in an empty tree
        QTest::addColumn<int>("acLine");
        QTest::addColumn<int>("percent");
        // 30+5 of 50+20 Wh, not the mean 42.5 of the two percentages; the mouse does not count.
        QTest::newRow("laptop, two batteries") << "laptop-two-batteries" << QStringList() << 0 << 50;
        // 2 Ah at 15 V is 30 of 60 Wh, plus a full 30 Wh battery: 60 of 90 Wh.
        QTest::newRow("laptop, charge and energy") << "laptop-charge-on-mains" << QStringList() << 1 << 67;
        QTest::newRow("desktop, mouse battery only") << "desktop" << QStringList() << 1 << 255;
        QTest::newRow("no power supply class") << QString() << QStringList() << 1 << 255;
        // A USB charger is mains, even where the battery cannot tell.
        QTest::newRow("tablet, USB charger") << "tablet-usb-charging" << QStringList() << 1 << 42;
        // Empty, garbage and negative values fall through to the capacity;
        // an empty type and an empty bay are not counted.
        QTest::newRow("broken attributes") << "broken-attributes" << QStringList() << 0 << 37;

        // Without a mains supply the battery's status tells the line.
        const QStringList battery{"BAT0/type=Battery", "BAT0/capacity=80"};
        QTest::newRow("charging") << QString() << battery + QStringList{"BAT0/status=Charging"} << 1 << 80;
        QTest::newRow("not charging") << QString() << battery + QStringList{"BAT0/status=Not charging"} << 1 << 80;
        QTest::newRow("discharging") << QString() << battery + QStringList{"BAT0/status=Discharging"} << 0 << 80;
        QTest::newRow("unknown") << QString() << battery + QStringList{"BAT0/status=Unknown"} << 255 << 80;
        QTest::newRow("no values") << QString() << QStringList{"BAT0/type=Battery", "BAT0/capacity="} << 255 << 255;

        // 2 of 5 Ah, not the mean 62.5 %; worn cells report more than full, and
        // each battery counts as full at most.
        QTest::newRow("charge without voltage")
            << QString() << QStringList{"BAT0/type=Battery", "BAT0/charge_now=1000", "BAT0/charge_full=4000",
                                        "BAT1/type=Battery", "BAT1/charge_now=1000", "BAT1/charge_full=1000"}
            << 255 << 40;
        QTest::newRow("energy above full")
            << QString() << QStringList{"BAT0/type=Battery", "BAT0/energy_now=52000000", "BAT0/energy_full=50000000"}
            << 255 << 100;
        QTest::newRow("capacity above 100")
            << QString()
            << QStringList{"BAT0/type=Battery", "BAT0/capacity=140", "BAT1/type=Battery", "BAT1/capacity=60"} << 255
            << 80;
    }

    void situations()
    {
        QFETCH(QString, fixture);
        QFETCH(QStringList, supplies);
        QFETCH(int, acLine);
        QFETCH(int, percent);
        FakeDeviceTree tree;
        tree.supplies(supplies);
        const QString root = fixture.isEmpty() ? tree.root() : QStringLiteral(FIXTURES_DIR "/") + fixture;
        SystemPowerStatus status;
        QVERIFY(LinuxPowerStatus(root.toStdString()).getSystemPowerStatus(status));
        QCOMPARE(int(status.acLineStatus), acLine);
        QCOMPARE(int(status.batteryLifePercent), percent);
    }

    void batteryVanishesBetweenQueries()
    {
        FakeDeviceTree tree;
        tree.supplies({"AC/type=Mains", "AC/online=0", "BAT0/type=Battery", "BAT0/capacity=33"});
        LinuxPowerStatus power(tree.root().toStdString());
        SystemPowerStatus status;
        QVERIFY(power.getSystemPowerStatus(status));
        QCOMPARE(int(status.batteryLifePercent), 33);
        tree.remove("class/power_supply/BAT0");
        QVERIFY(power.getSystemPowerStatus(status));
        QCOMPARE(int(status.acLineStatus), 0);
        QCOMPARE(int(status.batteryLifePercent), 255);
    }
};

QTEST_GUILESS_MAIN(TestLinuxPowerStatus)
#include "tst_linuxpowerstatus.moc"
