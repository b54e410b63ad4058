// Guards the native backend on Windows and its power status: the numbers
// GetSystemPowerStatus gives for the machine's battery, here the one
// scripts/test-windows.sh fakes with umockdev (on battery power, 42 %).
#include <gtest/gtest.h>

#include "machinestate.h"
#include "platform.h"

using namespace vantel::platform;

TEST(Win32PowerStatus, answersWhatTheMachineShows)
{
    // A real tablet adds a battery whose charge falls and rises as it is unplugged and plugged in.
    unsigned acLine = 0, percent = 0;
    ASSERT_TRUE(machineState("VANTEL_TEST_POWER_STATUS", "%u %u", acLine, percent));

    const std::shared_ptr<Backend> native = createNativeBackend();
    EXPECT_STREQ(native->name(), "win32");
    SystemPowerStatus status;
    ASSERT_TRUE(native->powerStatus().getSystemPowerStatus(status));
    EXPECT_EQ(int(status.acLineStatus), int(acLine));
    EXPECT_EQ(int(status.batteryLifePercent), int(percent));
}
