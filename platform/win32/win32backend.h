// The native backend on Windows: the Windows calls themselves, in plain C++
// without Qt, so that it builds and is tested on its own (tests/win32). Each
// service is made when it is first asked for.
//
// Windows' headers define the interfaces' numbers (DRIVE_REMOVABLE,
// AC_LINE_ONLINE, ...) as macros with the same values: a file of this folder
// includes <windows.h> after every platform header, never before.
#ifndef VANTEL_PLATFORM_WIN32BACKEND_H
#define VANTEL_PLATFORM_WIN32BACKEND_H

#include "onfirstuse.h"
#include "platform.h"
#include "win32debugoutput.h"
#include "win32lastinput.h"
#include "win32monitorbrightness.h"
#include "win32powerscheme.h"
#include "win32nativewifi.h"
#include "win32desktopwindows.h"
#include "win32iphelper.h"
#include "win32powerstatus.h"
#include "win32registry.h"
#include "win32volumes.h"
#include "win32windowsversion.h"

namespace vantel::platform {

class Win32Backend : public Backend
{
public:
    const char* name() const override { return "win32"; }
    PowerStatus& powerStatus() override;
    Volumes& volumes() override;
    DebugOutput& debugOutput() override;
    WindowsVersion& windowsVersion() override;
    NativeWifi& nativeWifi() override;
    DesktopWindows& desktopWindows() override;
    // The touch keyboard above Windows 7, the on-screen keyboard up to it,
    // both opened through the shell.
    KeyboardProgram keyboardProgram(unsigned versionWord) override;
    Registry& registry() override;
    IpHelper& ipHelper() override;
    PowerScheme& powerScheme() override;
    MonitorBrightness& monitorBrightness() override;
    LastInput& lastInput() override;

private:
    OnFirstUse<Win32PowerStatus> power;
    OnFirstUse<Win32Volumes> volumeService;
    OnFirstUse<Win32DebugOutput> debug;
    OnFirstUse<Win32WindowsVersion> version;
    OnFirstUse<Win32NativeWifi> wifi;
    OnFirstUse<Win32DesktopWindows> windows;
    OnFirstUse<Win32Registry> registryService;
    OnFirstUse<Win32IpHelper> ip;
    OnFirstUse<Win32PowerScheme> scheme;
    OnFirstUse<Win32MonitorBrightness> backlight;
    OnFirstUse<Win32LastInput> input;
};

} // namespace vantel::platform

#endif
