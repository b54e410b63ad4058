// Guards the WLAN client's profiles and connections on the fake
// NetworkManager (python3-dbusmock on a private system bus) and on the
// simulated tablet: key validation by row, the profile document of each
// kind, what NetworkManager was handed for each (read back from the fake),
// a connection that succeeds, fails or never ends (its limit made short),
// bad indexes that ask nothing of the service, deleting a profile, the
// messages letter for letter, keys that never reach a message, and the list
// read by the host while a connection is awaited.
#include <QDBusObjectPath>
#include <QElapsedTimer>
#include <QtTest>

#include "classwifi/cwifi.h"
#include "platform.h"
#include "testmessages.h"
#include "testnetworkmanager.h"
#include "testsystembus.h"
#include "vantelsimulation.h"

namespace {

// The notifications' own lines, which come whenever the service tells.
const QStringList kNotices{"Scansione", "Disconnessione", "Alimntazione interfaccia cambiata"};

QStringList takeMessages()
{
    return TestMessages::take(kNotices);
}

const QStringList kKeys{"secret-passphrase", "abcde", "guest-key", "wrong-key-1", "other-passphrase"};

const QString kManager = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kManagerInterface = QStringLiteral("org.freedesktop.NetworkManager");
// An ActivateConnection whose connection stays preparing for ever.
const QString kNeverActivated = QStringLiteral(
    "ret = dbus.ObjectPath('/org/freedesktop/NetworkManager/ActiveConnection/x'); "
    "self.AddObject(ret, 'org.freedesktop.NetworkManager.Connection.Active', {'Id': 'Home', "
    "'Connection': args[0], 'State': dbus.UInt32(1)}, []); "
    "objects[args[1]].Set('org.freedesktop.NetworkManager.Device', 'ActiveConnection', ret); "
    "objects[args[1]].Set('org.freedesktop.NetworkManager.Device', 'State', dbus.UInt32(40))");

WifiNetworkRecord record(quint32 auth, quint32 cipher, quint32 bssType = 1, quint32 flags = 0x4000,
                         const QByteArray& ssid = "Home")
{
    WifiNetworkRecord r;
    std::memset(&r, 0, sizeof r);
    r.auth = auth;
    r.cipher = cipher;
    r.bssType = bssType;
    r.flags = flags;
    r.ssid.uSSIDLength = quint32(ssid.size());
    std::memcpy(r.ssid.ucSSID, ssid.constData(), std::size_t(ssid.size()));
    return r;
}

// The document without its declaration and blanks between elements.
QString body(const QString& document)
{
    QString compact = document.section(QLatin1Char('\n'), 1);
    return compact.replace(QRegularExpression(QStringLiteral(">\\s+<")), QStringLiteral("><")).trimmed();
}

} // namespace

class TestCwifiProfiles : public QObject
{
    Q_OBJECT

    TestSystemBus bus;
    TestNetworkManager nm{bus};
    std::unique_ptr<Cwifi> client;

    // A key, when given, is stored as SaveWAPKeyImpl stores it.
    WifiNetworkRecord keyed(WifiNetworkRecord r, const QString& key)
    {
        if (!key.isEmpty() && !client->SaveWAPKeyImpl(&r, key))
            qWarning("key refused");
        return r;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(bus.start(), qPrintable(bus.error()));
        TestMessages::install();
    }

    void init()
    {
        nm.setPace(0);
        QVERIFY2(nm.start(), qPrintable(nm.error()));
        QVERIFY2(!nm.addWifiDevice("wlan0", 30).isEmpty(), qPrintable(nm.error()));
        QVERIFY(!nm.addAccessPoint("Home", "00:11:22:33:44:01", 60).isEmpty());
        QVERIFY2(nm.addMethod(nm.devicePath(), TestNetworkManager::device, "Disconnect", "", "",
                              "self.Set('org.freedesktop.NetworkManager.Device', 'State', dbus.UInt32(30))"),
                 qPrintable(nm.error()));
        client = std::make_unique<Cwifi>(QString());
        QCOMPARE(client->NetworkSSID(0), QStringLiteral("Home"));
        takeMessages();
    }

    void cleanup()
    {
        client.reset();
        qunsetenv("VANTEL_WIFI_CONNECT_TIMEOUT_MS");
        for (const QString& line : TestMessages::take())
            for (const QString& key : kKeys)
                QVERIFY2(!line.contains(key), qPrintable(line));
    }

