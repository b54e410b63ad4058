// Native Wifi service: the WLAN interfaces of the machine, their radio, state
// and current connection, the networks and BSS entries they see, and
// notifications of changes, with the opcodes, structures and error numbers of
// Windows' wlanapi. Texts are UTF-8; an SSID keeps its raw bytes.
//
// Every call answers from what the service already knows: none waits for a
// peer, except openHandle, which may wait a few seconds the first time for
// the service to learn the machine's state.
#ifndef VANTEL_PLATFORM_NATIVEWIFI_H
#define VANTEL_PLATFORM_NATIVEWIFI_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vantel::platform {

// Windows error codes the callers tell apart. (Windows spells them as macros,
// ERROR_NOT_SUPPORTED and so on, which these names must not meet.)
enum : std::uint32_t {
    NW_SUCCESS = 0,
    NW_ERROR_ACCESS_DENIED = 5,
    NW_ERROR_INVALID_HANDLE = 6,
    NW_ERROR_NOT_SUPPORTED = 50,
    NW_ERROR_INVALID_PARAMETER = 87,
    NW_ERROR_ALREADY_EXISTS = 183,
    NW_ERROR_SERVICE_NOT_ACTIVE = 1062,
    NW_ERROR_NOT_FOUND = 1168,
    NW_ERROR_BAD_PROFILE = 1206,
    NW_ERROR_TIMEOUT = 1460,
    NW_ERROR_INVALID_STATE = 5023
};

// Notification sources (WLAN_NOTIFICATION_SOURCE_*) and available-network
// flags (WLAN_AVAILABLE_NETWORK_*).
enum : std::uint32_t {
    NW_SOURCE_NONE = 0,
    NW_SOURCE_ACM = 0x8,
    NW_NETWORK_CONNECTED = 0x1,
    NW_NETWORK_HAS_PROFILE = 0x2
};

// The client version this service speaks (WLAN_API_VERSION_2_0), and the
// reason code of a failure with no better description (WLAN_REASON_CODE_UNKNOWN).
enum : std::uint32_t { NW_CLIENT_VERSION = 2, NW_REASON_CODE_UNKNOWN = 0x10001 };

enum WLAN_INTF_OPCODE : std::uint32_t {
    wlan_intf_opcode_radio_state = 4,
    wlan_intf_opcode_bss_type = 5,
    wlan_intf_opcode_interface_state = 6,
    wlan_intf_opcode_current_connection = 7,
    wlan_intf_opcode_supported_infrastructure_auth_cipher_pairs = 9,
    wlan_intf_opcode_supported_adhoc_auth_cipher_pairs = 10
};

enum WLAN_NOTIFICATION_ACM : std::uint32_t {
    wlan_notification_acm_power_setting_change = 6,
    wlan_notification_acm_scan_complete = 7,
    wlan_notification_acm_connection_complete = 10,
    wlan_notification_acm_connection_attempt_fail = 11,
    wlan_notification_acm_network_available = 19,
    wlan_notification_acm_disconnected = 21
};

enum WLAN_INTERFACE_STATE : std::uint32_t {
    wlan_interface_state_not_ready = 0,
    wlan_interface_state_connected = 1,
    wlan_interface_state_ad_hoc_network_formed = 2,
    wlan_interface_state_disconnecting = 3,
    wlan_interface_state_disconnected = 4,
    wlan_interface_state_associating = 5,
    wlan_interface_state_discovering = 6,
    wlan_interface_state_authenticating = 7
};

enum DOT11_RADIO_STATE : std::uint32_t {
    dot11_radio_state_unknown = 0,
    dot11_radio_state_on = 1,
    dot11_radio_state_off = 2
};

enum DOT11_BSS_TYPE : std::uint32_t {
    dot11_BSS_type_infrastructure = 1,
    dot11_BSS_type_independent = 2,
    dot11_BSS_type_any = 3
};

enum DOT11_AUTH_ALGORITHM : std::uint32_t {
    DOT11_AUTH_ALGO_80211_OPEN = 1,
    DOT11_AUTH_ALGO_80211_SHARED_KEY = 2,
    DOT11_AUTH_ALGO_WPA = 3,
    DOT11_AUTH_ALGO_WPA_PSK = 4,
    DOT11_AUTH_ALGO_WPA_NONE = 5,
    DOT11_AUTH_ALGO_RSNA = 6,
    DOT11_AUTH_ALGO_RSNA_PSK = 7
};

