#include "simpowerscheme.h"

namespace vantel::platform {

std::uint32_t SimPowerScheme::getActiveScheme(Guid& scheme)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!readable)
        return ERROR_FILE_NOT_FOUND;
    scheme = GUID_TYPICAL_POWER_SAVINGS;
    return ERROR_SUCCESS;
}

std::uint32_t SimPowerScheme::readValueIndex(PowerLine line, const Guid& scheme, const Guid& subgroup,
                                             const Guid& setting, std::uint32_t& value)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (scheme != GUID_TYPICAL_POWER_SAVINGS || !findPowerValue(values, line, subgroup, setting, value))
        return ERROR_FILE_NOT_FOUND;
    return ERROR_SUCCESS;
}

std::uint32_t SimPowerScheme::writeValueIndex(PowerLine line, const Guid& scheme, const Guid& subgroup,
                                              const Guid& setting, std::uint32_t value)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (scheme != GUID_TYPICAL_POWER_SAVINGS)
        return ERROR_FILE_NOT_FOUND;
    values[{subgroup, setting, line}] = value;
    return ERROR_SUCCESS;
}

std::uint32_t SimPowerScheme::setActiveScheme(const Guid& scheme)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (scheme != GUID_TYPICAL_POWER_SAVINGS)
        return ERROR_FILE_NOT_FOUND;
    ++activated;
    return ERROR_SUCCESS;
}

void SimPowerScheme::setSchemeReadable(bool value)
{
    std::lock_guard<std::mutex> lock(mutex);
    readable = value;
}

int SimPowerScheme::activations() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return activated;
}

} // namespace vantel::platform
