// One value of the active (Balanced) power scheme, by setting: the display
// brightness unless told, the display-off or the sleep timeout.
#ifndef TESTPOWERSCHEME_H
#define TESTPOWERSCHEME_H

#include "powerscheme.h"

namespace testscheme {

using namespace vantel::platform;

inline const Guid& subgroupOf(const Guid& setting)
{
    return setting == GUID_STANDBY_TIMEOUT ? GUID_SLEEP_SUBGROUP : GUID_VIDEO_SUBGROUP;
}

// -1 for a failed read.
inline int read(PowerScheme& scheme, PowerLine line, const Guid& setting = GUID_DEVICE_POWER_POLICY_VIDEO_BRIGHTNESS)
{
    std::uint32_t value = 0;
    const auto result = scheme.readValueIndex(line, GUID_TYPICAL_POWER_SAVINGS, subgroupOf(setting), setting, value);
    return result == ERROR_SUCCESS ? int(value) : -1;
}

inline std::uint32_t write(PowerScheme& scheme, PowerLine line, std::uint32_t value,
                           const Guid& setting = GUID_DEVICE_POWER_POLICY_VIDEO_BRIGHTNESS)
{
    return scheme.writeValueIndex(line, GUID_TYPICAL_POWER_SAVINGS, subgroupOf(setting), setting, value);
}

} // namespace testscheme

#endif
