#include "simtablet.h"

namespace vantel::platform {

SimPowerStatus& SimTablet::simPower()
{
    return power.get([] { return std::make_unique<SimPowerStatus>(); });
}

SimVolumes& SimTablet::simVolumes()
{
    return volumeService.get([] { return std::make_unique<SimVolumes>(); });
}

SimDebugOutput& SimTablet::simDebug()
{
    return debug.get([] { return std::make_unique<SimDebugOutput>(); });
}

SimWindowsVersion& SimTablet::simVersion()
{
    return version.get([] { return std::make_unique<SimWindowsVersion>(); });
}

SimPowerScheme& SimTablet::simScheme()
{
    return scheme.get([] { return std::make_unique<SimPowerScheme>(); });
}

SimMonitorBrightness& SimTablet::simBacklight()
{
    return backlight.get([] { return std::make_unique<SimMonitorBrightness>(); });
}

SimLastInput& SimTablet::simInput()
{
    return input.get([] { return std::make_unique<SimLastInput>(); });
}

SimNativeWifi& SimTablet::simWifi()
{
    return wifi.get([] { return std::make_unique<SimNativeWifi>(); });
}

DesktopWindows& SimTablet::desktopWindows()
{
    return windows.get([] { return createNativeDesktopWindows(); });
}

SimRegistry& SimTablet::simRegistry()
{
    return registryService.get([] { return std::make_unique<SimRegistry>(); });
}

SimIpHelper& SimTablet::simIp()
{
    return ip.get([] { return std::make_unique<SimIpHelper>(); });
}

std::shared_ptr<Backend> createSimulatedBackend()
{
    return std::make_shared<SimTablet>();
}

} // namespace vantel::platform
