#include "iphelper.h"

namespace vantel::platform {

namespace {

// Four decimal numbers of 0 to 255, without leading zeros (which some
// readers take for octal).
bool isDottedIpv4(const std::string& text)
{
    std::size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && (at >= text.size() || text[at++] != '.'))
            return false;
        const std::size_t start = at;
        unsigned value = 0;
        while (at < text.size() && at - start < 3 && text[at] >= '0' && text[at] <= '9')
            value = value * 10 + unsigned(text[at++] - '0');
        if (at == start || value > 255 || (text[start] == '0' && at - start > 1))
            return false;
    }
    return at == text.size();
}

// The interpreter ends a command at a line break, expands %NAME% even
// between quotes, and ends the quoted name at any quote.
bool passesAsWritten(const std::string& name)
{
    for (const char c : name)
        if (c == '"' || c == '%' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return false;
    return true;
}

} // namespace

std::vector<std::string> netshCommandLines(const IpInterfaceSettings& settings)
{
    const std::string name = settings.name;
    if (!passesAsWritten(name))
        return {};
    if (settings.dhcp)
        return {"netsh interface ip set address name=\"" + name + "\" dhcp",
                "netsh interface ip set dnsservers name=\"" + name + "\" dhcp"};
    const std::vector<std::string>& dns = settings.dnsServers;
    if (dns.size() < 2 || !isDottedIpv4(settings.address) || !isDottedIpv4(settings.mask)
        || !isDottedIpv4(settings.gateway) || !isDottedIpv4(dns[0]) || !isDottedIpv4(dns[1]))
        return {};
    return {"netsh interface ip set address name=\"" + name + "\" static " + settings.address + " " + settings.mask
                + " " + settings.gateway,
            "netsh interface ip set dnsservers name=\"" + name + "\" static " + dns[0],
            "netsh interface ip add dns name=\"" + name + "\" " + dns[1] + " 2"};
}

} // namespace vantel::platform
