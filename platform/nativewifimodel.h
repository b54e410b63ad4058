// The Native Wifi service as both backends build it: a backend describes the
// machine's WLAN interfaces (publish) and tells what changed (notify); this
// base answers every query from the last description, keeps the client
// handles and delivers notifications to the registered callbacks.
#ifndef VANTEL_PLATFORM_NATIVEWIFIMODEL_H
#define VANTEL_PLATFORM_NATIVEWIFIMODEL_H

#include <map>
#include <memory>
#include <mutex>

#include "nativewifi.h"

namespace vantel::platform {

struct WifiAccessPoint {
    std::string ssid; // raw bytes
    DOT11_MAC_ADDRESS bssid{};
    std::uint32_t quality = 0; // 0 to 100
    std::uint32_t frequencyMHz = 0;
    std::uint32_t bssType = dot11_BSS_type_infrastructure;
    std::uint32_t auth = DOT11_AUTH_ALGO_80211_OPEN;
    std::uint32_t cipher = DOT11_CIPHER_ALGO_NONE;
};

// A saved connection the interface may use.
struct WifiProfile {
    std::string name;
    std::string ssid;
};

struct WifiInterface {
    GUID guid;
    std::string description;
    bool softwareRadioOn = false;
    bool hardwareRadioOn = false;
    bool radioSwitchable = true;
    std::uint32_t state = wlan_interface_state_not_ready;
    std::uint32_t bssType = dot11_BSS_type_any;
    std::vector<std::uint32_t> phyTypes;
    std::vector<WifiAccessPoint> accessPoints;
    std::vector<WifiProfile> profiles;
    // The connection in use or being made: its profile, and the access point
    // it is associated with (-1: not known yet).
    std::string connectedProfile;
    int associatedAccessPoint = -1;
    std::vector<DOT11_AUTH_CIPHER_PAIR> infrastructurePairs;
    std::vector<DOT11_AUTH_CIPHER_PAIR> adhocPairs; // empty: no ad hoc mode
};

struct WifiMachine {
    bool serviceActive = false;
    std::vector<WifiInterface> interfaces;
};

class NativeWifiModel : public NativeWifi
{
public:
    NativeWifiModel();
    ~NativeWifiModel() override;

    std::uint32_t openHandle(std::uint32_t clientVersion, std::uint32_t& negotiatedVersion,
                             HANDLE& handle) override;
    std::uint32_t closeHandle(HANDLE handle) override;
    std::uint32_t enumInterfaces(HANDLE handle, std::vector<WLAN_INTERFACE_INFO>& interfaces) override;
    std::uint32_t queryInterface(HANDLE handle, const GUID& interfaceGuid, std::uint32_t opcode,
                                 WLAN_INTERFACE_DATA& data) override;
    std::uint32_t setInterface(HANDLE handle, const GUID& interfaceGuid, std::uint32_t opcode,
                               const WLAN_INTERFACE_DATA& data) override;
    std::uint32_t getInterfaceCapability(HANDLE handle, const GUID& interfaceGuid,
                                         WLAN_INTERFACE_CAPABILITY& capability) override;
    std::uint32_t getAvailableNetworkList(HANDLE handle, const GUID& interfaceGuid,
                                          WLAN_AVAILABLE_NETWORK_LIST& list) override;
    std::uint32_t getNetworkBssList(HANDLE handle, const GUID& interfaceGuid, const DOT11_SSID* ssid,
                                    std::uint32_t bssType, bool securityEnabled, WLAN_BSS_LIST& list) override;
    std::uint32_t registerNotification(HANDLE handle, std::uint32_t sources, WLAN_NOTIFICATION_CALLBACK callback,
                                       void* context) override;
    std::uint32_t scan(HANDLE handle, const GUID& interfaceGuid) override;
    // Besides the handle and interface, these check what Windows checks
    // before it starts: a document, a profile name, a BSS type, the profile
    // mode (the only one these backends offer; others are NW_ERROR_NOT_SUPPORTED).
    std::uint32_t setProfile(HANDLE handle, const GUID& interfaceGuid, std::uint32_t flags,
                             const std::string& profileXml, bool overwrite, std::uint32_t& reasonCode) override;
    std::uint32_t deleteProfile(HANDLE handle, const GUID& interfaceGuid, const std::string& profileName) override;
    std::uint32_t connect(HANDLE handle, const GUID& interfaceGuid,
                          const WLAN_CONNECTION_PARAMETERS& parameters) override;
    std::uint32_t disconnect(HANDLE handle, const GUID& interfaceGuid) override;

protected:
    // The machine as the backend now sees it; queries answer from it at once.
    void publish(WifiMachine machine);
    // Calls every registered callback, in the calling thread.
    void notify(const GUID& interfaceGuid, std::uint32_t code,
                const WLAN_CONNECTION_NOTIFICATION_DATA* connection = nullptr);

    // The first handle opened (true) or the last one closed (false): a
    // backend starts or stops following the machine. Called without locks
    // held, never concurrently with itself.
    virtual void follow(bool on);
    // Switches the radio of an interface the last description holds.
    virtual std::uint32_t switchRadio(const GUID& interfaceGuid, bool on) = 0;
    virtual std::uint32_t requestScan(const GUID& interfaceGuid) = 0;
    // Profile and connection work on an interface the last description
    // holds, with arguments already checked.
    virtual std::uint32_t storeProfile(const GUID& interfaceGuid, const std::string& profileXml, bool overwrite,
                                       std::uint32_t& reasonCode) = 0;
    virtual std::uint32_t removeProfile(const GUID& interfaceGuid, const std::string& profileName) = 0;
    virtual std::uint32_t startConnection(const GUID& interfaceGuid, const std::string& profileName) = 0;
    virtual std::uint32_t endConnection(const GUID& interfaceGuid) = 0;

private:
    struct InterfaceView;
    struct View;
    struct Registration {
        WLAN_NOTIFICATION_CALLBACK callback = nullptr;
        void* context = nullptr;
    };

    std::shared_ptr<const View> view() const;
    bool validHandle(HANDLE handle) const;
    // `answer` for the interface a valid handle asks about, or the error.
    template <class Answer>
    std::uint32_t withInterface(HANDLE handle, const GUID& interfaceGuid, Answer answer) const;

    mutable std::mutex viewLock;
    std::shared_ptr<const View> current;

    std::mutex followLock; // open and close, so that follow() calls never overlap
    // Held while callbacks run, so that ending a registration from another
    // thread waits for them; recursive, because a callback may end one.
    std::recursive_mutex deliveryLock;
    mutable std::mutex clientLock; // handles and registrations
    std::map<HANDLE, Registration> clients;
    HANDLE lastHandle = 0;
};

} // namespace vantel::platform

#endif
