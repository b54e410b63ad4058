// Guards IP Helper on iphlpapi under Wine: the machine's adapters and
// network parameters read in the interface's terms, the netsh command lines
// run one after the other through the command interpreter (a netsh.bat of
// the test's stands in for netsh and notes its arguments), a configuration
// whose command lines cannot be built refused before anything runs, and the
// DNS flush. Wine's DhcpNotifyConfigChange is a stub that ends the process
// when called: the DHCP notice only compiles here.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "win32iphelper.h"

#include <windows.h>

using namespace vantel::platform;

namespace {

bool dotted(const std::string& text)
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    char rest = 0;
    return std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &rest) == 4 && a < 256 && b < 256 && c < 256
           && d < 256;
}

// A folder of its own as the current folder, with a netsh.bat that appends
// its arguments to netsh.log there.
class StandInNetsh
{
public:
    StandInNetsh()
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "vantel-netsh-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
        // The redirection first: the arguments end with " 2", which after
        // them would redirect the error stream.
        std::ofstream(folder + "\\netsh.bat") << "@>>\"%~dp0netsh.log\" echo %*\r\n";
        GetCurrentDirectoryA(MAX_PATH, previous);
        SetCurrentDirectoryA(folder.c_str());
    }
    ~StandInNetsh()
    {
        SetCurrentDirectoryA(previous);
        DeleteFileA((folder + "\\netsh.bat").c_str());
        DeleteFileA((folder + "\\netsh.log").c_str());
        RemoveDirectoryA(folder.c_str());
    }
    std::string log() const
    {
        std::stringstream text;
        text << std::ifstream(folder + "\\netsh.log").rdbuf();
        return text.str();
    }

private:
    std::string folder;
    char previous[MAX_PATH] = {};
};

} // namespace

TEST(Win32IpHelper, adaptersAndNetworkParameters)
{
    Win32IpHelper ip;
    std::vector<IP_ADAPTER_INFO> adapters;
    const std::uint32_t result = ip.getAdaptersInfo(adapters);
    ASSERT_TRUE(result == IPH_SUCCESS || result == IPH_ERROR_NO_DATA) << result;
    EXPECT_EQ(result == IPH_ERROR_NO_DATA, adapters.empty());
    for (const IP_ADAPTER_INFO& adapter : adapters) {
        EXPECT_EQ(adapter.AdapterName.front(), '{') << adapter.AdapterName; // its GUID text
        EXPECT_FALSE(adapter.Description.empty());
        EXPECT_LE(adapter.Address.size(), 8u);
        ASSERT_FALSE(adapter.IpAddressList.empty());
        ASSERT_FALSE(adapter.GatewayList.empty());
        for (const IP_ADDR_STRING& entry : adapter.IpAddressList)
            EXPECT_TRUE(dotted(entry.IpAddress) && dotted(entry.IpMask)) << entry.IpAddress << " " << entry.IpMask;
        EXPECT_TRUE(dotted(adapter.GatewayList.front().IpAddress));
        EXPECT_LT(adapter.CurrentIpAddress, int(adapter.IpAddressList.size()));
    }

    FIXED_INFO info;
    ASSERT_EQ(ip.getNetworkParams(info), IPH_SUCCESS);
    char name[256] = {};
    DWORD size = sizeof name;
    ASSERT_TRUE(GetComputerNameExA(ComputerNameDnsHostname, name, &size));
    EXPECT_STRCASEEQ(info.HostName.c_str(), name);
    for (const std::string& server : info.DnsServerList)
        EXPECT_TRUE(dotted(server)) << server;
    ip.flushResolverCache();
}

TEST(Win32IpHelper, netshCommandLinesRunInTurn)
{
    StandInNetsh netsh;
    Win32IpHelper ip;
    IpInterfaceSettings settings;
    settings.name = "Wi-Fi 2";
    settings.dhcp = false;
    settings.address = "10.0.0.7";
    settings.mask = "255.255.255.0";
    settings.gateway = "10.0.0.254";
    settings.dnsServers = {"10.0.0.1"};
    EXPECT_EQ(ip.setInterfaceSettings(settings), IPH_ERROR_INVALID_PARAMETER); // one DNS server
    EXPECT_EQ(netsh.log(), "");

    settings.dnsServers.push_back("9.9.9.9");
    ASSERT_EQ(ip.setInterfaceSettings(settings), IPH_SUCCESS);
    settings.dhcp = true;
    ASSERT_EQ(ip.setInterfaceSettings(settings), IPH_SUCCESS);
    EXPECT_EQ(netsh.log(), "interface ip set address name=\"Wi-Fi 2\" static 10.0.0.7 255.255.255.0 10.0.0.254\n"
                           "interface ip set dnsservers name=\"Wi-Fi 2\" static 10.0.0.1\n"
                           "interface ip add dns name=\"Wi-Fi 2\" 9.9.9.9 2\n"
                           "interface ip set address name=\"Wi-Fi 2\" dhcp\n"
                           "interface ip set dnsservers name=\"Wi-Fi 2\" dhcp\n");
}
