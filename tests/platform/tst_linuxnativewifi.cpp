// Guards the Native Wifi service on NetworkManager (python3-dbusmock on a
// private system bus): devices, access points and saved connections read in
// Windows' terms (networks listed twice when saved, BSS entries with the
// associated one first, kHz, auth and cipher), notifications from the
// service's own thread for each kind of change, the radio switch and scan
// going out to NetworkManager, bad input, and NetworkManager absent, coming
// later and restarted with the interface keeping its GUID.
#include <QElapsedTimer>
#include <QMutex>
#include <QThread>
#include <QtTest>

#include <signal.h>

#include "linux/linuxnativewifi.h"
#include "testmessages.h"
#include "testnetworkmanager.h"
#include "testsystembus.h"

using namespace vantel::platform;

namespace {

struct Notice {
    std::uint32_t code;
    QString profile;
    std::uint32_t reason;
};

// What the service told a client, from whichever thread it came.
struct Listener {
    QMutex lock;
    QList<Notice> notices;
    QThread* thread = nullptr;

    static void callback(const WLAN_NOTIFICATION_DATA* data, void* context)
    {
        auto* self = static_cast<Listener*>(context);
        QMutexLocker locker(&self->lock);
        self->thread = QThread::currentThread();
        const bool connection = data->connection != nullptr;
        self->notices.append({data->NotificationCode,
                              connection ? QString::fromStdString(data->connection->strProfileName) : QString(),
                              connection ? data->connection->wlanReasonCode : 0u});
    }
    QString codes()
    {
        QMutexLocker locker(&lock);
        QStringList seen;
        for (const Notice& notice : notices)
            if (!seen.contains(QString::number(notice.code)))
                seen << QString::number(notice.code);
        return seen.join(' ');
    }
    Notice take()
    {
        QMutexLocker locker(&lock);
        return notices.isEmpty() ? Notice{0, {}, 0} : notices.takeLast();
    }
    void clear()
    {
        QMutexLocker locker(&lock);
        notices.clear();
    }
};

QString bssid(const DOT11_MAC_ADDRESS& mac)
{
    QStringList bytes;
    for (std::uint8_t byte : mac)
        bytes << QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    return bytes.join(':');
}

} // namespace

class TestLinuxNativeWifi : public QObject
{
    Q_OBJECT

    TestSystemBus bus;
    TestNetworkManager nm{bus};
    std::unique_ptr<LinuxNativeWifi> wifi;
    HANDLE handle = 0;
    Listener listener;

    bool open()
    {
        wifi = std::make_unique<LinuxNativeWifi>();
        std::uint32_t version = 0;
        return wifi->openHandle(2, version, handle) == 0 && version == 2
               && wifi->registerNotification(handle, NW_SOURCE_ACM, &Listener::callback, &listener) == 0;
    }
    GUID onlyInterface()
    {
        std::vector<WLAN_INTERFACE_INFO> interfaces;
        wifi->enumInterfaces(handle, interfaces);
        return interfaces.size() == 1 ? interfaces[0].InterfaceGuid : GUID();
    }

private slots:
    void initTestCase() { QVERIFY2(bus.start(), qPrintable(bus.error())); }

    void init()
    {
        listener.clear();
        QVERIFY2(nm.start(), qPrintable(nm.error()));
    }

    void cleanup()
    {
        if (wifi)
            wifi->closeHandle(handle);
        wifi.reset();
    }

