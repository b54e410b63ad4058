// The native backend on Linux: the real machine, read through sysfs and
// procfs at the roots VANTEL_SYSFS_ROOT and VANTEL_PROC_ROOT (default /sys and
// /proc), taken once when the backend is made. Each service is made when it
// is first asked for.
#ifndef VANTEL_PLATFORM_LINUXBACKEND_H
#define VANTEL_PLATFORM_LINUXBACKEND_H

#include <mutex>
#include <string>

#include "linuxdebugoutput.h"
#include "linuxlastinput.h"
#include "linuxmonitorbrightness.h"
#include "linuxpowerscheme.h"
#include "linuxnativewifi.h"
#include "linuxdesktopwindows.h"
#include "linuxiphelper.h"
#include "linuxpowerstatus.h"
#include "linuxregistry.h"
#include "linuxvolumes.h"
#include "linuxwindowsversion.h"
#include "onfirstuse.h"
#include "platform.h"

namespace vantel::platform {

class LinuxBackend : public Backend
{
public:
    LinuxBackend(std::string sysfsRoot, std::string procRoot);

    const char* name() const override { return "linux"; }
    PowerStatus& powerStatus() override;
    Volumes& volumes() override;
    DebugOutput& debugOutput() override;
    WindowsVersion& windowsVersion() override;
    PowerScheme& powerScheme() override;
    MonitorBrightness& monitorBrightness() override;
    LastInput& lastInput() override;
    NativeWifi& nativeWifi() override;
    DesktopWindows& desktopWindows() override;
    KeyboardProgram keyboardProgram(unsigned versionWord) override;
    Registry& registry() override;
    IpHelper& ipHelper() override;
    ScreenGrab* screenGrab() override;

private:
    // A compositor answers on WAYLAND_DISPLAY: asked once, at the first
    // service that has a Wayland way.
    bool waylandSession();

    const std::string sysfsRoot;
    const std::string procRoot;
    OnFirstUse<LinuxPowerStatus> power;
    OnFirstUse<LinuxVolumes> volumeService;
    OnFirstUse<LinuxDebugOutput> debug;
    OnFirstUse<LinuxWindowsVersion> version;
    OnFirstUse<LinuxPowerScheme> scheme;
    OnFirstUse<LinuxMonitorBrightness> backlight;
    OnFirstUse<LastInput> input;
    OnFirstUse<LinuxNativeWifi> wifi;
    OnFirstUse<DesktopWindows> windows;
    OnFirstUse<LinuxRegistry> registryService;
    OnFirstUse<LinuxIpHelper> ip;
    OnFirstUse<ScreenGrab> grab;
    std::once_flag sessionAsked;
    bool wayland = false;
};

} // namespace vantel::platform

#endif
