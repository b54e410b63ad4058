// Guards the Wi-Fi provider and its WLAN client on the fake NetworkManager
// (python3-dbusmock on a private system bus): radio off by either switch, on
// and not connected, the icon at every signal boundary, an unchanged signal, a
// first poll at signal 0, one sig_wifiUpdate per radio change, a saved network
// counted once and connected only on its BSSID, the interface not ready, the
// lines of a poll in each state, and NetworkManager missing, coming later and
// restarted under an open client.
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include "classwifi/cwifi.h"
#include "indicator/iconcatalogue.h"
#include "library/librarycontext.h"
#include "library/vantelglobals.h"
#include "testcatalogue.h"
#include "testlog.h"
#include "testnetworkmanager.h"
#include "testsystembus.h"
#include "vantelapi.h"
#include "xinfodata.h"
#include "xwifi.h"

class TestXWifi : public QObject
{
    Q_OBJECT

    TestSystemBus bus;
    TestNetworkManager nm{bus};
    std::unique_ptr<XWifi> provider;
    std::unique_ptr<QSignalSpy> updates;
    QString value;
    QString icon;

    void make()
    {
        provider = std::make_unique<XWifi>(nullptr);
        updates = std::make_unique<QSignalSpy>(provider.get(), SIGNAL(sig_wifiUpdate(bool)));
    }
    int poll() { return provider->xwifi_getStatus(value, icon); }
    // What the client answers now: "1 -1" radio off, "2 -1" not connected, "3 <signal>".
    QString seen()
    {
        int level = 0;
        const int state = provider->xwifi_getLevel(level);
        return QStringLiteral("%1 %2").arg(state).arg(level);
    }
    QString emitted() const
    {
        QStringList list;
        for (const QList<QVariant>& update : *updates)
            list << (update.at(0).toBool() ? "on" : "off");
        return list.join(' ');
    }
    // wlan0 with Home at `strength`, connected when asked; the access point's path.
    QString home(int strength, bool connected)
    {
        if (nm.addWifiDevice().isEmpty())
            return QString();
        const QString ap = nm.addAccessPoint("Home", "00:11:22:33:44:01", strength);
        return !ap.isEmpty() && (!connected || nm.connectTo("Home", ap)) ? ap : QString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(bus.start(), qPrintable(bus.error()));
        QVERIFY(installTestCatalogue(qEnvironmentVariable("VANTEL_SOURCE_DIR") + "/icons"));
        QFile::remove(testLogFile());
        VANTEL_OpenLib();
    }

    void cleanupTestCase() { VANTEL_CloseLib(); }

    void init()
    {
        LibraryContext::restoreLoadState();
        nm.setPace(0);
        QVERIFY2(nm.start(), qPrintable(nm.error()));
    }

