// Guards the Linux backend's NetworkManager work against Debian's real
// daemon (in a network namespace of the test's own, on a private bus),
// where the fake could be kinder: profiles stored, stored again over a
// user's connection whose other settings must stay, deleted, and an
// Ethernet connection named like an SSID left alone; and the IP helper on a
// managed veth: the adapter read from the daemon, a static and a DHCP
// configuration applied to its active connection. The daemon has no Wi-Fi
// device here, so the profile work is called on the backend below the
// interface check that Native Wifi makes first. Skips without root or
// without NetworkManager installed.
#include <QDBusArgument>
#include <QDir>
#include <QHostAddress>
#include <QNetworkInterface>
#include <QtEndian>
#include <QtTest>

#include <net/if.h>

#include "linux/linuxiphelper.h"
#include "linux/linuxnativewifi.h"
#include "testrealnetworkmanager.h"
#include "testsystembus.h"

using namespace vantel::platform;
using Settings = TestRealNetworkManager::Settings;

namespace {

// The profile work of the backend, reachable without a Wi-Fi interface.
class ProfileStore : public LinuxNativeWifi
{
public:
    using LinuxNativeWifi::removeProfile;
    using LinuxNativeWifi::storeProfile;
};

const QString kWired = QStringLiteral("vt0");
const QString kPeer = QStringLiteral("vt1");

std::string profileXml(const QString& ssid, const QString& key)
{
    return QStringLiteral("<?xml version=\"1.0\"?>\n"
                          "<WLANProfile xmlns=\"http://www.microsoft.com/networking/WLAN/profile/v1\">"
                          "<name>%1</name><SSIDConfig><SSID><name>%1</name></SSID>"
                          "<nonBroadcast>false</nonBroadcast></SSIDConfig><connectionType>ESS</connectionType>"
                          "<connectionMode>auto</connectionMode><MSM><security><authEncryption>"
                          "<authentication>WPA2PSK</authentication><encryption>AES</encryption>"
                          "<useOneX>false</useOneX></authEncryption><sharedKey><keyType>passPhrase</keyType>"
                          "<protected>false</protected><keyMaterial>%2</keyMaterial></sharedKey>"
                          "</security></MSM></WLANProfile>")
        .arg(ssid, key)
        .toStdString();
}

QVariantMap staticIpv4(const QString& address, uint prefix, const QString& gateway)
{
    return {{"method", "manual"},
            {"address-data", QVariant::fromValue(QList<QVariantMap>{{{"address", address}, {"prefix", prefix}}})},
            {"gateway", gateway}};
}

// "manual 192.0.2.5/24 gw 192.0.2.1" from a connection's ipv4 setting.
QString ipv4Summary(const Settings& settings)
{
    const QVariantMap ipv4 = settings.value("ipv4");
    QList<QVariantMap> addresses;
    if (ipv4.contains("address-data"))
        ipv4.value("address-data").value<QDBusArgument>() >> addresses;
    QStringList parts{ipv4.value("method").toString()};
    for (const QVariantMap& entry : addresses)
        parts << entry.value("address").toString() + '/' + QString::number(entry.value("prefix").toUInt());
    if (ipv4.contains("gateway"))
        parts << "gw" << ipv4.value("gateway").toString();
    return parts.join(' ');
}

// A user's own Wi-Fi connection, made as a settings program would.
Settings userWifi(const QString& ssid)
{
    return {{"connection", {{"id", ssid}, {"uuid", QUuid::createUuid().toString(QUuid::WithoutBraces)},
                            {"type", "802-11-wireless"}, {"autoconnect-priority", 7}}},
            {"802-11-wireless", {{"ssid", ssid.toUtf8()}, {"mode", "infrastructure"}, {"assigned-mac-address", "stable"}}},
            {"802-11-wireless-security", {{"key-mgmt", "wpa-psk"}, {"psk", "user-passphrase"}}},
            {"ipv4", staticIpv4("192.0.2.5", 24, "192.0.2.1")},
            {"ipv6", {{"method", "disabled"}}}};
}

Settings wiredConnection(const QString& id, const QString& interfaceName)
{
    Settings settings{{"connection", {{"id", id}, {"uuid", QUuid::createUuid().toString(QUuid::WithoutBraces)},
                                      {"type", "802-3-ethernet"}}},
                      {"802-3-ethernet", {}},
                      {"ipv4", staticIpv4("192.0.2.5", 24, "192.0.2.1")},
                      {"ipv6", {{"method", "disabled"}}}};
    if (!interfaceName.isEmpty())
        settings["connection"]["interface-name"] = interfaceName;
    else
        settings["connection"]["autoconnect"] = false;
    return settings;
}

const IP_ADAPTER_INFO* adapterNamed(const std::vector<IP_ADAPTER_INFO>& adapters, const QString& name)
{
    for (const IP_ADAPTER_INFO& adapter : adapters)
        if (QString::fromStdString(adapter.AdapterName) == name)
            return &adapter;
    return nullptr;
}

// "192.0.2.5/255.255.255.0 gw 192.0.2.1 dhcp 0" of an adapter.
QString adapterSummary(LinuxIpHelper& helper, const QString& name)
{
    std::vector<IP_ADAPTER_INFO> adapters;
    helper.getAdaptersInfo(adapters);
    const IP_ADAPTER_INFO* adapter = adapterNamed(adapters, name);
    if (!adapter)
        return QStringLiteral("no adapter");
    QStringList parts;
    for (const IP_ADDR_STRING& address : adapter->IpAddressList)
        parts << QString::fromStdString(address.IpAddress + '/' + address.IpMask);
    parts << "gw" << QString::fromStdString(adapter->GatewayList.front().IpAddress);
    parts << "dhcp" << QString::number(adapter->DhcpEnabled);
    return parts.join(' ');
}

QStringList kernelAddresses(const QString& name)
{
    QStringList found;
    for (const QNetworkAddressEntry& entry : QNetworkInterface::interfaceFromName(name).addressEntries())
        if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
            found << entry.ip().toString() + '/' + QString::number(entry.prefixLength());
    return found;
}

} // namespace