    void keyValidation_data()
    {
        QTest::addColumn<uint>("auth");
        QTest::addColumn<uint>("cipher");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<uint>("flags"); // beside 0x4000
        QTest::addColumn<uint>("keyLength");
        const QString hex64 = QString(63, QLatin1Char('a')) + QLatin1Char('9');
        const QString hex26 = QStringLiteral("0123456789abcdefABCDEF0123");
        QTest::newRow("WPA2 7") << 7u << 4u << "1234567" << false << 0u << 0u;
        QTest::newRow("WPA2 8") << 7u << 4u << "12345678" << true << 2u << 8u;
        QTest::newRow("WPA2 63") << 7u << 4u << QString(63, QLatin1Char('p')) << true << 2u << 63u;
        QTest::newRow("WPA2 64 hex") << 7u << 4u << hex64 << true << 0u << 0u;
        QTest::newRow("WPA2 64, one not hex") << 7u << 4u << QString(hex64).replace(5, 1, "g") << false << 0u << 0u;
        QTest::newRow("WEP 5") << 1u << 257u << "abcde" << true << 1u << 5u;
        QTest::newRow("WEP 13") << 2u << 257u << "abcdefghijklm" << true << 1u << 13u;
        QTest::newRow("WEP 10 hex") << 1u << 257u << "0123456789" << true << 1u << 10u;
        QTest::newRow("WEP 26 hex") << 2u << 257u << hex26 << true << 1u << 26u;
        QTest::newRow("WEP 26, one not hex") << 2u << 257u << QString(hex26).replace(20, 1, "x") << false << 0u << 0u;
        QTest::newRow("WEP 7") << 1u << 257u << "abcdefg" << false << 0u << 0u;
        QTest::newRow("auth 5 TKIP 8") << 5u << 2u << "12345678" << true << 2u << 8u;
        QTest::newRow("auth 5 TKIP 64, not hex") << 5u << 2u << QString(64, QLatin1Char('z')) << true << 0u << 0u;
        QTest::newRow("auth 5 CCMP 16") << 5u << 4u << "abcdefghijklmnop" << true << 1u << 16u;
        QTest::newRow("auth 5 CCMP 32 hex") << 5u << 4u << QString(32, QLatin1Char('F')) << true << 1u << 32u;
        QTest::newRow("auth 5 CCMP 32, not hex") << 5u << 4u << QString(32, QLatin1Char('G')) << false << 0u << 0u;
        QTest::newRow("auth 5 CCMP 8") << 5u << 4u << "12345678" << false << 0u << 0u;
    }

    void keyValidation()
    {
        QFETCH(uint, auth);
        QFETCH(uint, cipher);
        QFETCH(QString, key);
        QFETCH(bool, accepted);
        QFETCH(uint, flags);
        WifiNetworkRecord r = record(auth, cipher);
        QCOMPARE(client->SaveWAPKeyImpl(&r, key), accepted ? 1 : 0);
        QCOMPARE(r.flags & ~0x4000u, flags);
        QTEST(uint(r.keyLength), "keyLength");
        QCOMPARE(takeMessages(), accepted ? QStringList() : QStringList{"Chiave non valida !"});
        QCOMPARE(QString::fromUtf16(r.keyText), accepted ? key : QString());
    }

