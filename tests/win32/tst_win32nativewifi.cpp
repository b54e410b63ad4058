// Guards Native Wifi on wlanapi as far as a machine without a WLAN interface
// shows it (Wine has none; a real tablet adds its interface): a handle opens
// and closes once, no interface is listed, notifications register and end,
// and bad input gets Windows' answer or ours before Windows is asked. Wine 8
// has no notifications and answers that it has not (120); Windows registers.
#include <gtest/gtest.h>

#include "win32nativewifi.h"

using namespace vantel::platform;

namespace {

void ignore(const WLAN_NOTIFICATION_DATA*, void*) {}

bool registered(std::uint32_t result)
{
    return result == NW_SUCCESS || result == 120; // ERROR_CALL_NOT_IMPLEMENTED under Wine
}

} // namespace

TEST(Win32NativeWifi, handleWithoutInterfaces)
{
    Win32NativeWifi wifi;
    std::uint32_t version = 0;
    HANDLE handle = 0;
    ASSERT_EQ(wifi.openHandle(NW_CLIENT_VERSION, version, handle), NW_SUCCESS);
    EXPECT_EQ(version, NW_CLIENT_VERSION);
    EXPECT_NE(handle, HANDLE(0));

    std::vector<WLAN_INTERFACE_INFO> interfaces(1);
    EXPECT_EQ(wifi.enumInterfaces(handle, interfaces), NW_SUCCESS);
    EXPECT_TRUE(interfaces.empty());
    EXPECT_TRUE(registered(wifi.registerNotification(handle, NW_SOURCE_ACM, &ignore, nullptr)));
    EXPECT_EQ(wifi.registerNotification(handle, NW_SOURCE_ACM, nullptr, nullptr), NW_ERROR_INVALID_PARAMETER);

    const GUID missing{0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    WLAN_INTERFACE_DATA data;
    EXPECT_NE(wifi.queryInterface(handle, missing, wlan_intf_opcode_radio_state, data), NW_SUCCESS);
    EXPECT_EQ(wifi.queryInterface(handle, missing, 99, data), NW_ERROR_NOT_SUPPORTED);
    EXPECT_EQ(wifi.setInterface(handle, missing, wlan_intf_opcode_radio_state, data), NW_ERROR_INVALID_PARAMETER);
    DOT11_SSID tooLong;
    tooLong.uSSIDLength = 33;
    WLAN_BSS_LIST list;
    EXPECT_EQ(wifi.getNetworkBssList(handle, missing, &tooLong, dot11_BSS_type_any, false, list),
              NW_ERROR_INVALID_PARAMETER);

    EXPECT_TRUE(registered(wifi.registerNotification(handle, NW_SOURCE_NONE, nullptr, nullptr)));
    EXPECT_EQ(wifi.closeHandle(handle), NW_SUCCESS);
    EXPECT_NE(wifi.closeHandle(handle), NW_SUCCESS);
}

// Wine 8's WlanSetProfile, WlanDeleteProfile, WlanConnect and WlanDisconnect
// are stubs that end the process when called: only what is checked before
// Windows is asked runs here.
TEST(Win32NativeWifi, profileNameLongerThanWindowsTakes)
{
    Win32NativeWifi wifi;
    WLAN_CONNECTION_PARAMETERS parameters;
    parameters.strProfile = std::string(256, 'x');
    EXPECT_EQ(wifi.connect(0, GUID{}, parameters), NW_ERROR_INVALID_PARAMETER);
}
