// IP Helper through iphlpapi itself; the netsh command lines run through
// the command interpreter, and the resolver's cache and the DHCP client are
// reached through dnsapi and dhcpcsvc, loaded when asked for.
#ifndef VANTEL_PLATFORM_WIN32IPHELPER_H
#define VANTEL_PLATFORM_WIN32IPHELPER_H

#include "iphelper.h"

namespace vantel::platform {

class Win32IpHelper : public IpHelper
{
public:
    std::uint32_t getAdaptersInfo(std::vector<IP_ADAPTER_INFO>& adapters) override;
    std::uint32_t getNetworkParams(FIXED_INFO& info) override;
    // "cmd /c <line>" for each line, one after the other, each given 30 s.
    std::uint32_t setInterfaceSettings(const IpInterfaceSettings& settings) override;
    void flushResolverCache() override;
    std::uint32_t dhcpNotifyConfigChange(const std::string& adapterName, bool newIpAddress, std::uint32_t ipIndex,
                                         std::uint32_t ipAddress, std::uint32_t subnetMask,
                                         std::uint32_t action) override;
};

} // namespace vantel::platform

#endif