    void machineInWindowsTerms()
    {
        QVERIFY2(!nm.addWifiDevice().isEmpty(), qPrintable(nm.error()));
        nm.addAccessPoint("Home", "00:11:22:33:44:01", 60, 2437);
        const QString second = nm.addAccessPoint("Home", "00:11:22:33:44:02", 30, 5180);
        QVERIFY(!nm.addAccessPoint("Cafe", "00:11:22:33:44:03", 50, 2412, 0).isEmpty());
        QVERIFY2(nm.connectTo("Home", second), qPrintable(nm.error()));
        QVERIFY(open());

        std::vector<WLAN_INTERFACE_INFO> interfaces;
        QCOMPARE(wifi->enumInterfaces(handle, interfaces), 0u);
        QCOMPARE(interfaces.size(), std::size_t(1));
        QCOMPARE(interfaces[0].strInterfaceDescription, std::string("wlan0"));
        QCOMPARE(interfaces[0].isState, std::uint32_t(wlan_interface_state_connected));
        const GUID guid = interfaces[0].InterfaceGuid;

        WLAN_AVAILABLE_NETWORK_LIST networks;
        QCOMPARE(wifi->getAvailableNetworkList(handle, guid, networks), 0u);
        QStringList listed; // name, profile, flags, quality, BSS count, auth/cipher
        for (const WLAN_AVAILABLE_NETWORK& n : networks.Network)
            listed << QStringLiteral("%1 %2 %3 %4 %5 %6/%7")
                          .arg(QString::fromLatin1(reinterpret_cast<const char*>(n.dot11Ssid.ucSSID.data()),
                                                   int(n.dot11Ssid.uSSIDLength)),
                               QString::fromStdString(n.strProfileName).isEmpty() ? "-" : "saved")
                          .arg(n.dwFlags).arg(n.wlanSignalQuality).arg(n.uNumberOfBssids)
                          .arg(n.dot11DefaultAuthAlgorithm).arg(n.dot11DefaultCipherAlgorithm);
        QCOMPARE(listed, QStringList({"Home saved 3 60 2 7/4", "Home - 0 60 2 7/4", "Cafe - 0 50 1 1/0"}));

        WLAN_BSS_LIST every;
        QCOMPARE(wifi->getNetworkBssList(handle, guid, nullptr, dot11_BSS_type_any, false, every), 0u);
        QCOMPARE(every.wlanBssEntries.size(), std::size_t(3));
        QCOMPARE(bssid(every.wlanBssEntries[0].dot11Bssid), QStringLiteral("00:11:22:33:44:02")); // associated
        QCOMPARE(every.wlanBssEntries[0].ulChCenterFrequency, 5180000u);
        QCOMPARE(every.wlanBssEntries[0].uLinkQuality, 30u);
        WLAN_BSS_LIST home;
        QCOMPARE(wifi->getNetworkBssList(handle, guid, &networks.Network[1].dot11Ssid, dot11_BSS_type_infrastructure,
                                         true, home), 0u);
        QCOMPARE(home.wlanBssEntries.size(), std::size_t(2));
        WLAN_BSS_LIST cafeSecured;
        QCOMPARE(wifi->getNetworkBssList(handle, guid, &networks.Network[2].dot11Ssid, dot11_BSS_type_any, true,
                                         cafeSecured), 0u);
        QVERIFY(cafeSecured.wlanBssEntries.empty()); // Cafe is open

        WLAN_INTERFACE_DATA data;
        QCOMPARE(wifi->queryInterface(handle, guid, wlan_intf_opcode_current_connection, data), 0u);
        QCOMPARE(data.connection.strProfileName, std::string("Home"));
        QCOMPARE(bssid(data.connection.wlanAssociationAttributes.dot11Bssid), QStringLiteral("00:11:22:33:44:02"));
        QCOMPARE(wifi->queryInterface(handle, guid, wlan_intf_opcode_radio_state, data), 0u);
        QCOMPARE(data.radioState.PhyRadioState.at(0).dot11SoftwareRadioState, std::uint32_t(dot11_radio_state_on));
        QCOMPARE(data.radioState.PhyRadioState.at(0).dot11HardwareRadioState, std::uint32_t(dot11_radio_state_on));
        QCOMPARE(wifi->queryInterface(handle, guid, wlan_intf_opcode_supported_infrastructure_auth_cipher_pairs,
                                      data), 0u);
        QVERIFY(data.authCipherPairs.pAuthCipherPairList.size() > 1); // the template's device can do it all
    }

