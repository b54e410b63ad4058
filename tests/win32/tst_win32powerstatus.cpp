// Guards the native backend on Windows and its power status: the numbers
// GetSystemPowerStatus gives for the machine's battery, here the one
// scripts/test-windows.sh fakes with umockdev (on battery power, 42 %).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "platform.h"

using namespace vantel::platform;

TEST(Win32PowerStatus, answersWhatTheMachineShows)
{
    // A real tablet adds a battery whose charge falls and rises as it is unplugged and plugged in.
    const char* machine = std::getenv("VANTEL_TEST_POWER_STATUS");
    ASSERT_NE(machine, nullptr) << "VANTEL_TEST_POWER_STATUS must give the AC line and the charge, as \"0 42\"";
    unsigned acLine = 0, percent = 0;
    ASSERT_EQ(std::sscanf(machine, "%u %u", &acLine, &percent), 2);

    const std::shared_ptr<Backend> native = createNativeBackend();
    EXPECT_STREQ(native->name(), "win32");
    SystemPowerStatus status;
    ASSERT_TRUE(native->powerStatus().getSystemPowerStatus(status));
    EXPECT_EQ(int(status.acLineStatus), int(acLine));
    EXPECT_EQ(int(status.batteryLifePercent), int(percent));
}
