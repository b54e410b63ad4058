#include "nmfollower.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <QTimer>

#include <algorithm>

namespace vantel::platform {

const char* const NmFollower::service = "org.freedesktop.NetworkManager";
const char* const NmFollower::managerPath = "/org/freedesktop/NetworkManager";

namespace {

const char* const kObjectManagerPath = "/org/freedesktop";
const char* const kManager = "org.freedesktop.NetworkManager";
const char* const kDevice = "org.freedesktop.NetworkManager.Device";
const char* const kWireless = "org.freedesktop.NetworkManager.Device.Wireless";
const char* const kAccessPoint = "org.freedesktop.NetworkManager.AccessPoint";
const char* const kActive = "org.freedesktop.NetworkManager.Connection.Active";
const char* const kSettingsConnection = "org.freedesktop.NetworkManager.Settings.Connection";
const char* const kProperties = "org.freedesktop.DBus.Properties";
const char* const kObjectManager = "org.freedesktop.DBus.ObjectManager";

constexpr int kCallTimeoutMs = 3000;
// Long enough to gather the property changes of one scan.
constexpr int kGatherMs = 20;
// At most one hand-on this often, so that a storm of changes (a strength
// moving every few milliseconds) costs its clients little.
constexpr qint64 kSpacingMs = 100;

QString text(const char* latin1)
{
    return QString::fromLatin1(latin1);
}

QString pathArgument(const QDBusMessage& message, int index)
{
    return message.arguments().value(index).value<QDBusObjectPath>().path();
}

} // namespace

NmFollower::NmFollower(QString name, Sink handOn)
    : connectionName(std::move(name)), sink(std::move(handOn)), bus(connectionName)
{
    flushTimer = new QTimer(this);
    flushTimer->setSingleShot(true);
    connect(flushTimer, &QTimer::timeout, this, &NmFollower::flush);
}

NmFollower::~NmFollower()
{
    QDBusConnection::disconnectFromBus(connectionName);
}

void NmFollower::start()
{
    bus = QDBusConnection::connectToBus(QDBusConnection::SystemBus, connectionName);
    if (bus.isConnected()) {
        auto* watcher = new QDBusServiceWatcher(text(service), bus, QDBusServiceWatcher::WatchForOwnerChange, this);
        connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &NmFollower::ownerChanged);
        subscribe(QString(), text(kProperties), QStringLiteral("PropertiesChanged"), SLOT(propertiesChanged(QDBusMessage)));
        subscribe(text(kObjectManagerPath), text(kObjectManager), QStringLiteral("InterfacesAdded"),
                  SLOT(interfacesAdded(QDBusMessage)));
        subscribe(text(kObjectManagerPath), text(kObjectManager), QStringLiteral("InterfacesRemoved"),
                  SLOT(interfacesRemoved(QDBusMessage)));
        subscribe(QString(), text(kWireless), QStringLiteral("AccessPointAdded"), SLOT(accessPointAdded(QDBusMessage)));
        subscribe(QString(), text(kWireless), QStringLiteral("AccessPointRemoved"),
                  SLOT(accessPointRemoved(QDBusMessage)));
        subscribe(QString(), text(kSettingsConnection), QStringLiteral("Updated"), SLOT(connectionUpdated(QDBusMessage)));
        reload();
    }
    flush();
}

void NmFollower::subscribe(const QString& path, const QString& interface, const QString& name, const char* slot)
{
    bus.connect(text(service), path, interface, name, this, slot);
}

QDBusMessage NmFollower::call(const QString& path, const QString& interface, const QString& method,
                              const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(text(service), path, interface, method);
    message.setArguments(arguments);
    // A system bus may start NetworkManager on demand; only the one running counts.
    message.setAutoStartService(false);
    return bus.call(message, QDBus::Block, kCallTimeoutMs);
}

QVariantMap NmFollower::getAll(const QString& path, const QString& interface)
{
    const QDBusMessage reply = call(path, text(kProperties), QStringLiteral("GetAll"), {interface});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return qdbus_cast<QVariantMap>(reply.arguments().first());
}

