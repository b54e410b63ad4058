#include "win32windowsversion.h"

#include <windows.h>

namespace vantel::platform {

namespace {

using RtlGetVersionCall = LONG(WINAPI*)(OSVERSIONINFOW*);

bool readVersion(OsVersion& version)
{
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    const FARPROC rtlGetVersion = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
    // Through void(*)(): GCC warns of a cast between two real function types.
    bool read = rtlGetVersion
        && reinterpret_cast<RtlGetVersionCall>(reinterpret_cast<void (*)()>(rtlGetVersion))(&info) == 0;
    if (!read)
        read = GetVersionExW(&info) != 0;
    if (read)
        version = {unsigned(info.dwMajorVersion), unsigned(info.dwMinorVersion)};
    return read;
}

} // namespace

Win32WindowsVersion::Win32WindowsVersion()
{
    if (!readVersion(current))
        current = {6, 1};
}

unsigned Win32WindowsVersion::versionWord()
{
    return windowsVersionWord(current);
}

unsigned windowsVersionWord(OsVersion version)
{
    switch (version.major) {
    case 5:
        return version.minor == 0 ? WV_2000 : version.minor == 1 ? WV_XP : WV_2003;
    case 6: {
        static const unsigned words[] = {WV_VISTA, WV_WINDOWS7, WV_WINDOWS8, WV_WINDOWS8_1};
        return version.minor < 4 ? words[version.minor] : WV_NT_based;
    }
    case 10:
        return version.minor == 0 ? WV_WINDOWS10 : WV_NT_based;
    default:
        return version.major < 5 ? WV_NT : WV_NT_based;
    }
}

} // namespace vantel::platform