    void notificationsFollowTheService()
    {
        QVERIFY2(!nm.addWifiDevice().isEmpty(), qPrintable(nm.error()));
        const QString ap = nm.addAccessPoint("Home", "00:11:22:33:44:01", 60);
        QVERIFY(open());
        const auto expect = [&](const char* what, bool changed, const QString& codes) {
            QVERIFY2(changed, qPrintable(QStringLiteral("%1: %2").arg(what, nm.error())));
            QTRY_COMPARE(listener.codes(), codes);
            listener.clear();
        };
        expect("strength", nm.setStrength(ap, 70), "7");
        expect("scan", nm.scanned(), "7");
        const QString other = nm.addAccessPoint("Cafe", "00:11:22:33:44:09", 20, 2412, 0);
        expect("added", !other.isEmpty(), "7");
        expect("removed", nm.removeAccessPoint(other), "7");
        expect("software switch", nm.setManager("WirelessEnabled", false), "6");
        expect("hardware switch", nm.setManager("WirelessHardwareEnabled", false), "6");

        QVERIFY2(nm.connectTo("Home", ap), qPrintable(nm.error()));
        QTRY_VERIFY(listener.codes().contains("10"));
        Notice notice = listener.take();
        QCOMPARE(notice.code, 10u);
        QCOMPARE(notice.profile, QStringLiteral("Home"));
        QCOMPARE(notice.reason, 0u);
        listener.clear();
        expect("disconnected", nm.disconnect(), "21");
        QVERIFY(nm.set(nm.devicePath(), TestNetworkManager::device, "State", 120u));
        QTRY_COMPARE(listener.codes(), QStringLiteral("11"));
        QVERIFY(listener.take().reason != 0u);
        QVERIFY(listener.thread && listener.thread != QThread::currentThread());
    }

    void radioScanAndBadInput()
    {
        QVERIFY2(!nm.addWifiDevice().isEmpty(), qPrintable(nm.error()));
        QVERIFY(open());
        const GUID guid = onlyInterface();
        WLAN_INTERFACE_DATA off;
        off.radioState.PhyRadioState.assign(1, {0, dot11_radio_state_off, dot11_radio_state_off});
        QCOMPARE(wifi->setInterface(handle, guid, wlan_intf_opcode_radio_state, off), 0u);
        QCOMPARE(nm.get("/org/freedesktop/NetworkManager", "org.freedesktop.NetworkManager", "WirelessEnabled"),
                 QVariant(false));
        QTRY_COMPARE(listener.codes(), QStringLiteral("6"));
        QCOMPARE(wifi->scan(handle, guid), 0u);
        QTRY_COMPARE(nm.calls(nm.devicePath(), "RequestScan"), 1);

        WLAN_INTERFACE_DATA data;
        QCOMPARE(wifi->setInterface(handle, guid, wlan_intf_opcode_interface_state, data), 50u);
        QCOMPARE(wifi->setInterface(handle, guid, wlan_intf_opcode_radio_state, data), 87u); // no PHY given
        QCOMPARE(wifi->queryInterface(handle, guid, 99, data), 50u);
        QCOMPARE(wifi->queryInterface(handle, guid, wlan_intf_opcode_current_connection, data), 5023u);
        QCOMPARE(wifi->queryInterface(handle, GUID{1, 2, 3, {}}, wlan_intf_opcode_radio_state, data), 1168u);
        QCOMPARE(wifi->queryInterface(handle + 100, guid, wlan_intf_opcode_radio_state, data), 6u);
        DOT11_SSID tooLong;
        tooLong.uSSIDLength = 33;
        WLAN_BSS_LIST list;
        QCOMPARE(wifi->getNetworkBssList(handle, guid, &tooLong, dot11_BSS_type_any, false, list), 87u);
        std::uint32_t version = 0;
        HANDLE none = 0;
        QCOMPARE(wifi->openHandle(0, version, none), 87u);
    }

    void withoutNetworkManagerThenLater()
    {
        QVERIFY2(nm.stop(), qPrintable(nm.error()));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(open());
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        std::vector<WLAN_INTERFACE_INFO> interfaces;
        QCOMPARE(wifi->enumInterfaces(handle, interfaces), 1062u);

        QVERIFY2(nm.start(), qPrintable(nm.error()));
        QVERIFY2(!nm.addWifiDevice().isEmpty(), qPrintable(nm.error()));
        QVERIFY(!nm.addAccessPoint("Home", "00:11:22:33:44:01", 60).isEmpty());
        QTRY_VERIFY(listener.codes().contains("7"));
        QVERIFY(!isNullGuid(onlyInterface()));
    }

