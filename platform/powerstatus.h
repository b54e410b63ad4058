// Power status service: what the tablet runs on and how full its battery is,
// with the numbers Windows' GetSystemPowerStatus uses.
#ifndef VANTEL_PLATFORM_POWERSTATUS_H
#define VANTEL_PLATFORM_POWERSTATUS_H

#include <cstdint>

namespace vantel::platform {

enum : std::uint8_t {
    AC_LINE_OFFLINE = 0,
    AC_LINE_ONLINE = 1,
    AC_LINE_UNKNOWN = 255,
    BATTERY_PERCENTAGE_UNKNOWN = 255
};

struct SystemPowerStatus {
    std::uint8_t acLineStatus = AC_LINE_UNKNOWN;               // 0, 1 or 255
    std::uint8_t batteryLifePercent = BATTERY_PERCENTAGE_UNKNOWN; // 0 to 100, or 255
};

class PowerStatus
{
public:
    virtual ~PowerStatus() = default;

    // False when the status cannot be read at all; a machine without a
    // battery is not a failure (mains online, percentage unknown).
    virtual bool getSystemPowerStatus(SystemPowerStatus& status) = 0;
};

} // namespace vantel::platform

#endif
