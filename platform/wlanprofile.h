// A WLAN profile document, as the Native Wifi service is handed it, read
// into what a backend needs to store and use it: the simulated tablet and
// NetworkManager both take it apart here, so that both accept and refuse the
// same documents.
#ifndef VANTEL_PLATFORM_WLANPROFILE_H
#define VANTEL_PLATFORM_WLANPROFILE_H

#include <cstdint>
#include <string>

#include "nativewifi.h"

namespace vantel::platform {

// The namespace of version 1 of the profile schema, which the root element
// must carry.
extern const char* const wlanProfileNamespace;

struct WlanProfile {
    std::string name;                               // UTF-8
    std::string ssid;                               // raw bytes, 1 to 32
    bool nonBroadcast = false;                      // a hidden network
    std::uint32_t bssType = dot11_BSS_type_any;     // connectionType ESS, IBSS, or none
    bool autoConnect = true;                        // connectionMode auto (or absent) / manual
    std::uint32_t auth = DOT11_AUTH_ALGO_80211_OPEN;
    std::uint32_t cipher = DOT11_CIPHER_ALGO_NONE;  // DOT11_CIPHER_ALGO_WEP for WEP of any length
    bool passphrase = false;                        // keyType passPhrase; else networkKey
    std::string keyMaterial;                        // empty: no key given
    std::uint32_t keyIndex = 0;                     // WEP key 0 to 3
};

// The name the profile of the network `ssid` (raw bytes) goes by, in
// UTF-8: its bytes as 8-bit text up to the first NUL, at most 32, without
// the control characters a profile document cannot carry; the SSID's hex
// digits when nothing is left.
std::string wlanProfileName(const std::string& ssid);

// NW_SUCCESS, or NW_ERROR_BAD_PROFILE for a document that is not a valid
// profile: not well-formed, another root or namespace, no name, an SSID that
// is not 1 to 32 bytes, an unknown connection type or mode, an authentication
// and encryption that do not go together, a protected (enciphered) key, a
// pre-shared key of the wrong length, or a key index above 3. Enterprise
// authentication (WPA, WPA2) needs an 802.1X configuration that these
// documents do not carry: refused too.
std::uint32_t parseWlanProfile(const std::string& document, WlanProfile& profile);

} // namespace vantel::platform

#endif
