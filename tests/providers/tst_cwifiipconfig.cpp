// Guards the WLAN client's IP configuration on the fake NetworkManager
// (python3-dbusmock on a private system bus, with a systemd-resolved beside
// it): a device with two addresses read in Windows' terms, the MAC text, the
// netsh command lines, DHCP and static settings carried out on the active
// connection (Update, then Reapply or a new activation), a static
// configuration lacking an item refused whole, the DHCP notice, the DNS
// flush, and the kernel's own interfaces and resolv.conf without
// NetworkManager.
#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkInterface>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "classwifi/cwifi.h"
#include "platform.h"
#include "sim/simtablet.h"
#include "testmessages.h"
#include "testnetworkmanager.h"
#include "testsystembus.h"

namespace {

const QString kResolved = QStringLiteral("org.freedesktop.resolve1");
const QString kDeviceInterface = QStringLiteral("org.freedesktop.NetworkManager.Device");

QVariantMap address(const QString& text, uint prefix)
{
    return {{"address", text}, {"prefix", prefix}};
}

// The computer's name and, without a domain in it, the domain given.
QStringList hostAndDomain(const QString& domain)
{
    const QString host = QHostInfo::localHostName();
    const int dot = host.indexOf('.');
    return {host.left(dot), dot < 0 ? domain : host.mid(dot + 1)};
}

QString ipv4Summary(const QMap<QString, QVariantMap>& settings)
{
    const QVariantMap ipv4 = settings.value("ipv4");
    QList<QVariantMap> addresses;
    ipv4.value("address-data").value<QDBusArgument>() >> addresses;
    QList<uint> dns;
    ipv4.value("dns").value<QDBusArgument>() >> dns;
    QStringList parts{ipv4.value("method").toString()};
    for (const QVariantMap& entry : addresses)
        parts << entry.value("address").toString() + '/' + QString::number(entry.value("prefix").toUInt());
    parts << ipv4.value("gateway").toString();
    for (uint server : dns)
        parts << QHostAddress(qFromBigEndian(server)).toString();
    return parts.join(' ');
}

} // namespace

class TestCwifiIpConfig : public QObject
{
    Q_OBJECT

    TestSystemBus bus;
    TestNetworkManager nm{bus};
    QTemporaryDir etc;

    int flushes() { return bus.calls(kResolved, "/org/freedesktop/resolve1", "FlushCaches"); }

private slots:
    void initTestCase()
    {
        qDBusRegisterMetaType<QList<QVariantMap>>();
        QVERIFY2(bus.start(), qPrintable(bus.error()));
        QFile resolv(etc.filePath("resolv.conf"));
        QVERIFY(resolv.open(QIODevice::WriteOnly));
        resolv.write("# fixture\nnameserver 10.1.1.1\nsearch lab.example other.example\nnameserver 10.1.1.2\n");
        resolv.close();
        qputenv("VANTEL_ETC_ROOT", QFile::encodeName(etc.path()));
        QVERIFY2(bus.startService(kResolved, "/org/freedesktop/resolve1", "org.freedesktop.resolve1.Manager"),
                 qPrintable(bus.error()));
        QCOMPARE(bus.mock(kResolved, "/org/freedesktop/resolve1", "AddMethod", {QString(), "FlushCaches", "", "", ""})
                     .type(),
                 QDBusMessage::ReplyMessage);
        TestMessages::install();
    }

