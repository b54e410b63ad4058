#include "win32iphelper.h"

#include "win32text.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <memory>

namespace vantel::platform {

namespace {

const DWORD kCommandWaitMs = 30000;

// The call with no buffer, then with the size it asked for.
template <class Call>
DWORD withBuffer(Call call, std::unique_ptr<unsigned char[]>& buffer)
{
    ULONG size = 0;
    DWORD result = call(nullptr, &size);
    while (result == ERROR_BUFFER_OVERFLOW) {
        buffer = std::make_unique<unsigned char[]>(size);
        result = call(buffer.get(), &size);
    }
    return result;
}

IP_ADDR_STRING ourEntry(const ::IP_ADDR_STRING& windows)
{
    return {windows.IpAddress.String, windows.IpMask.String};
}

std::vector<IP_ADDR_STRING> ourChain(const ::IP_ADDR_STRING* entry)
{
    std::vector<IP_ADDR_STRING> chain;
    for (; entry; entry = entry->Next)
        chain.push_back(ourEntry(*entry));
    return chain;
}

// Started as the design starts it; its outcome is not looked at.
void runCommand(const std::string& line)
{
    std::wstring command = L"cmd /c " + toWide(line);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process))
        return;
    WaitForSingleObject(process.hProcess, kCommandWaitMs);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

} // namespace

std::uint32_t Win32IpHelper::getAdaptersInfo(std::vector<IP_ADAPTER_INFO>& adapters)
{
    adapters.clear();
    std::unique_ptr<unsigned char[]> buffer;
    const DWORD result = withBuffer(
        [](unsigned char* data, ULONG* size) { return ::GetAdaptersInfo(reinterpret_cast<PIP_ADAPTER_INFO>(data), size); },
        buffer);
    if (result != ERROR_SUCCESS)
        return result;
    for (auto* windows = reinterpret_cast<const ::IP_ADAPTER_INFO*>(buffer.get()); windows; windows = windows->Next) {
        IP_ADAPTER_INFO adapter;
        adapter.AdapterName = windows->AdapterName;
        adapter.Description = windows->Description;
        adapter.Address.assign(windows->Address, windows->Address + std::min<UINT>(windows->AddressLength, MAX_ADAPTER_ADDRESS_LENGTH));
        adapter.Index = windows->Index;
        adapter.Type = windows->Type;
        adapter.DhcpEnabled = windows->DhcpEnabled;
        adapter.IpAddressList = ourChain(&windows->IpAddressList);
        int index = 0;
        for (const ::IP_ADDR_STRING* entry = &windows->IpAddressList; entry; entry = entry->Next, ++index)
            if (entry == windows->CurrentIpAddress)
                adapter.CurrentIpAddress = index;
        adapter.GatewayList = ourChain(&windows->GatewayList);
        adapter.DhcpServer = ourEntry(windows->DhcpServer);
        adapters.push_back(std::move(adapter));
    }
    return IPH_SUCCESS;
}

std::uint32_t Win32IpHelper::getNetworkParams(FIXED_INFO& info)
{
    info = FIXED_INFO();
    std::unique_ptr<unsigned char[]> buffer;
    const DWORD result = withBuffer(
        [](unsigned char* data, ULONG* size) { return ::GetNetworkParams(reinterpret_cast<PFIXED_INFO>(data), size); },
        buffer);
    if (result != ERROR_SUCCESS)
        return result;
    const auto* windows = reinterpret_cast<const ::FIXED_INFO*>(buffer.get());
    info.HostName = windows->HostName;
    info.DomainName = windows->DomainName;
    for (const IP_ADDR_STRING& server : ourChain(&windows->DnsServerList))
        if (!server.IpAddress.empty())
            info.DnsServerList.push_back(server.IpAddress);
    return IPH_SUCCESS;
}

std::uint32_t Win32IpHelper::setInterfaceSettings(const IpInterfaceSettings& settings)
{
    const std::vector<std::string> lines = netshCommandLines(settings);
    if (lines.empty())
        return IPH_ERROR_INVALID_PARAMETER;
    for (const std::string& line : lines)
        runCommand(line);
    return IPH_SUCCESS;
}

void Win32IpHelper::flushResolverCache()
{
    HMODULE dnsapi = LoadLibraryW(L"dnsapi");
    if (!dnsapi)
        return;
    using Flush = BOOL(WINAPI*)();
    if (auto flush = reinterpret_cast<Flush>(reinterpret_cast<void*>(GetProcAddress(dnsapi, "DnsFlushResolverCache"))))
        flush();
    FreeLibrary(dnsapi);
}

std::uint32_t Win32IpHelper::dhcpNotifyConfigChange(const std::string& adapterName, bool newIpAddress,
                                                    std::uint32_t ipIndex, std::uint32_t ipAddress,
                                                    std::uint32_t subnetMask, std::uint32_t action)
{
    HMODULE dhcpcsvc = LoadLibraryW(L"dhcpcsvc");
    if (!dhcpcsvc)
        return IPH_ERROR_MOD_NOT_FOUND;
    // SERVICE_ENABLE is an int-sized enumeration: 1 enable, 2 disable.
    using Notify = DWORD(WINAPI*)(LPWSTR, LPWSTR, BOOL, DWORD, DWORD, DWORD, int);
    auto notify = reinterpret_cast<Notify>(reinterpret_cast<void*>(GetProcAddress(dhcpcsvc, "DhcpNotifyConfigChange")));
    DWORD result = IPH_ERROR_PROC_NOT_FOUND;
    if (notify) {
        std::wstring name = toWide(adapterName);
        result = notify(nullptr, &name[0], newIpAddress ? TRUE : FALSE, ipIndex, ipAddress, subnetMask, int(action));
    }
    FreeLibrary(dhcpcsvc);
    return result;
}

} // namespace vantel::platform
