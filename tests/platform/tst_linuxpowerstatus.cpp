// Guards the Linux power status: which supplies count as mains, which
// batteries count and how several combine, the desktop answer without a
// battery, and defined answers for missing, empty, garbage or overlong
// attributes, for a battery that vanishes between two queries, and for
// supplies kept open between queries and replaced under them. Every
// fixture answers the same read from its uevent files as from its attribute
// files alone.
#include <QDirIterator>
#include <QtTest>

#include "fakedevicetree.h"
#include "linux/linuxpowerstatus.h"

using namespace vantel::platform;

namespace {

// What this process holds open, the supplies a query keeps included.
int openFiles()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}

// One query: "<AC line> <percent>", or "failed".
QString query(LinuxPowerStatus& power)
{
    SystemPowerStatus status;
    if (!power.getSystemPowerStatus(status))
        return QStringLiteral("failed");
    return QStringLiteral("%1 %2").arg(int(status.acLineStatus)).arg(int(status.batteryLifePercent));
}

} // namespace

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
        // The kernel's uevent alone, with no attribute files beside it.
        QTest::newRow("uevent only")
            << QString()
            << QStringList{"AC/uevent=POWER_SUPPLY_NAME=AC\nPOWER_SUPPLY_TYPE=Mains\nPOWER_SUPPLY_ONLINE=0",
                           "BAT0/uevent=POWER_SUPPLY_NAME=BAT0\nPOWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_CAPACITY=61"}
            << 0 << 61;
        // An older kernel's uevent without the type: the files tell.
        QTest::newRow("uevent without type")
            << QString() << QStringList{"AC/uevent=POWER_SUPPLY_NAME=AC\nPOWER_SUPPLY_ONLINE=1", "AC/type=Mains",
                                        "AC/online=1", "BAT0/type=Battery", "BAT0/capacity=70"}
            << 1 << 70;
        // A value longer than the reader takes is no value, not a cut one.
        QTest::newRow("overlong value")
            << QString()
            << QStringList{"BAT0/type=Battery", "BAT0/capacity=" + QString(70, '0') + "42", "BAT1/type=Battery",
                           "BAT1/capacity=20"}
            << 255 << 20;
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
        QStringList roots{tree.root()};
        if (!fixture.isEmpty()) {
            roots = QStringList{QStringLiteral(FIXTURES_DIR "/") + fixture};
            roots << tree.root(); // the same supplies as attribute files alone
            QDirIterator files(roots.first(), QDir::Files, QDirIterator::Subdirectories);
            while (files.hasNext()) {
                const QString path = files.next();
                QFile file(path);
                QVERIFY(file.open(QIODevice::ReadOnly));
                if (!path.endsWith("/uevent"))
                    tree.write(QDir(roots.first()).relativeFilePath(path), file.readAll());
            }
        }
        for (const QString& root : roots) {
            LinuxPowerStatus power(root.toStdString());
            QCOMPARE(query(power), QStringLiteral("%1 %2").arg(acLine).arg(percent));
        }
    }

    // A uevent cut at the reader's size, or an empty one, sends the reader to
    // the files, on every query.
    void unusableUeventReadFromFiles()
    {
        const QByteArray overlong =
            "POWER_SUPPLY_NAME=BAT0\nPOWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_CAPACITY=44\n" + QByteArray(5000, 'x');
        for (const QByteArray& uevent : {overlong, QByteArray()}) {
            FakeDeviceTree tree;
            tree.supplies({"BAT0/type=Battery", "BAT0/capacity=44"});
            tree.write(QStringLiteral("class/power_supply/BAT0/uevent"), uevent);
            LinuxPowerStatus power(tree.root().toStdString());
            QCOMPARE(query(power), "255 44");
            tree.attribute(QStringLiteral("class/power_supply/BAT0/capacity"), "45");
            QCOMPARE(query(power), "255 45");
            QVERIFY(QFile::remove(tree.root() + "/class/power_supply/BAT0/capacity"));
            QCOMPARE(query(power), "255 255"); // not the uevent's cut text
        }
    }

    // A supply is kept open between queries: its uevent written anew is read
    // anew, the same text answers the same, one replaced under the same name
    // is opened anew, and one gone leaves no descriptor behind.
    void suppliesKeptBetweenQueries()
    {
        FakeDeviceTree tree;
        const QString bat = QStringLiteral("class/power_supply/BAT0/uevent");
        const QByteArray uevent = "POWER_SUPPLY_NAME=BAT0\nPOWER_SUPPLY_TYPE=Battery\nPOWER_SUPPLY_CAPACITY=";
        tree.write(QStringLiteral("class/power_supply/AC/uevent"), "POWER_SUPPLY_TYPE=Mains\nPOWER_SUPPLY_ONLINE=1\n");
        tree.write(bat, uevent + "40\n");
        LinuxPowerStatus power(tree.root().toStdString());
        QCOMPARE(query(power), "1 40");
        const auto withBoth = openFiles();
        tree.write(bat, uevent + "41\n");
        QCOMPARE(query(power), "1 41");
        tree.remove(QStringLiteral("class/power_supply/BAT0"));
        tree.write(bat, uevent + "77\n");
        for (int i = 0; i < 20; ++i)
            QCOMPARE(query(power), "1 77");
        QCOMPARE(openFiles(), withBoth);
        tree.remove(QStringLiteral("class/power_supply/BAT0"));
        QCOMPARE(query(power), "1 255");
        QVERIFY(openFiles() < withBoth);
    }

    // A folder longer than one listing call gives: every supply is read,
    // wherever the system battery comes in the listing (each tree orders
    // it anew), and only a few stay open.
    void longListing()
    {
        for (int tree = 0; tree < 4; ++tree) {
            FakeDeviceTree folder;
            QStringList lines;
            for (int i = 0; i < 300; ++i) {
                const QString mouse = QStringLiteral("hidpp_battery_%1_long_enough_name").arg(i);
                lines << mouse + "/type=Battery" << mouse + "/scope=Device" << mouse + "/capacity=5";
            }
            const QString battery = QStringLiteral("BAT%1").arg(tree);
            folder.supplies(lines << battery + "/type=Battery" << battery + "/capacity=57");
            const int before = openFiles();
            LinuxPowerStatus power(folder.root().toStdString());
            for (int again = 0; again < 2; ++again)
                QCOMPARE(query(power), "255 57");
            QVERIFY(openFiles() - before <= 40);
        }
    }

    void supplyFolderReplacedBetweenQueries()
    {
        FakeDeviceTree tree;
        tree.supplies({"AC/type=Mains", "AC/online=0", "BAT0/type=Battery", "BAT0/capacity=33"});
        LinuxPowerStatus power(tree.root().toStdString());
        QCOMPARE(query(power), "0 33");
        // The folder the query keeps open is replaced (a battery that goes
        // alone: suppliesKeptBetweenQueries), then goes with its root.
        tree.remove("class/power_supply");
        tree.supplies({"BAT1/type=Battery", "BAT1/status=Discharging", "BAT1/capacity=12"});
        QCOMPARE(query(power), "0 12");
        tree.remove("class");
        QCOMPARE(query(power), "1 255");
        QVERIFY(QDir(tree.root()).removeRecursively());
        QCOMPARE(query(power), "failed");
    }
};

QTEST_GUILESS_MAIN(TestLinuxPowerStatus)
#include "tst_linuxpowerstatus.moc"
