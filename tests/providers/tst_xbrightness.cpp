// Guards the brightness provider over the Linux backend: a fake backlight
// (acpi_video0, firmware, maximum 1000) and AC line, logind from dbusmock with
// Session.SetBrightness on the session "auto", the scheme store under an
// empty XDG_CONFIG_HOME. Idle seconds come from the simulated tablet's last
// input, so the watchdog's 30 s are set, not waited for (the Linux idle time
// is guarded against Xvfb by tst_linuxlastinput). Covers steps and writes on
// clicks, values per power source, the watchdog, the lines of a tick and of a
// query, suspended timeouts, no backlight, no scheme, and type 12 (logind
// refusing or absent is tst_linuxmonitorbrightness's). Stores that are
// garbage are tst_linuxpowerscheme's: to the provider, failed reads.
#include <QApplication>
#include <QtTest>

#include "fakedevicetree.h"
#include "linux/linuxbackend.h"
#include "sim/simtablet.h"
#include "testcatalogue.h"
#include "testlog.h"
#include "testlogindsession.h"
#include "testpowerscheme.h"
#include "vantelapi.h"
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
    const int ret = provider.xscc_getStatus(value, icon);
    return value + ' ' + QFileInfo(icon).fileName() + (ret == XINFORET_OK ? "" : " not OK");
}