// Everything anew: at start and whenever NetworkManager comes back.
void NmFollower::reload()
{
    state = NmState();
    ++generation;
    settingsQueue.clear();
    settingsAsked = false;
    // The bus answers this itself: no wait for a NetworkManager that is not there.
    const QDBusReply<bool> owned = bus.interface()->isServiceRegistered(text(service));
    if (!owned.isValid() || !owned.value())
        return;
    const QDBusMessage reply = call(text(kObjectManagerPath), text(kObjectManager), QStringLiteral("GetManagedObjects"));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return;
    const auto objects = qdbus_cast<QMap<QDBusObjectPath, QMap<QString, QVariantMap>>>(reply.arguments().first());
    QStringList changed;
    // The manager is one of the objects; a daemon that leaves it out is asked.
    const auto manager = objects.constFind(QDBusObjectPath(text(managerPath)));
    if (manager != objects.constEnd() && manager->contains(text(kManager)))
        nmApplyManager(state, manager->value(text(kManager)), changed);
    else
        nmApplyManager(state, getAll(text(managerPath), text(kManager)), changed);
    for (auto object = objects.constBegin(); object != objects.constEnd(); ++object)
        take(object.key().path(), object.value());
    for (auto device = state.devices.begin(); device != state.devices.end(); ++device) {
        fetchActiveConnection(device->activeConnection);
        fetchConnections(*device);
        if (device->state == NM_DEVICE_STATE_ACTIVATED)
            device->profileInUse = nmActiveProfile(state, *device);
    }
    state.present = true;
}

// The objects of one path, as GetManagedObjects and InterfacesAdded give them.
void NmFollower::take(const QString& path, const QMap<QString, QVariantMap>& interfaces)
{
    QStringList changedNames;
    if (interfaces.contains(text(kWireless))) {
        NmWifiDevice& device = state.devices[path];
        nmApplyDevice(device, interfaces.value(text(kDevice)), changedNames);
        nmApplyDevice(device, interfaces.value(text(kWireless)), changedNames);
    }
    if (interfaces.contains(text(kAccessPoint)))
        nmApplyAccessPoint(state.accessPoints[path], interfaces.value(text(kAccessPoint)), changedNames);
    if (interfaces.contains(text(kActive)))
        nmApplyActiveConnection(state.activeConnections[path], interfaces.value(text(kActive)));
}

void NmFollower::fetchActiveConnection(const QString& path)
{
    if (path.isEmpty())
        return;
    if (!state.activeConnections.contains(path))
        nmApplyActiveConnection(state.activeConnections[path], getAll(path, text(kActive)));
    const QString saved = state.activeConnections.value(path).connection;
    if (!saved.isEmpty() && !state.connections.contains(saved))
        fetchSettings(saved);
}

// Settings are not properties: each saved connection the device may use is
// asked for once, and again when it is updated.
void NmFollower::fetchConnections(const NmWifiDevice& device)
{
    for (const QString& path : device.availableConnections)
        if (!state.connections.contains(path))
            fetchSettings(path);
}

void NmFollower::fetchSettings(const QString& path)
{
    if (!settingsQueue.contains(path))
        settingsQueue << path;
    nextSettings();
}

void NmFollower::nextSettings()
{
    if (settingsAsked || settingsQueue.isEmpty())
        return;
    const QString path = settingsQueue.takeFirst();
    QDBusMessage message =
        QDBusMessage::createMethodCall(text(service), path, text(kSettingsConnection), QStringLiteral("GetSettings"));
    message.setAutoStartService(false);
    settingsAsked = true;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message, kCallTimeoutMs), this);
    const int asked = generation;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, path, asked] {
        watcher->deleteLater();
        if (asked != generation)
            return; // for a daemon that went, or a reload that began anew
        settingsAsked = false;
        const QDBusMessage reply = watcher->reply();
        // A connection that went meanwhile, or did not answer in time, is left out.
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            state.connections.insert(path, nmConnection(qdbus_cast<QMap<QString, QVariantMap>>(reply.arguments().first())));
            for (const NmWifiDevice& device : state.devices)
                if (device.availableConnections.contains(path)
                    || state.activeConnections.value(device.activeConnection).connection == path)
                    later(nmDeviceGuid(device), wlan_notification_acm_scan_complete);
            changed();
        }
        nextSettings();
    });
}

