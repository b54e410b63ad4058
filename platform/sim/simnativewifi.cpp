#include "simnativewifi.h"

#include <algorithm>

#include "wlanprofile.h"

namespace vantel::platform {

namespace {

const GUID kInterfaceGuid{0x5a17e1f0, 0x7a6e, 0x4c1b, {0x9e, 0x3d, 0x56, 0x41, 0x4e, 0x54, 0x45, 0x4c}};

DOT11_MAC_ADDRESS simulatedBssid(std::size_t index)
{
    // Locally administered addresses, one per network.
    return {0x02, 0x56, 0x54, 0x00, std::uint8_t(index >> 8), std::uint8_t(index)};
}

WifiAccessPoint network(const std::string& ssid, int quality, std::size_t index)
{
    WifiAccessPoint ap;
    ap.ssid = ssid;
    ap.bssid = simulatedBssid(index);
    ap.quality = std::uint32_t(std::clamp(quality, 0, 100));
    ap.frequencyMHz = 2412 + 5 * std::uint32_t(index % 11);
    ap.auth = DOT11_AUTH_ALGO_RSNA_PSK;
    ap.cipher = DOT11_CIPHER_ALGO_CCMP;
    return ap;
}

} // namespace

SimNativeWifi::SimNativeWifi()
{
    wlan.guid = kInterfaceGuid;
    wlan.description = "wlan0";
    wlan.softwareRadioOn = true;
    wlan.hardwareRadioOn = true;
    wlan.bssType = dot11_BSS_type_infrastructure;
    wlan.phyTypes = {dot11_phy_type_erp, dot11_phy_type_ofdm};
    wlan.infrastructurePairs = {{DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_NONE},
                                {DOT11_AUTH_ALGO_WPA_PSK, DOT11_CIPHER_ALGO_TKIP},
                                {DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_CCMP}};
    wlan.adhocPairs = {{DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_NONE}};
    wlan.accessPoints = {network("VANTEL-WORKSHOP", 80, 0), network("VANTEL-GUEST", 40, 1)};
    wlan.profiles = {{"VANTEL-WORKSHOP", "VANTEL-WORKSHOP"}};
    wlan.connectedProfile = "VANTEL-WORKSHOP";
    wlan.associatedAccessPoint = 0;
    wlan.state = wlan_interface_state_connected;
    profileKeys["VANTEL-WORKSHOP"] = "workshop-key";
    networkKeys = {{"VANTEL-WORKSHOP", "workshop-key"}, {"VANTEL-GUEST", "guest-key"}};
    publish(shown());
}

// The simulated radio keeps its networks and connection while off and shows
// them again when it comes back on; while off the interface sees nothing.
WifiMachine SimNativeWifi::shown() const
{
    WifiMachine machine;
    machine.serviceActive = true;
    machine.interfaces.push_back(wlan);
    WifiInterface& seen = machine.interfaces.back();
    if (!(wlan.softwareRadioOn && wlan.hardwareRadioOn)) {
        seen.accessPoints.clear();
        seen.connectedProfile.clear();
        seen.associatedAccessPoint = -1;
        seen.state = wlan_interface_state_disconnected;
    }
    return machine;
}

void SimNativeWifi::update(std::uint32_t code, const WLAN_CONNECTION_NOTIFICATION_DATA* connection)
{
    WifiMachine machine;
    {
        std::lock_guard<std::mutex> guard(lock);
        machine = shown();
    }
    publish(std::move(machine));
    notify(kInterfaceGuid, code, connection);
}

void SimNativeWifi::setRadio(bool softwareOn, bool hardwareOn)
{
    WLAN_CONNECTION_NOTIFICATION_DATA connection;
    bool wasOn = false;
    {
        std::lock_guard<std::mutex> guard(lock);
        if (wlan.softwareRadioOn == softwareOn && wlan.hardwareRadioOn == hardwareOn)
            return;
        wasOn = wlan.softwareRadioOn && wlan.hardwareRadioOn;
        wlan.softwareRadioOn = softwareOn;
        wlan.hardwareRadioOn = hardwareOn;
        connection.strProfileName = wlan.connectedProfile;
        connection.dot11Ssid = makeSsid(wlan.connectedProfile);
    }
    const bool on = softwareOn && hardwareOn;
    update(wlan_notification_acm_power_setting_change);
    if (!connection.strProfileName.empty() && on != wasOn)
        update(on ? wlan_notification_acm_connection_complete : wlan_notification_acm_disconnected, &connection);
}

void SimNativeWifi::setNetwork(const std::string& ssid, int quality)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        auto& aps = wlan.accessPoints;
        auto shown = std::find_if(aps.begin(), aps.end(), [&](const WifiAccessPoint& ap) { return ap.ssid == ssid; });
        if (shown == aps.end())
            aps.push_back(network(ssid, quality, aps.size()));
        else
            shown->quality = std::uint32_t(std::clamp(quality, 0, 100));
    }
    update(wlan_notification_acm_scan_complete);
}