enum DOT11_CIPHER_ALGORITHM : std::uint32_t {
    DOT11_CIPHER_ALGO_NONE = 0x00,
    DOT11_CIPHER_ALGO_WEP40 = 0x01,
    DOT11_CIPHER_ALGO_TKIP = 0x02,
    DOT11_CIPHER_ALGO_CCMP = 0x04,
    DOT11_CIPHER_ALGO_WEP104 = 0x05,
    DOT11_CIPHER_ALGO_WEP = 0x101
};

enum DOT11_PHY_TYPE : std::uint32_t {
    dot11_phy_type_ofdm = 4, // 802.11a, 5 GHz
    dot11_phy_type_erp = 6   // 802.11g, 2.4 GHz
};

enum WLAN_INTERFACE_TYPE : std::uint32_t { wlan_interface_type_native_802_11 = 1 };

enum WLAN_CONNECTION_MODE : std::uint32_t {
    wlan_connection_mode_profile = 0,
    wlan_connection_mode_temporary_profile = 1,
    wlan_connection_mode_discovery_secure = 2,
    wlan_connection_mode_discovery_unsecure = 3,
    wlan_connection_mode_auto = 4
};

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::array<std::uint8_t, 8> Data4{};
};

bool operator==(const GUID& a, const GUID& b);
inline bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }
bool isNullGuid(const GUID& guid);

struct DOT11_SSID {
    std::uint32_t uSSIDLength = 0; // 0 to 32
    std::array<std::uint8_t, 32> ucSSID{};
};

bool operator==(const DOT11_SSID& a, const DOT11_SSID& b); // length and all 32 bytes
// The first 32 bytes of `bytes`, the rest zero.
DOT11_SSID makeSsid(const std::string& bytes);

using DOT11_MAC_ADDRESS = std::array<std::uint8_t, 6>;

// A client handle; 0 is none.
using HANDLE = std::uintptr_t;

struct WLAN_INTERFACE_INFO {
    GUID InterfaceGuid;
    std::string strInterfaceDescription;
    std::uint32_t isState = wlan_interface_state_not_ready;
};

struct WLAN_PHY_RADIO_STATE {
    std::uint32_t dwPhyIndex = 0;
    std::uint32_t dot11SoftwareRadioState = dot11_radio_state_unknown;
    std::uint32_t dot11HardwareRadioState = dot11_radio_state_unknown;
};

struct WLAN_RADIO_STATE {
    std::vector<WLAN_PHY_RADIO_STATE> PhyRadioState;
};

struct WLAN_ASSOCIATION_ATTRIBUTES {
    DOT11_SSID dot11Ssid;
    std::uint32_t dot11BssType = dot11_BSS_type_infrastructure;
    DOT11_MAC_ADDRESS dot11Bssid{};
    std::uint32_t wlanSignalQuality = 0;
};

struct WLAN_SECURITY_ATTRIBUTES {
    bool bSecurityEnabled = false;
    std::uint32_t dot11AuthAlgorithm = DOT11_AUTH_ALGO_80211_OPEN;
    std::uint32_t dot11CipherAlgorithm = DOT11_CIPHER_ALGO_NONE;
};

struct WLAN_CONNECTION_ATTRIBUTES {
    std::uint32_t isState = wlan_interface_state_not_ready;
    std::string strProfileName;
    WLAN_ASSOCIATION_ATTRIBUTES wlanAssociationAttributes;
    WLAN_SECURITY_ATTRIBUTES wlanSecurityAttributes;
};

struct DOT11_AUTH_CIPHER_PAIR {
    std::uint32_t AuthAlgoId = 0;
    std::uint32_t CipherAlgoId = 0;
};

struct WLAN_AUTH_CIPHER_PAIR_LIST {
    std::vector<DOT11_AUTH_CIPHER_PAIR> pAuthCipherPairList;
};

