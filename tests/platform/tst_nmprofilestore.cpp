// Guards what storing and deleting WLAN profiles does to NetworkManager's
// saved connections: a profile is the Wi-Fi connection with the network's
// SSID bytes, whatever its id; storing over one changes only what the
// document says and keeps addresses, IPv6, the MAC policy, priorities and
// secrets; connections of other types or networks named like the SSID stay
// untouched; SSIDs with non-ASCII and control bytes; a polkit refusal gives
// access denied (5), one log line, and no change. On the strict fake;
// tst_linuxrealnetworkmanager stores and deletes on the real daemon.
#include <QDBusArgument>
#include <QDBusMetaType>
#include <QtTest>

#include "nativewifi.h"
#include "linux/nmprofilestore.h"
#include "testmessages.h"
#include "testnetworkmanager.h"
#include "testsystembus.h"

using namespace vantel::platform;

namespace {

using Settings = QMap<QString, QVariantMap>;

const QString kSecurity = QStringLiteral("802-11-wireless-security");

// A WPA2 profile document; the SSID as hex when `hex` is set.
std::string document(const QByteArray& name, const QByteArray& ssid, const QString& key, bool hex = false)
{
    const QString ssidElement = hex ? QStringLiteral("<hex>%1</hex>").arg(QString::fromLatin1(ssid.toHex().toUpper()))
                                    : QStringLiteral("<name>%1</name>").arg(QString::fromUtf8(ssid));
    const QString sharedKey = key.isEmpty() ? QString()
                                            : QStringLiteral("<sharedKey><keyType>passPhrase</keyType><protected>false"
                                                             "</protected><keyMaterial>%1</keyMaterial></sharedKey>")
                                                  .arg(key);
    return QStringLiteral("<?xml version=\"1.0\"?><WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/"
                          "profile/v1\"><name>%1</name><SSIDConfig><SSID>%2</SSID><nonBroadcast>false</nonBroadcast>"
                          "</SSIDConfig><connectionType>ESS</connectionType><connectionMode>auto</connectionMode>"
                          "<MSM><security><authEncryption><authentication>WPA2PSK</authentication><encryption>AES"
                          "</encryption><useOneX>false</useOneX></authEncryption>%3</security></MSM></WLANProfile>")
        .arg(QString::fromUtf8(name), ssidElement, sharedKey)
        .toStdString();
}

// A user's own Wi-Fi connection, made as a settings panel would.
Settings userWifi(const QString& id, const QByteArray& ssid)
{
    return {{"connection",
             {{"id", id}, {"uuid", "5b0a5c6e-0d9e-4c43-9f2a-0c0a8f3e6d11"}, {"type", "802-11-wireless"},
              {"autoconnect-priority", 7}}},
            {"802-11-wireless",
             {{"ssid", ssid}, {"mode", "infrastructure"}, {"cloned-mac-address", "stable"}}},
            {kSecurity, {{"key-mgmt", "wpa-psk"}, {"psk", "user-secret"}}},
            {"ipv4",
             {{"method", "manual"},
              {"address-data", QVariant::fromValue(QList<QVariantMap>{{{"address", "192.168.7.20"}, {"prefix", 24u}}})},
              {"gateway", "192.168.7.1"}}},
            {"ipv6", {{"method", "ignore"}}}};
}

} // namespace

class TestNmProfileStore : public QObject
{
    Q_OBJECT

    TestSystemBus bus;
    TestNetworkManager fake{bus};
    QDBusConnection peer{QString()};