    void cleanup()
    {
        updates.reset();
        provider.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The first polls as the library starts: radio off by either switch (no
    // update: off already), on and not connected, connected at signal 0, and
    // the interface not ready; what the WLAN client counts then.
    void firstPolls_data()
    {
        QTest::addColumn<int>("deviceState");  // NetworkManager's
        QTest::addColumn<int>("strength");     // of Home; -1: at 60, not connected
        QTest::addColumn<QString>("radioOff"); // the switch turned off
        QTest::addColumn<QString>("networks"); // the client's count and connected index
        QTest::addColumn<QList<int>>("results");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("iconId");
        QTest::addColumn<QString>("emitted");
        const QList<int> off{HARDWARE_OFF};
        QTest::newRow("software switch") << 30 << 60 << "WirelessEnabled" << "0 -1" << off << "" << int(ICON_NULL) << "";
        QTest::newRow("hardware switch") << 30 << 60 << "WirelessHardwareEnabled" << "0 -1" << off << "" << int(ICON_NULL)
                                         << "";
        QTest::newRow("on, not connected") << 30 << -1 << "" << "1 -1" << QList<int>{XINFORET_OK, XINFORET_OK} << "ON"
                                           << int(ICON_WIFI_ON) << "on";
        QTest::newRow("signal 0") << 30 << 0 << "" << "1 0" << QList<int>{STATUS_UNCHANGED} << "" << int(ICON_NULL)
                                  << "on";
        QTest::newRow("interface not ready") << 20 << -1 << "" << "0 -1" << QList<int>{XINFORET_OK} << "ON"
                                             << int(ICON_WIFI_ON) << "on";
    }

    void firstPolls()
    {
        QFETCH(int, deviceState);
        QFETCH(int, strength);
        QFETCH(QString, radioOff);
        QFETCH(QList<int>, results);
        QFETCH(int, iconId);
        QVERIFY2(!nm.addWifiDevice("wlan0", deviceState).isEmpty(), qPrintable(nm.error()));
        const QString ap = nm.addAccessPoint("Home", "00:11:22:33:44:01", strength < 0 ? 60 : strength);
        QVERIFY2(!ap.isEmpty() && (strength < 0 || nm.connectTo("Home", ap)), qPrintable(nm.error()));
        if (!radioOff.isEmpty())
            QVERIFY(nm.setManager(radioOff, false));
        Cwifi client{QString()};
        QVERIFY(client.isOpen());
        QTEST(QStringLiteral("%1 %2").arg(client.NetworkCount()).arg(client.CurrentConnectedIndex()), "networks");
        make();
        for (int expected : results) {
            QCOMPARE(poll(), expected);
            QTEST(value, "value");
            QCOMPARE(icon, vantel_iconPath(iconId));
        }
        QTEST(emitted(), "emitted");
    }

    void iconAtEverySignalBoundary()
    {
        const QString ap = home(10, true);
        QVERIFY2(!ap.isEmpty(), qPrintable(nm.error()));
        make();
        const int boundaries[][2] = {{25, ICON_WIFI_VERYLOW}, {26, ICON_WIFI_LOW}, {50, ICON_WIFI_LOW},
                                     {51, ICON_WIFI_HALF},    {75, ICON_WIFI_HALF}, {76, ICON_WIFI_HIGH},
                                     {100, ICON_WIFI_HIGH}};
        for (const auto& boundary : boundaries) {
            const QString signal = QString::number(boundary[0]);
            QVERIFY(nm.setStrength(ap, boundary[0]));
            QTRY_COMPARE(seen(), "3 " + signal);
            QCOMPARE(poll(), int(XINFORET_OK));
            QCOMPARE(value, signal);
            QCOMPARE(icon, vantel_iconPath(boundary[1]));
            // Unchanged: the stored report is handed out again.
            value.clear();
            icon.clear();
            QCOMPARE(poll(), int(STATUS_UNCHANGED));
            QCOMPARE(value, signal);
            QCOMPARE(icon, vantel_iconPath(boundary[1]));
        }
    }

    // The lines of one poll in each state of the radio and the connection.
    void traceLines_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<QStringList>("lines");
        const QString header = QStringLiteral("[XWifi::xwifi_getStatus] ---------------");
        const QString veryLow = vantel_iconPath(ICON_WIFI_VERYLOW);
        QTest::newRow("radio off") << "off"
                                   << QStringList{header, "xwifi_getStatus hardware is off ret: HARDWARE_OFF",
                                                  testStatusReport("-1", "", vantel_iconPath(ICON_NULL), 4)};
        QTest::newRow("not connected") << "not connected"
                                       << QStringList{header, "CurrentConnectedIndex() index:-1",
                                                      "xwifi_getStatus Not connected ret: OK",
                                                      testStatusReport("-1", "ON", vantel_iconPath(ICON_WIFI_ON), 0)};
        QTest::newRow("new signal") << "new"
                                    << QStringList{header, "CurrentConnectedIndex() index:0", "GetSignal() signal:25 old:0",
                                                   "xwifi_getStatus ret: OK", testStatusReport("25", "25", veryLow, 0)};
        QTest::newRow("same signal") << "same"
                                     << QStringList{header, "CurrentConnectedIndex() index:0",
                                                    "GetSignal() signal:25 old:25", "signal no change ret:STATUS_UNCHANGED",
                                                    testStatusReport("25", "25", veryLow, 2)};
    }

    void traceLines()
    {
        QFETCH(QString, situation);
        QVERIFY2(!home(25, situation != "not connected").isEmpty(), qPrintable(nm.error()));
        if (situation == "off")
            QVERIFY(nm.setManager("WirelessEnabled", false));
        make();
        if (situation == "same")
            poll();
        QTEST(tracedDuring(4096, [this] { poll(); }), "lines");
    }

    void radioOffAndOnAgain()
    {
        QVERIFY2(!home(60, true).isEmpty(), qPrintable(nm.error()));
        make();
        QCOMPARE(poll(), int(XINFORET_OK));
        QVERIFY(nm.setManager("WirelessEnabled", false));
        QTRY_COMPARE(seen(), QStringLiteral("1 -1"));
        QCOMPARE(poll(), int(HARDWARE_OFF));
        QCOMPARE(poll(), int(HARDWARE_OFF));
        QVERIFY(nm.setManager("WirelessEnabled", true));
        QTRY_COMPARE(seen(), QStringLiteral("3 60"));
        QCOMPARE(poll(), int(XINFORET_OK));
        QCOMPARE(poll(), int(STATUS_UNCHANGED));
        QCOMPARE(emitted(), QStringLiteral("on off on"));
    }

    void savedNetworkCountedOnceConnectedByBssid()
    {
        QVERIFY2(!nm.addWifiDevice().isEmpty(), qPrintable(nm.error()));
        nm.addAccessPoint("Home", "00:11:22:33:44:01", 60, 2437);
        const QString associated = nm.addAccessPoint("Home", "00:11:22:33:44:02", 30, 5180);
        nm.addAccessPoint("Office", "00:11:22:33:44:03", 40, 2412);
        QVERIFY2(nm.connectTo("Home", associated), qPrintable(nm.error()));
        Cwifi client{QString()};
        QVERIFY(client.isOpen());
        QCOMPARE(client.NetworkCount(), 2);
        const int index = client.CurrentConnectedIndex();
        QCOMPARE(client.NetworkSSID(index), QStringLiteral("Home"));
        QCOMPARE(client.ConnectedSSID(), QStringLiteral("Home"));
        QCOMPARE(client.GetSignal(index), 30); // the BSS it is associated with, not the strongest
        DOT11_SSID office{6, {'O', 'f', 'f', 'i', 'c', 'e'}};
        DOT11_SSID elsewhere{4, {'N', 'o', 'n', 'e'}};
        QCOMPARE(client.IsSSIDAbsent(&office), 0);
        QCOMPARE(client.IsSSIDAbsent(&elsewhere), 1);
        QVERIFY(client.NetworkPixmap(2).isNull());

        // The next refresh paints the bars: green up to the signal.
        QVERIFY(nm.scanned());
        QTRY_COMPARE(client.NetworkPixmap(index).toImage().pixelColor(1, 3), QColor(Qt::green));
        const QImage bar = client.NetworkPixmap(index).toImage();
        QVERIFY(bar.pixelColor(bar.width() - 3, 3) != QColor(Qt::green));

        QVERIFY(nm.set(nm.devicePath(), TestNetworkManager::wireless, "ActiveAccessPoint",
                       QVariant::fromValue(QDBusObjectPath("/"))));
        QVERIFY(nm.scanned());
        QTRY_COMPARE(client.CurrentConnectedIndex(), -1);
        QCOMPARE(client.NetworkCount(), 2);
    }

    // A scan storm (a strength changing every 20 ms for 10 s) queues at most
    // one refresh on the GUI thread per 100 ms, and the last value arrives.
    void scanStormIsCoalesced()
    {
        const QString ap = home(10, true);
        QVERIFY2(!ap.isEmpty(), qPrintable(nm.error()));
        Cwifi client{QString()};
        // Counted in this thread, as a host's slot sees them: the signal
        // comes from the follower's thread, which a spy would share its list with.
        int refreshes = 0;
        QObject counter;
        QObject::connect(&client, &Cwifi::WifiEndScan, &counter, [&refreshes] { ++refreshes; });
        int strength = 10;
        QTimer storm;
        QObject::connect(&storm, &QTimer::timeout, [&] { nm.setStrength(ap, strength = strength % 90 + 1); });
        QElapsedTimer clock;
        clock.start();
        storm.start(20);
        QTest::qWait(10000);
        storm.stop();
        const qint64 took = clock.elapsed();
        QTRY_COMPARE(client.GetSignal(client.CurrentConnectedIndex()), strength);
        QVERIFY2(refreshes <= took / 100 + 2, qPrintable(QStringLiteral("%1 refreshes in %2 ms").arg(refreshes).arg(took)));
    }

    void radioSwitchAndScanFromTheClient()
    {
        QVERIFY2(!home(60, true).isEmpty(), qPrintable(nm.error()));
        Cwifi client{QString()};
        QVERIFY(client.Scan());
        QTRY_COMPARE(nm.calls(nm.devicePath(), "RequestScan"), 1);
        QVERIFY(client.SetRadio(false));
        QCOMPARE(nm.get("/org/freedesktop/NetworkManager", "org.freedesktop.NetworkManager", "WirelessEnabled"),
                 QVariant(false));
        QTRY_VERIFY(!client.IsRadioOn());
        QVERIFY(!client.Scan());
    }

    void withoutNetworkManagerThenLater()
    {
        QVERIFY2(nm.stop(), qPrintable(nm.error()));
        QElapsedTimer clock;
        clock.start();
        make();
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        clock.restart();
        for (int i = 0; i < 100; ++i)
            QCOMPARE(poll(), int(HARDWARE_OFF));
        QVERIFY2(clock.elapsed() < 100, qPrintable(QString::number(clock.elapsed()))); // no bus wait in a poll

        QVERIFY2(nm.start(), qPrintable(nm.error()));
        QVERIFY2(!home(55, true).isEmpty(), qPrintable(nm.error()));
        QTRY_COMPARE(seen(), QStringLiteral("3 55"));
        QCOMPARE(poll(), int(XINFORET_OK));
        QCOMPARE(value, QStringLiteral("55"));
    }

    // NetworkManager killed while connected at 80 % and started again with
    // the access point at 30 %: it takes its name first and brings its
    // objects up over more than a second, under new paths or, as the daemon
    // numbers them, under paths of the daemon before that now name other
    // objects (a neighbour at 80 % has the old access point's path). No poll
    // on the way tells what the old daemon said, and the first poll after
    // the last value came tells what the new one says, and the new daemon's
    // changes reach the client.
    void restartedNetworkManagerReportedAtOnce_data()
    {
        QTest::addColumn<bool>("numberFromOne");
        QTest::newRow("new paths") << false;
        QTest::newRow("paths numbered from one again") << true;
    }

    void restartedNetworkManagerReportedAtOnce()
    {
        QFETCH(bool, numberFromOne);
        QVERIFY2(!home(80, true).isEmpty(), qPrintable(nm.error()));
        make();
        QCOMPARE(poll(), int(XINFORET_OK));
        QCOMPARE(value, QStringLiteral("80"));
        nm.setPace(300);
        QString ap;
        const auto restart = [&](int strength, bool connected) {
            QVERIFY2(nm.stop(), qPrintable(nm.error()));
            QTRY_COMPARE(poll(), int(HARDWARE_OFF));
            QVERIFY2(nm.start(numberFromOne), qPrintable(nm.error()));
            QStringList seenOnTheWay;
            QTimer polls;
            QObject::connect(&polls, &QTimer::timeout, [&] {
                if (poll() != HARDWARE_OFF)
                    seenOnTheWay << value;
            });
            polls.start(150);
            QElapsedTimer bringUp;
            bringUp.start();
            QVERIFY2(!nm.addWifiDevice().isEmpty(), qPrintable(nm.error()));
            QVERIFY(!nm.addAccessPoint("Neighbour", "00:11:22:33:44:09", 80).isEmpty());
            ap = nm.addAccessPoint("Home", "00:11:22:33:44:01", strength);
            QVERIFY(!ap.isEmpty());
            QVERIFY2(!connected || nm.connectTo("Home", ap), qPrintable(nm.error()));
            polls.stop();
            QVERIFY2(bringUp.elapsed() >= 900, qPrintable(QString::number(bringUp.elapsed())));
            QVERIFY2(!seenOnTheWay.contains(QStringLiteral("80")), qPrintable(seenOnTheWay.join(' ')));
            QTest::qWait(500); // less than the time between two polls
        };
        restart(30, true);
        QCOMPARE(poll(), int(XINFORET_OK));
        QCOMPARE(value, QStringLiteral("30"));
        QCOMPARE(icon, vantel_iconPath(ICON_WIFI_LOW));
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(poll(), int(STATUS_UNCHANGED));
            QCOMPARE(value, QStringLiteral("30"));
        }
        QVERIFY(nm.setStrength(ap, 45));
        QTRY_COMPARE(seen(), QStringLiteral("3 45"));
        QCOMPARE(poll(), int(XINFORET_OK));
        QCOMPARE(value, QStringLiteral("45"));
        QCOMPARE(emitted(), QStringLiteral("on off on"));
        restart(30, false);
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(poll(), int(XINFORET_OK));
            QCOMPARE(value, QStringLiteral("ON"));
        }
    }

    // A NetworkManager frozen before the provider was made holds the GUI
    // thread two seconds at most when the provider is made, and less than
    // one when it goes (as VANTEL_CloseLib releases it).
    void frozenNetworkManagerHoldsTheGuiThreadBriefly()
    {
        QVERIFY2(!home(60, true).isEmpty(), qPrintable(nm.error()));
        QVERIFY(nm.freeze());
        QElapsedTimer clock;
        clock.start();
        make();
        const qint64 making = clock.elapsed();
        for (int i = 0; i < 3; ++i)
            QCOMPARE(poll(), int(HARDWARE_OFF));
        clock.restart();
        updates.reset();
        provider.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const qint64 closing = clock.elapsed();
        nm.thaw();
        QVERIFY2(making < 2500, qPrintable(QString::number(making)));
        QVERIFY2(closing < 1000, qPrintable(QString::number(closing)));
    }
};

QTEST_MAIN(TestXWifi)
#include "tst_xwifi.moc"