    // The document of each kind, and what NetworkManager was handed for it.
    void profileOfEachKind_data()
    {
        QTest::addColumn<uint>("auth");
        QTest::addColumn<uint>("cipher");
        QTest::addColumn<uint>("bssType");
        QTest::addColumn<uint>("flags");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("wireless"); // mode hidden
        QTest::addColumn<QVariantMap>("security");
        const QString head = "<WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\"><name>Home</name>"
                             "<SSIDConfig><SSID><name>Home</name></SSID><nonBroadcast>%1</nonBroadcast></SSIDConfig>%2"
                             "<connectionMode>auto</connectionMode><MSM><security>";
        const QString ess = "<connectionType>ESS</connectionType>";
        const QString visible = head.arg("false", ess);
        const QString wep = "</encryption><useOneX>false</useOneX></authEncryption><sharedKey><keyType>networkKey"
                            "</keyType><protected>false</protected><keyMaterial>abcde</keyMaterial></sharedKey>";
        const QVariantMap wepKey{{"key-mgmt", "none"}, {"wep-key0", "abcde"}, {"wep-key-type", 1u}, {"wep-tx-keyidx", 0u}};
        QTest::newRow("passphrase")
            << 7u << 4u << 1u << 0x4000u << "secret-passphrase"
            << visible + "<authEncryption><authentication>WPA2PSK</authentication><encryption>AES</encryption>"
                         "<useOneX>false</useOneX></authEncryption><sharedKey><keyType>passPhrase</keyType>"
                         "<protected>false</protected><keyMaterial>secret-passphrase</keyMaterial></sharedKey>"
                         "</security></MSM></WLANProfile>"
            << "infrastructure false" << QVariantMap{{"key-mgmt", "wpa-psk"}, {"psk", "secret-passphrase"}};
        QVariantMap shared = wepKey;
        shared["auth-alg"] = "shared";
        QTest::newRow("WEP shared") << 2u << 257u << 1u << 0x4000u << "abcde"
                                    << visible + "<authEncryption><authentication>shared</authentication><encryption>WEP"
                                           + wep + "<keyIndex>0</keyIndex></security></MSM></WLANProfile>"
                                    << "infrastructure false" << shared;
        QVariantMap openWep = wepKey;
        openWep["auth-alg"] = "open";
        QTest::newRow("WEP open: the key in a sharedKey")
            << 1u << 257u << 1u << 0x4000u << "abcde"
            << visible + "<authEncryption><authentication>open</authentication><encryption>WEP" + wep
                   + "</security></MSM></WLANProfile>"
            << "infrastructure false" << openWep;
        const QString open = "<authEncryption><authentication>open</authentication><encryption>none</encryption>"
                             "<useOneX>false</useOneX></authEncryption></security></MSM></WLANProfile>";
        QTest::newRow("open without key, ESS")
            << 1u << 0u << 1u << 0x4000u << "" << visible + open << "infrastructure false" << QVariantMap();
        QTest::newRow("IBSS, not broadcast") << 1u << 0u << 2u << 0u << ""
                                             << head.arg("true", "<connectionType>IBSS</connectionType>") + open
                                             << "adhoc true" << QVariantMap();
        QTest::newRow("any BSS type") << 1u << 0u << 3u << 0x4000u << "" << head.arg("false", "") + open << " false"
                                      << QVariantMap();
        QTest::newRow("not broadcast")
            << 1u << 0u << 1u << 0u << "" << head.arg("true", ess) + open << "infrastructure true" << QVariantMap();
    }

    void profileOfEachKind()
    {
        QFETCH(uint, auth);
        QFETCH(uint, cipher);
        QFETCH(uint, bssType);
        QFETCH(uint, flags);
        QFETCH(QString, key);
        WifiNetworkRecord r = keyed(record(auth, cipher, bssType, flags), key);
        const QString document = client->BuildProfileXml(&r);
        QVERIFY2(document.startsWith("<?xml version=\"1.0\"?>\n<WLANProfile"), qPrintable(document));
        QVERIFY(document.contains("\n    <SSIDConfig>\n        <SSID>\n            <name>Home</name>\n"));
        QTEST(body(document), "document");

        QCOMPARE(client->SetProfile(&r), 0);
        const auto settings = nm.savedConnection("Home");
        QCOMPARE(settings.value("connection").value("type").toString(), QStringLiteral("802-11-wireless"));
        QVERIFY(!settings.value("connection").value("uuid").toString().isEmpty());
        QVERIFY(!settings.value("connection").contains("autoconnect")); // NetworkManager's default: on
        const QVariantMap wireless = settings.value("802-11-wireless");
        QCOMPARE(wireless.value("ssid").toByteArray(), QByteArray("Home"));
        QTEST(wireless.value("mode").toString() + ' ' + (wireless.value("hidden").toBool() ? "true" : "false"),
              "wireless");
        QTEST(settings.value("802-11-wireless-security"), "security");

        // Stored again: the same connection, overwritten.
        WifiNetworkRecord again = keyed(record(7, 4), "other-passphrase");
        QCOMPARE(client->SetProfile(&again), 0);
        QCOMPARE(nm.savedConnections(), 1);
        QCOMPARE(nm.savedConnection("Home").value("802-11-wireless-security").value("psk").toString(),
                 QStringLiteral("other-passphrase"));
        QCOMPARE(nm.savedConnection("Home").value("connection").value("uuid"), settings.value("connection").value("uuid"));
    }

