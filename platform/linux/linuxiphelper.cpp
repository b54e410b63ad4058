#include "linuxiphelper.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QHostAddress>

#include <algorithm>
#include <atomic>
#include <set>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <netpacket/packet.h>
#include <unistd.h>

#include "linuxfile.h"
#include "nmclient.h"
#include "nmsettings.h"
#include "nmstate.h"

namespace vantel::platform {

namespace {

// A resolver configuration is a few lines; more is not one.
constexpr std::size_t kLargestResolvConf = 1024 * 1024;

const char* const kManagerPath = "/org/freedesktop/NetworkManager";
const char* const kManager = "org.freedesktop.NetworkManager";
const char* const kActive = "org.freedesktop.NetworkManager.Connection.Active";
const char* const kIp4Config = "org.freedesktop.NetworkManager.IP4Config";
const char* const kDhcp4Config = "org.freedesktop.NetworkManager.DHCP4Config";
const char* const kDnsManagerPath = "/org/freedesktop/NetworkManager/DnsManager";
const char* const kDnsManager = "org.freedesktop.NetworkManager.DnsManager";
const char* const kResolved = "org.freedesktop.resolve1";

std::atomic<int> helperCount{0};

QString text(const char* latin1)
{
    return QString::fromLatin1(latin1);
}

// An aa{sv} property (AddressData, Configuration).
QList<QVariantMap> mapList(const QVariant& value)
{
    const QVariant plain = nmPlain(value);
    QList<QVariantMap> maps;
    if (plain.userType() == qMetaTypeId<QDBusArgument>())
        plain.value<QDBusArgument>() >> maps;
    return maps;
}

QVariantMap map(const QVariant& value)
{
    const QVariant plain = nmPlain(value);
    return plain.userType() == qMetaTypeId<QDBusArgument>() ? qdbus_cast<QVariantMap>(plain) : plain.toMap();
}

std::string maskText(uint prefix)
{
    const quint32 mask = prefix == 0 ? 0 : 0xffffffffu << (32 - std::min(prefix, 32u));
    return QHostAddress(mask).toString().toStdString();
}

const IP_ADDR_STRING kNone{"0.0.0.0", "0.0.0.0"};

std::vector<std::uint8_t> macBytes(const QString& text)
{
    std::vector<std::uint8_t> bytes;
    const QStringList parts = text.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        bool ok = false;
        const uint byte = part.toUInt(&ok, 16);
        if (!ok || byte > 0xff || bytes.size() == 8)
            return {};
        bytes.push_back(std::uint8_t(byte));
    }
    return bytes;
}

std::string dotted(const sockaddr* address)
{
    char buffer[INET_ADDRSTRLEN] = {};
    if (!address || !inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, buffer, sizeof buffer))
        return "0.0.0.0";
    return buffer;
}

struct KernelInterface {
    std::string name;
    bool loopback = false;
    bool ethernet = false;
    std::vector<std::uint8_t> mac;
    std::vector<IP_ADDR_STRING> addresses;
};

// The kernel's interfaces in its order, with their IPv4 addresses and
// hardware address.
std::vector<KernelInterface> kernelInterfaces()
{
    std::vector<KernelInterface> found;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return found;
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_name)
            continue;
        auto known = std::find_if(found.begin(), found.end(),
                                  [&](const KernelInterface& k) { return k.name == entry->ifa_name; });
        if (known == found.end())
            known = found.insert(found.end(), KernelInterface{entry->ifa_name, false, false, {}, {}});
        known->loopback = entry->ifa_flags & IFF_LOOPBACK;
        if (!entry->ifa_addr)
            continue;
        if (entry->ifa_addr->sa_family == AF_PACKET) {
            const auto* link = reinterpret_cast<const sockaddr_ll*>(entry->ifa_addr);
            known->mac.assign(link->sll_addr, link->sll_addr + std::min<int>(link->sll_halen, 8));
            known->ethernet = link->sll_hatype == ARPHRD_ETHER;
        } else if (entry->ifa_addr->sa_family == AF_INET) {
            known->addresses.push_back({dotted(entry->ifa_addr), dotted(entry->ifa_netmask)});
        }
    }
    freeifaddrs(list);
    return found;
}

