// NetworkManager's D-Bus numbers that the Linux backend reads or writes,
// with the names and values of NetworkManager's own API reference
// (NMDeviceState, NMDeviceType, NM80211Mode, NMDeviceWifiCapabilities,
// NM80211ApFlags, NM80211ApSecurityFlags, NMWepKeyType).
#ifndef VANTEL_PLATFORM_NMPROTOCOL_H
#define VANTEL_PLATFORM_NMPROTOCOL_H

namespace vantel::platform {

// Device.State, in the order a device goes through them.
enum NmDeviceState : unsigned {
    NM_DEVICE_STATE_UNKNOWN = 0,
    NM_DEVICE_STATE_UNMANAGED = 10,
    NM_DEVICE_STATE_UNAVAILABLE = 20,
    NM_DEVICE_STATE_DISCONNECTED = 30,
    NM_DEVICE_STATE_PREPARE = 40,
    NM_DEVICE_STATE_CONFIG = 50,
    NM_DEVICE_STATE_NEED_AUTH = 60,
    NM_DEVICE_STATE_IP_CONFIG = 70,
    NM_DEVICE_STATE_IP_CHECK = 80,
    NM_DEVICE_STATE_SECONDARIES = 90,
    NM_DEVICE_STATE_ACTIVATED = 100,
    NM_DEVICE_STATE_DEACTIVATING = 110,
    NM_DEVICE_STATE_FAILED = 120
};

// Device.DeviceType.
enum NmDeviceType : unsigned {
    NM_DEVICE_TYPE_ETHERNET = 1,
    NM_DEVICE_TYPE_WIFI = 2,
    NM_DEVICE_TYPE_LOOPBACK = 32
};

// Device.Wireless.Mode and AccessPoint.Mode.
enum Nm80211Mode : unsigned {
    NM_802_11_MODE_UNKNOWN = 0,
    NM_802_11_MODE_ADHOC = 1,
    NM_802_11_MODE_INFRA = 2
};

// Device.Wireless.WirelessCapabilities bits.
enum NmWifiDeviceCapabilities : unsigned {
    NM_WIFI_DEVICE_CAP_CIPHER_WEP40 = 0x1,
    NM_WIFI_DEVICE_CAP_CIPHER_WEP104 = 0x2,
    NM_WIFI_DEVICE_CAP_CIPHER_TKIP = 0x4,
    NM_WIFI_DEVICE_CAP_CIPHER_CCMP = 0x8,
    NM_WIFI_DEVICE_CAP_WPA = 0x10,
    NM_WIFI_DEVICE_CAP_RSN = 0x20,
    NM_WIFI_DEVICE_CAP_ADHOC = 0x80,
    NM_WIFI_DEVICE_CAP_FREQ_VALID = 0x100,
    NM_WIFI_DEVICE_CAP_FREQ_2GHZ = 0x200,
    NM_WIFI_DEVICE_CAP_FREQ_5GHZ = 0x400
};

// AccessPoint.Flags bits.
enum Nm80211ApFlags : unsigned { NM_802_11_AP_FLAGS_PRIVACY = 0x1 };

// AccessPoint.WpaFlags and RsnFlags bits.
enum Nm80211ApSecurityFlags : unsigned {
    NM_802_11_AP_SEC_PAIR_TKIP = 0x4,
    NM_802_11_AP_SEC_PAIR_CCMP = 0x8,
    NM_802_11_AP_SEC_KEY_MGMT_802_1X = 0x200
};

// The "wep-key-type" setting of 802-11-wireless-security.
enum NmWepKeyType : unsigned { NM_WEP_KEY_TYPE_KEY = 1, NM_WEP_KEY_TYPE_PASSPHRASE = 2 };

} // namespace vantel::platform

#endif