class TestLinuxRealNetworkManager : public QObject
{
    Q_OBJECT

    TestSystemBus bus;
    TestRealNetworkManager nm{bus};
    std::unique_ptr<ProfileStore> store;
    HANDLE handle = 0;

    std::uint32_t storeProfile(const QString& ssid, const QString& key, bool overwrite = true)
    {
        std::uint32_t reason = 0;
        return store->storeProfile(GUID(), profileXml(ssid, key), overwrite, reason);
    }

private slots:
    void initTestCase()
    {
        const QString missing = TestRealNetworkManager::unavailable();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
        QVERIFY2(nm.enterOwnNetworkNamespace(), qPrintable(nm.error()));
        QVERIFY2(nm.addVeth(kWired, kPeer), qPrintable(nm.error()));
        QVERIFY2(bus.start(), qPrintable(bus.error()));
        QVERIFY2(nm.start({kWired}), qPrintable(nm.error()));
    }

    void init()
    {
        for (const QString& path : nm.connections())
            bus.call("org.freedesktop.NetworkManager", path, "org.freedesktop.NetworkManager.Settings.Connection",
                     "Delete");
        QCOMPARE(nm.connections(), QStringList());
        store = std::make_unique<ProfileStore>();
        std::uint32_t version = 0;
        QCOMPARE(store->openHandle(NW_CLIENT_VERSION, version, handle), NW_SUCCESS);
    }

    void cleanup()
    {
        if (store)
            store->closeHandle(handle);
        store.reset();
        QVERIFY2(nm.running(), nm.log().constData());
    }