// An adapter NetworkManager manages, from its device at `path`; false for
// one that is not an adapter (loopback, no interface).
bool managedAdapter(NmClient& nm, const QString& path, IP_ADAPTER_INFO& adapter)
{
    const QVariantMap device = nm.properties(path, QLatin1String(NmClient::deviceInterface));
    const uint type = nmPlain(device.value(QStringLiteral("DeviceType"))).toUInt();
    const QString name = nmPlain(device.value(QStringLiteral("Interface"))).toString();
    if (name.isEmpty() || type == NM_DEVICE_TYPE_LOOPBACK)
        return false;
    adapter.AdapterName = adapter.Description = name.toStdString();
    adapter.Index = if_nametoindex(adapter.AdapterName.c_str());
    adapter.Type = type == NM_DEVICE_TYPE_WIFI       ? IPH_IF_TYPE_IEEE80211
                   : type == NM_DEVICE_TYPE_ETHERNET ? IPH_IF_TYPE_ETHERNET
                                                     : IPH_IF_TYPE_OTHER;
    QString hardware = nmPlain(device.value(QStringLiteral("HwAddress"))).toString();
    if (hardware.isEmpty() && type == NM_DEVICE_TYPE_WIFI) // before NetworkManager 1.24, only here
        hardware = nmPlain(nm.properties(path, QStringLiteral("org.freedesktop.NetworkManager.Device.Wireless"))
                               .value(QStringLiteral("HwAddress")))
                       .toString();
    adapter.Address = macBytes(hardware);

    const QString ip4 = nmPath(device.value(QStringLiteral("Ip4Config")));
    if (!ip4.isEmpty()) {
        const QVariantMap config = nm.properties(ip4, text(kIp4Config));
        for (const QVariantMap& address : mapList(config.value(QStringLiteral("AddressData"))))
            adapter.IpAddressList.push_back({nmPlain(address.value(QStringLiteral("address"))).toString().toStdString(),
                                             maskText(nmPlain(address.value(QStringLiteral("prefix"))).toUInt())});
        const QString gateway = nmPlain(config.value(QStringLiteral("Gateway"))).toString();
        if (!gateway.isEmpty())
            adapter.GatewayList.push_back({gateway.toStdString(), "255.255.255.255"});
    }
    const QString dhcp = nmPath(device.value(QStringLiteral("Dhcp4Config")));
    if (!dhcp.isEmpty()) {
        adapter.DhcpEnabled = 1;
        const QVariantMap options = map(nm.properties(dhcp, text(kDhcp4Config)).value(QStringLiteral("Options")));
        adapter.DhcpServer.IpAddress = nmPlain(options.value(QStringLiteral("dhcp_server_identifier"))).toString().toStdString();
        adapter.DhcpServer.IpMask = "255.255.255.255";
    }
    return true;
}

// The device NetworkManager has for the interface `name`.
QString deviceOf(NmClient& nm, const std::string& name, std::uint32_t& error)
{
    const QDBusMessage reply = nm.call(text(kManagerPath), text(kManager), QStringLiteral("GetDeviceByIpIface"),
                                       {QString::fromStdString(name)});
    error = NmClient::windowsError(reply);
    // No device for that name, however NetworkManager puts it.
    if (error != IPH_SUCCESS && error != IPH_ERROR_SERVICE_NOT_ACTIVE && error != IPH_ERROR_TIMEOUT
        && error != IPH_ERROR_ACCESS_DENIED)
        error = IPH_ERROR_NOT_FOUND;
    return error == IPH_SUCCESS ? nmPath(reply.arguments().value(0)) : QString();
}

