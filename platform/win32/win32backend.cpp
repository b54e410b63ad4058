#include "win32backend.h"

namespace vantel::platform {

PowerStatus& Win32Backend::powerStatus()
{
    return power.get([] { return std::make_unique<Win32PowerStatus>(); });
}

Volumes& Win32Backend::volumes()
{
    return volumeService.get([] { return std::make_unique<Win32Volumes>(); });
}

DebugOutput& Win32Backend::debugOutput()
{
    return debug.get([] { return std::make_unique<Win32DebugOutput>(); });
}

WindowsVersion& Win32Backend::windowsVersion()
{
    return version.get([] { return std::make_unique<Win32WindowsVersion>(); });
}

NativeWifi& Win32Backend::nativeWifi()
{
    return wifi.get([] { return std::make_unique<Win32NativeWifi>(); });
}

DesktopWindows& Win32Backend::desktopWindows()
{
    return windows.get([] { return std::make_unique<Win32DesktopWindows>(); });
}

KeyboardProgram Win32Backend::keyboardProgram(unsigned versionWord)
{
    if (versionWord > WV_WINDOWS7)
        return {"C:\\Program Files\\Common Files\\microsoft shared\\ink\\TabTip.exe", "IPTip_Main_Window",
                "explorer.exe"};
    return {"C:\\Windows\\System32\\osk.exe", "OSKMainClass", "explorer.exe"};
}

Registry& Win32Backend::registry()
{
    return registryService.get([] { return std::make_unique<Win32Registry>(); });
}

PowerScheme& Win32Backend::powerScheme()
{
    return scheme.get([] { return std::make_unique<Win32PowerScheme>(); });
}

MonitorBrightness& Win32Backend::monitorBrightness()
{
    return backlight.get([] { return std::make_unique<Win32MonitorBrightness>(); });
}

LastInput& Win32Backend::lastInput()
{
    return input.get([] { return std::make_unique<Win32LastInput>(); });
}

IpHelper& Win32Backend::ipHelper()
{
    return ip.get([] { return std::make_unique<Win32IpHelper>(); });
}

std::shared_ptr<Backend> createNativeBackend()
{
    return std::make_shared<Win32Backend>();
}

} // namespace vantel::platform