void NmFollower::later(const GUID& guid, std::uint32_t code)
{
    for (const Pending& waiting : pending)
        if (waiting.guid == guid && waiting.code == code && !waiting.withConnection)
            return;
    pending.push_back({guid, code, false, {}});
}

void NmFollower::later(const GUID& guid, std::uint32_t code, const QString& profile, std::uint32_t reason)
{
    Pending notice{guid, code, true, {}};
    notice.connection.strProfileName = profile.toStdString();
    notice.connection.wlanReasonCode = reason;
    for (const NmConnection& connection : state.connections)
        if (connection.wireless && nmProfileName(connection) == profile)
            notice.connection.dot11Ssid = makeSsid(connection.ssid.toStdString());
    pending.push_back(notice);
}

// For every device, or for those that see `accessPoint`.
void NmFollower::laterForDevices(std::uint32_t code, const QString& accessPoint)
{
    for (const NmWifiDevice& device : state.devices)
        if (accessPoint.isEmpty() || device.accessPoints.contains(accessPoint))
            later(nmDeviceGuid(device), code);
}

void NmFollower::stateChanged(const QString& path, NmWifiDevice& device, uint before)
{
    const GUID guid = nmDeviceGuid(device);
    if (before == NM_DEVICE_STATE_ACTIVATED) {
        later(guid, wlan_notification_acm_disconnected, device.profileInUse, NW_SUCCESS);
        device.profileInUse.clear();
    }
    const bool attempted = std::any_of(attempts.begin(), attempts.end(),
                                       [&](const Attempt& attempt) { return attempt.devicePath == path; });
    if (device.state == NM_DEVICE_STATE_ACTIVATED) {
        // An attempt knows its connection, whose settings may not have come yet.
        const QString saved = state.activeConnections.value(device.activeConnection).connection;
        const auto mine = std::find_if(attempts.begin(), attempts.end(), [&](const Attempt& attempt) {
            return attempt.devicePath == path && !saved.isEmpty() && attempt.connection == saved;
        });
        device.profileInUse = mine != attempts.end() ? mine->profile : nmActiveProfile(state, device);
        later(guid, wlan_notification_acm_connection_complete, device.profileInUse, NW_SUCCESS);
        failAttempts(path, device.profileInUse);
    } else if (device.state == NM_DEVICE_STATE_FAILED) {
        if (attempted)
            failAttempts(path);
        else
            later(guid, wlan_notification_acm_connection_attempt_fail, nmActiveProfile(state, device),
                  NW_REASON_CODE_UNKNOWN);
    } else if (device.state <= NM_DEVICE_STATE_DISCONNECTED && before >= NM_DEVICE_STATE_PREPARE
               && before < NM_DEVICE_STATE_ACTIVATED) {
        failAttempts(path); // given up on the way, without failing
    }
}

void NmFollower::expect(const QString& devicePath, const QString& profile, const QString& connection,
                        int timeoutMs)
{
    forget(devicePath, profile);
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, [this, timer] { timedOut(timer); });
    attempts.push_back({devicePath, nmDeviceGuid(state.devices.value(devicePath)), profile, connection, timer});
    timer->start(timeoutMs);
}

void NmFollower::forget(const QString& devicePath, const QString& profile)
{
    for (auto attempt = attempts.begin(); attempt != attempts.end();) {
        if (attempt->devicePath == devicePath && attempt->profile == profile) {
            attempt->timer->stop();
            attempt->timer->deleteLater();
            attempt = attempts.erase(attempt);
        } else {
            ++attempt;
        }
    }
}

void NmFollower::post(std::function<void(NmFollower&)> work)
{
    std::lock_guard<std::mutex> lock(postedLock);
    posted.push_back(std::move(work));
    // Called by name, so that nothing of ours passes through Qt's event
    // queue, whose lock ThreadSanitizer cannot see: the work passes under
    // postedLock. One call runs everything posted before it.
    if (posted.size() == 1)
        QMetaObject::invokeMethod(this, "runPosted", Qt::QueuedConnection);
}

