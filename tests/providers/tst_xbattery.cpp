// Guards the battery provider over the Linux backend and a fake power-supply
// tree: icon by level at its boundaries, the warning table from the settings
// fired once per descent in table order, the trace lines a service engineer
// reads with what the caller gets (a failed read keeps the last report), and one
// query end to end at the real /sys path under umockdev-run.
#include <QSignalSpy>
#include <QtTest>

#include "fakedevicetree.h"
#include "indicator/iconcatalogue.h"
#include "linux/linuxbackend.h"
#include "testcatalogue.h"
#include "testlog.h"
#include "testsettings.h"
#include "vantelapi.h"
#include "xbattery.h"

using namespace vantel::platform;

class TestXBattery : public QObject
{
    Q_OBJECT

    QTemporaryDir work;
    std::unique_ptr<FakeDeviceTree> tree;

    void setPower(bool mains, const QString& capacity)
    {
        tree->supplies({"AC/type=Mains", mains ? "AC/online=1" : "AC/online=0", "BAT0/type=Battery",
                        "BAT0/capacity=" + capacity}, "sys/class/power_supply");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(installTestCatalogue(qEnvironmentVariable("VANTEL_SOURCE_DIR") + "/icons"));
        VANTEL_OpenLib();
    }

    void cleanupTestCase() { VANTEL_CloseLib(); }

    void init()
    {
        tree = std::make_unique<FakeDeviceTree>();
        setPower(true, "40");
        installBackend(std::make_shared<LinuxBackend>((tree->root() + "/sys").toStdString(),
                                                      (tree->root() + "/proc").toStdString()));
        QVERIFY(installTestSettings(work.filePath("system.ini"), QByteArray()));
    }

    void iconByLevel_data()
    {
        QTest::addColumn<bool>("mains");
        QTest::addColumn<QString>("capacity");
        QTest::addColumn<int>("iconIndex"); // after a query on battery at 60 % (high)
        const int levels[][2] = {{15, ICON_BATTERY_VERYLOW}, {16, ICON_BATTERY_LOW}, {25, ICON_BATTERY_LOW},
                                 {26, ICON_BATTERY_HALF},    {50, ICON_BATTERY_HALF}, {51, ICON_BATTERY_HIGH},
                                 {75, ICON_BATTERY_HIGH},    {76, ICON_BATTERY_FULL}, {100, ICON_BATTERY_FULL}};
        for (const auto& level : levels) {
            const QString percent = QString::number(level[0]);
            QTest::newRow(qPrintable(percent)) << false << percent << level[1];
        }
        QTest::newRow("mains") << true << "10" << int(ICON_BATTERY_CHARGE);
        QTest::newRow("unknown keeps the icon") << false << "garbage" << int(ICON_BATTERY_HIGH);
    }

    void iconByLevel()
    {
        QFETCH(bool, mains);
        QFETCH(QString, capacity);
        QFETCH(int, iconIndex);
        XBattery battery(nullptr);
        QString shown, icon;
        setPower(false, "60");
        QCOMPARE(battery.xbat_getStatus(shown, icon), int(XINFORET_OK));
        setPower(mains, capacity);
        QCOMPARE(battery.xbat_getStatus(shown, icon), int(XINFORET_OK));
        QCOMPARE(shown, (capacity == "garbage" ? QStringLiteral("255") : capacity) + "%");
        QCOMPARE(icon, vantel_iconPath(iconIndex));
    }

    void warnings_data()
    {
        QTest::addColumn<QList<int>>("levels"); // of rows 0 to 3, warning 100 + row; none: the defaults
        QTest::addColumn<QString>("steps");     // levels in turn ("m": on mains), "=N": the warning it fires
        QTest::addColumn<int>("lastIcon");
        // Defaults 2 -> 139782, 5 -> 6594, 10 -> 6593: once per descent; on
        // mains or above 10 % every row is cleared, straight from 10 % to 4 % the 10 % row.
        QTest::newRow("defaults") << QList<int>()
                                  << "60 11 10=6593 10 9 5=6594 3 2=139782 0 m 9=6593 30 10=6593 4=6594 9=6593"
                                  << int(ICON_BATTERY_EMPTY);
        // The last enabled row (10) decides whether a level is critical, the
        // first in table order that the level reaches which warning fires.
        QTest::newRow("table order") << QList<int>{20, 5, 10, -1} << "15 8=100 4 15 8=100" << int(ICON_BATTERY_EMPTY);
        QTest::newRow("all disabled") << QList<int>{-1, -1, -1, -1} << "10 5 2 0" << int(ICON_BATTERY_VERYLOW);
    }

