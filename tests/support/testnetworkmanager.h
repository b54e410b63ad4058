// python3-dbusmock's NetworkManager on a test's private system bus, with
// what a Wi-Fi test needs on top of the template: a wireless device with
// the ActiveAccessPoint and LastScan properties the template lacks, access
// points, a saved connection activated on one of them, and property changes
// that emit PropertiesChanged. The template is made as strict as the daemon
// (strictnetworkmanager.py): Update replaces a whole connection, GetSettings
// keeps secrets back, polkit can refuse, and each start numbers its objects
// anew, so that no path of an earlier daemon is valid again. Each call
// answers false or an empty path, with error() saying why, when the mock
// refused.
#ifndef TESTNETWORKMANAGER_H
#define TESTNETWORKMANAGER_H

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "testsystembus.h"

class TestNetworkManager
{
public:
    static const QString wireless; // the Device.Wireless interface
    static const QString device;   // the Device interface
    static const QString accessPoint;

    explicit TestNetworkManager(TestSystemBus& systemBus) : bus(systemBus) {}

    // A fresh NetworkManager: started, or stopped and started again. Its
    // objects come with later calls, as the daemon brings its devices up
    // after it took its name. Each start gives them paths no daemon before
    // gave; with `numberFromOne` the paths are numbered from the start
    // again, as the daemon does, so that a path of the daemon before may
    // name another object now.
    bool start(bool numberFromOne = false);
    // The daemon's own pace: from now on each object it brings up (a device,
    // an access point) and each step of a device's way to its state comes
    // `ms` after the one before, the calls below waiting for it with events
    // running. A device first shows unavailable (20), an activation goes
    // through prepare, config and IP config first: a device brought up and
    // connected takes over a second, as it takes the daemon. An
    // ActivateConnection a client asks for answers at once and activates at
    // that pace too. 0: at once. Kept across restarts.
    bool setPace(int ms);
    bool stop();
    // SIGSTOP and SIGCONT: the name stays owned and nothing answers.
    bool freeze();
    bool thaw();
    // From now on polkit refuses (or allows again) every change a caller asks.
    bool denyPermissions(bool denied);
    // Every GetSettings answers `ms` late; the mock answers nothing meanwhile.
    bool delayGetSettings(int ms);

    // The device (state: NetworkManager's device state) and its path,
    // which later calls use; its permanent address is the template's.
    QString addWifiDevice(const QString& interfaceName = QStringLiteral("wlan0"), int state = 30);
    // Security: NM80211ApSecurityFlags (0x100 WPA2 personal, 0 open).
    QString addAccessPoint(const QString& ssid, const QString& bssid, int strength, uint frequencyMHz = 2437,
                           uint security = 0x100);
    bool removeAccessPoint(const QString& path);
    // A saved connection named `ssid`, activated on `accessPointPath`.
    bool connectTo(const QString& ssid, const QString& accessPointPath);
    bool disconnect();
    // A saved connection for `ssid` (an access point of the device must
    // have it) that the device may use; its path.
    QString addSavedConnection(const QString& ssid);

    // Sets a property and emits PropertiesChanged.
    bool set(const QString& path, const QString& interface, const QString& name, const QVariant& value);
    bool setManager(const QString& name, const QVariant& value);
    bool setStrength(const QString& accessPointPath, int strength);
    // A scan ended: LastScan moves on.
    bool scanned();
    QVariant get(const QString& path, const QString& interface, const QString& name);
    // How often `method` was called on `path` since the start.
    int calls(const QString& path, const QString& method);

    // What the template lacks, added as dbusmock does: a method whose Python
    // `code` sees `args`, `self` and `objects`; a property of an object; an
    // object with properties (IP4Config, DHCP4Config, DnsManager).
    bool addMethod(const QString& path, const QString& interface, const QString& name, const QString& inSignature,
                   const QString& outSignature, const QString& code);
    bool addProperty(const QString& path, const QString& interface, const QString& name, const QVariant& value);
    bool addObject(const QString& path, const QString& interface, const QVariantMap& properties);
    // The settings of the saved connection called `id`, secrets included;
    // empty when there is none.
    QMap<QString, QVariantMap> savedConnection(const QString& id);
    int savedConnections() { return int(connections().size()); }
    // The paths of the saved connections.
    QStringList connections();
    // A connection as another program (nmcli, a settings panel) would add
    // it, and the settings (secrets included) of the one at `path`.
    QString addConnection(const QMap<QString, QVariantMap>& settings);
    QMap<QString, QVariantMap> settingsAt(const QString& path);

    const QString& devicePath() const { return wifiDevice; }
    const QString& error() const { return failure; }

private:
    bool mock(const QString& path, const QString& method, const QVariantList& arguments, QVariant* result = nullptr);
    // Waits for the next step of the daemon's pace.
    void step();
    // The device's State, with the StateChanged the daemon emits.
    bool setDeviceState(uint state);

    TestSystemBus& bus;
    QString wifiDevice;
    QString failure;
    // Never reset: a restarted daemon gives its objects new paths.
    int objects = 0;
    qlonglong lastScan = 0;
    int paceMs = 0;
    QElapsedTimer lastStep;
};

#endif
