#include "nativewifimodel.h"

#include <algorithm>
#include <cstring>

namespace vantel::platform {

namespace {

// The bytes an SSID's length covers; what lies beyond does not count.
bool sameSsid(const DOT11_SSID& a, const DOT11_SSID& b)
{
    return a.uSSIDLength == b.uSSIDLength && a.uSSIDLength <= a.ucSSID.size()
        && std::memcmp(a.ucSSID.data(), b.ucSSID.data(), a.uSSIDLength) == 0;
}

bool secured(const WifiAccessPoint& ap)
{
    return ap.auth != DOT11_AUTH_ALGO_80211_OPEN || ap.cipher != DOT11_CIPHER_ALGO_NONE;
}

std::uint32_t radioState(bool on)
{
    return on ? dot11_radio_state_on : dot11_radio_state_off;
}

} // namespace

struct NativeWifiModel::InterfaceView {
    WifiInterface source;
    std::vector<WLAN_AVAILABLE_NETWORK> networks;
    std::vector<WLAN_BSS_ENTRY> bss;
    std::vector<bool> bssSecured; // beside bss
};

struct NativeWifiModel::View {
    bool serviceActive = false;
    std::vector<InterfaceView> interfaces;
};

namespace {

// Access points in the order BSS lists give them: the associated one first.
std::vector<std::size_t> bssOrder(const WifiInterface& source)
{
    std::vector<std::size_t> order;
    const std::size_t count = source.accessPoints.size();
    const int associated = source.associatedAccessPoint;
    if (associated >= 0 && std::size_t(associated) < count)
        order.push_back(std::size_t(associated));
    for (std::size_t i = 0; i < count; ++i)
        if (int(i) != associated)
            order.push_back(i);
    return order;
}

WLAN_BSS_ENTRY bssEntry(const WifiAccessPoint& ap)
{
    WLAN_BSS_ENTRY entry;
    entry.dot11Ssid = makeSsid(ap.ssid);
    entry.dot11Bssid = ap.bssid;
    entry.dot11BssType = ap.bssType;
    entry.uLinkQuality = std::min<std::uint32_t>(ap.quality, 100);
    entry.lRssi = std::int32_t(entry.uLinkQuality / 2) - 100; // Windows' scale: 0 is -100 dBm, 100 is -50
    entry.ulChCenterFrequency = ap.frequencyMHz * 1000;
    return entry;
}

// Access points that share SSID, BSS type and security make one network.
struct Group {
    DOT11_SSID ssid;
    std::uint32_t bssType;
    bool secured;
    std::vector<std::size_t> members;
};

std::vector<WLAN_AVAILABLE_NETWORK> availableNetworks(const WifiInterface& source)
{
    std::vector<Group> groups;
    for (std::size_t i = 0; i < source.accessPoints.size(); ++i) {
        const WifiAccessPoint& ap = source.accessPoints[i];
        const DOT11_SSID ssid = makeSsid(ap.ssid);
        auto same = std::find_if(groups.begin(), groups.end(), [&](const Group& g) {
            return g.bssType == ap.bssType && g.secured == secured(ap) && sameSsid(g.ssid, ssid);
        });
        if (same == groups.end())
            groups.push_back({ssid, ap.bssType, secured(ap), {i}});
        else
            same->members.push_back(i);
    }

    std::vector<WLAN_AVAILABLE_NETWORK> withProfile;
    std::vector<WLAN_AVAILABLE_NETWORK> without;
    for (const Group& group : groups) {
        std::size_t strongest = group.members.front();
        for (std::size_t member : group.members)
            if (source.accessPoints[member].quality > source.accessPoints[strongest].quality)
                strongest = member;
        const WifiAccessPoint& best = source.accessPoints[strongest];
        WLAN_AVAILABLE_NETWORK network;
        network.dot11Ssid = group.ssid;
        network.dot11BssType = group.bssType;
        network.uNumberOfBssids = std::uint32_t(group.members.size());
        network.wlanSignalQuality = std::min<std::uint32_t>(best.quality, 100);
        network.bSecurityEnabled = group.secured;
        network.dot11DefaultAuthAlgorithm = best.auth;
        network.dot11DefaultCipherAlgorithm = best.cipher;
        without.push_back(network);

        const bool associatedHere =
            source.state == wlan_interface_state_connected
            && std::find(group.members.begin(), group.members.end(), std::size_t(source.associatedAccessPoint))
                   != group.members.end();
        for (const WifiProfile& profile : source.profiles) {
            if (!sameSsid(makeSsid(profile.ssid), group.ssid))
                continue;
            WLAN_AVAILABLE_NETWORK saved = network;
            saved.strProfileName = profile.name;
            saved.dwFlags = NW_NETWORK_HAS_PROFILE;
            if (associatedHere && profile.name == source.connectedProfile)
                saved.dwFlags |= NW_NETWORK_CONNECTED;
            withProfile.push_back(saved);
        }
    }
    withProfile.insert(withProfile.end(), without.begin(), without.end());
    return withProfile;
}

// The current connection's attributes; the association's from the access
// point when it is known, else from the profile.
WLAN_CONNECTION_ATTRIBUTES connectionAttributes(const WifiInterface& source)
{
    WLAN_CONNECTION_ATTRIBUTES connection;
    connection.isState = source.state;
    connection.strProfileName = source.connectedProfile;
    WLAN_ASSOCIATION_ATTRIBUTES& association = connection.wlanAssociationAttributes;
    const int associated = source.associatedAccessPoint;
    if (associated >= 0 && std::size_t(associated) < source.accessPoints.size()) {
        const WifiAccessPoint& ap = source.accessPoints[std::size_t(associated)];
        association.dot11Ssid = makeSsid(ap.ssid);
        association.dot11BssType = ap.bssType;
        association.dot11Bssid = ap.bssid;
        association.wlanSignalQuality = std::min<std::uint32_t>(ap.quality, 100);
        connection.wlanSecurityAttributes = {secured(ap), ap.auth, ap.cipher};
        return connection;
    }
    for (const WifiProfile& profile : source.profiles)
        if (profile.name == source.connectedProfile)
            association.dot11Ssid = makeSsid(profile.ssid);
    return connection;
}

} // namespace

NativeWifiModel::NativeWifiModel() : current(std::make_shared<View>()) {}

NativeWifiModel::~NativeWifiModel() = default;

void NativeWifiModel::publish(WifiMachine machine)
{
    auto next = std::make_shared<View>();
    next->serviceActive = machine.serviceActive;
    for (WifiInterface& source : machine.interfaces) {
        InterfaceView view;
        for (std::size_t i : bssOrder(source)) {
            view.bss.push_back(bssEntry(source.accessPoints[i]));
            view.bssSecured.push_back(secured(source.accessPoints[i]));
        }
        view.networks = availableNetworks(source);
        view.source = std::move(source);
        next->interfaces.push_back(std::move(view));
    }
    std::lock_guard<std::mutex> lock(viewLock);
    current = std::move(next);
}

std::shared_ptr<const NativeWifiModel::View> NativeWifiModel::view() const
{
    std::lock_guard<std::mutex> lock(viewLock);
    return current;
}

bool NativeWifiModel::validHandle(HANDLE handle) const
{
    std::lock_guard<std::mutex> lock(clientLock);
    return clients.count(handle) != 0;
}

template <class Answer>
std::uint32_t NativeWifiModel::withInterface(HANDLE handle, const GUID& interfaceGuid, Answer answer) const
{
    if (!validHandle(handle))
        return NW_ERROR_INVALID_HANDLE;
    const std::shared_ptr<const View> machine = view();
    if (!machine->serviceActive)
        return NW_ERROR_SERVICE_NOT_ACTIVE;
    for (const InterfaceView& candidate : machine->interfaces)
        if (candidate.source.guid == interfaceGuid)
            return answer(candidate);
    return NW_ERROR_NOT_FOUND;
}

std::uint32_t NativeWifiModel::openHandle(std::uint32_t clientVersion, std::uint32_t& negotiatedVersion,
                                          HANDLE& handle)
{
    if (clientVersion == 0)
        return NW_ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> serial(followLock);
    bool first = false;
    {
        std::lock_guard<std::mutex> lock(clientLock);
        handle = ++lastHandle;
        first = clients.empty();
        clients.emplace(handle, Registration());
    }
    negotiatedVersion = std::min<std::uint32_t>(clientVersion, NW_CLIENT_VERSION);
    if (first)
        follow(true);
    return NW_SUCCESS;
}

std::uint32_t NativeWifiModel::closeHandle(HANDLE handle)
{
    std::lock_guard<std::mutex> serial(followLock);
    bool last = false;
    {
        std::lock_guard<std::recursive_mutex> delivery(deliveryLock);
        std::lock_guard<std::mutex> lock(clientLock);
        if (clients.erase(handle) == 0)
            return NW_ERROR_INVALID_HANDLE;
        last = clients.empty();
    }
    if (last)
        follow(false);
    return NW_SUCCESS;
}

std::uint32_t NativeWifiModel::registerNotification(HANDLE handle, std::uint32_t sources,
                                                    WLAN_NOTIFICATION_CALLBACK callback, void* context)
{
    if ((sources & NW_SOURCE_ACM) && !callback)
        return NW_ERROR_INVALID_PARAMETER;
    std::lock_guard<std::recursive_mutex> delivery(deliveryLock);
    std::lock_guard<std::mutex> lock(clientLock);
    auto client = clients.find(handle);
    if (client == clients.end())
        return NW_ERROR_INVALID_HANDLE;
    if (sources & NW_SOURCE_ACM)
        client->second = {callback, context};
    else
        client->second = Registration();
    return NW_SUCCESS;
}

void NativeWifiModel::notify(const GUID& interfaceGuid, std::uint32_t code,
                             const WLAN_CONNECTION_NOTIFICATION_DATA* connection)
{
    WLAN_NOTIFICATION_DATA data;
    data.NotificationSource = NW_SOURCE_ACM;
    data.NotificationCode = code;
    data.InterfaceGuid = interfaceGuid;
    data.connection = connection;

    std::lock_guard<std::recursive_mutex> delivery(deliveryLock);
    std::vector<HANDLE> handles;
    {
        std::lock_guard<std::mutex> lock(clientLock);
        for (const auto& client : clients)
            handles.push_back(client.first);
    }
    for (HANDLE handle : handles) {
        // Looked up again each time: an earlier callback may have ended it.
        Registration registration;
        {
            std::lock_guard<std::mutex> lock(clientLock);
            auto client = clients.find(handle);
            if (client == clients.end())
                continue;
            registration = client->second;
        }
        if (registration.callback)
            registration.callback(&data, registration.context);
    }
}

void NativeWifiModel::follow(bool) {}

std::uint32_t NativeWifiModel::enumInterfaces(HANDLE handle, std::vector<WLAN_INTERFACE_INFO>& interfaces)
{
    interfaces.clear();
    if (!validHandle(handle))
        return NW_ERROR_INVALID_HANDLE;
    const std::shared_ptr<const View> machine = view();
    if (!machine->serviceActive)
        return NW_ERROR_SERVICE_NOT_ACTIVE;
    for (const InterfaceView& candidate : machine->interfaces) {
        WLAN_INTERFACE_INFO info;
        info.InterfaceGuid = candidate.source.guid;
        info.strInterfaceDescription = candidate.source.description;
        info.isState = candidate.source.state;
        interfaces.push_back(info);
    }
    return NW_SUCCESS;
}

std::uint32_t NativeWifiModel::queryInterface(HANDLE handle, const GUID& interfaceGuid, std::uint32_t opcode,
                                              WLAN_INTERFACE_DATA& data)
{
    return withInterface(handle, interfaceGuid, [&](const InterfaceView& found) -> std::uint32_t {
        const WifiInterface& source = found.source;
        switch (opcode) {
        case wlan_intf_opcode_radio_state:
            data.radioState.PhyRadioState.assign(
                1, {0, radioState(source.softwareRadioOn), radioState(source.hardwareRadioOn)});
            return NW_SUCCESS;
        case wlan_intf_opcode_bss_type:
            data.bssType = source.bssType;
            return NW_SUCCESS;
        case wlan_intf_opcode_interface_state:
            data.interfaceState = source.state;
            return NW_SUCCESS;
        case wlan_intf_opcode_current_connection:
            if (source.connectedProfile.empty())
                return NW_ERROR_INVALID_STATE;
            data.connection = connectionAttributes(source);
            return NW_SUCCESS;
        case wlan_intf_opcode_supported_infrastructure_auth_cipher_pairs:
            data.authCipherPairs.pAuthCipherPairList = source.infrastructurePairs;
            return NW_SUCCESS;
        case wlan_intf_opcode_supported_adhoc_auth_cipher_pairs:
            if (source.adhocPairs.empty())
                return NW_ERROR_NOT_SUPPORTED;
            data.authCipherPairs.pAuthCipherPairList = source.adhocPairs;
            return NW_SUCCESS;
        default:
            return NW_ERROR_NOT_SUPPORTED;
        }
    });
}

std::uint32_t NativeWifiModel::setInterface(HANDLE handle, const GUID& interfaceGuid, std::uint32_t opcode,
                                            const WLAN_INTERFACE_DATA& data)
{
    return withInterface(handle, interfaceGuid, [&](const InterfaceView& found) -> std::uint32_t {
        if (opcode != wlan_intf_opcode_radio_state || !found.source.radioSwitchable)
            return NW_ERROR_NOT_SUPPORTED;
        if (data.radioState.PhyRadioState.empty())
            return NW_ERROR_INVALID_PARAMETER;
        const std::uint32_t wanted = data.radioState.PhyRadioState.front().dot11SoftwareRadioState;
        if (wanted != dot11_radio_state_on && wanted != dot11_radio_state_off)
            return NW_ERROR_INVALID_PARAMETER;
        return switchRadio(interfaceGuid, wanted == dot11_radio_state_on);
    });
}

std::uint32_t NativeWifiModel::getInterfaceCapability(HANDLE handle, const GUID& interfaceGuid,
                                                      WLAN_INTERFACE_CAPABILITY& capability)
{
    return withInterface(handle, interfaceGuid, [&](const InterfaceView& found) -> std::uint32_t {
        if (!found.source.radioSwitchable)
            return NW_ERROR_NOT_SUPPORTED;
        capability.interfaceType = wlan_interface_type_native_802_11;
        capability.dot11PhyTypes = found.source.phyTypes;
        return NW_SUCCESS;
    });
}

std::uint32_t NativeWifiModel::getAvailableNetworkList(HANDLE handle, const GUID& interfaceGuid,
                                                       WLAN_AVAILABLE_NETWORK_LIST& list)
{
    return withInterface(handle, interfaceGuid, [&](const InterfaceView& found) {
        list.dwIndex = 0;
        list.Network = found.networks;
        return NW_SUCCESS;
    });
}

std::uint32_t NativeWifiModel::getNetworkBssList(HANDLE handle, const GUID& interfaceGuid, const DOT11_SSID* ssid,
                                                 std::uint32_t bssType, bool securityEnabled, WLAN_BSS_LIST& list)
{
    if (ssid && ssid->uSSIDLength > ssid->ucSSID.size())
        return NW_ERROR_INVALID_PARAMETER;
    return withInterface(handle, interfaceGuid, [&](const InterfaceView& found) {
        if (!ssid) {
            list.wlanBssEntries = found.bss;
            return NW_SUCCESS;
        }
        list.wlanBssEntries.clear();
        for (std::size_t i = 0; i < found.bss.size(); ++i) {
            const WLAN_BSS_ENTRY& entry = found.bss[i];
            if (sameSsid(entry.dot11Ssid, *ssid) && found.bssSecured[i] == securityEnabled
                && (bssType == dot11_BSS_type_any || entry.dot11BssType == bssType))
                list.wlanBssEntries.push_back(entry);
        }
        return NW_SUCCESS;
    });
}

std::uint32_t NativeWifiModel::scan(HANDLE handle, const GUID& interfaceGuid)
{
    return withInterface(handle, interfaceGuid, [&](const InterfaceView&) { return requestScan(interfaceGuid); });
}

std::uint32_t NativeWifiModel::setProfile(HANDLE handle, const GUID& interfaceGuid, std::uint32_t,
                                          const std::string& profileXml, bool overwrite, std::uint32_t& reasonCode)
{
    reasonCode = NW_REASON_CODE_UNKNOWN;
    if (profileXml.empty())
        return NW_ERROR_INVALID_PARAMETER;
    return withInterface(handle, interfaceGuid, [&](const InterfaceView&) {
        return storeProfile(interfaceGuid, profileXml, overwrite, reasonCode);
    });
}

std::uint32_t NativeWifiModel::deleteProfile(HANDLE handle, const GUID& interfaceGuid, const std::string& profileName)
{
    if (profileName.empty())
        return NW_ERROR_INVALID_PARAMETER;
    return withInterface(handle, interfaceGuid,
                         [&](const InterfaceView&) { return removeProfile(interfaceGuid, profileName); });
}

std::uint32_t NativeWifiModel::connect(HANDLE handle, const GUID& interfaceGuid,
                                       const WLAN_CONNECTION_PARAMETERS& parameters)
{
    const std::uint32_t bssType = parameters.dot11BssType;
    if (bssType < dot11_BSS_type_infrastructure || bssType > dot11_BSS_type_any)
        return NW_ERROR_INVALID_PARAMETER;
    if (parameters.wlanConnectionMode != wlan_connection_mode_profile)
        return parameters.wlanConnectionMode <= wlan_connection_mode_auto ? NW_ERROR_NOT_SUPPORTED
                                                                          : NW_ERROR_INVALID_PARAMETER;
    if (parameters.strProfile.empty())
        return NW_ERROR_INVALID_PARAMETER;
    return withInterface(handle, interfaceGuid,
                         [&](const InterfaceView&) { return startConnection(interfaceGuid, parameters.strProfile); });
}

std::uint32_t NativeWifiModel::disconnect(HANDLE handle, const GUID& interfaceGuid)
{
    return withInterface(handle, interfaceGuid, [&](const InterfaceView&) { return endConnection(interfaceGuid); });
}

} // namespace vantel::platform
