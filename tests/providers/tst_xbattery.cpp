// Guards the battery provider over the Linux backend and a fake power-supply
// tree: text and icon by level, the warning table from the settings fired
// once per descent in table order, a failed read keeping the last report,
// the trace lines with the report at mask 1024, and one query end to end at
// the real /sys path under umockdev-run.
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include "../platform/fakedevicetree.h"
#include "iconcatalogue.h"
#include "linux/linuxbackend.h"
#include "tracelwrapper.h"
#include "vantelapi.h"
#include "vantelglobals.h"
#include "xbattery.h"
#include "xinisystem.h"

using namespace vantel::platform;

class TestXBattery : public QObject
{
    Q_OBJECT

    QTemporaryDir work;
    std::unique_ptr<FakeDeviceTree> tree;

    // Settings with the given [Battery] lines; the rest take their defaults.
    void loadSettings(const QByteArray& batteryLines)
    {
        const QString path = work.filePath("system.ini");
        QFile::remove(path);
        if (!batteryLines.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[Battery]\n" + batteryLines);
        }
        delete vantel_settings;
        vantel_settings = new XIniSystem;
        QCOMPARE(vantel_settings->xinisys_init(path), 0);
        QCOMPARE(vantel_settings->xini_load(true), 0);
    }

    void setPower(bool mains, const QByteArray& capacity)
    {
        tree->attribute("sys/class/power_supply/AC/type", "Mains");
        tree->attribute("sys/class/power_supply/AC/online", mains ? "1" : "0");
        tree->attribute("sys/class/power_supply/BAT0/type", "Battery");
        tree->attribute("sys/class/power_supply/BAT0/capacity", capacity);
    }