    void storeStoreAgainAndDelete()
    {
        QCOMPARE(storeProfile("Home", "first-passphrase"), NW_SUCCESS);
        const QString path = nm.connectionNamed("Home");
        QVERIFY2(!path.isEmpty(), qPrintable(nm.error()));
        const Settings stored = nm.settings(path);
        QCOMPARE(stored.value("connection").value("type").toString(), QStringLiteral("802-11-wireless"));
        QCOMPARE(stored.value("802-11-wireless").value("ssid").toByteArray(), QByteArray("Home"));
        QCOMPARE(stored.value("802-11-wireless-security").value("key-mgmt").toString(), QStringLiteral("wpa-psk"));
        QCOMPARE(nm.secrets(path, "802-11-wireless-security").value("psk").toString(), QStringLiteral("first-passphrase"));
        QVERIFY(QFile::exists(QDir(nm.keyfileFolder()).filePath("Home.nmconnection")));

        QCOMPARE(storeProfile("Home", "second-passphrase", false), NW_ERROR_ALREADY_EXISTS);
        QCOMPARE(nm.secrets(path, "802-11-wireless-security").value("psk").toString(), QStringLiteral("first-passphrase"));
        QCOMPARE(storeProfile("Home", "second-passphrase"), NW_SUCCESS);
        QCOMPARE(nm.connections(), QStringList{path});
        QCOMPARE(nm.settings(path).value("connection").value("uuid"), stored.value("connection").value("uuid"));
        QCOMPARE(nm.secrets(path, "802-11-wireless-security").value("psk").toString(), QStringLiteral("second-passphrase"));

        QCOMPARE(store->removeProfile(GUID(), "Home"), NW_SUCCESS);
        QCOMPARE(nm.connections(), QStringList());
        QVERIFY(!QFile::exists(QDir(nm.keyfileFolder()).filePath("Home.nmconnection")));
        QCOMPARE(store->removeProfile(GUID(), "Home"), NW_ERROR_NOT_FOUND);
    }

    // A user's connection for the network, stored over by a profile that
    // says only the network and its key: its addresses, IPv6, MAC policy and
    // priority stay.
    void storeOverKeepsTheRest()
    {
        const QString path = nm.addConnection(userWifi("Office"));
        QVERIFY2(!path.isEmpty(), qPrintable(nm.error()));
        QCOMPARE(storeProfile("Office", "new-passphrase"), NW_SUCCESS);
        QCOMPARE(nm.connections(), QStringList{path});
        QCOMPARE(nm.secrets(path, "802-11-wireless-security").value("psk").toString(), QStringLiteral("new-passphrase"));
        const Settings now = nm.settings(path);
        QCOMPARE(ipv4Summary(now), QStringLiteral("manual 192.0.2.5/24 gw 192.0.2.1"));
        QCOMPARE(now.value("ipv6").value("method").toString(), QStringLiteral("disabled"));
        QCOMPARE(now.value("802-11-wireless").value("assigned-mac-address").toString(), QStringLiteral("stable"));
        QCOMPARE(now.value("connection").value("autoconnect-priority").toInt(), 7);
    }

    void ethernetNamedLikeAnSsidIsLeftAlone()
    {
        const QString wired = nm.addConnection(wiredConnection("Home", QString()));
        QVERIFY2(!wired.isEmpty(), qPrintable(nm.error()));
        const Settings before = nm.settings(wired);

        const std::uint32_t stored = storeProfile("Home", "first-passphrase");
        const Settings after = nm.settings(wired);
        QCOMPARE(after.value("connection").value("type").toString(), QStringLiteral("802-3-ethernet"));
        QCOMPARE(ipv4Summary(after), ipv4Summary(before));
        QCOMPARE(stored, NW_SUCCESS);
        QCOMPARE(nm.connections().size(), 2);

        QCOMPARE(store->removeProfile(GUID(), "Home"), NW_SUCCESS);
        QCOMPARE(store->removeProfile(GUID(), "Home"), NW_ERROR_NOT_FOUND);
        QCOMPARE(nm.connections(), QStringList{wired});
        // Address lists arrive as D-Bus arguments, which never compare equal.
        const Settings last = nm.settings(wired);
        QCOMPARE(last.value("connection"), after.value("connection"));
        QCOMPARE(ipv4Summary(last), ipv4Summary(after));
    }

