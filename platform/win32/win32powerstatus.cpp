#include "win32powerstatus.h"

#include <windows.h>

namespace vantel::platform {

bool Win32PowerStatus::getSystemPowerStatus(SystemPowerStatus& status)
{
    SYSTEM_POWER_STATUS system{};
    if (!GetSystemPowerStatus(&system))
        return false;
    status.acLineStatus = system.ACLineStatus;
    status.batteryLifePercent = system.BatteryLifePercent;
    return true;
}

} // namespace vantel::platform
