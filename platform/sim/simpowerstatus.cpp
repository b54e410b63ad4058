#include "simpowerstatus.h"

namespace vantel::platform {

bool SimPowerStatus::getSystemPowerStatus(SystemPowerStatus& status)
{
    if (!readable)
        return false;
    status = current;
    return true;
}

void SimPowerStatus::set(std::uint8_t acLineStatus, std::uint8_t batteryLifePercent)
{
    current.acLineStatus = acLineStatus;
    current.batteryLifePercent = batteryLifePercent;
}

void SimPowerStatus::setReadable(bool value)
{
    readable = value;
}

} // namespace vantel::platform