void click(XBrightness& provider, int times = 1)
{
    while (times-- > 0)
        provider.slt_InternalCommunication(XINFO_MSG_CLICKED, -1, -1);
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

    int stored(PowerLine line, const Guid& setting = GUID_DEVICE_POWER_POLICY_VIDEO_BRIGHTNESS) const
    {
        return testscheme::read(tablet->powerScheme(), line, setting);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(bus.start(), qPrintable(bus.error()));
        QVERIFY(installTestCatalogue(qEnvironmentVariable("VANTEL_SOURCE_DIR") + "/icons"));
        VANTEL_OpenLib();
    }

    void cleanupTestCase() { VANTEL_CloseLib(); }

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

        const QStringList icons{"brightness_low.svg", "brightness_half.svg", "brightness_high.svg",
                                "brightness_full.svg"};
        QStringList written;
        for (int step = 1; step <= 4; ++step) {
            click(brightness);
            written << QStringLiteral("acpi_video0=%1").arg(250 * step);
            QCOMPARE(calls(), written);
            QCOMPARE(stored(PowerLine::AC), 25 * step);
            QCOMPARE(status(brightness), QString::number(25 * step) + "% " + icons[step - 1]);
        }
        brightness.slt_InternalCommunication(XINFO_MSG_CLICKED + 1, -1, -1); // not a click
        click(brightness);
        QCOMPARE(calls().size(), 5);
        XBrightness later(nullptr);
        QCOMPARE(status(later), "25% brightness_low.svg");
    }

    void stepOfStoredValue_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("0") << 0 << "25% brightness_low.svg";
        QTest::newRow("26") << 26 << "50% brightness_half.svg";
        QTest::newRow("60") << 60 << "75% brightness_high.svg";
        QTest::newRow("above 100") << 101 << "25% brightness_low.svg";
    }

    void stepOfStoredValue()
    {
        QFETCH(int, value);
        testscheme::write(tablet->powerScheme(), PowerLine::AC, std::uint32_t(value));
        XBrightness brightness(nullptr);
        QTEST(status(brightness), "shown");
    }

    void valuesPerPowerSource()
    {
        XBrightness brightness(nullptr);
        click(brightness, 2);
        setMains(false);
        QCOMPARE(status(brightness), "100% brightness_full.svg");
        click(brightness);
        QCOMPARE(stored(PowerLine::DC), 25);
        setMains(true);
        QCOMPARE(status(brightness), "50% brightness_half.svg");
        QCOMPARE(calls(), QStringList({"acpi_video0=250", "acpi_video0=500", "acpi_video0=250"}));
    }

    // Dimming at 31 s on battery.
    void watchdogDimsAndRestores()
    {
        setMains(false);
        tablet->idle.setTickCount(5000); // the input came before the clock wrapped
        XBrightness brightness(nullptr);
        for (const std::uint32_t idle : {0, 29, 31, 45}) {
            tablet->idle.setIdleSeconds(idle);
            brightness.slt_InactivityWatchdog();
        }
        QCOMPARE(calls(), QStringList{"acpi_video0=100"});
        QCOMPARE(stored(PowerLine::DC), 10);
        QCOMPARE(status(brightness), "25% brightness_low.svg");

        // Input on mains leaves battery's record dimmed until input is seen there.
        setMains(true);
        tablet->idle.setIdleSeconds(0);
        brightness.slt_InactivityWatchdog();
        QCOMPARE(calls().size(), 1);
        setMains(false);
        brightness.slt_InactivityWatchdog();
        QCOMPARE(calls(), QStringList({"acpi_video0=100", "acpi_video0=600"}));
        QCOMPARE(stored(PowerLine::DC), 60);
        QCOMPARE(stored(PowerLine::AC), -1);
    }

    // A watchdog tick writes the idle seconds at 512; neither a tick nor a
    // status query writes a header or a report.
    void traceLines_data()
    {
        QTest::addColumn<int>("idle"); // seconds at a watchdog tick; -1: a status query
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("status query") << -1 << QStringList();
        QTest::newRow("tick, kept") << 29 << QStringList{QStringLiteral("BBB Secondi di inattività:29")};
        QTest::newRow("tick, dimming") << 31 << QStringList{QStringLiteral("BBB Secondi di inattività:31")};
    }

    void traceLines()
    {
        QFETCH(int, idle);
        setMains(false);
        XBrightness brightness(nullptr);
        const auto act = [&] {
            if (idle < 0) {
                status(brightness);
                return;
            }
            tablet->idle.setIdleSeconds(std::uint32_t(idle));
            brightness.slt_InactivityWatchdog();
        };
        QStringList headers, reports;
        const QStringList idleLines =
            tracedDuring(512, [&] { headers = tracedDuring(4096, [&] { reports = tracedDuring(1024, act); }); });
        QCOMPARE(headers + reports, QStringList());
        QTEST(idleLines, "lines");
    }

    void timeoutsSuspendedAndRestored()
    {
        // Display-off on mains and battery, then sleep on mains and battery.
        const QList<int> before{300, 120, 1800, 600};
        const auto timeouts = [&] {
            QList<int> values;
            for (const Guid& setting : {GUID_VIDEO_POWERDOWN_TIMEOUT, GUID_STANDBY_TIMEOUT})
                values << stored(PowerLine::AC, setting) << stored(PowerLine::DC, setting);
            return values;
        };
        for (int i = 0; i < 4; ++i)
            testscheme::write(tablet->powerScheme(), i % 2 ? PowerLine::DC : PowerLine::AC, std::uint32_t(before[i]),
                              i < 2 ? GUID_VIDEO_POWERDOWN_TIMEOUT : GUID_STANDBY_TIMEOUT);
        XBrightness brightness(nullptr);
        brightness.stopScreenOff();
        brightness.stopScreenOff(); // keeps the first saved values
        QCOMPARE(timeouts(), QList<int>({0, 0, 1800, 600}));
        tablet->idle.setIdleSeconds(60);
        brightness.slt_InactivityWatchdog();
        QCOMPARE(calls(), QStringList()); // never dims while the screen is kept on

        brightness.stopStandBy();
        QCOMPARE(timeouts(), QList<int>({0, 0, 0, 0}));
        brightness.restoreScreenOff();
        brightness.restoreStandBy();
        brightness.restoreStandBy();
        QCOMPARE(timeouts(), before);
        brightness.slt_InactivityWatchdog();
        QCOMPARE(calls(), QStringList{"acpi_video0=100"});
    }

    // No backlight: the scheme still takes the steps; the watchdog finds no brightness to put back.
    void noBacklight()
    {
        XBrightness brightness(nullptr);
        click(brightness);
        tree->remove("class/backlight");
        click(brightness);
        QCOMPARE(stored(PowerLine::AC), 50);
        for (const std::uint32_t idle : {40, 0}) {
            tablet->idle.setIdleSeconds(idle);
            brightness.slt_InactivityWatchdog();
            QCOMPARE(stored(PowerLine::AC), 10);
        }
    }

    void withoutScheme()
    {
        auto sim = std::make_shared<SimTablet>();
        installBackend(sim);
        sim->simScheme().setSchemeReadable(false);
        QTest::ignoreMessage(QtWarningMsg, "XBacklight::initialize Errore inizializzazione Classe luminosità!!!");
        XBrightness brightness(nullptr);
        QCOMPARE(status(brightness), "100% brightness_full.svg");
        click(brightness);
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