// What WlanQueryInterface hands back; the opcode says which member is
// filled. For WlanSetInterface with the radio-state opcode, the first entry
// of radioState is the one set.
struct WLAN_INTERFACE_DATA {
    WLAN_RADIO_STATE radioState;
    std::uint32_t bssType = dot11_BSS_type_any;
    std::uint32_t interfaceState = wlan_interface_state_not_ready;
    WLAN_CONNECTION_ATTRIBUTES connection;
    WLAN_AUTH_CIPHER_PAIR_LIST authCipherPairs;
};

struct WLAN_AVAILABLE_NETWORK {
    std::string strProfileName; // empty for the entry without a profile
    DOT11_SSID dot11Ssid;
    std::uint32_t dot11BssType = dot11_BSS_type_infrastructure;
    std::uint32_t uNumberOfBssids = 0;
    std::uint32_t wlanSignalQuality = 0; // 0 to 100
    bool bSecurityEnabled = false;
    std::uint32_t dot11DefaultAuthAlgorithm = DOT11_AUTH_ALGO_80211_OPEN;
    std::uint32_t dot11DefaultCipherAlgorithm = DOT11_CIPHER_ALGO_NONE;
    std::uint32_t dwFlags = 0; // NW_NETWORK_CONNECTED, NW_NETWORK_HAS_PROFILE
};

struct WLAN_AVAILABLE_NETWORK_LIST {
    std::uint32_t dwIndex = 0;
    std::vector<WLAN_AVAILABLE_NETWORK> Network; // dwNumberOfItems is its size
};

struct WLAN_BSS_ENTRY {
    DOT11_SSID dot11Ssid;
    DOT11_MAC_ADDRESS dot11Bssid{};
    std::uint32_t dot11BssType = dot11_BSS_type_infrastructure;
    std::int32_t lRssi = -100;        // dBm
    std::uint32_t uLinkQuality = 0;   // 0 to 100
    std::uint32_t ulChCenterFrequency = 0; // kHz
};

struct WLAN_BSS_LIST {
    std::vector<WLAN_BSS_ENTRY> wlanBssEntries;
};

struct WLAN_INTERFACE_CAPABILITY {
    std::uint32_t interfaceType = wlan_interface_type_native_802_11;
    std::vector<std::uint32_t> dot11PhyTypes;
};

// What WlanConnect is given; the profile names the network, so neither an
// SSID nor a BSSID list is passed (null in the Windows call).
struct WLAN_CONNECTION_PARAMETERS {
    std::uint32_t wlanConnectionMode = wlan_connection_mode_profile;
    std::string strProfile;
    std::uint32_t dot11BssType = dot11_BSS_type_infrastructure;
    std::uint32_t dwFlags = 0;
};

// The data of the connection notifications (10, 11, 21).
struct WLAN_CONNECTION_NOTIFICATION_DATA {
    std::string strProfileName;
    DOT11_SSID dot11Ssid;
    std::uint32_t wlanReasonCode = 0; // 0: success
};

struct WLAN_NOTIFICATION_DATA {
    std::uint32_t NotificationSource = NW_SOURCE_ACM;
    std::uint32_t NotificationCode = 0;
    GUID InterfaceGuid;
    // Set for the connection codes, null for the others.
    const WLAN_CONNECTION_NOTIFICATION_DATA* connection = nullptr;
};

// Called on a thread of the service (on the simulated tablet, the thread that
// changed it); it must not wait for the thread that registered it.
using WLAN_NOTIFICATION_CALLBACK = void (*)(const WLAN_NOTIFICATION_DATA* data, void* context);

class NativeWifi
{
public:
    virtual ~NativeWifi() = default;

    // WlanOpenHandle: negotiates min(clientVersion, NW_CLIENT_VERSION); a
    // version of 0 is refused. Succeeds on a machine without WLAN interfaces too.
    virtual std::uint32_t openHandle(std::uint32_t clientVersion, std::uint32_t& negotiatedVersion,
                                     HANDLE& handle) = 0;
    // WlanCloseHandle: ends the handle's notifications first.
    virtual std::uint32_t closeHandle(HANDLE handle) = 0;