// resolv.conf's name servers and first domain, when NetworkManager does not tell.
void readResolvConf(const std::string& etcRoot, FIXED_INFO& info, QString& domain)
{
    std::string text;
    if (!readRegularFile(etcRoot + "/resolv.conf", kLargestResolvConf, text))
        return;
    for (const QString& line : QString::fromUtf8(text.data(), int(text.size())).split(QLatin1Char('\n'))) {
        const QStringList words = line.simplified().split(QLatin1Char(' '));
        if (words.size() < 2)
            continue;
        if (words[0] == QLatin1String("nameserver"))
            info.DnsServerList.push_back(words[1].toStdString());
        else if ((words[0] == QLatin1String("domain") || words[0] == QLatin1String("search")) && domain.isEmpty())
            domain = words[1];
    }
}

} // namespace

LinuxIpHelper::LinuxIpHelper(std::string etc) : etcRoot(std::move(etc)) {}

LinuxIpHelper::~LinuxIpHelper()
{
    if (!connectionName.isEmpty())
        QDBusConnection::disconnectFromBus(connectionName);
}

QDBusConnection LinuxIpHelper::bus()
{
    std::lock_guard<std::mutex> guard(busLock);
    if (connectionName.isEmpty()) {
        connectionName = QStringLiteral("vantel-iphelper-%1").arg(++helperCount);
        return QDBusConnection::connectToBus(QDBusConnection::SystemBus, connectionName);
    }
    return QDBusConnection(connectionName);
}

std::uint32_t LinuxIpHelper::getAdaptersInfo(std::vector<IP_ADAPTER_INFO>& adapters)
{
    adapters.clear();
    const std::vector<KernelInterface> kernel = kernelInterfaces();
    std::set<std::string> managed;
    NmClient nm(bus());
    const QDBusMessage devices = nm.call(text(kManagerPath), text(kManager), QStringLiteral("GetDevices"));
    if (devices.type() == QDBusMessage::ReplyMessage) {
        for (const QString& path : nmPaths(devices.arguments().value(0))) {
            IP_ADAPTER_INFO adapter;
            if (!managedAdapter(nm, path, adapter))
                continue;
            if (adapter.Address.empty())
                for (const KernelInterface& known : kernel)
                    if (known.name == adapter.AdapterName)
                        adapter.Address = known.mac;
            managed.insert(adapter.AdapterName);
            adapters.push_back(std::move(adapter));
        }
    }
    for (const KernelInterface& known : kernel) {
        if (known.loopback || managed.count(known.name))
            continue;
        IP_ADAPTER_INFO adapter;
        adapter.AdapterName = adapter.Description = known.name;
        adapter.Index = if_nametoindex(known.name.c_str());
        adapter.Type = known.ethernet ? IPH_IF_TYPE_ETHERNET : IPH_IF_TYPE_OTHER;
        adapter.Address = known.mac;
        adapter.IpAddressList = known.addresses;
        adapters.push_back(std::move(adapter));
    }
    for (IP_ADAPTER_INFO& adapter : adapters) {
        if (adapter.IpAddressList.empty())
            adapter.IpAddressList.push_back(kNone);
        if (adapter.GatewayList.empty())
            adapter.GatewayList.push_back(kNone);
    }
    return adapters.empty() ? IPH_ERROR_NO_DATA : IPH_SUCCESS;
}

std::uint32_t LinuxIpHelper::getNetworkParams(FIXED_INFO& info)
{
    info = FIXED_INFO();
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    const std::string name = host;
    const std::size_t dot = name.find('.');
    info.HostName = name.substr(0, dot);
    if (dot != std::string::npos)
        info.DomainName = name.substr(dot + 1);

    QString domain;
    NmClient nm(bus());
    const QVariantMap dns = nm.properties(text(kDnsManagerPath), text(kDnsManager));
    if (dns.contains(QStringLiteral("Configuration"))) {
        for (const QVariantMap& entry : mapList(dns.value(QStringLiteral("Configuration")))) {
            for (const QString& server : nmPlain(entry.value(QStringLiteral("nameservers"))).toStringList())
                if (std::find(info.DnsServerList.begin(), info.DnsServerList.end(), server.toStdString())
                    == info.DnsServerList.end())
                    info.DnsServerList.push_back(server.toStdString());
            const QStringList domains = nmPlain(entry.value(QStringLiteral("domains"))).toStringList();
            if (domain.isEmpty() && !domains.isEmpty())
                domain = domains.first();
        }
    } else {
        readResolvConf(etcRoot, info, domain);
    }
    if (info.DomainName.empty())
        info.DomainName = domain.toStdString();
    return IPH_SUCCESS;
}

