#include "iphelper.h"

namespace vantel::platform {

std::vector<std::string> netshCommandLines(const IpInterfaceSettings& settings)
{
    const std::string name = settings.name;
    if (settings.dhcp)
        return {"netsh interface ip set address name=\"" + name + "\" dhcp",
                "netsh interface ip set dnsservers name=\"" + name + "\" dhcp"};
    const std::vector<std::string>& dns = settings.dnsServers;
    if (settings.address.empty() || settings.mask.empty() || settings.gateway.empty() || dns.size() < 2
        || dns[0].empty() || dns[1].empty())
        return {};
    return {"netsh interface ip set address name=\"" + name + "\" static " + settings.address + " " + settings.mask
                + " " + settings.gateway,
            "netsh interface ip set dnsservers name=\"" + name + "\" static " + dns[0],
            "netsh interface ip add dns name=\"" + name + "\" " + dns[1] + " 2"};
}

} // namespace vantel::platform
