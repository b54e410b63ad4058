// Follows NetworkManager on the system bus for the Native Wifi service, on
// the service's own thread and D-Bus connection: loads its objects once,
// keeps them up to date from its signals, and hands on the machine in
// Windows' terms and the notifications a change means. Changes that arrive
// together (a scan updates every access point) are handed on together, with
// one scan notification, and never more often than every 100 ms.
//
// No call holds the thread longer than one call's limit: the objects come
// with one call, and the saved connections' settings one after the other
// without waiting, each handed on (with a scan notification) as it comes.
#ifndef VANTEL_PLATFORM_NMFOLLOWER_H
#define VANTEL_PLATFORM_NMFOLLOWER_H

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QObject>

#include <functional>
#include <mutex>
#include <vector>

#include "nmstate.h"

class QDBusMessage;
class QTimer;

namespace vantel::platform {

struct NmDevicePath {
    GUID guid;
    QString path;
};

class NmFollower : public QObject
{
    Q_OBJECT
public:
    struct Sink {
        std::function<void(WifiMachine, std::vector<NmDevicePath>)> publish;
        std::function<void(const GUID&, std::uint32_t code, const WLAN_CONNECTION_NOTIFICATION_DATA*)> notify;
        // Once, when the first picture is whole: objects and saved connections.
        std::function<void()> loaded;
    };

    NmFollower(QString connectionName, Sink sink);
    ~NmFollower() override;

    // Connects to the system bus, follows NetworkManager's signals and
    // loads its objects; they are published when this returns, the saved
    // connections as their settings come.
    void start();

    // A connection attempt of `profile` (the saved connection at
    // `connection`) on the device at `devicePath` has started: its outcome is notification 10 when the device activates it,
    // or 11 when the device fails, gives up, activates another profile,
    // goes, or NetworkManager goes; after `timeoutMs` without an outcome, 11
    // too, and NetworkManager is asked to give the activation up.
    void expect(const QString& devicePath, const QString& profile, const QString& connection, int timeoutMs);
    // The attempt did not start after all.
    void forget(const QString& devicePath, const QString& profile);

    // From any thread: runs `work` in the follower's thread, in the order
    // posted, after what it has to do now.
    void post(std::function<void(NmFollower&)> work);

    static const char* const service;
    static const char* const managerPath;

private:
    struct Attempt {
        QString devicePath;
        GUID guid;
        QString profile;
        QString connection; // the saved connection's path
        QTimer* timer;
    };
    struct Pending {
        GUID guid;
        std::uint32_t code;
        bool withConnection;
        WLAN_CONNECTION_NOTIFICATION_DATA connection;
    };

    void subscribe(const QString& path, const QString& interface, const QString& name, const char* slot);
    void reload();
    QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments = {});
    QVariantMap getAll(const QString& path, const QString& interface);
    void take(const QString& path, const QMap<QString, QVariantMap>& interfaces);
    void fetchConnections(const NmWifiDevice& device);
    void fetchSettings(const QString& path);
    void nextSettings();
    void fetchActiveConnection(const QString& path);
    void stateChanged(const QString& path, NmWifiDevice& device, uint before);
    void later(const GUID& guid, std::uint32_t code);
    void later(const GUID& guid, std::uint32_t code, const QString& profile, std::uint32_t reason);
    void laterForDevices(std::uint32_t code, const QString& accessPoint = QString());
    // Ends the device's attempts (every device's when empty) but those of
    // `succeeded`, each with notification 11.
    void failAttempts(const QString& devicePath, const QString& succeeded = QString());
    void timedOut(QTimer* timer);
    void changed();

private slots:
    void propertiesChanged(const QDBusMessage& message);
    void interfacesAdded(const QDBusMessage& message);
    void interfacesRemoved(const QDBusMessage& message);
    void accessPointAdded(const QDBusMessage& message);
    void accessPointRemoved(const QDBusMessage& message);
    void connectionUpdated(const QDBusMessage& message);
    void ownerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);
    void flush();
    void runPosted();

private:
    const QString connectionName;
    const Sink sink;
    QDBusConnection bus;
    NmState state;
    std::vector<Pending> pending;
    std::vector<Attempt> attempts;
    QTimer* flushTimer = nullptr;
    QElapsedTimer lastFlush;
    // Saved connections whose settings are still to be asked for; one call
    // at a time is out. A reload starts a new generation, whose answers
    // alone count.
    QStringList settingsQueue;
    bool settingsAsked = false;
    int generation = 0;
    bool loadedTold = false;
    std::mutex postedLock;
    std::vector<std::function<void(NmFollower&)>> posted; // under postedLock
};

} // namespace vantel::platform

#endif
