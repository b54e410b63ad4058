// The simulated tablet's WLAN: one interface, "wlan0", with the networks a
// test or the scenario makes visible, the one it is connected to, both radio
// switches, and the profiles stored on it. Callbacks hear of each change at
// once, in the thread that made it; a connection attempt's outcome too.
//
// A connection attempt succeeds when the profile's network is in sight with
// the radio on and the profile holds the network's key; otherwise it fails
// (notification 11). "VANTEL-WORKSHOP" takes "workshop-key" and
// "VANTEL-GUEST" "guest-key"; a network shown later takes any key until it
// is given one.
#ifndef VANTEL_PLATFORM_SIMNATIVEWIFI_H
#define VANTEL_PLATFORM_SIMNATIVEWIFI_H

#include <map>

#include "nativewifimodel.h"

namespace vantel::platform {

class SimNativeWifi : public NativeWifiModel
{
public:
    // At start: both switches on, connected to "VANTEL-WORKSHOP" at 80 %,
    // with "VANTEL-GUEST" at 40 % in sight.
    SimNativeWifi();

    void setRadio(bool softwareOn, bool hardwareOn);
    // Shows the network, or changes the signal of the one shown (0 to 100).
    void setNetwork(const std::string& ssid, int quality);
    // Connects to a visible network, with a profile of the same name; an
    // empty name disconnects. False for a network not in sight.
    bool setConnected(const std::string& ssid);
    // The key a network takes; empty: an open network.
    void setNetworkKey(const std::string& ssid, const std::string& key);

protected:
    std::uint32_t switchRadio(const GUID& interfaceGuid, bool on) override;
    std::uint32_t requestScan(const GUID& interfaceGuid) override;
    std::uint32_t storeProfile(const GUID& interfaceGuid, const std::string& profileXml, bool overwrite,
                               std::uint32_t& reasonCode) override;
    std::uint32_t removeProfile(const GUID& interfaceGuid, const std::string& profileName) override;
    std::uint32_t startConnection(const GUID& interfaceGuid, const std::string& profileName) override;
    std::uint32_t endConnection(const GUID& interfaceGuid) override;

private:
    WifiMachine shown() const; // with `lock` held
    void update(std::uint32_t code, const WLAN_CONNECTION_NOTIFICATION_DATA* connection = nullptr);

    std::mutex lock;
    WifiInterface wlan;
    std::map<std::string, std::string> profileKeys; // by profile name
    std::map<std::string, std::string> networkKeys; // by SSID; absent: any key
};

} // namespace vantel::platform

#endif