    void notAValidProfile()
    {
        WifiNetworkRecord none = record(5, 4); // WPA-None has no name in the document
        QCOMPARE(client->SetProfile(&none), 1206);
        WifiNetworkRecord empty = record(1, 0, 1, 0x4000, QByteArray());
        QCOMPARE(client->SetProfile(&empty), 1206);
        QCOMPARE(client->SetProfile(nullptr), 87);
        QCOMPARE(nm.savedConnections(), 0);
    }

    void connectOutcome_data()
    {
        QTest::addColumn<QString>("activation"); // the fake's ActivateConnection; empty: the template's
        QTest::addColumn<int>("pace");           // the daemon's, a step of the activation
        QTest::addColumn<int>("connected");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<int>("givenUp"); // DeactivateConnection calls
        QTest::newRow("activated") << QString() << 0 << 1 << "--------------------------------- CONNECTED " << 0;
        QTest::newRow("failed") << "objects[args[1]].Set('org.freedesktop.NetworkManager.Device', 'State', "
                                   "dbus.UInt32(120)); ret = dbus.ObjectPath('/')"
                                << 0 << 0 << "--------------------------------- CONNECTION FAIL " << 0;
        // Stuck preparing: at the limit NetworkManager is asked to give it up.
        QTest::newRow("never ends") << kNeverActivated << 0 << 0 << "--------------------------------- CONNECTION FAIL "
                                    << 1;
        // Answered at once, still activating, then prepare, config and IP
        // config at the daemon's pace: the wait ends when it is activated.
        QTest::newRow("at the daemon's pace") << QString() << 250 << 1 << "--------------------------------- CONNECTED "
                                              << 0;
    }

    void connectOutcome()
    {
        QFETCH(QString, activation);
        QFETCH(int, pace);
        QFETCH(QString, outcome);
        if (!activation.isEmpty())
            QVERIFY2(nm.addMethod(kManager, kManagerInterface, "ActivateConnection", "ooo", "o", activation),
                     qPrintable(nm.error()));
        QVERIFY2(nm.setPace(pace), qPrintable(nm.error()));
        qputenv("VANTEL_WIFI_CONNECT_TIMEOUT_MS", pace ? "5000" : "300");
        QElapsedTimer clock;
        clock.start();
        QTEST(client->Connect(0, "secret-passphrase"), "connected");
        QVERIFY2(clock.elapsed() < 5000 && clock.elapsed() >= 4 * pace, qPrintable(QString::number(clock.elapsed())));
        if (pace)
            QCOMPARE(nm.get(nm.devicePath(), TestNetworkManager::device, "State").toUInt(), 100u);
        QCOMPARE(nm.calls(kManager, "ActivateConnection"), 1);
        QFETCH(int, givenUp);
        QTRY_COMPARE(nm.calls(kManager, "DeactivateConnection"), givenUp);
        QCOMPARE(nm.savedConnection("Home").value("802-11-wireless-security").value("psk").toString(),
                 QStringLiteral("secret-passphrase"));
        const QStringList lines = takeMessages();
        QCOMPARE(lines.value(0), QStringLiteral(">>Start connecction "));
        QVERIFY2(lines.value(1).startsWith(outcome), qPrintable(lines.join('|')));
        QCOMPARE(lines.value(2), QStringLiteral("<<Exit connecction "));
        QCOMPARE(lines.size(), 3);
    }

    // The host deletes the client (a page closed with deleteLater) or quits
    // while Connect waits for an attempt that never ends: the wait ends at
    // once, as a failure, without a deadlock or a freed object used.
    void connectSurvivesTheHost_data()
    {
        QTest::addColumn<bool>("quit");
        QTest::newRow("client deleted") << false;
        QTest::newRow("application quit") << true;
    }

    void connectSurvivesTheHost()
    {
        QFETCH(bool, quit);
        QVERIFY2(nm.addMethod(kManager, kManagerInterface, "ActivateConnection", "ooo", "o", kNeverActivated),
                 qPrintable(nm.error()));
        qputenv("VANTEL_WIFI_CONNECT_TIMEOUT_MS", "20000");
        if (quit)
            QTimer::singleShot(300, qApp, &QCoreApplication::quit);
        else
            QTimer::singleShot(300, [this] { client.release()->deleteLater(); });
        QElapsedTimer clock;
        clock.start();
        Cwifi* waiting = client.get();
        int connected = -1;
        // Called from the host's main loop, as a click would.
        QTimer::singleShot(0, qApp, [&] {
            connected = waiting->Connect(0, "secret-passphrase");
            QCoreApplication::quit();
        });
        QCoreApplication::exec();
        QCOMPARE(connected, 0);
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(client == nullptr, !quit);
    }

