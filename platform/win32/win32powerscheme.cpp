#include "win32powerscheme.h"

#include <windows.h>

#include <powrprof.h>

#include <cstring>

namespace vantel::platform {

namespace {

static_assert(sizeof(Guid) == sizeof(GUID), "Guid is laid out as GUID");

GUID windowsGuid(const Guid& guid)
{
    GUID copy;
    std::memcpy(&copy, &guid, sizeof copy);
    return copy;
}

} // namespace

std::uint32_t Win32PowerScheme::getActiveScheme(Guid& scheme)
{
    GUID* active = nullptr;
    const DWORD result = PowerGetActiveScheme(nullptr, &active);
    if (result == ERROR_SUCCESS && active)
        std::memcpy(&scheme, active, sizeof scheme);
    if (active)
        LocalFree(active);
    return result;
}

std::uint32_t Win32PowerScheme::readValueIndex(PowerLine line, const Guid& scheme, const Guid& subgroup,
                                               const Guid& setting, std::uint32_t& value)
{
    const GUID s = windowsGuid(scheme), g = windowsGuid(subgroup), v = windowsGuid(setting);
    DWORD read = 0;
    const DWORD result = line == PowerLine::AC ? PowerReadACValueIndex(nullptr, &s, &g, &v, &read)
                                               : PowerReadDCValueIndex(nullptr, &s, &g, &v, &read);
    if (result == ERROR_SUCCESS)
        value = read;
    return result;
}

std::uint32_t Win32PowerScheme::writeValueIndex(PowerLine line, const Guid& scheme, const Guid& subgroup,
                                                const Guid& setting, std::uint32_t value)
{
    const GUID s = windowsGuid(scheme), g = windowsGuid(subgroup), v = windowsGuid(setting);
    return line == PowerLine::AC ? PowerWriteACValueIndex(nullptr, &s, &g, &v, value)
                                 : PowerWriteDCValueIndex(nullptr, &s, &g, &v, value);
}

std::uint32_t Win32PowerScheme::setActiveScheme(const Guid& scheme)
{
    const GUID s = windowsGuid(scheme);
    return PowerSetActiveScheme(nullptr, &s);
}

} // namespace vantel::platform