    // WlanEnumInterfaces: every WLAN interface, possibly none;
    // NW_ERROR_SERVICE_NOT_ACTIVE when the machine's WLAN service is not there.
    virtual std::uint32_t enumInterfaces(HANDLE handle, std::vector<WLAN_INTERFACE_INFO>& interfaces) = 0;

    // WlanQueryInterface with opcodes 4, 5, 6, 7, 9 and 10. An interface that
    // is not there: NW_ERROR_NOT_FOUND. Opcode 7 when not connected:
    // NW_ERROR_INVALID_STATE; opcode 10 on an interface without ad hoc mode
    // and other opcodes: NW_ERROR_NOT_SUPPORTED.
    virtual std::uint32_t queryInterface(HANDLE handle, const GUID& interfaceGuid, std::uint32_t opcode,
                                         WLAN_INTERFACE_DATA& data) = 0;
    // WlanSetInterface; only the radio state (opcode 4) can be set.
    virtual std::uint32_t setInterface(HANDLE handle, const GUID& interfaceGuid, std::uint32_t opcode,
                                       const WLAN_INTERFACE_DATA& data) = 0;
    // WlanGetInterfaceCapability: NW_ERROR_NOT_SUPPORTED when the radio
    // cannot be switched through this service.
    virtual std::uint32_t getInterfaceCapability(HANDLE handle, const GUID& interfaceGuid,
                                                 WLAN_INTERFACE_CAPABILITY& capability) = 0;

    // WlanGetAvailableNetworkList: the visible networks, one entry per SSID,
    // BSS type and security; a network with saved profiles is listed once
    // per profile (flag NW_NETWORK_HAS_PROFILE, the profile's name; the one
    // in use also NW_NETWORK_CONNECTED), those entries first, and once more
    // without a profile.
    virtual std::uint32_t getAvailableNetworkList(HANDLE handle, const GUID& interfaceGuid,
                                                  WLAN_AVAILABLE_NETWORK_LIST& list) = 0;
    // WlanGetNetworkBssList: every BSS entry when `ssid` is null, else those
    // of that SSID, BSS type (or any) and security; the entry the interface
    // is associated with comes first. 87 for an SSID longer than 32 bytes.
    virtual std::uint32_t getNetworkBssList(HANDLE handle, const GUID& interfaceGuid, const DOT11_SSID* ssid,
                                            std::uint32_t bssType, bool securityEnabled,
                                            WLAN_BSS_LIST& list) = 0;

    // WlanRegisterNotification: sources NW_SOURCE_ACM or NW_SOURCE_NONE (to
    // stop); registering again replaces the callback. Stopping, like closing
    // the handle, waits for a callback that is running.
    virtual std::uint32_t registerNotification(HANDLE handle, std::uint32_t sources,
                                               WLAN_NOTIFICATION_CALLBACK callback, void* context) = 0;

    // WlanScan: asks for a scan and returns at once; scan_complete follows.
    virtual std::uint32_t scan(HANDLE handle, const GUID& interfaceGuid) = 0;

    // WlanSetProfile: stores a WLAN profile document (UTF-8) for every user,
    // under the document's name. NW_ERROR_BAD_PROFILE for a document that is
    // not a valid profile, NW_ERROR_ALREADY_EXISTS when a profile of that name
    // exists and `overwrite` is false. `reasonCode` tells more on a failure
    // (0 on success).
    virtual std::uint32_t setProfile(HANDLE handle, const GUID& interfaceGuid, std::uint32_t flags,
                                     const std::string& profileXml, bool overwrite, std::uint32_t& reasonCode) = 0;
    // WlanDeleteProfile: NW_ERROR_NOT_FOUND when there is no such profile.
    virtual std::uint32_t deleteProfile(HANDLE handle, const GUID& interfaceGuid, const std::string& profileName) = 0;
    // WlanConnect: starts an attempt and returns; its outcome comes as
    // notification 10 (connection complete) or 11 (attempt failed).
    virtual std::uint32_t connect(HANDLE handle, const GUID& interfaceGuid,
                                  const WLAN_CONNECTION_PARAMETERS& parameters) = 0;
    // WlanDisconnect: success also when the interface is not connected.
    virtual std::uint32_t disconnect(HANDLE handle, const GUID& interfaceGuid) = 0;
};

} // namespace vantel::platform

#endif
