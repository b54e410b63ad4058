// Native Wifi through wlanapi itself: each call is the Windows call, with its
// answer copied into the interface's structures (texts as UTF-8) and its
// error code passed on.
#ifndef VANTEL_PLATFORM_WIN32NATIVEWIFI_H
#define VANTEL_PLATFORM_WIN32NATIVEWIFI_H

#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "nativewifi.h"

namespace vantel::platform {

class Win32NativeWifi : public NativeWifi
{
public:
    std::uint32_t openHandle(std::uint32_t clientVersion, std::uint32_t& negotiatedVersion,
                             HANDLE& handle) override;
    std::uint32_t closeHandle(HANDLE handle) override;
    std::uint32_t enumInterfaces(HANDLE handle, std::vector<WLAN_INTERFACE_INFO>& interfaces) override;
    // Opcodes other than 4, 5, 6, 7, 9 and 10: NW_ERROR_NOT_SUPPORTED,
    // without asking Windows.
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
    std::uint32_t setProfile(HANDLE handle, const GUID& interfaceGuid, std::uint32_t flags,
                             const std::string& profileXml, bool overwrite, std::uint32_t& reasonCode) override;
    std::uint32_t deleteProfile(HANDLE handle, const GUID& interfaceGuid, const std::string& profileName) override;
    // A profile name longer than Windows takes (255 characters):
    // NW_ERROR_INVALID_PARAMETER without asking Windows.
    std::uint32_t connect(HANDLE handle, const GUID& interfaceGuid,
                          const WLAN_CONNECTION_PARAMETERS& parameters) override;
    std::uint32_t disconnect(HANDLE handle, const GUID& interfaceGuid) override;

    // What Windows' callback hands on: the client's callback and context.
    struct Registration {
        WLAN_NOTIFICATION_CALLBACK callback = nullptr;
        void* context = nullptr;
    };

private:
    // Every registration a handle made lives until the handle closes: a
    // callback replaced may still be running.
    std::mutex lock;
    std::map<HANDLE, std::vector<std::unique_ptr<Registration>>> registrations;
};

} // namespace vantel::platform

#endif
