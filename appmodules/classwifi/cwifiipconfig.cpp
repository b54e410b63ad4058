// Cwifi: the IPv4 configuration of the client's adapter, read and set, the
// DNS resolver's cache and the DHCP client.
#include "classwifi/cwifi.h"

#include <QDebug>
#include <QNetworkInterface>

#include "classwifi/cwifi_p.h"

namespace {

const int kMaxAdapterNameUnits = 256;

QString text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

std::string first(const QStringList& list)
{
    return list.isEmpty() ? std::string() : list.first().toStdString();
}

} // namespace

int Cwifi::GetIpConfig(WifiIpConfig* config)
{
    if (!config)
        return 0;
    *config = WifiIpConfig();
    nw::IpHelper& helper = d->backend->ipHelper();
    std::vector<nw::IP_ADAPTER_INFO> adapters;
    nw::FIXED_INFO network;
    if (helper.getAdaptersInfo(adapters) != nw::IPH_SUCCESS || helper.getNetworkParams(network) != nw::IPH_SUCCESS)
        return 0;
    config->hostName = text(network.HostName);
    config->domainName = text(network.DomainName);
    for (const std::string& server : network.DnsServerList)
        config->dnsServers << text(server);

    for (const nw::IP_ADAPTER_INFO& adapter : adapters) {
        if (text(adapter.Description) != d->interfaceName)
            continue;
        config->dhcpEnabled = adapter.DhcpEnabled > 0;
        const int current = adapter.CurrentIpAddress;
        const std::size_t from = current >= 0 && std::size_t(current) < adapter.IpAddressList.size() ? std::size_t(current) : 0;
        for (std::size_t i = from; i < adapter.IpAddressList.size(); ++i) {
            config->addresses << text(adapter.IpAddressList[i].IpAddress);
            config->masks << text(adapter.IpAddressList[i].IpMask);
        }
        QString mac;
        for (std::size_t i = 0; i < adapter.Address.size(); ++i)
            mac += QString::asprintf(i + 1 < adapter.Address.size() ? "%.2X-" : "%.2X\n", adapter.Address[i]);
        qDebug("%s", qPrintable(mac));
        // Kept beside the host name, which it would otherwise replace.
        config->macAddress = mac;
        if (!adapter.GatewayList.empty())
            config->gateways << text(adapter.GatewayList.front().IpAddress);
        config->adapterName = text(adapter.AdapterName);
        config->description = text(adapter.Description);
        if (config->dhcpEnabled)
            config->dhcpServers << text(adapter.DhcpServer.IpAddress);
        break;
    }
    return 1;
}

int Cwifi::SetIpConfig(WifiIpConfig* config)
{
    if (!config)
        return 0;
    std::vector<nw::IP_ADAPTER_INFO> adapters;
    if (d->backend->ipHelper().getAdaptersInfo(adapters) != nw::IPH_SUCCESS)
        return 0;
    for (const nw::IP_ADAPTER_INFO& adapter : adapters) {
        if (text(adapter.Description) != d->interfaceName)
            continue;
        nw::IpInterfaceSettings settings;
        settings.dhcp = config->dhcpEnabled;
        if (!settings.dhcp) {
            settings.address = first(config->addresses);
            settings.mask = first(config->masks);
            settings.gateway = first(config->gateways);
            settings.dnsServers = {first(config->dnsServers), first(config->dnsServers.mid(1))};
        }
        const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
        for (const QNetworkInterface& candidate : interfaces) {
            if (candidate.name() != text(adapter.AdapterName))
                continue;
            settings.name = candidate.humanReadableName().toStdString();
            // A configuration its commands cannot be built for is not half applied.
            if (nw::netshCommandLines(settings).empty())
                return 0;
            d->backend->ipHelper().setInterfaceSettings(settings);
        }
        FlushDnsCache();
        break;
    }
    return 1;
}

void Cwifi::FlushDnsCache()
{
    d->backend->ipHelper().flushResolverCache();
}

int Cwifi::NotifyDhcpChange(const char* adapterName, bool enableDhcp, quint32 ipAddress, quint32 subnetMask)
{
    const quint32 action = enableDhcp ? nw::IPH_DHCP_ENABLE : nw::IPH_DHCP_DISABLE;
    const bool newAddress = action == nw::IPH_DHCP_DISABLE && ipAddress != 0;
    const QString name = QString::fromLocal8Bit(adapterName ? adapterName : "").left(kMaxAdapterNameUnits);
    return d->backend->ipHelper().dhcpNotifyConfigChange(name.toStdString(), newAddress, 0, ipAddress, subnetMask,
                                                         action)
                   == nw::IPH_SUCCESS
               ? 1
               : 0;
}