    void warnings()
    {
        QFETCH(QList<int>, levels);
        QFETCH(QString, steps);
        QFETCH(int, lastIcon);
        QString table = "[Battery]\n";
        const char* const rows[] = {"SHUT", "WARN1", "WARN2", "WARN3"};
        for (int row = 0; row < levels.size(); ++row)
            table += QStringLiteral("IND_BATTERY_%1_LEVEL=%2\nIND_BATTERY_%1_MESSAGE=%3\n")
                         .arg(rows[row]).arg(levels[row]).arg(100 + row);
        QVERIFY(installTestSettings(work.filePath("system.ini"), table.toUtf8()));
        XBattery battery(nullptr);
        QSignalSpy spy(&battery, &XBattery::sig_Battery);
        QStringList seen;
        QString value, icon;
        for (const QString& step : steps.split(' ')) {
            const QString level = step.section('=', 0, 0);
            setPower(level == "m", level == "m" ? "1" : level);
            QCOMPARE(battery.xbat_getStatus(value, icon), int(XINFORET_OK));
            seen << level;
            for (const QList<QVariant>& warning : spy) {
                const bool asSent = warning.at(0).toInt() == XBAT_MSG_WARNING && warning.at(2).toString() == level;
                seen.last() += "=" + warning.at(1).toString() + (asSent ? "" : "?");
            }
            spy.clear();
        }
        QCOMPARE(seen.join(' '), steps);
        QCOMPARE(icon, vantel_iconPath(lastIcon));
    }

    void traceLines_data()
    {
        QTest::addColumn<bool>("readable"); // the second query's power supplies
        QTest::addColumn<QStringList>("lines"); // of the second query, at 4096
        QTest::addColumn<int>("ret");
        const QString header = QStringLiteral("[XBattery::xbat_getStatus] ---------------");
        QTest::newRow("a read") << true
                                << QStringList{header, "GetStatus() status:-1 old:-1", "GetSignal() ok status:[-1] ret:OK"}
                                << 0;
        QTest::newRow("a failed read")
            << false << QStringList{header, "GetSystemPowerStatusEx2() failed with code:[0] ret:XINFORET_FAIL"} << 1;
    }

    // The lines, the report at 1024, and what the caller gets: what the
    // report says, a failed read keeping the last one.
    void traceLines()
    {
        QFETCH(bool, readable);
        QFETCH(QStringList, lines);
        QFETCH(int, ret);
        XBattery battery(nullptr);
        QString value, icon;
        battery.xbat_getStatus(value, icon);
        if (!readable)
            tree->remove("sys");
        int got = -1;
        QStringList reports;
        QCOMPARE(tracedDuring(4096, [&] { reports = tracedDuring(1024, [&] { got = battery.xbat_getStatus(value, icon); }); }),
                 lines);
        const QString charge = vantel_iconPath(ICON_BATTERY_CHARGE);
        QCOMPARE(reports, QStringList{QStringLiteral("getStatus report status:[-1] value:[40%] icon:[%1] ret:[%2]").arg(charge).arg(ret)});
        QCOMPARE((QStringList{QString::number(got), value, icon}), (QStringList{QString::number(ret), "40%", charge}));
    }

    // CTest runs this alone under umockdev-run, with a laptop whose battery
    // holds 9 of 40 Wh and whose mouse battery is nearly empty.
    void realSysPathUnderUmockdev()
    {
        if (qEnvironmentVariableIsEmpty("UMOCKDEV_DIR"))
            QSKIP("runs under umockdev-run");
        installBackend(std::make_shared<LinuxBackend>("/sys", "/proc"));
        XBattery battery(nullptr);
        QString value, icon;
        QCOMPARE(battery.xbat_getStatus(value, icon), int(XINFORET_OK));
        QCOMPARE(value, QStringLiteral("23%")); // 9 of 40 Wh, the mouse's 3 % not counted
        QCOMPARE(icon, vantel_iconPath(ICON_BATTERY_LOW));
    }
};

QTEST_GUILESS_MAIN(TestXBattery)
#include "tst_xbattery.moc"