    // SSIDs that are not plain text: saved, connected and deleted with their
    // exact bytes, and a profile the user made for the network (under a name
    // of their own) is the one profile it has.
    void ssidsAsBytes_data()
    {
        QTest::addColumn<QByteArray>("ssid");
        QTest::addColumn<bool>("usersOwn");
        QTest::newRow("UTF-8") << QByteArray("Caf\xc3\xa9") << false;
        QTest::newRow("UTF-8, the user's profile") << QByteArray("Caf\xc3\xa9") << true;
        QTest::newRow("NUL") << QByteArray("a\0b", 3) << false;
        QTest::newRow("0x01") << QByteArray("\x01x") << false;
    }

    void ssidsAsBytes()
    {
        QFETCH(QByteArray, ssid);
        QFETCH(bool, usersOwn);
        const QString ap = nm.addAccessPoint("other", "00:11:22:33:44:07", 50);
        QVERIFY(nm.set(ap, TestNetworkManager::accessPoint, "Ssid", ssid));
        const auto index = [&] {
            for (int i = 0; i < client->NetworkCount(); ++i)
                if (client->NetworkSSID(i).toLatin1() == ssid)
                    return i;
            return -1;
        };
        QTRY_VERIFY(index() >= 0);
        QString user;
        if (usersOwn) {
            user = nm.addConnection({{"connection", {{"id", QString::fromUtf8("Mein Caf\xc3\xa9")},
                                                     {"uuid", "4d1b7c2e-9a0f-4e55-8f3a-6b2c1d0e9f77"},
                                                     {"type", "802-11-wireless"}}},
                                     {"802-11-wireless", {{"ssid", ssid}, {"mode", "infrastructure"}}},
                                     {"802-11-wireless-security", {{"key-mgmt", "wpa-psk"}, {"psk", "old-passphrase"}}},
                                     {"ipv4", {{"method", "auto"}}}});
            QVERIFY2(!user.isEmpty(), qPrintable(nm.error()));
        }
        qputenv("VANTEL_WIFI_CONNECT_TIMEOUT_MS", "3000");
        QCOMPARE(client->Connect(index(), "secret-passphrase"), 1);
        QCOMPARE(nm.savedConnections(), 1);
        QCOMPARE(nm.calls(kManager, "ActivateConnection"), 1);
        const QString saved = usersOwn ? user : QStringLiteral("/org/freedesktop/NetworkManager/Settings/0");
        const auto settings = nm.settingsAt(saved);
        QCOMPARE(settings.value("802-11-wireless").value("ssid").toByteArray(), ssid);
        QCOMPARE(settings.value("802-11-wireless-security").value("psk").toString(), QStringLiteral("secret-passphrase"));
        if (usersOwn)
            QCOMPARE(settings.value("connection").value("id").toString(), QString::fromUtf8("Mein Caf\xc3\xa9"));
        QCOMPARE(client->DeleteNetwork(index()), 0);
        QCOMPARE(nm.savedConnections(), 0);
    }

    void badIndexAsksNothing()
    {
        WifiNetworkProperties props;
        QCOMPARE(client->Connect(5, "secret-passphrase"), 0);
        QCOMPARE(client->DeleteNetwork(5), 87);
        QCOMPARE(client->DeleteNetwork(-1), 87);
        QCOMPARE(client->SaveNetworkKey(5, "secret-passphrase"), 0);
        QCOMPARE(client->SetWiFiNetworkProperties(5, &props), 1);
        QCOMPARE(client->GetWiFiNetworkProperties(5, &props), 0);
        QCOMPARE(takeMessages(), (QStringList{"Connect failed - Invalid arguments or no network present",
                                              "Errore connessione  ",
                                              "SaveNetworkKey failed - Invalid argument or no network present",
                                              "Connect SetWiFiNetworkProperties - Invalid arguments or no network present"}));
        QCOMPARE(nm.calls(kManager, "ActivateConnection"), 0);
        QCOMPARE(nm.calls("/org/freedesktop/NetworkManager/Settings", "AddConnection"), 0);
        QCOMPARE(nm.calls(nm.devicePath(), "Disconnect"), 0);
    }

