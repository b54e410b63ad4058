// Native Wifi on NetworkManager, on the system bus (DBUS_SYSTEM_BUS_ADDRESS
// moves it). Each Wi-Fi device is one interface, named by its interface
// ("wlan0"); software radio = WirelessEnabled, hardware radio =
// WirelessHardwareEnabled; access points grouped by SSID are the networks.
// While a client handle is open, a thread of the service follows
// NetworkManager on a D-Bus connection of its own; queries answer from what
// it learnt, without a bus call. Without NetworkManager the interfaces
// cannot be listed (NW_ERROR_SERVICE_NOT_ACTIVE); when it comes (back), the
// service learns its state again and tells its clients.
#ifndef VANTEL_PLATFORM_LINUXNATIVEWIFI_H
#define VANTEL_PLATFORM_LINUXNATIVEWIFI_H

#include <QString>

#include <condition_variable>
#include <memory>

#include "nativewifimodel.h"

class QThread;

namespace vantel::platform {

struct NmDevicePath;

class LinuxNativeWifi : public NativeWifiModel
{
public:
    LinuxNativeWifi();
    ~LinuxNativeWifi() override;

protected:
    // On: waits until NetworkManager's state is known, at most a few seconds.
    void follow(bool on) override;
    // NetworkManager's WirelessEnabled, which switches every Wi-Fi device.
    std::uint32_t switchRadio(const GUID& interfaceGuid, bool on) override;
    std::uint32_t requestScan(const GUID& interfaceGuid) override;

private:
    void stop();
    QString devicePath(const GUID& interfaceGuid);

    std::unique_ptr<QThread> thread;
    QString connectionName;

    std::mutex pathLock;
    std::vector<NmDevicePath> devicePaths;

    std::mutex readyLock;
    std::condition_variable readyChanged;
    bool ready = false;
};

} // namespace vantel::platform

#endif
