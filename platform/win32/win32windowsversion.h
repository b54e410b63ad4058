// The version of the running Windows, read once. RtlGetVersion tells the
// truth; GetVersionExW, its fallback, answers 6.2 on Windows 8.1 and later to
// a program whose manifest does not name them, and a library cannot choose
// its host's manifest.
#ifndef VANTEL_PLATFORM_WIN32WINDOWSVERSION_H
#define VANTEL_PLATFORM_WIN32WINDOWSVERSION_H

#include "windowsversion.h"

namespace vantel::platform {

class Win32WindowsVersion : public WindowsVersion
{
public:
    // When neither call answers, Windows 7, the version the library follows
    // where it does not know better.
    Win32WindowsVersion();

    OsVersion version() override { return current; }
    unsigned versionWord() override;

private:
    OsVersion current;
};

// The QSysInfo::windowsVersion() word of an NT version, as Qt names them:
// WV_NT_based for one it has no name for (Windows 11 reports 10.0).
unsigned windowsVersionWord(OsVersion version);

} // namespace vantel::platform

#endif
