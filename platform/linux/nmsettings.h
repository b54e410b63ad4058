// What NetworkManager's connection settings become from the design's
// inputs: a WLAN profile document's parts, and the IPv4 configuration netsh
// would set. Pure: the bus calls are the callers'.
#ifndef VANTEL_PLATFORM_NMSETTINGS_H
#define VANTEL_PLATFORM_NMSETTINGS_H

#include "iphelper.h"
#include "nmclient.h"
#include "wlanprofile.h"

namespace vantel::platform {

// A Wi-Fi connection named as the profile, with `uuid`:
// connection.id, and autoconnect false for a manual profile (true is
// NetworkManager's default); 802-11-wireless ssid, mode
// ("infrastructure" for ESS, "adhoc" for IBSS, NetworkManager's default
// without a connection type) and hidden; for a secured profile
// 802-11-wireless-security: key-mgmt "wpa-psk" with psk, or WEP as key-mgmt
// "none" with auth-alg "open" or "shared", the key in wep-key<keyIndex>,
// wep-tx-keyidx and wep-key-type (1 a key, 2 a passphrase).
NmSettings nmProfileSettings(const WlanProfile& profile, const QString& uuid);

// True for the saved connection of the network `ssid`: a Wi-Fi connection
// with exactly these SSID bytes, whatever its id.
bool nmIsProfileFor(const NmSettings& settings, const QByteArray& ssid);

// `existing` (with its secrets) changed only where the profile says: SSID,
// mode, hidden, key management and key. Its id, uuid, addresses, IPv6, MAC
// policy and priorities stay; so do the stored secrets and security
// options while the key management stays the same and the document brings
// no key.
NmSettings nmProfileOver(NmSettings existing, const WlanProfile& profile);

// The ipv4 setting of `settings` as `ip` says: method "auto" with no static
// address, gateway or DNS server; or "manual" with the address and the
// mask's prefix, the gateway and the first two DNS servers. False, with
// `settings` unchanged, for a static configuration whose texts are not IPv4
// addresses or whose mask is not one.
bool nmSetIpv4(NmSettings& settings, const IpInterfaceSettings& ip);

} // namespace vantel::platform

#endif