    void deleteNetwork()
    {
        QCOMPARE(client->Connect(0, "secret-passphrase"), 1);
        QCOMPARE(nm.savedConnections(), 1);
        takeMessages();
        QCOMPARE(client->DeleteNetwork(0), 0);
        QCOMPARE(nm.calls(nm.devicePath(), "Disconnect"), 1);
        QCOMPARE(nm.savedConnections(), 0);
        QCOMPARE(takeMessages(), QStringList());
        QCOMPARE(client->DeleteNetwork(0), 1168);
        QCOMPARE(takeMessages(), QStringList{"Errore WlanDeleteProfile: 1168"});
    }

    void propertiesAndNames()
    {
        WifiNetworkProperties props;
        props.auth = 2;
        props.cipher = 257;
        props.adhoc = true;
        props.keyIndex = 1;
        QCOMPARE(client->SetWiFiNetworkProperties(0, &props), 1);
        QCOMPARE(client->SaveNetworkKey(0, "abcde"), 1);
        WifiNetworkProperties read;
        QCOMPARE(client->GetWiFiNetworkProperties(0, &read), 0);
        QCOMPARE(QString("%1 %2 %3 %4").arg(read.auth).arg(read.cipher).arg(read.adhoc).arg(read.key),
                 QStringLiteral("2 257 1 abcde"));

        // The names the documents carry are profileOfEachKind's.
        QString name = "stale";
        QCOMPARE(client->AuthName(5, name), 1);
        QCOMPARE(name, QString());
        QCOMPARE(client->AuthFromName("shared"), 2);
        QCOMPARE(client->CipherFromName("AES"), 4);
        QCOMPARE(client->AuthFromName("WEP"), 0);
        QCOMPARE(client->CipherFromName(""), 0);
    }

    void simulatedTablet()
    {
        const auto native = vantel::platform::currentBackend();
        {
            VantelSimulation tablet;
            Cwifi wifi{QString()};
            const int guest = wifi.NetworkSSID(0) == QLatin1String("VANTEL-GUEST") ? 0 : 1;
            QCOMPARE(wifi.NetworkSSID(guest), QStringLiteral("VANTEL-GUEST"));
            QCOMPARE(wifi.Connect(guest, "wrong-key-1"), 0);
            QVERIFY(takeMessages().join('|').contains("CONNECTION FAIL"));
            // A host reading the list while Connect waits (from a paint, say)
            // gets its empty answers at once instead of waiting for itself.
            int countDuring = -1;
            int nestedConnect = -1;
            QString ssidDuring = "?";
            QTimer::singleShot(0, &wifi, [&] {
                countDuring = wifi.NetworkCount();
                ssidDuring = wifi.NetworkSSID(guest);
                nestedConnect = wifi.Connect(guest, "guest-key");
            });
            QCOMPARE(wifi.Connect(guest, "guest-key"), 1);
            QCOMPARE(countDuring, 0);
            QVERIFY(ssidDuring.isEmpty());
            QCOMPARE(nestedConnect, 0);
            QCOMPARE(wifi.NetworkSSID(guest), QStringLiteral("VANTEL-GUEST"));
            QVERIFY(wifi.Scan());
            QCOMPARE(wifi.ConnectedSSID(), QStringLiteral("VANTEL-GUEST"));

            WifiNetworkProperties props;
            props.auth = 7;
            props.cipher = 4;
            QCOMPARE(wifi.AddNetwork(QString(33, QLatin1Char('x')), QString(), &props, false), 0);
            QCOMPARE(wifi.AddNetwork("VANTEL-WORKSHOP", "1234567", &props, true), 0); // refused key
            tablet.setWifiNetworkKey("VANTEL-WORKSHOP", "other-passphrase");
            QCOMPARE(wifi.AddNetwork("VANTEL-WORKSHOP", "workshop-key", &props, true), 0);
            QCOMPARE(wifi.AddNetwork("VANTEL-WORKSHOP", "other-passphrase", &props, true), 1);
            QCOMPARE(wifi.GetWiFiNetworkProperties(9, &props), 0);
            QVERIFY(tablet.debugOutput().contains(
                "Connect GetWiFiNetworkProperties - Invalid arguments or no network present"));
        }
        vantel::platform::installBackend(native);
    }
};

QTEST_MAIN(TestCwifiProfiles)
#include "tst_cwifiprofiles.moc"