    // "lo" is a Wi-Fi device here, so that the machine's interfaces name it
    // too; it is connected to Home, with two addresses from DHCP.
    void init()
    {
        QVERIFY2(nm.start(), qPrintable(nm.error()));
        const QString device = nm.addWifiDevice("lo", 30);
        QVERIFY2(!device.isEmpty(), qPrintable(nm.error()));
        QVERIFY2(nm.connectTo("Home", nm.addAccessPoint("Home", "00:11:22:33:44:01", 60)), qPrintable(nm.error()));
        const QString ip4 = "/org/freedesktop/NetworkManager/IP4Config/1";
        const QString dhcp = "/org/freedesktop/NetworkManager/DHCP4Config/1";
        QVERIFY2(nm.addObject(ip4, "org.freedesktop.NetworkManager.IP4Config",
                              {{"AddressData", QVariant::fromValue(QList<QVariantMap>{address("192.168.1.20", 24),
                                                                                      address("10.0.0.5", 8)})},
                               {"Gateway", "192.168.1.1"}})
                     && nm.addObject(dhcp, "org.freedesktop.NetworkManager.DHCP4Config",
                                     {{"Options", QVariantMap{{"dhcp_server_identifier", "192.168.1.1"}}}})
                     && nm.addProperty(device, kDeviceInterface, "Ip4Config", QVariant::fromValue(QDBusObjectPath(ip4)))
                     && nm.addProperty(device, kDeviceInterface, "Dhcp4Config", QVariant::fromValue(QDBusObjectPath(dhcp)))
                     && nm.addMethod(device, kDeviceInterface, "Reapply", "a{sa{sv}}tu", "", ""),
                 qPrintable(nm.error()));
        TestMessages::take();
    }

    void deviceWithTwoAddresses()
    {
        QVERIFY2(nm.addObject("/org/freedesktop/NetworkManager/DnsManager", "org.freedesktop.NetworkManager.DnsManager",
                              {{"Configuration",
                                QVariant::fromValue(QList<QVariantMap>{
                                    {{"nameservers", QStringList{"192.168.1.1", "8.8.8.8"}},
                                     {"domains", QStringList{"workshop.lan"}}},
                                    {{"nameservers", QStringList{"8.8.8.8", "1.1.1.1"}}}})}}),
                 qPrintable(nm.error()));
        Cwifi client{QString()};
        WifiIpConfig config;
        config.hostName = "stale";
        QCOMPARE(client.GetIpConfig(&config), 1);
        QCOMPARE(config.addresses, QStringList({"192.168.1.20", "10.0.0.5"}));
        QCOMPARE(config.masks, QStringList({"255.255.255.0", "255.0.0.0"}));
        QCOMPARE(config.gateways, QStringList{"192.168.1.1"});
        QVERIFY(config.dhcpEnabled);
        QCOMPARE(config.dhcpServers, QStringList{"192.168.1.1"});
        QCOMPARE(config.adapterName + ' ' + config.description, QStringLiteral("lo lo"));
        QCOMPARE(config.macAddress, QStringLiteral("11-22-33-44-55-66\n"));
        QCOMPARE(TestMessages::take({"Scansione", "Alimntazione interfaccia cambiata"}),
                 QStringList{"11-22-33-44-55-66\n"});
        QCOMPARE(QStringList({config.hostName, config.domainName}), hostAndDomain("workshop.lan"));
        QCOMPARE(config.dnsServers, QStringList({"192.168.1.1", "8.8.8.8", "1.1.1.1"}));
        QCOMPARE(client.GetIpConfig(nullptr), 0);

        // No adapter of that name: the computer's part only.
        Cwifi elsewhere{QStringLiteral("wlan9")};
        QCOMPARE(elsewhere.GetIpConfig(&config), 1);
        QVERIFY(config.addresses.isEmpty() && config.adapterName.isEmpty() && config.macAddress.isEmpty());
        QCOMPARE(config.dnsServers.size(), 3);
    }