bool SimNativeWifi::setConnected(const std::string& ssid)
{
    WLAN_CONNECTION_NOTIFICATION_DATA connection;
    {
        std::lock_guard<std::mutex> guard(lock);
        connection.strProfileName = ssid.empty() ? wlan.connectedProfile : ssid;
        connection.dot11Ssid = makeSsid(connection.strProfileName);
        if (ssid.empty()) {
            wlan.connectedProfile.clear();
            wlan.associatedAccessPoint = -1;
            wlan.state = wlan_interface_state_disconnected;
        } else {
            const auto& aps = wlan.accessPoints;
            auto shown = std::find_if(aps.begin(), aps.end(), [&](const WifiAccessPoint& ap) { return ap.ssid == ssid; });
            if (shown == aps.end())
                return false;
            if (std::none_of(wlan.profiles.begin(), wlan.profiles.end(),
                             [&](const WifiProfile& profile) { return profile.name == ssid; }))
                wlan.profiles.push_back({ssid, ssid});
            wlan.connectedProfile = ssid;
            wlan.associatedAccessPoint = int(shown - aps.begin());
            wlan.state = wlan_interface_state_connected;
        }
    }
    if (connection.strProfileName.empty())
        return true; // was not connected
    update(ssid.empty() ? wlan_notification_acm_disconnected : wlan_notification_acm_connection_complete,
           &connection);
    return true;
}

// The software switch only: the hardware one is the tablet's own.
std::uint32_t SimNativeWifi::switchRadio(const GUID&, bool on)
{
    bool hardwareOn = false;
    {
        std::lock_guard<std::mutex> guard(lock);
        hardwareOn = wlan.hardwareRadioOn;
    }
    setRadio(on, hardwareOn);
    return NW_SUCCESS;
}

std::uint32_t SimNativeWifi::requestScan(const GUID&)
{
    update(wlan_notification_acm_scan_complete);
    return NW_SUCCESS;
}

void SimNativeWifi::setNetworkKey(const std::string& ssid, const std::string& key)
{
    std::lock_guard<std::mutex> guard(lock);
    networkKeys[ssid] = key;
    auto& aps = wlan.accessPoints;
    for (WifiAccessPoint& ap : aps) {
        if (ap.ssid != ssid)
            continue;
        ap.auth = key.empty() ? DOT11_AUTH_ALGO_80211_OPEN : DOT11_AUTH_ALGO_RSNA_PSK;
        ap.cipher = key.empty() ? DOT11_CIPHER_ALGO_NONE : DOT11_CIPHER_ALGO_CCMP;
    }
}

std::uint32_t SimNativeWifi::storeProfile(const GUID&, const std::string& profileXml, bool overwrite,
                                          std::uint32_t& reasonCode)
{
    WlanProfile profile;
    if (parseWlanProfile(profileXml, profile) != NW_SUCCESS)
        return NW_ERROR_BAD_PROFILE;
    {
        std::lock_guard<std::mutex> guard(lock);
        auto& profiles = wlan.profiles;
        auto saved = std::find_if(profiles.begin(), profiles.end(),
                                  [&](const WifiProfile& p) { return p.name == profile.name; });
        if (saved != profiles.end() && !overwrite)
            return NW_ERROR_ALREADY_EXISTS;
        if (saved == profiles.end())
            profiles.push_back({profile.name, profile.ssid});
        else
            saved->ssid = profile.ssid;
        profileKeys[profile.name] = profile.keyMaterial;
    }
    reasonCode = NW_SUCCESS;
    update(wlan_notification_acm_scan_complete);
    return NW_SUCCESS;
}

std::uint32_t SimNativeWifi::removeProfile(const GUID&, const std::string& profileName)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        auto& profiles = wlan.profiles;
        auto saved = std::find_if(profiles.begin(), profiles.end(),
                                  [&](const WifiProfile& p) { return p.name == profileName; });
        if (saved == profiles.end())
            return NW_ERROR_NOT_FOUND;
        profiles.erase(saved);
        profileKeys.erase(profileName);
    }
    update(wlan_notification_acm_scan_complete);
    return NW_SUCCESS;
}

std::uint32_t SimNativeWifi::startConnection(const GUID&, const std::string& profileName)
{
    WLAN_CONNECTION_NOTIFICATION_DATA connection;
    connection.strProfileName = profileName;
    bool joined = false;
    {
        std::lock_guard<std::mutex> guard(lock);
        const auto& profiles = wlan.profiles;
        auto saved = std::find_if(profiles.begin(), profiles.end(),
                                  [&](const WifiProfile& p) { return p.name == profileName; });
        if (saved == profiles.end())
            return NW_ERROR_NOT_FOUND;
        connection.dot11Ssid = makeSsid(saved->ssid);
        const auto& aps = wlan.accessPoints;
        auto shown = std::find_if(aps.begin(), aps.end(), [&](const WifiAccessPoint& ap) { return ap.ssid == saved->ssid; });
        const auto key = networkKeys.find(saved->ssid);
        joined = shown != aps.end() && wlan.softwareRadioOn && wlan.hardwareRadioOn
                 && (key == networkKeys.end() || key->second.empty() || key->second == profileKeys[profileName]);
        if (joined) {
            wlan.connectedProfile = profileName;
            wlan.associatedAccessPoint = int(shown - aps.begin());
            wlan.state = wlan_interface_state_connected;
        }
    }
    connection.wlanReasonCode = joined ? std::uint32_t(NW_SUCCESS) : std::uint32_t(NW_REASON_CODE_UNKNOWN);
    update(joined ? wlan_notification_acm_connection_complete : wlan_notification_acm_connection_attempt_fail,
           &connection);
    return NW_SUCCESS;
}

std::uint32_t SimNativeWifi::endConnection(const GUID&)
{
    setConnected(std::string());
    return NW_SUCCESS;
}

} // namespace vantel::platform
