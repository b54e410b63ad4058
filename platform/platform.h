// The platform layer: one interface per operating-system service, and the one
// place that owns the services of the backend in use.
//
// The backend is chosen once, on first use: the simulated tablet when the
// environment variable VANTEL_PLATFORM is "sim", the native backend otherwise.
// A test or the demo host installs its own simulated tablet with
// installBackend() before the library's objects start using the services.
//
// Adding a service, with the power status as the worked example:
// 1. <service>.h here (powerstatus.h): a pure interface in plain C++17 that
//    keeps the Windows numbers (AC line 0/1/255), one comment a method saying
//    what it answers when the device is missing. A pure virtual accessor on
//    Backend (powerStatus()) and a free accessor below.
// 2. linux/linux<service>.{h,cpp} and sim/sim<service>.{h,cpp}
//    (LinuxPowerStatus, SimPowerStatus); the Windows one in win32/. Each
//    backend makes it on first use through an OnFirstUse member; a connection
//    it needs (a bus, a display) it opens itself, when first asked.
// 3. The simulated tablet: a setter a test calls (setPowerStatus on
//    VantelSimulation) and a step of the demo's scenario.
// 4. CMake: the file lists of platform/CMakeLists.txt, Linux-only files in
//    its Linux block, Windows ones in win32/win32sources.cmake.
// 5. Tests: tests/platform/tst_linux<service>.cpp on real doubles (fixture
//    folders, the private bus or X server of tests/support);
//    tests/win32/tst_win32<service>.cpp (googletest, no Qt) under Wine;
//    the provider's own tests on the simulated tablet in tests/providers/.
#ifndef VANTEL_PLATFORM_PLATFORM_H
#define VANTEL_PLATFORM_PLATFORM_H

#include <memory>

#include "debugoutput.h"
#include "lastinput.h"
#include "monitorbrightness.h"
#include "powerscheme.h"
#include "nativewifi.h"
#include "desktopwindows.h"
#include "iphelper.h"
#include "keyboardprogram.h"
#include "powerstatus.h"
#include "registry.h"
#include "screengrab.h"
#include "volumes.h"
#include "windowsversion.h"

namespace vantel::platform {

class Backend
{
public:
    virtual ~Backend() = default;

    virtual const char* name() const = 0;
    virtual PowerStatus& powerStatus() = 0;
    virtual Volumes& volumes() = 0;
    virtual DebugOutput& debugOutput() = 0;
    virtual WindowsVersion& windowsVersion() = 0;
    virtual PowerScheme& powerScheme() = 0;
    virtual MonitorBrightness& monitorBrightness() = 0;
    virtual LastInput& lastInput() = 0;
    virtual NativeWifi& nativeWifi() = 0;
    virtual DesktopWindows& desktopWindows() = 0;
    // The on-screen keyboard for the Windows version word `versionWord`.
    virtual KeyboardProgram keyboardProgram(unsigned versionWord) = 0;
    virtual Registry& registry() = 0;
    virtual IpHelper& ipHelper() = 0;
    // Null where Qt reads the desktop (X11, the simulated tablet, Windows).
    virtual ScreenGrab* screenGrab() { return nullptr; }
};

// The backend in use; created on first use when none was installed.
std::shared_ptr<Backend> currentBackend();
Backend& backend();

// Makes `backend` the one in use. Objects that hold the previous one (a
// volume watcher) keep it alive until they go.
void installBackend(std::shared_ptr<Backend> backend);

// What VANTEL_PLATFORM selects; defined by each backend folder.
std::shared_ptr<Backend> createNativeBackend();
std::shared_ptr<Backend> createSimulatedBackend();

inline PowerStatus& powerStatus() { return backend().powerStatus(); }
inline Volumes& volumes() { return backend().volumes(); }
inline DebugOutput& debugOutput() { return backend().debugOutput(); }
inline WindowsVersion& windowsVersion() { return backend().windowsVersion(); }
inline PowerScheme& powerScheme() { return backend().powerScheme(); }
inline MonitorBrightness& monitorBrightness() { return backend().monitorBrightness(); }
inline LastInput& lastInput() { return backend().lastInput(); }
inline NativeWifi& nativeWifi() { return backend().nativeWifi(); }
inline DesktopWindows& desktopWindows() { return backend().desktopWindows(); }
inline KeyboardProgram keyboardProgram(unsigned versionWord) { return backend().keyboardProgram(versionWord); }
inline Registry& registry() { return backend().registry(); }
inline IpHelper& ipHelper() { return backend().ipHelper(); }

} // namespace vantel::platform

#endif