    void netshCommandLines_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("dhcp");
        QTest::addColumn<QStringList>("dns");
        QTest::addColumn<QString>("gateway");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("DHCP") << "Wi-Fi 2" << true << QStringList() << QString()
                              << QStringList{"netsh interface ip set address name=\"Wi-Fi 2\" dhcp",
                                             "netsh interface ip set dnsservers name=\"Wi-Fi 2\" dhcp"};
        QTest::newRow("static") << "Wi-Fi 2" << false << QStringList{"10.0.0.1", "9.9.9.9"} << "10.0.0.254"
                                << QStringList{"netsh interface ip set address name=\"Wi-Fi 2\" static 10.0.0.7 "
                                               "255.255.255.0 10.0.0.254",
                                               "netsh interface ip set dnsservers name=\"Wi-Fi 2\" static 10.0.0.1",
                                               "netsh interface ip add dns name=\"Wi-Fi 2\" 9.9.9.9 2"};
        QTest::newRow("static, one DNS server") << "Wi-Fi 2" << false << QStringList{"10.0.0.1"} << "10.0.0.254" << QStringList();
        QTest::newRow("static, no gateway") << "Wi-Fi 2" << false << QStringList{"10.0.0.1", "9.9.9.9"} << ""
                                            << QStringList();
        // Nothing the command interpreter would read as more than the name
        // and the addresses.
        QTest::newRow("gateway with a command") << "Wi-Fi 2" << false << QStringList{"10.0.0.1", "9.9.9.9"}
                                                << "10.0.0.254 & del /q x" << QStringList();
        QTest::newRow("DNS server 0-padded") << "Wi-Fi 2" << false << QStringList{"10.0.0.01", "9.9.9.9"}
                                             << "10.0.0.254" << QStringList();
        QTest::newRow("name with a quote") << "Wi-Fi\" & calc & \"" << true << QStringList() << QString()
                                           << QStringList();
        QTest::newRow("name with a variable") << "%PATH%" << true << QStringList() << QString() << QStringList();
        QTest::newRow("name with a line break") << "Wi-Fi\r\ncalc" << true << QStringList() << QString()
                                                << QStringList();
    }

    void netshCommandLines()
    {
        QFETCH(QString, name);
        QFETCH(bool, dhcp);
        QFETCH(QStringList, dns);
        QFETCH(QString, gateway);
        vantel::platform::IpInterfaceSettings settings;
        settings.name = name.toStdString();
        settings.dhcp = dhcp;
        settings.address = "10.0.0.7";
        settings.mask = "255.255.255.0";
        settings.gateway = gateway.toStdString();
        for (const QString& server : dns)
            settings.dnsServers.push_back(server.toStdString());
        QStringList lines;
        for (const std::string& line : vantel::platform::netshCommandLines(settings))
            lines << QString::fromStdString(line);
        QTEST(lines, "lines");
    }

    void staticThenDhcpOnTheActiveConnection()
    {
        Cwifi client{QString()};
        const int flushed = flushes();
        WifiIpConfig config;
        config.addresses = QStringList{"192.168.7.9", "192.168.7.10"};
        config.masks = QStringList{"255.255.255.0"};
        config.gateways = QStringList{"192.168.7.1"};
        config.dnsServers = QStringList{"192.168.7.1"};
        QCOMPARE(client.SetIpConfig(&config), 0); // one DNS server: refused whole
        QCOMPARE(nm.calls(nm.devicePath(), "Reapply"), 0);
        QCOMPARE(flushes(), flushed);

        config.dnsServers << "9.9.9.9";
        QCOMPARE(client.SetIpConfig(&config), 1);
        QCOMPARE(ipv4Summary(nm.savedConnection("Home")), QStringLiteral("manual 192.168.7.9/24 192.168.7.1 192.168.7.1 9.9.9.9"));
        QCOMPARE(nm.calls(nm.devicePath(), "Reapply"), 1);
        QCOMPARE(flushes(), flushed + 1);

        config.dhcpEnabled = true;
        QCOMPARE(client.SetIpConfig(&config), 1);
        // Update replaces the whole setting: no address, gateway or DNS server stays.
        QCOMPARE(ipv4Summary(nm.savedConnection("Home")), QStringLiteral("auto "));
        QCOMPARE(nm.calls(nm.devicePath(), "Reapply"), 2);

        // A device that will not take the change as it runs: activated anew.
        QVERIFY(nm.addMethod(nm.devicePath(), kDeviceInterface, "Reapply", "a{sa{sv}}tu", "",
                             "raise dbus.exceptions.DBusException('no', name='org.freedesktop.NetworkManager."
                             "Device.IncompatibleConnection')"));
        QCOMPARE(client.SetIpConfig(&config), 1);
        QCOMPARE(nm.calls("/org/freedesktop/NetworkManager", "ActivateConnection"), 1);
        QCOMPARE(client.SetIpConfig(nullptr), 0);
    }

    void dhcpNotice()
    {
        Cwifi client{QString()};
        QCOMPARE(client.NotifyDhcpChange("lo", true, 0, 0), 1);
        QCOMPARE(nm.calls(nm.devicePath(), "Reapply"), 1);
        QCOMPARE(client.NotifyDhcpChange("wlan9", false, 0x0107a8c0, 0x00ffffff), 0);
        QCOMPARE(client.NotifyDhcpChange(nullptr, true, 0, 0), 0);
    }

    void simulatedTablet()
    {
        const auto native = vantel::platform::currentBackend();
        auto tablet = std::make_shared<vantel::platform::SimTablet>();
        vantel::platform::installBackend(tablet);
        {
            Cwifi wifi{QString()};
            WifiIpConfig config;
            QCOMPARE(wifi.GetIpConfig(&config), 1);
            QCOMPARE(config.addresses.join(' ') + ' ' + config.hostName + ' ' + config.dhcpServers.join(' '),
                     QStringLiteral("192.168.50.23 vantel-tablet 192.168.50.1"));
            config.dhcpEnabled = false;
            config.addresses = QStringList{"192.168.50.99"};
            config.dnsServers = QStringList{"1.1.1.1", "9.9.9.9"};
            QCOMPARE(wifi.SetIpConfig(&config), 1);
            QCOMPARE(tablet->simIp().flushes(), 1);
            QCOMPARE(wifi.GetIpConfig(&config), 1);
            QCOMPARE(config.addresses.join(' ') + ' ' + config.dnsServers.join(' ') + ' ' + config.gateways.join(' '),
                     QStringLiteral("192.168.50.99 1.1.1.1 9.9.9.9 192.168.50.1"));
            QVERIFY(!config.dhcpEnabled && config.dhcpServers.isEmpty());
        }
        vantel::platform::installBackend(native);
    }

    void kernelInterfacesAndResolvConfWithoutNetworkManager()
    {
        QVERIFY2(nm.stop(), qPrintable(nm.error()));
        QStringList expected;
        for (const QNetworkInterface& candidate : QNetworkInterface::allInterfaces()) {
            if (candidate.flags() & QNetworkInterface::IsLoopBack)
                continue;
            QStringList addresses;
            for (const QNetworkAddressEntry& entry : candidate.addressEntries())
                if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                    addresses << entry.ip().toString() + '/' + entry.netmask().toString();
            expected << candidate.name() + ' ' + (addresses.isEmpty() ? "0.0.0.0/0.0.0.0" : addresses.join(','));
        }
        std::vector<vantel::platform::IP_ADAPTER_INFO> adapters;
        QCOMPARE(vantel::platform::ipHelper().getAdaptersInfo(adapters), expected.isEmpty() ? 232u : 0u);
        QStringList seen;
        for (const auto& adapter : adapters) {
            QStringList addresses;
            for (const auto& entry : adapter.IpAddressList)
                addresses << QString::fromStdString(entry.IpAddress + '/' + entry.IpMask);
            seen << QString::fromStdString(adapter.AdapterName) + ' ' + addresses.join(',');
        }
        seen.sort();
        expected.sort();
        QCOMPARE(seen, expected);

        vantel::platform::FIXED_INFO network;
        QCOMPARE(vantel::platform::ipHelper().getNetworkParams(network), 0u);
        QCOMPARE(QStringList({QString::fromStdString(network.HostName), QString::fromStdString(network.DomainName)}),
                 hostAndDomain("lab.example"));
        QCOMPARE(network.DnsServerList, (std::vector<std::string>{"10.1.1.1", "10.1.1.2"}));
    }
};

QTEST_MAIN(TestCwifiIpConfig)
#include "tst_cwifiipconfig.moc"
