// The simulated tablet: a backend whose state a test or a scenario sets.
// Like every backend it makes each service on first use; the sim*()
// accessors that set a service's state make it too. Its windows are those of
// the display the process runs on, so that the keyboard it is given really
// opens and closes there.
#ifndef VANTEL_PLATFORM_SIMTABLET_H
#define VANTEL_PLATFORM_SIMTABLET_H

#include "onfirstuse.h"
#include "platform.h"
#include "simdebugoutput.h"
#include "simlastinput.h"
#include "simmonitorbrightness.h"
#include "simpowerscheme.h"
#include "simnativewifi.h"
#include "simiphelper.h"
#include "simkeyboardprogram.h"
#include "simpowerstatus.h"
#include "simregistry.h"
#include "simvolumes.h"
#include "simwindowsversion.h"

namespace vantel::platform {

class SimTablet : public Backend
{
public:
    const char* name() const override { return "sim"; }
    PowerStatus& powerStatus() override { return simPower(); }
    Volumes& volumes() override { return simVolumes(); }
    DebugOutput& debugOutput() override { return simDebug(); }
    WindowsVersion& windowsVersion() override { return simVersion(); }
    PowerScheme& powerScheme() override { return simScheme(); }
    MonitorBrightness& monitorBrightness() override { return simBacklight(); }
    LastInput& lastInput() override { return simInput(); }
    NativeWifi& nativeWifi() override { return simWifi(); }
    DesktopWindows& desktopWindows() override;
    KeyboardProgram keyboardProgram(unsigned) override { return keyboard.get(); }
    Registry& registry() override { return simRegistry(); }
    IpHelper& ipHelper() override { return simIp(); }

    SimPowerStatus& simPower();
    SimVolumes& simVolumes();
    SimDebugOutput& simDebug();
    SimWindowsVersion& simVersion();
    SimPowerScheme& simScheme();
    SimMonitorBrightness& simBacklight();
    SimLastInput& simInput();
    SimNativeWifi& simWifi();
    SimKeyboardProgram& simKeyboard() { return keyboard; }
    SimRegistry& simRegistry();
    SimIpHelper& simIp();

private:
    OnFirstUse<SimPowerStatus> power;
    OnFirstUse<SimVolumes> volumeService;
    OnFirstUse<SimDebugOutput> debug;
    OnFirstUse<SimWindowsVersion> version;
    OnFirstUse<SimPowerScheme> scheme;
    OnFirstUse<SimMonitorBrightness> backlight;
    OnFirstUse<SimLastInput> input;
    OnFirstUse<SimNativeWifi> wifi;
    OnFirstUse<DesktopWindows> windows;
    SimKeyboardProgram keyboard;
    OnFirstUse<SimRegistry> registryService;
    OnFirstUse<SimIpHelper> ip;
};

} // namespace vantel::platform

#endif
