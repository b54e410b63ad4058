// The simulated tablet's Windows version: Windows 7 unless a test sets
// another, so that both keyboard behaviours can be driven.
#ifndef VANTEL_PLATFORM_SIMWINDOWSVERSION_H
#define VANTEL_PLATFORM_SIMWINDOWSVERSION_H

#include <atomic>

#include "windowsversion.h"

namespace vantel::platform {

class SimWindowsVersion : public WindowsVersion
{
public:
    OsVersion version() override { return {major.load(), minor.load()}; }
    unsigned versionWord() override { return word.load(); }

    void set(OsVersion value, unsigned versionWord)
    {
        major = value.major;
        minor = value.minor;
        word = versionWord;
    }

private:
    std::atomic<unsigned> major{6};
    std::atomic<unsigned> minor{1};
    std::atomic<unsigned> word{WV_WINDOWS7};
};

} // namespace vantel::platform

#endif
