#include "linuxbackend.h"

#include <cstdlib>

#include "linuxattribute.h"
#include "portalscreengrab.h"
#include "waylandclient.h"
#include "waylanddesktopwindows.h"
#include "waylanddisplaypower.h"
#include "waylandlastinput.h"
#include "waylandscreengrab.h"

namespace vantel::platform {

LinuxBackend::LinuxBackend(std::string sysfs, std::string proc)
    : sysfsRoot(std::move(sysfs)), procRoot(std::move(proc))
{
}

PowerStatus& LinuxBackend::powerStatus()
{
    return power.get([this] { return std::make_unique<LinuxPowerStatus>(sysfsRoot); });
}

Volumes& LinuxBackend::volumes()
{
    return volumeService.get([this] { return std::make_unique<LinuxVolumes>(sysfsRoot, procRoot); });
}

DebugOutput& LinuxBackend::debugOutput()
{
    return debug.get([] { return std::make_unique<LinuxDebugOutput>(); });
}

WindowsVersion& LinuxBackend::windowsVersion()
{
    return version.get([] { return std::make_unique<LinuxWindowsVersion>(); });
}

PowerScheme& LinuxBackend::powerScheme()
{
    // The store's folder is taken when the scheme is first used, like the roots.
    return scheme.get([this] {
        std::unique_ptr<DisplayOff> displayOff;
        if (waylandSession())
            displayOff = std::make_unique<WaylandDisplayPower>();
        return std::make_unique<LinuxPowerScheme>(LinuxPowerSchemeStore::defaultPath(), powerStatus(),
                                                  std::move(displayOff));
    });
}

MonitorBrightness& LinuxBackend::monitorBrightness()
{
    return backlight.get([this] { return std::make_unique<LinuxMonitorBrightness>(sysfsRoot); });
}

bool LinuxBackend::waylandSession()
{
    std::call_once(sessionAsked, [this] { wayland = WaylandClient::sessionAnswers(); });
    return wayland;
}

LastInput& LinuxBackend::lastInput()
{
    return input.get([this]() -> std::unique_ptr<LastInput> {
        if (waylandSession())
            return std::make_unique<WaylandLastInput>();
        return std::make_unique<LinuxLastInput>();
    });
}

NativeWifi& LinuxBackend::nativeWifi()
{
    return wifi.get([] { return std::make_unique<LinuxNativeWifi>(); });
}

DesktopWindows& LinuxBackend::desktopWindows()
{
    return windows.get([this]() -> std::unique_ptr<DesktopWindows> {
        if (!waylandSession())
            return std::make_unique<LinuxDesktopWindows>();
        // Xwayland's windows, where the session has one, are looked at first.
        std::unique_ptr<DesktopWindows> x11;
        if (const char* display = std::getenv("DISPLAY"); display && *display)
            x11 = std::make_unique<LinuxDesktopWindows>();
        return std::make_unique<WaylandDesktopWindows>(std::move(x11));
    });
}

ScreenGrab* LinuxBackend::screenGrab()
{
    // On X11 Qt reads the desktop; on Wayland no client may through Qt.
    if (!waylandSession())
        return nullptr;
    return &grab.get([] { return std::make_unique<WaylandScreenGrab>(std::make_unique<PortalScreenGrab>()); });
}

KeyboardProgram LinuxBackend::keyboardProgram(unsigned)
{
    // One keyboard whatever the version; the environment may name another
    // (a different keyboard, or a test's stand-in).
    return {linuxRoot("VANTEL_KEYBOARD_PROGRAM", "/usr/bin/onboard"), linuxRoot("VANTEL_KEYBOARD_CLASS", "Onboard"),
            std::string()};
}

Registry& LinuxBackend::registry()
{
    return registryService.get([] { return std::make_unique<LinuxRegistry>(linuxRoot("VANTEL_ETC_ROOT", "/etc")); });
}

IpHelper& LinuxBackend::ipHelper()
{
    return ip.get([] { return std::make_unique<LinuxIpHelper>(linuxRoot("VANTEL_ETC_ROOT", "/etc")); });
}

std::shared_ptr<Backend> createNativeBackend()
{
    return std::make_shared<LinuxBackend>(linuxRoot("VANTEL_SYSFS_ROOT", "/sys"),
                                          linuxRoot("VANTEL_PROC_ROOT", "/proc"));
}

} // namespace vantel::platform
