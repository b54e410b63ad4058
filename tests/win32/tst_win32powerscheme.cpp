// Guards the power scheme on Windows: PowerGetActiveScheme's answer passed on
// with its error code, as the runner states it (Wine 8 answers 120, not
// implemented, and lacks the value calls altogether); where there is a
// scheme, a value written reads back.
#include <gtest/gtest.h>

#include "machinestate.h"
#include "win32powerscheme.h"

namespace platform = vantel::platform;

TEST(Win32PowerScheme, activeSchemeAsTheMachineAnswers)
{
    // A real tablet adds its own scheme and timeouts; the test puts the display-off value back.
    unsigned expected = 0;
    ASSERT_TRUE(machineState("VANTEL_TEST_ACTIVE_SCHEME", "%u", expected));
    platform::Win32PowerScheme scheme;
    platform::Guid active{};
    ASSERT_EQ(scheme.getActiveScheme(active), expected);
    if (expected != platform::ERROR_SUCCESS)
        return;
    const auto& video = platform::GUID_VIDEO_SUBGROUP;
    const auto& off = platform::GUID_VIDEO_POWERDOWN_TIMEOUT;
    std::uint32_t before = 0, after = 0;
    ASSERT_EQ(scheme.readValueIndex(platform::PowerLine::DC, active, video, off, before), platform::ERROR_SUCCESS);
    EXPECT_EQ(scheme.writeValueIndex(platform::PowerLine::DC, active, video, off, before + 60), platform::ERROR_SUCCESS);
    EXPECT_EQ(scheme.readValueIndex(platform::PowerLine::DC, active, video, off, after), platform::ERROR_SUCCESS);
    EXPECT_EQ(after, before + 60);
    scheme.writeValueIndex(platform::PowerLine::DC, active, video, off, before);
    EXPECT_EQ(scheme.setActiveScheme(active), platform::ERROR_SUCCESS);
}
