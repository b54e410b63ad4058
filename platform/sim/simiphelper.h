// The simulated tablet's IP configuration: its Wi-Fi adapter ("wlan0", the
// Native Wifi interface) with an address from DHCP, the tablet's host name,
// domain and DNS servers. A configuration applied to it shows in what it
// answers next. The adapter's name is that of the machine's loopback
// interface, so that a walk over the machine's interfaces by name finds it.
#ifndef VANTEL_PLATFORM_SIMIPHELPER_H
#define VANTEL_PLATFORM_SIMIPHELPER_H

#include <mutex>

#include "iphelper.h"

namespace vantel::platform {

class SimIpHelper : public IpHelper
{
public:
    // At start: 192.168.50.23/24 from the DHCP server 192.168.50.1, which is
    // the gateway and first DNS server; 9.9.9.9 second. Host
    // "vantel-tablet" in "workshop.lan".
    SimIpHelper();

    std::uint32_t getAdaptersInfo(std::vector<IP_ADAPTER_INFO>& adapters) override;
    std::uint32_t getNetworkParams(FIXED_INFO& info) override;
    std::uint32_t setInterfaceSettings(const IpInterfaceSettings& settings) override;
    void flushResolverCache() override;
    std::uint32_t dhcpNotifyConfigChange(const std::string& adapterName, bool newIpAddress, std::uint32_t ipIndex,
                                         std::uint32_t ipAddress, std::uint32_t subnetMask,
                                         std::uint32_t action) override;

    // How often the resolver's cache was flushed, and the DHCP client told.
    int flushes() const;
    int dhcpNotices() const;

private:
    void leaseFromDhcp(); // with `lock` held

    mutable std::mutex lock;
    IP_ADAPTER_INFO adapter;
    std::string friendlyName;
    FIXED_INFO network;
    int flushCount = 0;
    int noticeCount = 0;
};

} // namespace vantel::platform

#endif
