#include "simiphelper.h"

#include <QNetworkInterface>

namespace vantel::platform {

SimIpHelper::SimIpHelper()
{
    QString loopback = QStringLiteral("lo");
    QString loopbackName = loopback;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& candidate : interfaces) {
        if (candidate.flags() & QNetworkInterface::IsLoopBack) {
            loopback = candidate.name();
            loopbackName = candidate.humanReadableName();
            break;
        }
    }
    adapter.AdapterName = loopback.toStdString();
    friendlyName = loopbackName.toStdString();
    adapter.Description = "wlan0";
    adapter.Address = {0x02, 0x56, 0x54, 0x00, 0x00, 0x01};
    adapter.Index = 3;
    adapter.Type = IPH_IF_TYPE_IEEE80211;
    leaseFromDhcp();
    network.HostName = "vantel-tablet";
    network.DomainName = "workshop.lan";
}

void SimIpHelper::leaseFromDhcp()
{
    adapter.DhcpEnabled = 1;
    adapter.IpAddressList = {{"192.168.50.23", "255.255.255.0"}};
    adapter.GatewayList = {{"192.168.50.1", "255.255.255.255"}};
    adapter.DhcpServer = {"192.168.50.1", "255.255.255.255"};
    network.DnsServerList = {"192.168.50.1", "9.9.9.9"};
}

std::uint32_t SimIpHelper::getAdaptersInfo(std::vector<IP_ADAPTER_INFO>& adapters)
{
    std::lock_guard<std::mutex> guard(lock);
    adapters = {adapter};
    return IPH_SUCCESS;
}

std::uint32_t SimIpHelper::getNetworkParams(FIXED_INFO& info)
{
    std::lock_guard<std::mutex> guard(lock);
    info = network;
    return IPH_SUCCESS;
}

std::uint32_t SimIpHelper::setInterfaceSettings(const IpInterfaceSettings& settings)
{
    if (netshCommandLines(settings).empty())
        return IPH_ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> guard(lock);
    if (settings.name != friendlyName)
        return IPH_ERROR_NOT_FOUND;
    if (settings.dhcp) {
        leaseFromDhcp();
        return IPH_SUCCESS;
    }
    adapter.DhcpEnabled = 0;
    adapter.IpAddressList = {{settings.address, settings.mask}};
    adapter.GatewayList = {{settings.gateway, "255.255.255.255"}};
    adapter.DhcpServer = IP_ADDR_STRING();
    network.DnsServerList = {settings.dnsServers[0], settings.dnsServers[1]};
    return IPH_SUCCESS;
}

void SimIpHelper::flushResolverCache()
{
    std::lock_guard<std::mutex> guard(lock);
    ++flushCount;
}

std::uint32_t SimIpHelper::dhcpNotifyConfigChange(const std::string& adapterName, bool, std::uint32_t, std::uint32_t,
                                                  std::uint32_t, std::uint32_t)
{
    std::lock_guard<std::mutex> guard(lock);
    if (adapterName != adapter.AdapterName)
        return IPH_ERROR_NOT_FOUND;
    ++noticeCount;
    return IPH_SUCCESS;
}

int SimIpHelper::flushes() const
{
    std::lock_guard<std::mutex> guard(lock);
    return flushCount;
}

int SimIpHelper::dhcpNotices() const
{
    std::lock_guard<std::mutex> guard(lock);
    return noticeCount;
}

} // namespace vantel::platform