    // Settings and secrets, as values without D-Bus wrappers.
    Settings settingsAt(const QString& path)
    {
        Settings settings = fake.settingsAt(path);
        // Comparable values: address lists read out of their D-Bus wrapper.
        for (QVariantMap& setting : settings)
            for (QVariant& value : setting)
                if (value.userType() == qMetaTypeId<QDBusArgument>()) {
                    const QDBusArgument argument = value.value<QDBusArgument>();
                    const QString signature = argument.currentSignature();
                    if (signature != QLatin1String("aa{sv}")) {
                        value = signature;
                        continue;
                    }
                    // A QVariantList compares by value under Qt 5 too.
                    QVariantList maps;
                    for (const QVariantMap& map : qdbus_cast<QList<QVariantMap>>(argument))
                        maps << map;
                    value = maps;
                }
        return settings;
    }
    QString ipv4Address(const Settings& settings)
    {
        const QVariantList data = settings.value("ipv4").value("address-data").toList();
        return data.isEmpty() ? QString() : data.first().toMap().value("address").toString();
    }
    // The Wi-Fi connections whose SSID is `ssid`.
    QStringList profilesFor(const QByteArray& ssid)
    {
        QStringList found;
        for (const QString& path : fake.connections()) {
            const Settings settings = settingsAt(path);
            if (settings.value("connection").value("type") == "802-11-wireless"
                && settings.value("802-11-wireless").value("ssid").toByteArray() == ssid)
                found << path;
        }
        return found;
    }

private slots:
    void initTestCase()
    {
        TestMessages::install();
        qDBusRegisterMetaType<Settings>();
        qDBusRegisterMetaType<QList<QVariantMap>>();
        QVERIFY2(bus.start(), qPrintable(bus.error()));
        peer = QDBusConnection::connectToBus(bus.address(), "nmprofilestore-test");
        QVERIFY(peer.isConnected());
    }

    void init() { QVERIFY2(fake.start(), qPrintable(fake.error())); }

    // The user's own connection for the network, named by the user, not by
    // the SSID: the network's one profile, stored over, found and deleted.
    void storeAgainKeepsWhatTheDocumentDoesNotSay()
    {
        const QString user = fake.addConnection(userWifi("My flat", "Home"));
        QVERIFY(!user.isEmpty());
        NmProfileStore store(peer);
        QCOMPARE(store.store(document("Home", "Home", "new-passphrase"), false), NW_ERROR_ALREADY_EXISTS);
        QCOMPARE(store.store(document("Home", "Home", "new-passphrase"), true), NW_SUCCESS);
        Settings after = settingsAt(user);
        QCOMPARE(fake.connections(), QStringList{user});
        QCOMPARE(after.value("connection").value("id").toString(), QStringLiteral("My flat"));
        QCOMPARE(after.value(kSecurity).value("psk").toString(), QStringLiteral("new-passphrase"));
        QCOMPARE(after.value("ipv4").value("method").toString(), QStringLiteral("manual"));
        QCOMPARE(ipv4Address(after), QStringLiteral("192.168.7.20"));
        QCOMPARE(after.value("ipv4").value("gateway").toString(), QStringLiteral("192.168.7.1"));
        QCOMPARE(after.value("ipv6").value("method").toString(), QStringLiteral("ignore"));
        QCOMPARE(after.value("802-11-wireless").value("cloned-mac-address").toString(), QStringLiteral("stable"));
        QCOMPARE(after.value("connection").value("autoconnect-priority").toInt(), 7);

        // A document without a key keeps the stored one.
        QCOMPARE(store.store(document("Home", "Home", QString()), true), NW_SUCCESS);
        after = settingsAt(user);
        QCOMPARE(after.value(kSecurity).value("psk").toString(), QStringLiteral("new-passphrase"));
        QCOMPARE(ipv4Address(after), QStringLiteral("192.168.7.20"));
        QCOMPARE(store.find("Home"), user);
        QCOMPARE(store.remove("Home"), NW_SUCCESS);
        QCOMPARE(fake.connections(), QStringList());
    }

    void connectionsNamedLikeTheSsidAreLeftAlone()
    {
        const QString wired =
            fake.addConnection({{"connection", {{"id", "Home"}, {"uuid", "0f5e2b8a-6f0b-4d1e-8a53-3b9f0c2d7e01"}, {"type", "802-3-ethernet"}}},
                 {"ipv4", {{"method", "auto"}}}});
        const QString other = fake.addConnection(userWifi("Home", "Neighbour"));
        QVERIFY(!wired.isEmpty() && !other.isEmpty());
        const Settings wiredBefore = settingsAt(wired), otherBefore = settingsAt(other);
        NmProfileStore store(peer);
        QCOMPARE(store.find("Home"), QString());
        QCOMPARE(store.remove("Home"), NW_ERROR_NOT_FOUND);
        QCOMPARE(store.store(document("Home", "Home", "new-passphrase"), false), NW_SUCCESS);
        const QStringList mine = profilesFor("Home");
        QCOMPARE(mine.size(), 1);
        QCOMPARE(fake.connections().size(), 3);
        QCOMPARE(store.store(document("Home", "Home", "other-passphrase"), true), NW_SUCCESS);
        QCOMPARE(store.remove("Home"), NW_SUCCESS);
        QCOMPARE(fake.connections(), (QStringList{wired, other}));
        QCOMPARE(settingsAt(wired), wiredBefore);
        QCOMPARE(settingsAt(other), otherBefore);
    }

