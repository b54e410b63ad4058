#include "linuxpowerscheme.h"

#include "linuxdisplaytimeout.h"

namespace vantel::platform {

LinuxPowerScheme::LinuxPowerScheme(std::string storePath, PowerStatus& powerStatus,
                                   std::unique_ptr<DisplayOff> displayOff)
    : store(std::move(storePath)), power(powerStatus),
      displayTimeout(displayOff ? std::move(displayOff) : std::make_unique<LinuxDisplayTimeout>())
{
}

std::uint32_t LinuxPowerScheme::getActiveScheme(Guid& scheme)
{
    scheme = GUID_TYPICAL_POWER_SAVINGS;
    return ERROR_SUCCESS;
}

std::uint32_t LinuxPowerScheme::readValueIndex(PowerLine line, const Guid& scheme, const Guid& subgroup,
                                               const Guid& setting, std::uint32_t& value)
{
    if (scheme != GUID_TYPICAL_POWER_SAVINGS)
        return ERROR_FILE_NOT_FOUND;
    std::lock_guard<std::mutex> lock(mutex);
    return findPowerValue(store.values(), line, subgroup, setting, value) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

std::uint32_t LinuxPowerScheme::writeValueIndex(PowerLine line, const Guid& scheme, const Guid& subgroup,
                                                const Guid& setting, std::uint32_t value)
{
    if (scheme != GUID_TYPICAL_POWER_SAVINGS)
        return ERROR_FILE_NOT_FOUND;
    std::lock_guard<std::mutex> lock(mutex);
    return store.write({subgroup, setting, line}, value) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

std::uint32_t LinuxPowerScheme::setActiveScheme(const Guid& scheme)
{
    if (scheme != GUID_TYPICAL_POWER_SAVINGS)
        return ERROR_FILE_NOT_FOUND;
    SystemPowerStatus status;
    const bool onBattery = power.getSystemPowerStatus(status) && status.acLineStatus == AC_LINE_OFFLINE;
    const PowerLine line = onBattery ? PowerLine::DC : PowerLine::AC;

    std::lock_guard<std::mutex> lock(mutex);
    const PowerSchemeValues& values = store.values();
    std::uint32_t seconds = 0;
    if (findPowerValue(values, line, GUID_VIDEO_SUBGROUP, GUID_VIDEO_POWERDOWN_TIMEOUT, seconds))
        displayTimeout->apply(seconds);
    if (findPowerValue(values, line, GUID_SLEEP_SUBGROUP, GUID_STANDBY_TIMEOUT, seconds)) {
        if (seconds == 0)
            inhibitor.hold();
        else
            inhibitor.release();
    }
    return ERROR_SUCCESS;
}

} // namespace vantel::platform
