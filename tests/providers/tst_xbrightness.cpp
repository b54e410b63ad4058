// Guards the brightness provider over the Linux backend: a fake backlight
// (acpi_video0, firmware, maximum 1000) and AC line, logind from dbusmock on
// a private bus with Session.SetBrightness on the session "auto", the scheme
// store under an empty XDG_CONFIG_HOME. The idle seconds come from the
// simulated tablet's last input, so the watchdog's 30 seconds are not waited
// out (the Linux idle time itself is guarded against Xvfb in
// tst_linuxlastinput). Covers the steps shown and written on clicks, values
// per power source, the watchdog, the timeout suspensions, the trace, and
// logind absent, no backlight, a garbage store, no scheme at all, and the
// indicator of type 12.
#include <QApplication>
#include <QtTest>

#include "fakedevicetree.h"
#include "linux/linuxbackend.h"
#include "sim/simtablet.h"
#include "testcatalogue.h"
#include "testlog.h"
#include "testlogindsession.h"
#include "testsystembus.h"
#include "tracelwrapper.h"
#include "xbrightness.h"
#include "xindicator.h"
#include "xinfo.h"

using namespace vantel::platform;

namespace {

// The real machine, but for the idle time, which the test sets.
class TabletWithSetIdle : public LinuxBackend
{
public:
    using LinuxBackend::LinuxBackend;
    LastInput& lastInput() override { return idle; }
    SimLastInput idle;
};

QString status(XBrightness& provider)
{
    QString value, icon;
    if (provider.xscc_getStatus(value, icon) != XINFORET_OK)
        return "not OK";
    return value + ' ' + QFileInfo(icon).fileName();
}

} // namespace

class TestXBrightness : public QObject
{
    Q_OBJECT

    TestSystemBus bus;
    std::unique_ptr<QTemporaryDir> config;
    std::unique_ptr<FakeDeviceTree> tree;
    std::shared_ptr<TabletWithSetIdle> tablet;

    void setMains(bool online) { tree->attribute("class/power_supply/AC/online", online ? "1" : "0"); }

    QStringList calls() const { return testlogind::setBrightnessCalls(bus); }

    // The scheme's value of `setting` on `line`, -1 when none was written.
    int stored(PowerLine line, const Guid& subgroup = GUID_VIDEO_SUBGROUP,
               const Guid& setting = GUID_DEVICE_POWER_POLICY_VIDEO_BRIGHTNESS) const
    {
        std::uint32_t value = 0;
        return tablet->powerScheme().readValueIndex(line, GUID_TYPICAL_POWER_SAVINGS, subgroup, setting, value)
                       == ERROR_SUCCESS
                   ? int(value)
                   : -1;
    }

    void store(PowerLine line, const Guid& subgroup, const Guid& setting, std::uint32_t value)
    {
        QCOMPARE(tablet->powerScheme().writeValueIndex(line, GUID_TYPICAL_POWER_SAVINGS, subgroup, setting, value),
                 std::uint32_t(ERROR_SUCCESS));
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(bus.start(), qPrintable(bus.error()));
        QVERIFY(installTestCatalogue(qEnvironmentVariable("VANTEL_SOURCE_DIR") + "/icons"));
    }

    void init()
    {
        QVERIFY2(testlogind::startWithSession(bus), qPrintable(bus.error()));
        config = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", config->path().toUtf8());
        tree = std::make_unique<FakeDeviceTree>();
        tree->supplies({"AC/type=Mains", "AC/online=1"}, "class/power_supply");
        tree->supplies({"acpi_video0/type=firmware", "acpi_video0/max_brightness=1000",
                        "acpi_video0/actual_brightness=600", "acpi_video0/brightness=600"},
                       "class/backlight");
        tablet = std::make_shared<TabletWithSetIdle>(tree->root().toStdString(), "/proc");
        installBackend(tablet);
    }

