// What the Native Wifi service keeps of NetworkManager: its Wi-Fi devices,
// their access points, active and saved connections, and the radio switches,
// each object with the properties that matter here; and how that reads in
// Windows' terms.
#ifndef VANTEL_PLATFORM_NMSTATE_H
#define VANTEL_PLATFORM_NMSTATE_H

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include "nativewifimodel.h"
#include "nmprotocol.h"

namespace vantel::platform {

struct NmAccessPoint {
    QByteArray ssid;
    QString hwAddress;
    uint strength = 0; // percent
    uint frequency = 0; // MHz
    uint mode = NM_802_11_MODE_INFRA;
    uint flags = 0;
    uint wpaFlags = 0;
    uint rsnFlags = 0;
};

struct NmWifiDevice {
    QString interfaceName;
    QString permHwAddress;
    QString hwAddress;
    uint state = 0;
    uint mode = 0;
    uint capabilities = 0; // NM_WIFI_DEVICE_CAP_*
    qlonglong lastScan = -1;
    QString activeConnection;
    QString activeAccessPoint;
    QStringList accessPoints;
    QStringList availableConnections;
    QString profileInUse; // id of the connection while activated, for the disconnection that ends it
};

struct NmActiveConnection {
    QString id;
    QString connection;
};

// A saved connection; only Wi-Fi ones become profiles.
struct NmConnection {
    QString id;
    QByteArray ssid;
    bool wireless = false;
};

struct NmState {
    bool present = false;
    bool wirelessEnabled = false;
    bool wirelessHardwareEnabled = false;
    QMap<QString, NmWifiDevice> devices; // by object path
    QMap<QString, NmAccessPoint> accessPoints;
    QMap<QString, NmActiveConnection> activeConnections;
    QMap<QString, NmConnection> connections;
};

// D-Bus values as the property maps hold them: nested variants unwrapped,
// "/" (no object) as the empty text.
QVariant nmPlain(const QVariant& value);
QString nmPath(const QVariant& value);
QStringList nmPaths(const QVariant& value);

// Take over the properties present in `properties`; the names of those that
// changed value are added to `changed`.
void nmApplyManager(NmState& state, const QVariantMap& properties, QStringList& changed);
void nmApplyDevice(NmWifiDevice& device, const QVariantMap& properties, QStringList& changed);
void nmApplyAccessPoint(NmAccessPoint& ap, const QVariantMap& properties, QStringList& changed);
void nmApplyActiveConnection(NmActiveConnection& active, const QVariantMap& properties);
// A connection from its settings (GetSettings).
NmConnection nmConnection(const QMap<QString, QVariantMap>& settings);

// Stable across restarts of NetworkManager and of the machine: derived from
// the permanent hardware address (the interface name when there is none).
GUID nmDeviceGuid(const NmWifiDevice& device);
// The name of a saved connection as a profile: for a Wi-Fi connection the
// one its SSID gives (wlanProfileName), whatever its id.
QString nmProfileName(const NmConnection& connection);
// The profile the device is using or activating, empty when none; the
// active connection's id while its settings are not known.
QString nmActiveProfile(const NmState& state, const NmWifiDevice& device);

WifiMachine nmWifiMachine(const NmState& state);

} // namespace vantel::platform

#endif
