#include "nmstate.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QUuid>

#include <algorithm>

#include "wlanprofile.h"

namespace vantel::platform {

namespace {

// NetworkManager's device states as Windows names an interface's.
std::uint32_t interfaceState(uint nmState)
{
    if (nmState < NM_DEVICE_STATE_DISCONNECTED)
        return wlan_interface_state_not_ready; // unknown, unmanaged, unavailable
    if (nmState == NM_DEVICE_STATE_DISCONNECTED || nmState >= NM_DEVICE_STATE_FAILED)
        return wlan_interface_state_disconnected;
    if (nmState < NM_DEVICE_STATE_NEED_AUTH)
        return wlan_interface_state_associating; // prepare, config
    if (nmState < NM_DEVICE_STATE_ACTIVATED)
        return wlan_interface_state_authenticating; // need auth, IP configuration and checks
    if (nmState == NM_DEVICE_STATE_ACTIVATED)
        return wlan_interface_state_connected;
    return wlan_interface_state_disconnecting;
}

DOT11_MAC_ADDRESS macAddress(const QString& text)
{
    DOT11_MAC_ADDRESS mac{};
    const QStringList bytes = text.split(QLatin1Char(':'));
    if (bytes.size() != int(mac.size()))
        return mac;
    for (std::size_t i = 0; i < mac.size(); ++i)
        mac[i] = std::uint8_t(bytes.at(int(i)).toUInt(nullptr, 16));
    return mac;
}

// The default authentication and cipher Windows would report for the
// access point's security flags.
void security(const NmAccessPoint& ap, std::uint32_t& auth, std::uint32_t& cipher)
{
    const uint rsnOrWpa = ap.rsnFlags ? ap.rsnFlags : ap.wpaFlags;
    if (rsnOrWpa) {
        const bool enterprise = rsnOrWpa & NM_802_11_AP_SEC_KEY_MGMT_802_1X;
        if (ap.rsnFlags)
            auth = enterprise ? DOT11_AUTH_ALGO_RSNA : DOT11_AUTH_ALGO_RSNA_PSK;
        else
            auth = enterprise ? DOT11_AUTH_ALGO_WPA : DOT11_AUTH_ALGO_WPA_PSK;
        const bool tkipOnly = (rsnOrWpa & NM_802_11_AP_SEC_PAIR_TKIP) && !(rsnOrWpa & NM_802_11_AP_SEC_PAIR_CCMP);
        cipher = tkipOnly ? DOT11_CIPHER_ALGO_TKIP : DOT11_CIPHER_ALGO_CCMP;
    } else if (ap.flags & NM_802_11_AP_FLAGS_PRIVACY) {
        auth = DOT11_AUTH_ALGO_80211_OPEN;
        cipher = DOT11_CIPHER_ALGO_WEP;
    } else {
        auth = DOT11_AUTH_ALGO_80211_OPEN;
        cipher = DOT11_CIPHER_ALGO_NONE;
    }
}

void infrastructurePairs(uint caps, std::vector<DOT11_AUTH_CIPHER_PAIR>& pairs)
{
    pairs.push_back({DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_NONE});
    for (const auto& wep : {std::pair<uint, std::uint32_t>{NM_WIFI_DEVICE_CAP_CIPHER_WEP40, DOT11_CIPHER_ALGO_WEP40},
                            {NM_WIFI_DEVICE_CAP_CIPHER_WEP104, DOT11_CIPHER_ALGO_WEP104}}) {
        if (caps & wep.first) {
            pairs.push_back({DOT11_AUTH_ALGO_80211_OPEN, wep.second});
            pairs.push_back({DOT11_AUTH_ALGO_80211_SHARED_KEY, wep.second});
        }
    }
    const std::pair<uint, std::uint32_t> ciphers[] = {{NM_WIFI_DEVICE_CAP_CIPHER_TKIP, DOT11_CIPHER_ALGO_TKIP},
                                                      {NM_WIFI_DEVICE_CAP_CIPHER_CCMP, DOT11_CIPHER_ALGO_CCMP}};
    const std::pair<uint, std::uint32_t> auths[] = {{NM_WIFI_DEVICE_CAP_WPA, DOT11_AUTH_ALGO_WPA}, {NM_WIFI_DEVICE_CAP_WPA, DOT11_AUTH_ALGO_WPA_PSK},
                                                    {NM_WIFI_DEVICE_CAP_RSN, DOT11_AUTH_ALGO_RSNA},
                                                    {NM_WIFI_DEVICE_CAP_RSN, DOT11_AUTH_ALGO_RSNA_PSK}};
    for (const auto& auth : auths)
        for (const auto& cipher : ciphers)
            if ((caps & auth.first) && (caps & cipher.first))
                pairs.push_back({auth.second, cipher.second});
}

void adhocPairs(uint caps, std::vector<DOT11_AUTH_CIPHER_PAIR>& pairs)
{
    if (!(caps & NM_WIFI_DEVICE_CAP_ADHOC))
        return;
    pairs.push_back({DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_NONE});
    if (caps & NM_WIFI_DEVICE_CAP_CIPHER_WEP40)
        pairs.push_back({DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_WEP40});
    if (caps & NM_WIFI_DEVICE_CAP_CIPHER_WEP104)
        pairs.push_back({DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_WEP104});
    if ((caps & NM_WIFI_DEVICE_CAP_RSN) && (caps & NM_WIFI_DEVICE_CAP_CIPHER_CCMP))
        pairs.push_back({DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_CCMP});
}

WifiAccessPoint accessPoint(const NmAccessPoint& nm)
{
    WifiAccessPoint ap;
    ap.ssid = nm.ssid.toStdString();
    ap.bssid = macAddress(nm.hwAddress);
    ap.quality = std::min(nm.strength, 100u);
    ap.frequencyMHz = nm.frequency;
    ap.bssType = nm.mode == NM_802_11_MODE_ADHOC ? dot11_BSS_type_independent : dot11_BSS_type_infrastructure;
    security(nm, ap.auth, ap.cipher);
    return ap;
}

template <class T, class Convert>
void takeAs(const QVariantMap& properties, const char* name, T& field, QStringList& changed, Convert convert)
{
    const auto found = properties.constFind(QLatin1String(name));
    if (found == properties.constEnd())
        return;
    T value = convert(found.value());
    if (value != field) {
        field = std::move(value);
        changed << QLatin1String(name);
    }
}

template <class T>
void take(const QVariantMap& properties, const char* name, T& field, QStringList& changed)
{
    takeAs(properties, name, field, changed, [](const QVariant& value) { return nmPlain(value).value<T>(); });
}

void takePath(const QVariantMap& properties, const char* name, QString& field, QStringList& changed)
{
    takeAs(properties, name, field, changed, nmPath);
}

void takePaths(const QVariantMap& properties, const char* name, QStringList& field, QStringList& changed)
{
    takeAs(properties, name, field, changed, nmPaths);
}

} // namespace

QVariant nmPlain(const QVariant& value)
{
    QVariant plain = value;
    while (plain.userType() == qMetaTypeId<QDBusVariant>())
        plain = plain.value<QDBusVariant>().variant();
    return plain;
}

QString nmPath(const QVariant& value)
{
    const QVariant plain = nmPlain(value);
    const QString path = plain.userType() == qMetaTypeId<QDBusObjectPath>() ? plain.value<QDBusObjectPath>().path()
                                                                              : plain.toString();
    return path == QLatin1String("/") ? QString() : path;
}

QStringList nmPaths(const QVariant& value)
{
    const QVariant plain = nmPlain(value);
    QList<QDBusObjectPath> objects;
    if (plain.userType() == qMetaTypeId<QDBusArgument>())
        plain.value<QDBusArgument>() >> objects;
    else if (plain.userType() == qMetaTypeId<QList<QDBusObjectPath>>())
        objects = plain.value<QList<QDBusObjectPath>>();
    else
        return plain.toStringList();
    QStringList paths;
    for (const QDBusObjectPath& object : objects)
        paths << object.path();
    return paths;
}

void nmApplyManager(NmState& state, const QVariantMap& properties, QStringList& changed)
{
    take(properties, "WirelessEnabled", state.wirelessEnabled, changed);
    take(properties, "WirelessHardwareEnabled", state.wirelessHardwareEnabled, changed);
}

void nmApplyDevice(NmWifiDevice& device, const QVariantMap& properties, QStringList& changed)
{
    take(properties, "Interface", device.interfaceName, changed);
    take(properties, "PermHwAddress", device.permHwAddress, changed);
    take(properties, "HwAddress", device.hwAddress, changed);
    take(properties, "State", device.state, changed);
    take(properties, "Mode", device.mode, changed);
    take(properties, "WirelessCapabilities", device.capabilities, changed);
    take(properties, "LastScan", device.lastScan, changed);
    takePath(properties, "ActiveConnection", device.activeConnection, changed);
    takePath(properties, "ActiveAccessPoint", device.activeAccessPoint, changed);
    takePaths(properties, "AccessPoints", device.accessPoints, changed);
    takePaths(properties, "AvailableConnections", device.availableConnections, changed);
}

void nmApplyAccessPoint(NmAccessPoint& ap, const QVariantMap& properties, QStringList& changed)
{
    take(properties, "Ssid", ap.ssid, changed);
    take(properties, "HwAddress", ap.hwAddress, changed);
    take(properties, "Strength", ap.strength, changed);
    take(properties, "Frequency", ap.frequency, changed);
    take(properties, "Mode", ap.mode, changed);
    take(properties, "Flags", ap.flags, changed);
    take(properties, "WpaFlags", ap.wpaFlags, changed);
    take(properties, "RsnFlags", ap.rsnFlags, changed);
}

void nmApplyActiveConnection(NmActiveConnection& active, const QVariantMap& properties)
{
    QStringList changed;
    take(properties, "Id", active.id, changed);
    takePath(properties, "Connection", active.connection, changed);
}

NmConnection nmConnection(const QMap<QString, QVariantMap>& settings)
{
    NmConnection connection;
    const QVariantMap general = settings.value(QStringLiteral("connection"));
    connection.id = nmPlain(general.value(QStringLiteral("id"))).toString();
    connection.wireless = nmPlain(general.value(QStringLiteral("type"))).toString()
                          == QLatin1String("802-11-wireless");
    connection.ssid = nmPlain(settings.value(QStringLiteral("802-11-wireless")).value(QStringLiteral("ssid")))
                          .toByteArray();
    return connection;
}

GUID nmDeviceGuid(const NmWifiDevice& device)
{
    static const QUuid space(QStringLiteral("{8c0f6c1e-3f57-4b53-9a4e-56414e54454c}"));
    const QString address = device.permHwAddress.isEmpty() ? device.hwAddress : device.permHwAddress;
    const QUuid uuid = QUuid::createUuidV5(
        space, address.isEmpty() ? device.interfaceName : address.toUpper());
    GUID guid;
    guid.Data1 = uuid.data1;
    guid.Data2 = uuid.data2;
    guid.Data3 = uuid.data3;
    std::copy(std::begin(uuid.data4), std::end(uuid.data4), guid.Data4.begin());
    return guid;
}

QString nmProfileName(const NmConnection& connection)
{
    return connection.wireless ? QString::fromStdString(wlanProfileName(connection.ssid.toStdString())) : connection.id;
}

QString nmActiveProfile(const NmState& state, const NmWifiDevice& device)
{
    if (device.activeConnection.isEmpty())
        return QString();
    const NmActiveConnection active = state.activeConnections.value(device.activeConnection);
    const auto saved = state.connections.constFind(active.connection);
    return saved != state.connections.constEnd() ? nmProfileName(saved.value()) : active.id;
}

WifiMachine nmWifiMachine(const NmState& state)
{
    WifiMachine machine;
    machine.serviceActive = state.present;
    for (const NmWifiDevice& device : state.devices) {
        WifiInterface wlan;
        wlan.guid = nmDeviceGuid(device);
        wlan.description = device.interfaceName.toStdString();
        wlan.softwareRadioOn = state.wirelessEnabled;
        wlan.hardwareRadioOn = state.wirelessHardwareEnabled;
        wlan.state = interfaceState(device.state);
        wlan.bssType = device.mode == NM_802_11_MODE_ADHOC   ? dot11_BSS_type_independent
                       : device.mode == NM_802_11_MODE_INFRA ? dot11_BSS_type_infrastructure
                                                      : dot11_BSS_type_any;
        if (device.capabilities & NM_WIFI_DEVICE_CAP_FREQ_VALID) {
            if (device.capabilities & NM_WIFI_DEVICE_CAP_FREQ_2GHZ)
                wlan.phyTypes.push_back(dot11_phy_type_erp);
            if (device.capabilities & NM_WIFI_DEVICE_CAP_FREQ_5GHZ)
                wlan.phyTypes.push_back(dot11_phy_type_ofdm);
        }
        infrastructurePairs(device.capabilities, wlan.infrastructurePairs);
        adhocPairs(device.capabilities, wlan.adhocPairs);

        for (const QString& path : device.accessPoints) {
            const auto ap = state.accessPoints.constFind(path);
            if (ap == state.accessPoints.constEnd())
                continue; // its properties have not come yet
            if (path == device.activeAccessPoint)
                wlan.associatedAccessPoint = int(wlan.accessPoints.size());
            wlan.accessPoints.push_back(accessPoint(ap.value()));
        }

        QStringList saved = device.availableConnections;
        const QString active = state.activeConnections.value(device.activeConnection).connection;
        if (!active.isEmpty() && !saved.contains(active))
            saved << active;
        for (const QString& path : saved) {
            const NmConnection connection = state.connections.value(path);
            if (connection.wireless)
                wlan.profiles.push_back({nmProfileName(connection).toStdString(), connection.ssid.toStdString()});
        }
        // From preparing the connection to taking it down, as Windows keeps
        // a connection from associating to disconnecting.
        if (device.state >= NM_DEVICE_STATE_PREPARE && device.state <= NM_DEVICE_STATE_DEACTIVATING)
            wlan.connectedProfile = nmActiveProfile(state, device).toStdString();
        machine.interfaces.push_back(std::move(wlan));
    }
    return machine;
}

} // namespace vantel::platform