void NmFollower::runPosted()
{
    std::vector<std::function<void(NmFollower&)>> now;
    {
        std::lock_guard<std::mutex> lock(postedLock);
        now.swap(posted);
    }
    for (const auto& work : now)
        work(*this);
}

void NmFollower::failAttempts(const QString& devicePath, const QString& succeeded)
{
    bool ended = false;
    for (auto attempt = attempts.begin(); attempt != attempts.end();) {
        if (!devicePath.isEmpty() && attempt->devicePath != devicePath) {
            ++attempt;
            continue;
        }
        if (attempt->profile != succeeded)
            later(attempt->guid, wlan_notification_acm_connection_attempt_fail, attempt->profile,
                  NW_REASON_CODE_UNKNOWN);
        attempt->timer->stop();
        attempt->timer->deleteLater();
        attempt = attempts.erase(attempt);
        ended = true;
    }
    if (ended)
        changed();
}

// The attempt of `timer` only: a later attempt of the same profile has a
// timer of its own.
void NmFollower::timedOut(QTimer* timer)
{
    const auto attempt = std::find_if(attempts.begin(), attempts.end(),
                                      [timer](const Attempt& candidate) { return candidate.timer == timer; });
    if (attempt == attempts.end())
        return;
    const QString devicePath = attempt->devicePath;
    const QString profile = attempt->profile;
    const GUID guid = attempt->guid;
    const auto device = state.devices.constFind(devicePath);
    if (device != state.devices.constEnd() && device->state != NM_DEVICE_STATE_ACTIVATED
        && !device->activeConnection.isEmpty()
        && state.activeConnections.value(device->activeConnection).connection == attempt->connection) {
        QDBusMessage message = QDBusMessage::createMethodCall(text(service), text(managerPath), text(kManager),
                                                              QStringLiteral("DeactivateConnection"));
        message.setArguments({QVariant::fromValue(QDBusObjectPath(device->activeConnection))});
        message.setAutoStartService(false);
        bus.send(message); // its answer changes nothing here
    }
    later(guid, wlan_notification_acm_connection_attempt_fail, profile, NW_REASON_CODE_UNKNOWN);
    forget(devicePath, profile);
    changed();
}

void NmFollower::changed()
{
    if (flushTimer->isActive())
        return;
    const qint64 since = lastFlush.isValid() ? lastFlush.elapsed() : kSpacingMs;
    flushTimer->start(int(std::max<qint64>(kGatherMs, kSpacingMs - since)));
}

void NmFollower::propertiesChanged(const QDBusMessage& message)
{
    const QString path = message.path();
    const QString interface = message.arguments().value(0).toString();
    const QVariantMap properties = qdbus_cast<QVariantMap>(message.arguments().value(1));
    QStringList names;
    if (path == text(managerPath) && interface == text(kManager)) {
        nmApplyManager(state, properties, names);
        if (!names.isEmpty())
            laterForDevices(wlan_notification_acm_power_setting_change);
    } else if (state.devices.contains(path)) {
        NmWifiDevice& device = state.devices[path];
        const uint before = device.state;
        nmApplyDevice(device, properties, names);
        if (names.contains(QLatin1String("ActiveConnection")))
            fetchActiveConnection(device.activeConnection);
        if (names.contains(QLatin1String("AvailableConnections")))
            fetchConnections(device);
        if (names.contains(QLatin1String("State")))
            stateChanged(path, device, before);
        else if (names.contains(QLatin1String("ActiveConnection")) && device.state == NM_DEVICE_STATE_ACTIVATED
                 && !device.activeConnection.isEmpty())
            stateChanged(path, device, NM_DEVICE_STATE_PREPARE); // activated anew, with another connection
        if (names.contains(QLatin1String("LastScan")) || names.contains(QLatin1String("AccessPoints")))
            later(nmDeviceGuid(device), wlan_notification_acm_scan_complete);
    } else if (state.accessPoints.contains(path)) {
        nmApplyAccessPoint(state.accessPoints[path], properties, names);
        if (!names.isEmpty())
            laterForDevices(wlan_notification_acm_scan_complete, path);
    } else if (state.activeConnections.contains(path)) {
        nmApplyActiveConnection(state.activeConnections[path], properties);
        names << QString();
    }
    if (!names.isEmpty())
        changed();
}

