// Guards the last input and tick count on Windows: GetTickCount runs with
// real time, and the last input is a tick of that clock at or before now
// (Wine answers tick 0: no input since it started).
#include <gtest/gtest.h>

#include "win32lastinput.h"

#include <windows.h>

using vantel::platform::Win32LastInput;

TEST(Win32LastInput, lastInputOnTheTickCountsClock)
{
    // A real tablet adds a touch during the sleep, which brings the last input within it.
    Win32LastInput input;
    const std::uint32_t before = input.getTickCount();
    Sleep(200);
    const std::uint32_t now = input.getTickCount();
    EXPECT_GE(now - before, 170u); // the tick moves in steps of up to 16 ms
    EXPECT_LT(now - before, 5000u);
    std::uint32_t last = 0;
    ASSERT_TRUE(input.getLastInputInfo(last));
    EXPECT_LE(last, now);
}