    // Deleting a profile takes the connection down only when it is the one
    // in use (NetworkManager's Delete does that itself); another profile's
    // deletion leaves the device connected.
    void deletingDisconnectsOnlyTheActiveProfile()
    {
        QVERIFY2(!fake.addWifiDevice().isEmpty(), qPrintable(fake.error()));
        const QString home = fake.addAccessPoint("Home", "00:11:22:33:44:01", 60);
        QVERIFY(!fake.addAccessPoint("Office", "00:11:22:33:44:02", 40).isEmpty());
        QVERIFY2(fake.connectTo("Home", home), qPrintable(fake.error()));
        NmProfileStore store(peer);
        QCOMPARE(store.store(document("Office", "Office", "new-passphrase"), false), NW_SUCCESS);
        QCOMPARE(store.remove("Office"), NW_SUCCESS);
        QCOMPARE(fake.get(fake.devicePath(), TestNetworkManager::device, "State").toUInt(), 100u);
        QCOMPARE(store.remove("Home"), NW_SUCCESS);
        QCOMPARE(fake.get(fake.devicePath(), TestNetworkManager::device, "State").toUInt(), 30u);
    }

    void ssidsAsBytes_data()
    {
        QTest::addColumn<QByteArray>("ssid");
        QTest::newRow("UTF-8") << QByteArray("Caf\xc3\xa9");
        QTest::newRow("NUL") << QByteArray("a\0b", 3);
        QTest::newRow("0x01") << QByteArray("\x01x");
    }

    void ssidsAsBytes()
    {
        QFETCH(QByteArray, ssid);
        NmProfileStore store(peer);
        QCOMPARE(store.store(document("net", ssid, "new-passphrase", true), false), NW_SUCCESS);
        const QStringList saved = profilesFor(ssid);
        QCOMPARE(saved.size(), 1);
        const std::string name = ssid.toStdString();
        QCOMPARE(store.find(name), saved.first());
        QCOMPARE(store.store(document("net", ssid, "other-passphrase", true), true), NW_SUCCESS);
        QCOMPARE(profilesFor(ssid), saved);
        QCOMPARE(store.remove(name), NW_SUCCESS);
        QCOMPARE(fake.connections(), QStringList());
    }

    void refusedByPolkit()
    {
        const QString user = fake.addConnection(userWifi("Home", "Home"));
        const Settings before = settingsAt(user);
        QVERIFY2(fake.denyPermissions(true), qPrintable(fake.error()));
        NmProfileStore store(peer);
        const struct {
            const char* operation;
            std::function<std::uint32_t()> run;
        } cases[] = {
            {"Update", [&] { return store.store(document("Home", "Home", "new-passphrase"), true); }},
            {"AddConnection", [&] { return store.store(document("Other", "Other", "new-passphrase"), false); }},
            {"Delete", [&] { return store.remove("Home"); }},
        };
        for (const auto& refused : cases) {
            TestMessages::take();
            QCOMPARE(refused.run(), NW_ERROR_ACCESS_DENIED);
            const QStringList lines = TestMessages::take();
            QCOMPARE(lines.size(), 1);
            QVERIFY2(lines.first().contains(QLatin1String(refused.operation))
                         && lines.first().contains("org.freedesktop.NetworkManager.Settings.PermissionDenied"),
                     qPrintable(lines.first()));
        }
        QCOMPARE(fake.connections(), QStringList{user});
        QCOMPARE(settingsAt(user), before);
    }
};

QTEST_GUILESS_MAIN(TestNmProfileStore)
#include "tst_nmprofilestore.moc"
