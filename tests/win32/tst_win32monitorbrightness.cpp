// Guards monitor brightness through WMI on a machine without a backlight
// (Wine has no WmiMonitorBrightness, nor has a desktop PC): -1, a setting
// nobody takes, and COM left on the thread as it was found.
#include <gtest/gtest.h>

#include "win32monitorbrightness.h"

#include <windows.h>

using vantel::platform::Win32MonitorBrightness;

TEST(Win32MonitorBrightness, noBacklight)
{
    // A real tablet adds its panel: a percentage, and a setting that reads back.
    Win32MonitorBrightness monitor;
    EXPECT_EQ(monitor.currentBrightness(), -1);
    EXPECT_FALSE(monitor.setBrightness(50));
    // Each session uninitialised COM again: the thread may still choose its apartment.
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    CoUninitialize();
}