    void adapterReadFromTheDaemon()
    {
        QVERIFY2(!nm.addConnection(wiredConnection("wired", kWired)).isEmpty(), qPrintable(nm.error()));
        QVERIFY2(nm.waitForDeviceState(kWired, 100), qPrintable(nm.error()));
        LinuxIpHelper helper{"/etc"};
        std::vector<IP_ADAPTER_INFO> adapters;
        QCOMPARE(helper.getAdaptersInfo(adapters), IPH_SUCCESS);
        const IP_ADAPTER_INFO* managed = adapterNamed(adapters, kWired);
        QVERIFY(managed);
        QCOMPARE(managed->Index, if_nametoindex("vt0"));
        QCOMPARE(managed->Address.size(), std::size_t(6));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(managed->Address.data()), 6).toHex(':'),
                 QNetworkInterface::interfaceFromName(kWired).hardwareAddress().toLower().toLatin1());
        QCOMPARE(adapterSummary(helper, kWired), QStringLiteral("192.0.2.5/255.255.255.0 gw 192.0.2.1 dhcp 0"));
        // The peer is the daemon's but unmanaged; only the namespace's own
        // interfaces are listed, the machine's are not.
        QStringList names;
        for (const IP_ADAPTER_INFO& adapter : adapters)
            names << QString::fromStdString(adapter.AdapterName);
        names.sort();
        QCOMPARE(names, (QStringList{kWired, kPeer}));
    }

    void configurationApplied_data()
    {
        QTest::addColumn<bool>("dhcp");
        QTest::addColumn<QString>("ipv4");
        QTest::addColumn<QStringList>("kernel");
        QTest::newRow("static") << false << "manual 198.51.100.7/24 gw 198.51.100.1" << QStringList{"198.51.100.7/24"};
        // No DHCP server answers on the peer: the static address is gone
        // from the kernel while the daemon asks for a lease.
        QTest::newRow("DHCP") << true << "auto" << QStringList();
    }

    void configurationApplied()
    {
        QFETCH(bool, dhcp);
        QFETCH(QStringList, kernel);
        const QString path = nm.addConnection(wiredConnection("wired", kWired));
        QVERIFY2(nm.waitForDeviceState(kWired, 100), qPrintable(nm.error()));
        LinuxIpHelper helper{"/etc"};
        IpInterfaceSettings ip;
        ip.name = kWired.toStdString();
        if (!dhcp) {
            ip.dhcp = false;
            ip.address = "198.51.100.7";
            ip.mask = "255.255.255.0";
            ip.gateway = "198.51.100.1";
            ip.dnsServers = {"198.51.100.53", "198.51.100.54"};
        }
        QCOMPARE(helper.setInterfaceSettings(ip), IPH_SUCCESS);
        const Settings now = nm.settings(path);
        QTEST(ipv4Summary(now), "ipv4");
        QTRY_COMPARE(kernelAddresses(kWired), kernel);
        if (dhcp)
            return;
        QList<uint> dns;
        now.value("ipv4").value("dns").value<QDBusArgument>() >> dns;
        QCOMPARE(dns, (QList<uint>{qToBigEndian(QHostAddress("198.51.100.53").toIPv4Address()),
                                   qToBigEndian(QHostAddress("198.51.100.54").toIPv4Address())}));
        QCOMPARE(now.value("ipv6").value("method").toString(), QStringLiteral("disabled"));
        QCOMPARE(now.value("connection").value("id").toString(), QStringLiteral("wired"));
        // Applied to the running device in the daemon too.
        QTRY_COMPARE(adapterSummary(helper, kWired), QStringLiteral("198.51.100.7/255.255.255.0 gw 198.51.100.1 dhcp 0"));
        QVERIFY(QFile(QDir(nm.keyfileFolder()).filePath("wired.nmconnection")).open(QIODevice::ReadOnly));
    }

    void refusedWhereNothingIsActive()
    {
        LinuxIpHelper helper{"/etc"};
        IpInterfaceSettings ip;
        ip.name = kPeer.toStdString();
        QCOMPARE(helper.setInterfaceSettings(ip), IPH_ERROR_INVALID_STATE);
        ip.name = "nosuch0";
        QCOMPARE(helper.setInterfaceSettings(ip), IPH_ERROR_NOT_FOUND);
    }

    void cleanupTestCase()
    {
        QVERIFY2(nm.stop(), qPrintable(nm.error()));
    }
};

QTEST_MAIN(TestLinuxRealNetworkManager)
#include "tst_linuxrealnetworkmanager.moc"
