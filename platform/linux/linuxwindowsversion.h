// On Linux the library behaves as on Windows 7: the radio can be switched
// (6.0 or later) and the on-screen keyboard is looked for before it is started.
#ifndef VANTEL_PLATFORM_LINUXWINDOWSVERSION_H
#define VANTEL_PLATFORM_LINUXWINDOWSVERSION_H

#include "windowsversion.h"

namespace vantel::platform {

class LinuxWindowsVersion : public WindowsVersion
{
public:
    OsVersion version() override { return {6, 1}; }
    unsigned versionWord() override { return WV_WINDOWS7; }
};

} // namespace vantel::platform

#endif
