// IP Helper service: the machine's network adapters with their IPv4
// configuration and its network parameters (iphlpapi), and the changes the
// design makes beside it: an adapter's addresses and DNS servers (netsh),
// the DNS resolver's cache (dnsapi) and the DHCP client (dhcpcsvc). Windows'
// structures and error numbers; texts are UTF-8, addresses dotted IPv4 text.
#ifndef VANTEL_PLATFORM_IPHELPER_H
#define VANTEL_PLATFORM_IPHELPER_H

#include <cstdint>
#include <string>
#include <vector>

namespace vantel::platform {

// Windows error codes of these calls. (Windows spells them as macros, which
// these names must not meet.)
enum : std::uint32_t {
    IPH_SUCCESS = 0,
    IPH_ERROR_ACCESS_DENIED = 5,
    IPH_ERROR_INVALID_PARAMETER = 87,
    IPH_ERROR_MOD_NOT_FOUND = 126,
    IPH_ERROR_PROC_NOT_FOUND = 127,
    IPH_ERROR_NO_DATA = 232,
    IPH_ERROR_SERVICE_NOT_ACTIVE = 1062,
    IPH_ERROR_NOT_FOUND = 1168,
    IPH_ERROR_TIMEOUT = 1460,
    IPH_ERROR_INVALID_STATE = 5023
};

// Adapter types (MIB_IF_TYPE_*, IF_TYPE_IEEE80211), and the actions of a
// DHCP notice.
enum : std::uint32_t {
    IPH_IF_TYPE_OTHER = 1,
    IPH_IF_TYPE_ETHERNET = 6,
    IPH_IF_TYPE_IEEE80211 = 71,
    IPH_DHCP_ENABLE = 1,
    IPH_DHCP_DISABLE = 2
};

struct IP_ADDR_STRING {
    std::string IpAddress;
    std::string IpMask;
};

struct IP_ADAPTER_INFO {
    std::string AdapterName;           // Windows: its GUID text; Linux: the interface name ("wlan0")
    std::string Description;           // Linux: the interface name, as Native Wifi describes it
    std::vector<std::uint8_t> Address; // hardware address, at most 8 bytes; empty when it has none
    std::uint32_t Index = 0;
    std::uint32_t Type = IPH_IF_TYPE_OTHER;
    std::uint32_t DhcpEnabled = 0;
    int CurrentIpAddress = -1;         // the entry of IpAddressList in use; -1 when none is named
    // As Windows gives them: one entry "0.0.0.0" / "0.0.0.0" when there is
    // no address, no gateway.
    std::vector<IP_ADDR_STRING> IpAddressList;
    std::vector<IP_ADDR_STRING> GatewayList;
    IP_ADDR_STRING DhcpServer;         // empty when DHCP is off
};

struct FIXED_INFO {
    std::string HostName;
    std::string DomainName;
    std::vector<std::string> DnsServerList; // in the order the machine asks them
};

// An adapter's IPv4 configuration as the design sets it through netsh.
struct IpInterfaceSettings {
    std::string name;       // the interface's friendly name (netsh's name="...")
    bool dhcp = true;       // address and DNS servers from DHCP
    std::string address;    // the rest: a static configuration
    std::string mask;
    std::string gateway;
    std::vector<std::string> dnsServers; // the first two count
};

// The netsh command lines that set `settings`: two for DHCP, three for a
// static configuration (address, first DNS server, second DNS server). A
// static configuration that lacks an address, mask, gateway or either DNS
// server, or where one of them is not dotted IPv4 text, gives none: it is
// refused as a whole. So does a name that the command interpreter would not
// pass on as written: one with a double quote, a '%' or a control character
// (no escape of a quote survives both the interpreter and netsh).
std::vector<std::string> netshCommandLines(const IpInterfaceSettings& settings);

class IpHelper
{
public:
    virtual ~IpHelper() = default;

    // GetAdaptersInfo: IPH_ERROR_NO_DATA on a machine without adapters.
    virtual std::uint32_t getAdaptersInfo(std::vector<IP_ADAPTER_INFO>& adapters) = 0;
    // GetNetworkParams: empty texts and no DNS server where the machine has none.
    virtual std::uint32_t getNetworkParams(FIXED_INFO& info) = 0;
    // Does what the netsh command lines of `settings` do. On Windows they run
    // one after the other, each given 30 s, and their outcome is not looked
    // at (IPH_SUCCESS once they ran). IPH_ERROR_INVALID_PARAMETER for
    // settings that give no command line or addresses that are not IPv4.
    virtual std::uint32_t setInterfaceSettings(const IpInterfaceSettings& settings) = 0;
    // DnsFlushResolverCache, when the machine has such a cache; else nothing.
    virtual void flushResolverCache() = 0;
    // DhcpNotifyConfigChange(no server, adapterName, newIpAddress, ipIndex,
    // ipAddress, subnetMask, action): its result, IPH_ERROR_MOD_NOT_FOUND or
    // IPH_ERROR_PROC_NOT_FOUND when the machine has no DHCP client to tell.
    virtual std::uint32_t dhcpNotifyConfigChange(const std::string& adapterName, bool newIpAddress,
                                                 std::uint32_t ipIndex, std::uint32_t ipAddress,
                                                 std::uint32_t subnetMask, std::uint32_t action) = 0;
};

} // namespace vantel::platform

#endif