    void freshStoreAndClicks()
    {
        XBrightness brightness(nullptr);
        QCOMPARE(status(brightness), "100% brightness_full.svg");
        QCOMPARE(calls(), QStringList());
        QVERIFY(!QFile::exists(config->filePath("vantel/powerscheme.conf")));

        const QStringList shown{"25% brightness_low.svg", "50% brightness_half.svg", "75% brightness_high.svg",
                                "100% brightness_full.svg"};
        QStringList written;
        for (int step = 0; step < 4; ++step) {
            brightness.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
            written << QStringLiteral("acpi_video0=%1").arg(250 * (step + 1));
            QCOMPARE(calls(), written);
            QCOMPARE(stored(PowerLine::AC), 25 * (step + 1));
            QCOMPARE(status(brightness), shown[step]);
        }
        brightness.slt_InternalCommunication(XINFO_MSG_CLICKED + 1, -1, -1); // not a click
        brightness.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
        QCOMPARE(calls().size(), 5);
        QCOMPARE(stored(PowerLine::DC), -1);

        XBrightness later(nullptr);
        QCOMPARE(status(later), "25% brightness_low.svg");
    }

    void stepOfStoredValue_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("0") << 0 << "25% brightness_low.svg";
        QTest::newRow("25") << 25 << "25% brightness_low.svg";
        QTest::newRow("26") << 26 << "50% brightness_half.svg";
        QTest::newRow("60") << 60 << "75% brightness_high.svg";
        QTest::newRow("above 100") << 101 << "25% brightness_low.svg";
    }

    void stepOfStoredValue()
    {
        QFETCH(int, value);
        QFETCH(QString, shown);
        store(PowerLine::AC, GUID_VIDEO_SUBGROUP, GUID_DEVICE_POWER_POLICY_VIDEO_BRIGHTNESS, std::uint32_t(value));
        XBrightness brightness(nullptr);
        QCOMPARE(status(brightness), shown);
    }

    void valuesPerPowerSource()
    {
        XBrightness brightness(nullptr);
        brightness.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
        brightness.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
        setMains(false);
        QCOMPARE(status(brightness), "100% brightness_full.svg");
        brightness.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
        QCOMPARE(stored(PowerLine::DC), 25);
        setMains(true);
        QCOMPARE(status(brightness), "50% brightness_half.svg");
        QCOMPARE(stored(PowerLine::AC), 50);
        QCOMPARE(calls(), QStringList({"acpi_video0=250", "acpi_video0=500", "acpi_video0=250"}));
    }

    void watchdogDimsAndRestores()
    {
        QFile::remove(testLogFile());
        vantel_log = new Tracel;
        vantel_log->trc_open("vantel.dll");
        setMains(false);
        tablet->idle.setTickCount(5000); // the input was before the clock wrapped
        XBrightness brightness(nullptr);
        const auto pass = [&](std::uint32_t idleSeconds) {
            tablet->idle.setIdleSeconds(idleSeconds);
            brightness.slt_InactivityWatchdog();
        };
        pass(0);
        pass(29);
        QCOMPARE(calls(), QStringList());
        pass(31);
        QCOMPARE(calls(), QStringList{"acpi_video0=100"});
        QCOMPARE(stored(PowerLine::DC), 10);
        QCOMPARE(status(brightness), "25% brightness_low.svg");
        pass(45);
        QCOMPARE(calls().size(), 1);

        // On mains with input, battery's record stays dimmed until input is seen there.
        setMains(true);
        pass(0);
        QCOMPARE(calls().size(), 1);
        setMains(false);
        pass(2);
        QCOMPARE(calls(), QStringList({"acpi_video0=100", "acpi_video0=600"}));
        QCOMPARE(stored(PowerLine::DC), 60);
        QCOMPARE(stored(PowerLine::AC), -1);
        QCOMPARE(status(brightness), "75% brightness_high.svg");

        delete vantel_log;
        vantel_log = nullptr;
        QCOMPARE(testLogTexts(512), QStringList({"BBB Secondi di inattività:0", "BBB Secondi di inattività:29",
                                                 "BBB Secondi di inattività:31",
                                                 "BBB Secondi di inattività:45", "BBB Secondi di inattività:0",
                                                 "BBB Secondi di inattività:2"}));
        QCOMPARE(testLogTexts(4096) + testLogTexts(1024), QStringList()); // no status trace
    }

    void timeoutsSuspendedAndRestored()
    {
        const Guid& video = GUID_VIDEO_SUBGROUP;
        const Guid& sleep = GUID_SLEEP_SUBGROUP;
        store(PowerLine::AC, video, GUID_VIDEO_POWERDOWN_TIMEOUT, 300);
        store(PowerLine::DC, video, GUID_VIDEO_POWERDOWN_TIMEOUT, 120);
        store(PowerLine::AC, sleep, GUID_STANDBY_TIMEOUT, 1800);
        store(PowerLine::DC, sleep, GUID_STANDBY_TIMEOUT, 600);
        const auto timeouts = [&] {
            return QList<int>{stored(PowerLine::AC, video, GUID_VIDEO_POWERDOWN_TIMEOUT),
                              stored(PowerLine::DC, video, GUID_VIDEO_POWERDOWN_TIMEOUT),
                              stored(PowerLine::AC, sleep, GUID_STANDBY_TIMEOUT),
                              stored(PowerLine::DC, sleep, GUID_STANDBY_TIMEOUT)};
        };
        XBrightness brightness(nullptr);
        brightness.stopScreenOff();
        brightness.stopScreenOff(); // no second save
        QCOMPARE(timeouts(), QList<int>({0, 0, 1800, 600}));
        tablet->idle.setIdleSeconds(60);
        brightness.slt_InactivityWatchdog();
        QCOMPARE(calls(), QStringList()); // never dims while the screen is kept on

        brightness.stopStandBy();
        QCOMPARE(timeouts(), QList<int>({0, 0, 0, 0}));
        brightness.restoreScreenOff();
        QCOMPARE(timeouts(), QList<int>({300, 120, 0, 0}));
        brightness.restoreStandBy();
        brightness.restoreStandBy();
        QCOMPARE(timeouts(), QList<int>({300, 120, 1800, 600}));
        brightness.slt_InactivityWatchdog();
        QCOMPARE(calls(), QStringList{"acpi_video0=100"});
    }

    void logindAbsentNoBacklightGarbageStore()
    {
        QVERIFY(bus.stopTemplate("logind"));
        XBrightness brightness(nullptr);
        brightness.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
        QFile sysfs(tree->root() + "/class/backlight/acpi_video0/brightness");
        QVERIFY(sysfs.open(QIODevice::ReadOnly));
        QCOMPARE(sysfs.readAll(), QByteArray("250\n"));

        // No backlight: the scheme still takes the steps, nothing dims the screen.
        tree->remove("class/backlight");
        brightness.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
        QCOMPARE(stored(PowerLine::AC), 50);
        tablet->idle.setIdleSeconds(40);
        brightness.slt_InactivityWatchdog();
        QCOMPARE(stored(PowerLine::AC), 10);
        tablet->idle.setIdleSeconds(0);
        brightness.slt_InactivityWatchdog(); // the brightness it saved was none: nothing to put back
        QCOMPARE(status(brightness), "25% brightness_low.svg");

        QFile garbage(config->filePath("vantel/powerscheme.conf"));
        QVERIFY(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate));
        garbage.write(QByteArray("\0\x01\xfe garbage AC 75\n", 19));
        garbage.close();
        QCOMPARE(status(brightness), "100% brightness_full.svg");
        brightness.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
        XBrightness reader(nullptr);
        QCOMPARE(status(reader), "25% brightness_low.svg");
    }

    void withoutScheme()
    {
        auto sim = std::make_shared<SimTablet>();
        installBackend(sim);
        sim->simScheme().setSchemeReadable(false);
        QTest::ignoreMessage(QtWarningMsg, "XBacklight::initialize Errore inizializzazione Classe luminosità!!!");
        XBrightness brightness(nullptr);
        QCOMPARE(status(brightness), "100% brightness_full.svg");
        brightness.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
        sim->simInput().setIdleSeconds(60);
        brightness.slt_InactivityWatchdog();
        brightness.stopScreenOff();
        QCOMPARE(sim->simBacklight().currentBrightness(), 80);
        QCOMPARE(sim->simScheme().activations(), 0);
    }

    void indicatorOfType12()
    {
        XInfo indicator;
        indicator.xinfo_init(IND_TYPE_BRIGHTNESS, XINFO_MODE_TEXT);
        QVERIFY(indicator.findChild<XBrightness*>());
        indicator.xinfo_setEnable(true);
        indicator.xinfo_getStatus(false);
        QCOMPARE(indicator.xinfo_getDesc(), "100%");
        indicator.xinfo_getWidget()->click();
        QCOMPARE(calls(), QStringList{"acpi_video0=250"});
        indicator.xinfo_getStatus(false);
        QCOMPARE(indicator.xinfo_getDesc(), "25%");
    }
};

QTEST_MAIN(TestXBrightness)
#include "tst_xbrightness.moc"
