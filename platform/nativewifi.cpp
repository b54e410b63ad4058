#include "nativewifi.h"

#include <algorithm>
#include <cstring>

namespace vantel::platform {

bool operator==(const GUID& a, const GUID& b)
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 && a.Data4 == b.Data4;
}

bool isNullGuid(const GUID& guid)
{
    return guid == GUID{};
}

bool operator==(const DOT11_SSID& a, const DOT11_SSID& b)
{
    return a.uSSIDLength == b.uSSIDLength && a.ucSSID == b.ucSSID;
}

DOT11_SSID makeSsid(const std::string& bytes)
{
    DOT11_SSID ssid;
    ssid.uSSIDLength = std::uint32_t(std::min<std::size_t>(bytes.size(), ssid.ucSSID.size()));
    std::memcpy(ssid.ucSSID.data(), bytes.data(), ssid.uSSIDLength);
    return ssid;
}

} // namespace vantel::platform
