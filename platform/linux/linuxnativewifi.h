// Native Wifi on NetworkManager, on the system bus (DBUS_SYSTEM_BUS_ADDRESS
// moves it). Each Wi-Fi device is one interface, named by its interface
// ("wlan0"); software radio = WirelessEnabled, hardware radio =
// WirelessHardwareEnabled; access points grouped by SSID are the networks.
// While a client handle is open, a thread of the service follows
// NetworkManager on a D-Bus connection of its own; queries answer from what
// it learnt, without a bus call. Without NetworkManager the interfaces
// cannot be listed (NW_ERROR_SERVICE_NOT_ACTIVE); when it comes (back), the
// service learns its state again and tells its clients.
//
// Profiles are NetworkManager's saved Wi-Fi connections, each named as its
// SSID gives it (wlanProfileName), whatever its connection.id: a profile
// document becomes a connection (Settings.AddConnection, or an Update of
// the one with that SSID that changes only what the document says),
// deleting one is its Delete. Connecting is
// ActivateConnection on the interface's device; its outcome arrives as
// notification 10 or 11. An attempt that has no outcome after 60 s
// (VANTEL_WIFI_CONNECT_TIMEOUT_MS, in milliseconds, changes it) ends as a
// failed one, with notification 11. Disconnecting is the device's
// Disconnect. Each of these calls waits a few seconds at most; keys go only
// to NetworkManager.
#ifndef VANTEL_PLATFORM_LINUXNATIVEWIFI_H
#define VANTEL_PLATFORM_LINUXNATIVEWIFI_H

#include <QString>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "nativewifimodel.h"

class QThread;

namespace vantel::platform {

struct NmDevicePath;
class NmFollower;

class LinuxNativeWifi : public NativeWifiModel
{
public:
    LinuxNativeWifi();
    ~LinuxNativeWifi() override;

protected:
    // On: waits until NetworkManager's state is known, at most a few seconds.
    // Off: waits for the follower to end half a second at most.
    void follow(bool on) override;
    // NetworkManager's WirelessEnabled, which switches every Wi-Fi device.
    std::uint32_t switchRadio(const GUID& interfaceGuid, bool on) override;
    std::uint32_t requestScan(const GUID& interfaceGuid) override;
    std::uint32_t storeProfile(const GUID& interfaceGuid, const std::string& profileXml, bool overwrite,
                               std::uint32_t& reasonCode) override;
    std::uint32_t removeProfile(const GUID& interfaceGuid, const std::string& profileName) override;
    std::uint32_t startConnection(const GUID& interfaceGuid, const std::string& profileName) override;
    std::uint32_t endConnection(const GUID& interfaceGuid) override;

private:
    void stop();
    QString devicePath(const GUID& interfaceGuid);
    // Runs `work` on the follower, in its thread, after what it has to do now.
    void onFollower(std::function<void(NmFollower&)> work);

    class FollowerThread;
    // What the follower may hand on: closed when closing leaves it running.
    struct Gate {
        std::mutex lock;
        bool open = true;
    };
    std::unique_ptr<FollowerThread> thread;
    std::shared_ptr<Gate> gate;
    QString connectionName;

    std::mutex pathLock;
    std::vector<NmDevicePath> devicePaths;

    std::mutex readyLock;
    std::condition_variable readyChanged;
    bool ready = false;
};

} // namespace vantel::platform

#endif