std::uint32_t LinuxIpHelper::setInterfaceSettings(const IpInterfaceSettings& ip)
{
    if (netshCommandLines(ip).empty())
        return IPH_ERROR_INVALID_PARAMETER;
    NmClient nm(bus());
    std::uint32_t error = IPH_SUCCESS;
    const QString device = deviceOf(nm, ip.name, error);
    if (device.isEmpty())
        return error;
    const QString active = nmPath(nm.properties(device, QLatin1String(NmClient::deviceInterface)).value(QStringLiteral("ActiveConnection")));
    const QString connection = active.isEmpty() ? QString()
                                                : nmPath(nm.properties(active, text(kActive)).value(QStringLiteral("Connection")));
    if (connection.isEmpty())
        return IPH_ERROR_INVALID_STATE;
    NmSettings settings = NmClient::settingsOf(nm.call(connection, QLatin1String(NmClient::connectionInterface), QStringLiteral("GetSettings")));
    if (settings.isEmpty())
        return IPH_ERROR_NOT_FOUND;
    // Update replaces the settings whole: the secrets it does not get are lost.
    const QString security = QStringLiteral("802-11-wireless-security");
    if (settings.contains(security) && !nm.addSecrets(connection, security, settings))
        return nm.error();
    if (!nmSetIpv4(settings, ip))
        return IPH_ERROR_INVALID_PARAMETER;
    error = NmClient::windowsError(nm.call(connection, QLatin1String(NmClient::connectionInterface), QStringLiteral("Update"),
                                           {NmClient::settingsArgument(settings)}));
    if (error != IPH_SUCCESS)
        return error;
    const QDBusMessage reapplied = nm.call(device, QLatin1String(NmClient::deviceInterface), QStringLiteral("Reapply"),
                                           {NmClient::settingsArgument(NmSettings()), qulonglong(0), uint(0)});
    if (reapplied.type() == QDBusMessage::ReplyMessage)
        return IPH_SUCCESS;
    // The device would not take the change as it runs: a new activation.
    return NmClient::windowsError(nm.call(text(kManagerPath), text(kManager), QStringLiteral("ActivateConnection"),
                                          {QVariant::fromValue(QDBusObjectPath(connection)),
                                           QVariant::fromValue(QDBusObjectPath(device)),
                                           QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")))}));
}

void LinuxIpHelper::flushResolverCache()
{
    NmClient calls(bus());
    // The bus answers this itself: no wait for a resolver that is not there.
    const QDBusMessage running = calls.call(QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"),
                                            QStringLiteral("NameHasOwner"), {text(kResolved)},
                                            QStringLiteral("org.freedesktop.DBus"));
    if (!running.arguments().value(0).toBool())
        return;
    calls.call(QStringLiteral("/org/freedesktop/resolve1"), QStringLiteral("org.freedesktop.resolve1.Manager"),
               QStringLiteral("FlushCaches"), {}, text(kResolved));
}

std::uint32_t LinuxIpHelper::dhcpNotifyConfigChange(const std::string& adapterName, bool, std::uint32_t, std::uint32_t,
                                                    std::uint32_t, std::uint32_t)
{
    NmClient nm(bus());
    std::uint32_t error = IPH_SUCCESS;
    const QString device = deviceOf(nm, adapterName, error);
    if (device.isEmpty())
        return error;
    return NmClient::windowsError(nm.call(device, QLatin1String(NmClient::deviceInterface), QStringLiteral("Reapply"),
                                          {NmClient::settingsArgument(NmSettings()), qulonglong(0), uint(0)}));
}

} // namespace vantel::platform
