// Windows version service: the version that some choices depend on (which
// on-screen keyboard, whether the radio can be switched), as GetVersionExW
// gives it and as Qt's QSysInfo::windowsVersion() word. A backend that is not
// Windows answers the version whose behaviour it follows.
#ifndef VANTEL_PLATFORM_WINDOWSVERSION_H
#define VANTEL_PLATFORM_WINDOWSVERSION_H

namespace vantel::platform {

// QSysInfo::WinVersion values of the NT family.
enum : unsigned {
    WV_NT = 0x0010,
    WV_2000 = 0x0020,
    WV_XP = 0x0030,
    WV_2003 = 0x0040,
    WV_VISTA = 0x0080,
    WV_WINDOWS7 = 0x0090,
    WV_WINDOWS8 = 0x00a0,
    WV_WINDOWS8_1 = 0x00b0,
    WV_WINDOWS10 = 0x00c0,
    WV_NT_based = 0x00f0 // a later version the word has no name for
};

struct OsVersion {
    unsigned major = 0;
    unsigned minor = 0;
};

class WindowsVersion
{
public:
    virtual ~WindowsVersion() = default;

    // GetVersionExW's major and minor numbers (6.1 is Windows 7).
    virtual OsVersion version() = 0;
    // The QSysInfo::windowsVersion() word (WV_WINDOWS7 is 0x90).
    virtual unsigned versionWord() = 0;
};

} // namespace vantel::platform

#endif
