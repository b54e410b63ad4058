#include "providers/xbacklight.h"

#include <QtGlobal>

#include <algorithm>

#include "library/pollscope.h"
#include "platform.h"

using namespace vantel::platform;

namespace {

bool powerLineOf(int source, PowerLine& line)
{
    if (source == POWER_SOURCE_BATTERY)
        line = PowerLine::DC;
    else if (source == POWER_SOURCE_MAINS)
        line = PowerLine::AC;
    else
        return false;
    return true;
}

} // namespace

XBacklight::XBacklight()
{
    initialize();
}

XBacklight::~XBacklight() = default;

void XBacklight::initialize()
{
    Guid scheme{};
    if (powerScheme().getActiveScheme(scheme) == ERROR_SUCCESS)
        schemeHolder = std::make_unique<Guid>(scheme);
    else
        qWarning("%s", "XBacklight::initialize Errore inizializzazione Classe luminosità!!!");
}

bool XBacklight::readSetting(int source, const Guid& subgroup, const Guid& setting, std::uint32_t& value) const
{
    PowerLine line;
    return schemeHolder && powerLineOf(source, line)
           && powerScheme().readValueIndex(line, *schemeHolder, subgroup, setting, value) == ERROR_SUCCESS;
}

bool XBacklight::writeSetting(int source, const Guid& subgroup, const Guid& setting, std::uint32_t value) const
{
    PowerLine line;
    return schemeHolder && powerLineOf(source, line)
           && powerScheme().writeValueIndex(line, *schemeHolder, subgroup, setting, value) == ERROR_SUCCESS;
}

int XBacklight::xbkl_getBrightness()
{
    return monitorBrightness().currentBrightness();
}

void XBacklight::xbkl_setBrightness(int percent)
{
    monitorBrightness().setBrightness(percent);
}

int XBacklight::xbkl_readBrightnessSetting(int source)
{
    std::uint32_t value = 0;
    if (!readSetting(source, GUID_VIDEO_SUBGROUP, GUID_DEVICE_POWER_POLICY_VIDEO_BRIGHTNESS, value))
        return 100;
    return int(value);
}

bool XBacklight::xbkl_writeBrightnessSetting(int percent, int source)
{
    if (!schemeHolder)
        return false;
    // A brightness that could not be read (-1) is not a setting to keep.
    if (percent < 0)
        return true;
    const int acLine = xbkl_getACLineStatus();
    if (source != POWER_SOURCE_BATTERY && source != POWER_SOURCE_MAINS)
        return true;
    writeSetting(source, GUID_VIDEO_SUBGROUP, GUID_DEVICE_POWER_POLICY_VIDEO_BRIGHTNESS,
                 std::uint32_t(std::min(percent, 100)));
    // The screen changes now only when the value written is the one in force.
    if ((source == POWER_SOURCE_BATTERY && acLine == AC_LINE_OFFLINE)
        || (source == POWER_SOURCE_MAINS && acLine == AC_LINE_ONLINE))
        xbkl_setBrightness(percent);
    return true;
}

int XBacklight::xbkl_getACLineStatus()
{
    SystemPowerStatus status;
    if (!PollScope::powerStatus(status))
        return AC_LINE_UNKNOWN;
    return status.acLineStatus;
}

int XBacklight::xbkl_getPowerSource()
{
    switch (xbkl_getACLineStatus()) {
    case AC_LINE_OFFLINE:
        return POWER_SOURCE_BATTERY;
    case AC_LINE_ONLINE:
        return POWER_SOURCE_MAINS;
    default:
        return POWER_SOURCE_UNKNOWN;
    }
}

unsigned XBacklight::xbkl_readScreenOffTimeout(int source)
{
    std::uint32_t seconds = 0;
    return readSetting(source, GUID_VIDEO_SUBGROUP, GUID_VIDEO_POWERDOWN_TIMEOUT, seconds) ? seconds : 0;
}

bool XBacklight::xbkl_writeScreenOffTimeout(unsigned seconds, int source)
{
    PowerLine line;
    if (!schemeHolder || !powerLineOf(source, line))
        return false;
    writeSetting(source, GUID_VIDEO_SUBGROUP, GUID_VIDEO_POWERDOWN_TIMEOUT, seconds);
    powerScheme().setActiveScheme(*schemeHolder);
    return true;
}

unsigned XBacklight::xbkl_readStandbyTimeout(int source)
{
    std::uint32_t seconds = 0;
    return readSetting(source, GUID_SLEEP_SUBGROUP, GUID_STANDBY_TIMEOUT, seconds) ? seconds : 0;
}

bool XBacklight::xbkl_writeStandbyTimeout(unsigned seconds, int source)
{
    if (!schemeHolder)
        return false;
    PowerLine line;
    if (powerLineOf(source, line)) {
        writeSetting(source, GUID_SLEEP_SUBGROUP, GUID_STANDBY_TIMEOUT, seconds);
        powerScheme().setActiveScheme(*schemeHolder);
    }
    return true;
}

bool XBacklight::xbkl_getIdleSeconds(unsigned& seconds)
{
    if (!schemeHolder)
        return false;
    std::uint32_t lastInputTick = 0;
    if (!lastInput().getLastInputInfo(lastInputTick)) {
        seconds = 0;
        return true;
    }
    // Modulo 2^32, so a tick count that wrapped since the input still counts right.
    seconds = (lastInput().getTickCount() - lastInputTick) / 1000u;
    return true;
}