void NmFollower::interfacesAdded(const QDBusMessage& message)
{
    const QString path = pathArgument(message, 0);
    const auto interfaces = qdbus_cast<QMap<QString, QVariantMap>>(message.arguments().value(1));
    const bool newDevice = interfaces.contains(text(kWireless)) && !state.devices.contains(path);
    take(path, interfaces);
    if (newDevice) {
        NmWifiDevice& device = state.devices[path];
        fetchActiveConnection(device.activeConnection);
        fetchConnections(device);
        if (device.state == NM_DEVICE_STATE_ACTIVATED)
            device.profileInUse = nmActiveProfile(state, device);
        // Its clients see the radio come.
        later(nmDeviceGuid(device), wlan_notification_acm_power_setting_change);
    }
    if (interfaces.contains(text(kAccessPoint)))
        laterForDevices(wlan_notification_acm_scan_complete, path);
    changed();
}

void NmFollower::interfacesRemoved(const QDBusMessage& message)
{
    const QString path = pathArgument(message, 0);
    if (state.devices.contains(path)) {
        failAttempts(path);
        // Its clients see the radio gone.
        later(nmDeviceGuid(state.devices.value(path)), wlan_notification_acm_power_setting_change);
        state.devices.remove(path);
    }
    if (state.accessPoints.remove(path))
        laterForDevices(wlan_notification_acm_scan_complete, path);
    state.activeConnections.remove(path);
    state.connections.remove(path);
    changed();
}

void NmFollower::accessPointAdded(const QDBusMessage& message)
{
    const auto device = state.devices.find(message.path());
    if (device == state.devices.end())
        return;
    const QString ap = pathArgument(message, 0);
    if (!device->accessPoints.contains(ap))
        device->accessPoints << ap;
    later(nmDeviceGuid(device.value()), wlan_notification_acm_scan_complete);
    changed();
}

void NmFollower::accessPointRemoved(const QDBusMessage& message)
{
    const auto device = state.devices.find(message.path());
    if (device == state.devices.end())
        return;
    device->accessPoints.removeAll(pathArgument(message, 0));
    later(nmDeviceGuid(device.value()), wlan_notification_acm_scan_complete);
    changed();
}

void NmFollower::connectionUpdated(const QDBusMessage& message)
{
    const QString path = message.path();
    // The settings held until then stay until the new ones come, handed on then.
    if (state.connections.contains(path))
        fetchSettings(path);
}

void NmFollower::ownerChanged(const QString&, const QString&, const QString& newOwner)
{
    failAttempts(QString()); // what NetworkManager was doing went with it
    // Clients of the devices that go, and of those that come, read the radio again.
    laterForDevices(wlan_notification_acm_power_setting_change);
    if (newOwner.isEmpty()) {
        state = NmState();
        ++generation;
        settingsQueue.clear();
        settingsAsked = false;
    } else
        reload();
    laterForDevices(wlan_notification_acm_power_setting_change);
    laterForDevices(wlan_notification_acm_scan_complete);
    changed();
}

void NmFollower::flush()
{
    flushTimer->stop();
    lastFlush.start();
    std::vector<NmDevicePath> paths;
    for (auto device = state.devices.constBegin(); device != state.devices.constEnd(); ++device)
        paths.push_back({nmDeviceGuid(device.value()), device.key()});
    sink.publish(nmWifiMachine(state), std::move(paths));
    std::vector<Pending> notices;
    notices.swap(pending);
    for (const Pending& notice : notices)
        sink.notify(notice.guid, notice.code, notice.withConnection ? &notice.connection : nullptr);
    if (!loadedTold && !settingsAsked && settingsQueue.isEmpty()) {
        loadedTold = true;
        if (sink.loaded)
            sink.loaded();
    }
}

} // namespace vantel::platform
