#include "win32nativewifi.h"

#include <cstring>

#include "win32text.h"

#include <windows.h>
#include <wlanapi.h>

namespace vantel::platform {

namespace {

::HANDLE client(HANDLE handle)
{
    return reinterpret_cast<::HANDLE>(handle);
}

::GUID windowsGuid(const GUID& guid)
{
    ::GUID windows{};
    windows.Data1 = guid.Data1;
    windows.Data2 = guid.Data2;
    windows.Data3 = guid.Data3;
    std::memcpy(windows.Data4, guid.Data4.data(), sizeof windows.Data4);
    return windows;
}

GUID ourGuid(const ::GUID& windows)
{
    GUID guid;
    guid.Data1 = windows.Data1;
    guid.Data2 = windows.Data2;
    guid.Data3 = windows.Data3;
    std::memcpy(guid.Data4.data(), windows.Data4, guid.Data4.size());
    return guid;
}

DOT11_SSID ourSsid(const ::DOT11_SSID& windows)
{
    DOT11_SSID ssid;
    ssid.uSSIDLength = windows.uSSIDLength <= ssid.ucSSID.size() ? windows.uSSIDLength : 0;
    std::memcpy(ssid.ucSSID.data(), windows.ucSSID, ssid.ucSSID.size());
    return ssid;
}

DOT11_MAC_ADDRESS ourMac(const ::DOT11_MAC_ADDRESS& windows)
{
    DOT11_MAC_ADDRESS mac;
    std::memcpy(mac.data(), windows, mac.size());
    return mac;
}

// A fixed-size name field, up to its first NUL.
template <std::size_t N>
std::string text(const WCHAR (&name)[N])
{
    std::size_t length = 0;
    while (length < N && name[length])
        ++length;
    return toUtf8(std::wstring(name, length));
}

WLAN_CONNECTION_ATTRIBUTES ourConnection(const ::WLAN_CONNECTION_ATTRIBUTES& windows)
{
    WLAN_CONNECTION_ATTRIBUTES connection;
    connection.isState = windows.isState;
    connection.strProfileName = text(windows.strProfileName);
    const ::WLAN_ASSOCIATION_ATTRIBUTES& association = windows.wlanAssociationAttributes;
    connection.wlanAssociationAttributes.dot11Ssid = ourSsid(association.dot11Ssid);
    connection.wlanAssociationAttributes.dot11BssType = association.dot11BssType;
    connection.wlanAssociationAttributes.dot11Bssid = ourMac(association.dot11Bssid);
    connection.wlanAssociationAttributes.wlanSignalQuality = association.wlanSignalQuality;
    const ::WLAN_SECURITY_ATTRIBUTES& security = windows.wlanSecurityAttributes;
    connection.wlanSecurityAttributes = {security.bSecurityEnabled != FALSE,
                                         std::uint32_t(security.dot11AuthAlgorithm),
                                         std::uint32_t(security.dot11CipherAlgorithm)};
    return connection;
}

// The answer of WlanQueryInterface, by opcode; false when it is too short.
bool copyAnswer(std::uint32_t opcode, const void* raw, DWORD size, WLAN_INTERFACE_DATA& data)
{
    switch (opcode) {
    case wlan_intf_opcode_radio_state: {
        if (size < sizeof(DWORD))
            return false;
        const auto* radio = static_cast<const ::WLAN_RADIO_STATE*>(raw);
        data.radioState.PhyRadioState.clear();
        for (DWORD i = 0; i < radio->dwNumberOfPhys && i < WLAN_MAX_PHY_INDEX; ++i) {
            const ::WLAN_PHY_RADIO_STATE& phy = radio->PhyRadioState[i];
            data.radioState.PhyRadioState.push_back(
                {phy.dwPhyIndex, std::uint32_t(phy.dot11SoftwareRadioState), std::uint32_t(phy.dot11HardwareRadioState)});
        }
        return true;
    }
    case wlan_intf_opcode_bss_type:
    case wlan_intf_opcode_interface_state:
        if (size < sizeof(DWORD))
            return false;
        (opcode == wlan_intf_opcode_bss_type ? data.bssType : data.interfaceState) = *static_cast<const DWORD*>(raw);
        return true;
    case wlan_intf_opcode_current_connection:
        if (size < sizeof(::WLAN_CONNECTION_ATTRIBUTES))
            return false;
        data.connection = ourConnection(*static_cast<const ::WLAN_CONNECTION_ATTRIBUTES*>(raw));
        return true;
    default: {
        if (size < sizeof(DWORD))
            return false;
        const auto* list = static_cast<const ::WLAN_AUTH_CIPHER_PAIR_LIST*>(raw);
        const ::DOT11_AUTH_CIPHER_PAIR* pairs = &list->pAuthCipherPairList;
        data.authCipherPairs.pAuthCipherPairList.clear();
        for (DWORD i = 0; i < list->dwNumberOfItems; ++i)
            data.authCipherPairs.pAuthCipherPairList.push_back(
                {std::uint32_t(pairs[i].AuthAlgoId), std::uint32_t(pairs[i].CipherAlgoId)});
        return true;
    }
    }
}

// Windows' callback: the client's, with the data in the interface's terms.
VOID WINAPI deliver(PWLAN_NOTIFICATION_DATA windows, PVOID context)
{
    const auto* registration = static_cast<const Win32NativeWifi::Registration*>(context);
    if (!windows || !registration || !registration->callback)
        return;
    WLAN_NOTIFICATION_DATA data;
    data.NotificationSource = windows->NotificationSource;
    data.NotificationCode = windows->NotificationCode;
    data.InterfaceGuid = ourGuid(windows->InterfaceGuid);
    WLAN_CONNECTION_NOTIFICATION_DATA connection;
    const bool connectionCode = windows->NotificationSource == WLAN_NOTIFICATION_SOURCE_ACM
                                && (windows->NotificationCode == wlan_notification_acm_connection_complete
                                    || windows->NotificationCode == wlan_notification_acm_connection_attempt_fail
                                    || windows->NotificationCode == wlan_notification_acm_disconnected);
    if (connectionCode && windows->pData
        && windows->dwDataSize >= offsetof(::WLAN_CONNECTION_NOTIFICATION_DATA, strProfileXml)) {
        const auto* windowsConnection = static_cast<const ::WLAN_CONNECTION_NOTIFICATION_DATA*>(windows->pData);
        connection.strProfileName = text(windowsConnection->strProfileName);
        connection.dot11Ssid = ourSsid(windowsConnection->dot11Ssid);
        connection.wlanReasonCode = windowsConnection->wlanReasonCode;
        data.connection = &connection;
    }
    registration->callback(&data, registration->context);
}

} // namespace

std::uint32_t Win32NativeWifi::openHandle(std::uint32_t clientVersion, std::uint32_t& negotiatedVersion,
                                          HANDLE& handle)
{
    DWORD negotiated = 0;
    ::HANDLE opened = nullptr;
    const DWORD result = ::WlanOpenHandle(clientVersion, nullptr, &negotiated, &opened);
    if (result == ERROR_SUCCESS) {
        negotiatedVersion = negotiated;
        handle = reinterpret_cast<HANDLE>(opened);
    }
    return result;
}

std::uint32_t Win32NativeWifi::closeHandle(HANDLE handle)
{
    // Unregistering waits for a callback that is running; closing may not.
    ::WlanRegisterNotification(client(handle), WLAN_NOTIFICATION_SOURCE_NONE, TRUE, nullptr, nullptr, nullptr, nullptr);
    const DWORD result = ::WlanCloseHandle(client(handle), nullptr);
    std::lock_guard<std::mutex> guard(lock);
    registrations.erase(handle);
    return result;
}

std::uint32_t Win32NativeWifi::enumInterfaces(HANDLE handle, std::vector<WLAN_INTERFACE_INFO>& interfaces)
{
    interfaces.clear();
    ::PWLAN_INTERFACE_INFO_LIST list = nullptr;
    const DWORD result = ::WlanEnumInterfaces(client(handle), nullptr, &list);
    if (result != ERROR_SUCCESS)
        return result;
    for (DWORD i = 0; i < list->dwNumberOfItems; ++i) {
        const ::WLAN_INTERFACE_INFO& windows = list->InterfaceInfo[i];
        interfaces.push_back({ourGuid(windows.InterfaceGuid), text(windows.strInterfaceDescription),
                              std::uint32_t(windows.isState)});
    }
    ::WlanFreeMemory(list);
    return NW_SUCCESS;
}

std::uint32_t Win32NativeWifi::queryInterface(HANDLE handle, const GUID& interfaceGuid, std::uint32_t opcode,
                                              WLAN_INTERFACE_DATA& data)
{
    switch (opcode) {
    case wlan_intf_opcode_radio_state:
    case wlan_intf_opcode_bss_type:
    case wlan_intf_opcode_interface_state:
    case wlan_intf_opcode_current_connection:
    case wlan_intf_opcode_supported_infrastructure_auth_cipher_pairs:
    case wlan_intf_opcode_supported_adhoc_auth_cipher_pairs:
        break;
    default:
        return NW_ERROR_NOT_SUPPORTED;
    }
    const ::GUID guid = windowsGuid(interfaceGuid);
    DWORD size = 0;
    PVOID raw = nullptr;
    const DWORD result = ::WlanQueryInterface(client(handle), &guid, static_cast<::WLAN_INTF_OPCODE>(opcode), nullptr,
                                              &size, &raw, nullptr);
    if (result != ERROR_SUCCESS)
        return result;
    const bool copied = raw && copyAnswer(opcode, raw, size, data);
    ::WlanFreeMemory(raw);
    return copied ? NW_SUCCESS : NW_ERROR_INVALID_PARAMETER;
}

std::uint32_t Win32NativeWifi::setInterface(HANDLE handle, const GUID& interfaceGuid, std::uint32_t opcode,
                                            const WLAN_INTERFACE_DATA& data)
{
    if (opcode != wlan_intf_opcode_radio_state)
        return NW_ERROR_NOT_SUPPORTED;
    if (data.radioState.PhyRadioState.empty())
        return NW_ERROR_INVALID_PARAMETER;
    const WLAN_PHY_RADIO_STATE& wanted = data.radioState.PhyRadioState.front();
    ::WLAN_PHY_RADIO_STATE state{};
    state.dwPhyIndex = wanted.dwPhyIndex;
    state.dot11SoftwareRadioState = static_cast<::DOT11_RADIO_STATE>(wanted.dot11SoftwareRadioState);
    state.dot11HardwareRadioState = static_cast<::DOT11_RADIO_STATE>(wanted.dot11HardwareRadioState);
    const ::GUID guid = windowsGuid(interfaceGuid);
    return ::WlanSetInterface(client(handle), &guid, ::wlan_intf_opcode_radio_state, sizeof state, &state, nullptr);
}

std::uint32_t Win32NativeWifi::getInterfaceCapability(HANDLE handle, const GUID& interfaceGuid,
                                                      WLAN_INTERFACE_CAPABILITY& capability)
{
    const ::GUID guid = windowsGuid(interfaceGuid);
    ::PWLAN_INTERFACE_CAPABILITY windows = nullptr;
    const DWORD result = ::WlanGetInterfaceCapability(client(handle), &guid, nullptr, &windows);
    if (result != ERROR_SUCCESS)
        return result;
    capability.interfaceType = windows->interfaceType;
    capability.dot11PhyTypes.clear();
    for (DWORD i = 0; i < windows->dwNumberOfSupportedPhys && i < WLAN_MAX_PHY_INDEX; ++i)
        capability.dot11PhyTypes.push_back(std::uint32_t(windows->dot11PhyTypes[i]));
    ::WlanFreeMemory(windows);
    return NW_SUCCESS;
}

std::uint32_t Win32NativeWifi::getAvailableNetworkList(HANDLE handle, const GUID& interfaceGuid,
                                                       WLAN_AVAILABLE_NETWORK_LIST& list)
{
    const ::GUID guid = windowsGuid(interfaceGuid);
    ::PWLAN_AVAILABLE_NETWORK_LIST windows = nullptr;
    const DWORD result = ::WlanGetAvailableNetworkList(client(handle), &guid, 0, nullptr, &windows);
    if (result != ERROR_SUCCESS)
        return result;
    list.dwIndex = windows->dwIndex;
    list.Network.clear();
    for (DWORD i = 0; i < windows->dwNumberOfItems; ++i) {
        const ::WLAN_AVAILABLE_NETWORK& source = windows->Network[i];
        WLAN_AVAILABLE_NETWORK network;
        network.strProfileName = text(source.strProfileName);
        network.dot11Ssid = ourSsid(source.dot11Ssid);
        network.dot11BssType = source.dot11BssType;
        network.uNumberOfBssids = source.uNumberOfBssids;
        network.wlanSignalQuality = source.wlanSignalQuality;
        network.bSecurityEnabled = source.bSecurityEnabled != FALSE;
        network.dot11DefaultAuthAlgorithm = source.dot11DefaultAuthAlgorithm;
        network.dot11DefaultCipherAlgorithm = source.dot11DefaultCipherAlgorithm;
        network.dwFlags = source.dwFlags;
        list.Network.push_back(network);
    }
    ::WlanFreeMemory(windows);
    return NW_SUCCESS;
}

std::uint32_t Win32NativeWifi::getNetworkBssList(HANDLE handle, const GUID& interfaceGuid, const DOT11_SSID* ssid,
                                                 std::uint32_t bssType, bool securityEnabled, WLAN_BSS_LIST& list)
{
    ::DOT11_SSID windowsSsid{};
    if (ssid) {
        if (ssid->uSSIDLength > ssid->ucSSID.size())
            return NW_ERROR_INVALID_PARAMETER;
        windowsSsid.uSSIDLength = ssid->uSSIDLength;
        std::memcpy(windowsSsid.ucSSID, ssid->ucSSID.data(), ssid->ucSSID.size());
    }
    const ::GUID guid = windowsGuid(interfaceGuid);
    ::PWLAN_BSS_LIST windows = nullptr;
    const DWORD result = ::WlanGetNetworkBssList(client(handle), &guid, ssid ? &windowsSsid : nullptr,
                                                 static_cast<::DOT11_BSS_TYPE>(bssType), securityEnabled, nullptr,
                                                 &windows);
    if (result != ERROR_SUCCESS)
        return result;
    list.wlanBssEntries.clear();
    for (DWORD i = 0; i < windows->dwNumberOfItems; ++i) {
        const ::WLAN_BSS_ENTRY& source = windows->wlanBssEntries[i];
        WLAN_BSS_ENTRY entry;
        entry.dot11Ssid = ourSsid(source.dot11Ssid);
        entry.dot11Bssid = ourMac(source.dot11Bssid);
        entry.dot11BssType = source.dot11BssType;
        entry.lRssi = source.lRssi;
        entry.uLinkQuality = source.uLinkQuality;
        entry.ulChCenterFrequency = source.ulChCenterFrequency;
        list.wlanBssEntries.push_back(entry);
    }
    ::WlanFreeMemory(windows);
    return NW_SUCCESS;
}

std::uint32_t Win32NativeWifi::registerNotification(HANDLE handle, std::uint32_t sources,
                                                    WLAN_NOTIFICATION_CALLBACK callback, void* context)
{
    if (!(sources & NW_SOURCE_ACM))
        return ::WlanRegisterNotification(client(handle), WLAN_NOTIFICATION_SOURCE_NONE, TRUE, nullptr, nullptr,
                                          nullptr, nullptr);
    if (!callback)
        return NW_ERROR_INVALID_PARAMETER;
    auto registration = std::make_unique<Registration>();
    registration->callback = callback;
    registration->context = context;
    // Duplicates are passed on, as the clients expect.
    const DWORD result = ::WlanRegisterNotification(client(handle), WLAN_NOTIFICATION_SOURCE_ACM, FALSE, &deliver,
                                                    registration.get(), nullptr, nullptr);
    if (result == ERROR_SUCCESS) {
        std::lock_guard<std::mutex> guard(lock);
        registrations[handle].push_back(std::move(registration));
    }
    return result;
}

std::uint32_t Win32NativeWifi::scan(HANDLE handle, const GUID& interfaceGuid)
{
    const ::GUID guid = windowsGuid(interfaceGuid);
    return ::WlanScan(client(handle), &guid, nullptr, nullptr, nullptr);
}

std::uint32_t Win32NativeWifi::setProfile(HANDLE handle, const GUID& interfaceGuid, std::uint32_t flags,
                                          const std::string& profileXml, bool overwrite, std::uint32_t& reasonCode)
{
    const ::GUID guid = windowsGuid(interfaceGuid);
    const std::wstring document = toWide(profileXml);
    DWORD reason = 0;
    const DWORD result = ::WlanSetProfile(client(handle), &guid, flags, document.c_str(), nullptr,
                                          overwrite ? TRUE : FALSE, nullptr, &reason);
    reasonCode = reason;
    return result;
}

std::uint32_t Win32NativeWifi::deleteProfile(HANDLE handle, const GUID& interfaceGuid, const std::string& profileName)
{
    const ::GUID guid = windowsGuid(interfaceGuid);
    return ::WlanDeleteProfile(client(handle), &guid, toWide(profileName).c_str(), nullptr);
}

std::uint32_t Win32NativeWifi::connect(HANDLE handle, const GUID& interfaceGuid,
                                       const WLAN_CONNECTION_PARAMETERS& parameters)
{
    const std::wstring profile = toWide(parameters.strProfile);
    if (profile.size() >= WLAN_MAX_NAME_LENGTH)
        return NW_ERROR_INVALID_PARAMETER;
    ::WLAN_CONNECTION_PARAMETERS windows{};
    windows.wlanConnectionMode = static_cast<::WLAN_CONNECTION_MODE>(parameters.wlanConnectionMode);
    windows.strProfile = profile.empty() ? nullptr : profile.c_str();
    windows.pDot11Ssid = nullptr;
    windows.pDesiredBssidList = nullptr;
    windows.dot11BssType = static_cast<::DOT11_BSS_TYPE>(parameters.dot11BssType);
    windows.dwFlags = parameters.dwFlags;
    const ::GUID guid = windowsGuid(interfaceGuid);
    return ::WlanConnect(client(handle), &guid, &windows, nullptr);
}

std::uint32_t Win32NativeWifi::disconnect(HANDLE handle, const GUID& interfaceGuid)
{
    const ::GUID guid = windowsGuid(interfaceGuid);
    return ::WlanDisconnect(client(handle), &guid, nullptr);
}

} // namespace vantel::platform
