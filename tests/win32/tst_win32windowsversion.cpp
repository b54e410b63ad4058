// Guards the Windows version: what the running Windows reports, which
// scripts/test-windows.sh checks with Wine as Windows 7 and as Windows 10
// (where GetVersionExW would answer 6.2), and the QSysInfo word of each version.
#include <gtest/gtest.h>

#include "machinestate.h"
#include "win32windowsversion.h"

using namespace vantel::platform;

TEST(Win32WindowsVersion, readsTheRunningVersion)
{
    // A real tablet adds its own release: 10.0 on Windows 10 and 11 whatever the host's manifest says.
    unsigned major = 0, minor = 0;
    ASSERT_TRUE(machineState("VANTEL_TEST_WINDOWS_VERSION", "%u.%u", major, minor));

    Win32WindowsVersion running;
    EXPECT_EQ(running.version().major, major);
    EXPECT_EQ(running.version().minor, minor);
    EXPECT_EQ(running.versionWord(), windowsVersionWord({major, minor}));
}

TEST(Win32WindowsVersion, wordOfEachVersion)
{
    // A real tablet adds nothing: the word follows from the version alone.
    const struct {
        OsVersion version;
        unsigned word;
    } versions[] = {
        {{4, 0}, WV_NT},          {{5, 0}, WV_2000},        {{5, 1}, WV_XP},
        {{5, 2}, WV_2003},        {{6, 0}, WV_VISTA},       {{6, 1}, WV_WINDOWS7},
        {{6, 2}, WV_WINDOWS8},    {{6, 3}, WV_WINDOWS8_1},  {{6, 4}, WV_NT_based},
        {{10, 0}, WV_WINDOWS10},  {{10, 1}, WV_NT_based},   {{11, 0}, WV_NT_based},
    };
    for (const auto& entry : versions)
        EXPECT_EQ(windowsVersionWord(entry.version), entry.word)
            << entry.version.major << "." << entry.version.minor;
}