    // One query on battery at `percent`; the warnings it fired, as message numbers.
    QList<int> dischargeTo(XBattery& battery, int percent)
    {
        QSignalSpy spy(&battery, &XBattery::sig_Battery);
        setPower(false, QByteArray::number(percent));
        QString value, icon;
        if (battery.xbat_getStatus(value, icon) != XINFORET_OK)
            return {-99};
        QList<int> messages;
        for (const QList<QVariant>& signal : spy) {
            if (signal.at(0).toInt() != 801 || signal.at(2).toInt() != percent)
                return {-98};
            messages << signal.at(1).toInt();
        }
        return messages;
    }

private slots:
    void initTestCase()
    {
        QDir icons(work.filePath("icons"));
        QVERIFY(icons.mkpath("."));
        for (const char* name : {"null.svg", "battery_empty.svg", "battery_charge.svg", "battery_verylow.svg",
                                 "battery_low.svg", "battery_half.svg", "battery_high.svg", "battery_full.svg"}) {
            QFile file(icons.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        structVANTEL_PROGRAMDATA data;
        data.pathImages = icons.path();
        QVERIFY(vantel_buildIcons(vantel_icons, data));
    }

    void init()
    {
        tree = std::make_unique<FakeDeviceTree>();
        setPower(true, "40");
        installBackend(std::make_shared<LinuxBackend>((tree->root() + "/sys").toStdString(),
                                                      (tree->root() + "/proc").toStdString()));
        loadSettings(QByteArray());
    }

    void cleanup()
    {
        installBackend(nullptr);
        delete vantel_settings;
        vantel_settings = nullptr;
    }

    void onMainsShowsTheChargeIcon()
    {
        XBattery battery(nullptr);
        QSignalSpy spy(&battery, &XBattery::sig_Battery);
        QString value, icon;
        QCOMPARE(battery.xbat_getStatus(value, icon), int(XINFORET_OK));
        QCOMPARE(value, QStringLiteral("40%"));
        QCOMPARE(icon, vantel_iconPath(ICON_BATTERY_CHARGE));
        QVERIFY(icon.endsWith("/battery_charge.svg"));
        QCOMPARE(spy.count(), 0);
        QVERIFY(!battery.xbat_criticalStatus());
        bool onMains = false;
        QCOMPARE(battery.getBatteryLevel(onMains), 40);
        QVERIFY(onMains);
    }

    void iconByLevel_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("iconIndex");
        QTest::newRow("11") << 11 << int(ICON_BATTERY_VERYLOW);
        QTest::newRow("15") << 15 << int(ICON_BATTERY_VERYLOW);
        QTest::newRow("16") << 16 << int(ICON_BATTERY_LOW);
        QTest::newRow("25") << 25 << int(ICON_BATTERY_LOW);
        QTest::newRow("26") << 26 << int(ICON_BATTERY_HALF);
        QTest::newRow("50") << 50 << int(ICON_BATTERY_HALF);
        QTest::newRow("51") << 51 << int(ICON_BATTERY_HIGH);
        QTest::newRow("75") << 75 << int(ICON_BATTERY_HIGH);
        QTest::newRow("76") << 76 << int(ICON_BATTERY_FULL);
        QTest::newRow("100") << 100 << int(ICON_BATTERY_FULL);
    }

    void iconByLevel()
    {
        QFETCH(int, percent);
        QFETCH(int, iconIndex);
        XBattery battery(nullptr);
        setPower(false, QByteArray::number(percent));
        QString value, icon;
        QCOMPARE(battery.xbat_getStatus(value, icon), int(XINFORET_OK));
        QCOMPARE(value, QString::number(percent) + "%");
        QCOMPARE(icon, vantel_iconPath(iconIndex));
    }

    void tabletDischargingThroughEveryThreshold()
    {
        XBattery battery(nullptr); // defaults: 2 -> 139782, 5 -> 6594, 10 -> 6593
        QCOMPARE(dischargeTo(battery, 60), QList<int>());
        QCOMPARE(dischargeTo(battery, 11), QList<int>());
        QCOMPARE(dischargeTo(battery, 10), QList<int>({6593}));
        QVERIFY(battery.xbat_criticalStatus());
        QCOMPARE(dischargeTo(battery, 10), QList<int>());
        QCOMPARE(dischargeTo(battery, 9), QList<int>());
        QCOMPARE(dischargeTo(battery, 5), QList<int>({6594}));
        QCOMPARE(dischargeTo(battery, 3), QList<int>());
        QCOMPARE(dischargeTo(battery, 2), QList<int>({139782}));
        QCOMPARE(dischargeTo(battery, 0), QList<int>());
        QString value, icon;
        QCOMPARE(battery.xbat_getStatus(value, icon), int(XINFORET_OK));
        QCOMPARE(icon, vantel_iconPath(ICON_BATTERY_EMPTY));

        // Back on mains clears every row: the next descent warns again.
        setPower(true, "1");
        QCOMPARE(battery.xbat_getStatus(value, icon), int(XINFORET_OK));
        QCOMPARE(icon, vantel_iconPath(ICON_BATTERY_CHARGE));
        QVERIFY(!battery.xbat_criticalStatus());
        QCOMPARE(dischargeTo(battery, 9), QList<int>({6593}));
        // Above 10 % clears them too.
        QCOMPARE(dischargeTo(battery, 30), QList<int>());
        QVERIFY(!battery.xbat_criticalStatus());
        QCOMPARE(dischargeTo(battery, 10), QList<int>({6593}));
        // Straight from 10 % to 4 %: the 5 % row fires and the 10 % row is cleared.
        QCOMPARE(dischargeTo(battery, 4), QList<int>({6594}));
        QCOMPARE(dischargeTo(battery, 9), QList<int>({6593}));
    }

    void tableOrderDecides()
    {
        loadSettings("IND_BATTERY_SHUT_LEVEL=20\nIND_BATTERY_SHUT_MESSAGE=100\n"
                     "IND_BATTERY_WARN1_LEVEL=5\nIND_BATTERY_WARN1_MESSAGE=101\n"
                     "IND_BATTERY_WARN2_LEVEL=10\nIND_BATTERY_WARN2_MESSAGE=102\n"
                     "IND_BATTERY_WARN3_LEVEL=-1\nIND_BATTERY_WARN3_MESSAGE=103\n");
        XBattery battery(nullptr);
        // 15 is below 20, but the last enabled row (10) decides whether the level is critical.
        QVERIFY(!battery.xbat_criticalStatus(15));
        QCOMPARE(dischargeTo(battery, 15), QList<int>());
        // 8: the first row in table order whose threshold it reaches is row 0 (20).
        QVERIFY(battery.xbat_criticalStatus(8));
        QCOMPARE(dischargeTo(battery, 8), QList<int>({100}));
        QCOMPARE(dischargeTo(battery, 4), QList<int>());
        QCOMPARE(dischargeTo(battery, 15), QList<int>());
        QVERIFY(!battery.xbat_criticalStatus());
    }

    void allRowsDisabled()
    {
        loadSettings("IND_BATTERY_SHUT_LEVEL=-1\nIND_BATTERY_WARN1_LEVEL=-1\n"
                     "IND_BATTERY_WARN2_LEVEL=-1\nIND_BATTERY_WARN3_LEVEL=-1\n");
        XBattery battery(nullptr);
        for (int percent : {10, 5, 2, 0})
            QCOMPARE(dischargeTo(battery, percent), QList<int>());
        QString value, icon;
        QCOMPARE(battery.xbat_getStatus(value, icon), int(XINFORET_OK));
        QCOMPARE(icon, vantel_iconPath(ICON_BATTERY_VERYLOW));
    }

    void unknownPercentageKeepsTheIcon()
    {
        XBattery battery(nullptr);
        QCOMPARE(dischargeTo(battery, 60), QList<int>());
        tree->write("sys/class/power_supply/BAT0/capacity", "garbage\n");
        QSignalSpy spy(&battery, &XBattery::sig_Battery);
        QString value, icon;
        QCOMPARE(battery.xbat_getStatus(value, icon), int(XINFORET_OK));
        QCOMPARE(value, QStringLiteral("255%"));
        QCOMPARE(icon, vantel_iconPath(ICON_BATTERY_HIGH));
        QCOMPARE(spy.count(), 0);
    }

    void failedReadKeepsTheLastReport()
    {
        XBattery battery(nullptr);
        QString value, icon;
        QCOMPARE(battery.xbat_getStatus(value, icon), int(XINFORET_OK));
        tree->remove("sys");
        QString keptValue = value, keptIcon = icon;
        QCOMPARE(battery.xbat_getStatus(value, icon), int(XINFORET_FAIL));
        QCOMPARE(value, keptValue);
        QCOMPARE(icon, keptIcon);
        bool onMains = true;
        QCOMPARE(battery.getBatteryLevel(onMains), -1);
        QVERIFY(!onMains);
    }

    void realSysPathUnderUmockdev()
    {
        if (qEnvironmentVariableIsEmpty("UMOCKDEV_DIR")) {
            const QString runner = QStandardPaths::findExecutable("umockdev-run");
            if (runner.isEmpty())
                QSKIP("umockdev-run is not installed");
            QProcess child;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.remove("VANTEL_SYSFS_ROOT");
            env.insert("ASAN_OPTIONS", "verify_asan_link_order=0"); // umockdev preloads itself
            child.setProcessEnvironment(env);
            child.setProcessChannelMode(QProcess::MergedChannels);
            child.start(runner, {"-d", QStringLiteral(UMOCKDEV_LAPTOP), "--",
                                 QCoreApplication::applicationFilePath(), "realSysPathUnderUmockdev"});
            QVERIFY(child.waitForFinished(60000));
            const QByteArray output = child.readAll();
            if (child.exitCode() != 0)
                qWarning().noquote() << output;
            QCOMPARE(child.exitCode(), 0);
            QVERIFY(output.contains("PASS   : TestXBattery::realSysPathUnderUmockdev"));
            return;
        }
        installBackend(createNativeBackend()); // /sys, as umockdev fakes it
        XBattery battery(nullptr);
        QString value, icon;
        QCOMPARE(battery.xbat_getStatus(value, icon), int(XINFORET_OK));
        QCOMPARE(value, QStringLiteral("23%")); // 9 of 40 Wh, the mouse's 3 % not counted
        QCOMPARE(icon, vantel_iconPath(ICON_BATTERY_LOW));
    }

    void traceLines()
    {
        vantel_log = new Tracel;
        vantel_log->trc_open("tst_xbattery");
        XBattery battery(nullptr);
        QString value, icon;
        battery.xbat_getStatus(value, icon);
        tree->remove("sys");
        battery.xbat_getStatus(value, icon);
        delete vantel_log;
        vantel_log = nullptr;

        QFile log(QDir(qEnvironmentVariable("TRACEL_LOG_DIR")).filePath("tst_xbattery.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(log.readAll());
        const QString report = "[1024] [%1] getStatus report status:[-1] value:[40%] icon:[" + icon + "] ret:[%2]";
        const QStringList expected = {
            "[4096] [%1] [XBattery::xbat_getStatus] ---------------",
            "[4096] [%1] GetStatus() status:-1 old:0",
            "[4096] [%1] GetSignal() ok status:[-1] ret:OK",
            report.arg("%1", "0"),
            "[4096] [%1] [XBattery::xbat_getStatus] ---------------",
            "[4096] [%1] GetSystemPowerStatusEx2() failed with code:[0] ret:XINFORET_FAIL",
            report.arg("%1", "1"),
        };
        QStringList lines = text.split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines.size() >= expected.size());
        lines = lines.mid(lines.size() - expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            const QString tail = lines[i].mid(lines[i].indexOf(" [") + 1);
            const QString thread = tail.section(' ', 1, 1).mid(1).chopped(1);
            QCOMPARE(tail, expected[i].arg(thread));
        }
    }
};

QTEST_GUILESS_MAIN(TestXBattery)
#include "tst_xbattery.moc"
