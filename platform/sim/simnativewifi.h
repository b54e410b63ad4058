// The simulated tablet's WLAN: one interface, "wlan0", with the networks a
// test or the scenario makes visible, the one it is connected to, and both
// radio switches. Callbacks hear of each change at once, in the thread that
// made it.
#ifndef VANTEL_PLATFORM_SIMNATIVEWIFI_H
#define VANTEL_PLATFORM_SIMNATIVEWIFI_H

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
    bool connect(const std::string& ssid);

protected:
    std::uint32_t switchRadio(const GUID& interfaceGuid, bool on) override;
    std::uint32_t requestScan(const GUID& interfaceGuid) override;

private:
    WifiMachine shown() const; // with `lock` held
    void update(std::uint32_t code, const WLAN_CONNECTION_NOTIFICATION_DATA* connection = nullptr);

    std::mutex lock;
    WifiInterface wlan;
};

} // namespace vantel::platform

#endif