    // A NetworkManager that holds its name but does not answer (hung, or
    // busy at boot) keeps the opening thread only briefly; its state comes
    // with the follower's notifications once it answers.
    void frozenNetworkManagerHoldsTheCallerBriefly()
    {
        QVERIFY2(!nm.addWifiDevice().isEmpty(), qPrintable(nm.error()));
        const qint64 pid = bus.templatePid(QStringLiteral("networkmanager"));
        QVERIFY(pid > 0);
        QCOMPARE(::kill(pid_t(pid), SIGSTOP), 0);
        QElapsedTimer clock;
        clock.start();
        const bool opened = open();
        const qint64 took = clock.elapsed();
        ::kill(pid_t(pid), SIGCONT);
        QVERIFY(opened);
        QVERIFY2(took < 3000, qPrintable(QString::number(took)));
        QTRY_VERIFY_WITH_TIMEOUT(!isNullGuid(onlyInterface()), 10000);
    }

    // Closing the last handle never waits long for the follower: not on a
    // NetworkManager frozen since before the opening, nor in the middle of
    // reading 20 saved connections whose settings each come 2.5 s late.
    void closingWhileNetworkManagerIsSlowOrFrozen_data()
    {
        QTest::addColumn<bool>("frozen");
        QTest::newRow("frozen") << true;
        QTest::newRow("slow settings") << false;
    }

    void closingWhileNetworkManagerIsSlowOrFrozen()
    {
        QFETCH(bool, frozen);
        QVERIFY2(!nm.addWifiDevice().isEmpty(), qPrintable(nm.error()));
        QVERIFY(!nm.addAccessPoint("Home", "00:11:22:33:44:01", 60).isEmpty());
        for (int i = 0; i < 20; ++i)
            QVERIFY2(!nm.addSavedConnection("Home").isEmpty(), qPrintable(nm.error()));
        QVERIFY(frozen ? nm.freeze() : nm.delayGetSettings(2500));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(open());
        const qint64 opening = clock.elapsed();
        QTest::qWait(300);
        clock.restart();
        QCOMPARE(wifi->closeHandle(handle), 0u);
        const qint64 closing = clock.elapsed();
        wifi.reset();
        nm.thaw();
        QVERIFY2(opening < 2500, qPrintable(QString::number(opening)));
        QVERIFY2(closing < 1000, qPrintable(QString::number(closing)));
    }

    // A caller polkit refuses: access denied (5), one line naming the
    // operation and NetworkManager's error, and nothing activated.
    void activationRefusedByPolkit()
    {
        QVERIFY2(!nm.addWifiDevice().isEmpty(), qPrintable(nm.error()));
        QVERIFY(!nm.addAccessPoint("Home", "00:11:22:33:44:01", 60).isEmpty());
        QVERIFY2(!nm.addSavedConnection("Home").isEmpty(), qPrintable(nm.error()));
        QVERIFY(open());
        const GUID guid = onlyInterface();
        QVERIFY2(nm.denyPermissions(true), qPrintable(nm.error()));
        TestMessages::install();
        TestMessages::take();
        WLAN_CONNECTION_PARAMETERS parameters;
        parameters.strProfile = "Home";
        const std::uint32_t result = wifi->connect(handle, guid, parameters);
        const QStringList lines = TestMessages::take();
        qInstallMessageHandler(nullptr);
        QCOMPARE(result, 5u);
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines.first().contains("ActivateConnection")
                     && lines.first().contains("org.freedesktop.NetworkManager.PermissionDenied"),
                 qPrintable(lines.first()));
        QCOMPARE(nm.get(nm.devicePath(), TestNetworkManager::device, "State").toUInt(), 30u);
        QCOMPARE(nm.calls("/org/freedesktop/NetworkManager", "ActivateConnection"), 1);
    }

    void restartKeepsTheInterface()
    {
        QVERIFY2(!nm.addWifiDevice().isEmpty(), qPrintable(nm.error()));
        QVERIFY(open());
        const GUID before = onlyInterface();
        QVERIFY(!isNullGuid(before));
        QVERIFY2(nm.start(), qPrintable(nm.error())); // stopped and started: no device yet
        QTRY_VERIFY(isNullGuid(onlyInterface()));
        QVERIFY(listener.codes().contains("6"));
        QVERIFY2(!nm.addWifiDevice().isEmpty(), qPrintable(nm.error()));
        QTRY_VERIFY(!isNullGuid(onlyInterface()));
        QVERIFY(onlyInterface() == before);
    }
};

QTEST_GUILESS_MAIN(TestLinuxNativeWifi)
#include "tst_linuxnativewifi.moc"
