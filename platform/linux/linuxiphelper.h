// IP Helper on Linux. Adapters are NetworkManager's devices (loopback
// aside), with the addresses and gateway of their IP4Config, DHCP on while
// they hold a DHCP4Config (its server identifier is the DHCP server) and the
// hardware address the kernel gives (NetworkManager's when the kernel does
// not know the interface), followed by the interfaces NetworkManager does not
// manage, as getifaddrs sees them. Both names of an adapter are its interface
// name. Network parameters: the kernel's host name up to its first dot and
// the rest as the domain; DNS servers, and the domain when the host name has
// none, from NetworkManager's DNS configuration, else from resolv.conf under
// VANTEL_ETC_ROOT (default /etc).
//
// A configuration is applied to the connection active on the interface's
// device (Update, then Reapply, else a new activation); no active connection
// is IPH_ERROR_INVALID_STATE. The DHCP notice is a Reapply; the resolver's
// cache is systemd-resolved's FlushCaches when it is on the bus. Each of
// these operations waits a few seconds at most, on a system-bus connection
// of its own made on first use.
#ifndef VANTEL_PLATFORM_LINUXIPHELPER_H
#define VANTEL_PLATFORM_LINUXIPHELPER_H

#include <QDBusConnection>
#include <QString>

#include <mutex>

#include "iphelper.h"

namespace vantel::platform {

class LinuxIpHelper : public IpHelper
{
public:
    explicit LinuxIpHelper(std::string etcRoot);
    ~LinuxIpHelper() override;

    std::uint32_t getAdaptersInfo(std::vector<IP_ADAPTER_INFO>& adapters) override;
    std::uint32_t getNetworkParams(FIXED_INFO& info) override;
    std::uint32_t setInterfaceSettings(const IpInterfaceSettings& settings) override;
    void flushResolverCache() override;
    std::uint32_t dhcpNotifyConfigChange(const std::string& adapterName, bool newIpAddress, std::uint32_t ipIndex,
                                         std::uint32_t ipAddress, std::uint32_t subnetMask,
                                         std::uint32_t action) override;

private:
    QDBusConnection bus();

    const std::string etcRoot;
    std::mutex busLock;
    QString connectionName;
};

} // namespace vantel::platform

#endif
