#include "testnetworkmanager.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QEventLoop>
#include <QTimer>

#include <signal.h>

// A method as dbusmock's AddObject takes it: (name, in, out, code).
struct MockMethod {
    QString name, in, out, code;
};
Q_DECLARE_METATYPE(MockMethod)

QDBusArgument& operator<<(QDBusArgument& argument, const MockMethod& method)
{
    argument.beginStructure();
    argument << method.name << method.in << method.out << method.code;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, MockMethod& method)
{
    argument.beginStructure();
    argument >> method.name >> method.in >> method.out >> method.code;
    argument.endStructure();
    return argument;
}

namespace {

const QString kSettings = QStringLiteral("/org/freedesktop/NetworkManager/Settings");

const QString kTemplate = QStringLiteral("networkmanager");
const QString kRoot = QStringLiteral("/org/freedesktop");

QVariant variant(const QVariant& value)
{
    return QVariant::fromValue(QDBusVariant(value));
}

} // namespace

const QString TestNetworkManager::wireless = QStringLiteral("org.freedesktop.NetworkManager.Device.Wireless");
const QString TestNetworkManager::device = QStringLiteral("org.freedesktop.NetworkManager.Device");
const QString TestNetworkManager::accessPoint = QStringLiteral("org.freedesktop.NetworkManager.AccessPoint");

bool TestNetworkManager::start(bool numberFromOne)
{
    wifiDevice.clear();
    if (numberFromOne)
        objects = 0;
    lastStep.start();
    if (!bus.stopTemplate(kTemplate) || !bus.startTemplate(kTemplate)) {
        failure = bus.error();
        return false;
    }
    return paceMs == 0 || mock(kRoot, QStringLiteral("SetPace"), {uint(paceMs)});
}

bool TestNetworkManager::setPace(int ms)
{
    paceMs = ms;
    return bus.templatePid(kTemplate) <= 0 || mock(kRoot, QStringLiteral("SetPace"), {uint(ms)});
}

bool TestNetworkManager::stop()
{
    if (bus.stopTemplate(kTemplate))
        return true;
    failure = bus.error();
    return false;
}

bool TestNetworkManager::freeze()
{
    const qint64 pid = bus.templatePid(kTemplate);
    return pid > 0 && ::kill(pid_t(pid), SIGSTOP) == 0;
}

bool TestNetworkManager::thaw()
{
    const qint64 pid = bus.templatePid(kTemplate);
    return pid > 0 && ::kill(pid_t(pid), SIGCONT) == 0;
}

bool TestNetworkManager::denyPermissions(bool denied)
{
    return mock(kRoot, QStringLiteral("DenyPermissions"), {denied});
}

bool TestNetworkManager::delayGetSettings(int ms)
{
    return mock(kRoot, QStringLiteral("SetGetSettingsDelay"), {uint(ms)});
}

void TestNetworkManager::step()
{
    const qint64 left = lastStep.isValid() ? paceMs - lastStep.elapsed() : paceMs;
    if (left > 0) {
        QEventLoop wait;
        QTimer::singleShot(int(left), &wait, &QEventLoop::quit);
        wait.exec();
    }
    lastStep.start();
}

bool TestNetworkManager::setDeviceState(uint state)
{
    const uint before = get(wifiDevice, device, QStringLiteral("State")).toUInt();
    return set(wifiDevice, device, QStringLiteral("State"), state)
           && mock(wifiDevice, QStringLiteral("EmitSignal"),
                   {device, QStringLiteral("StateChanged"), QStringLiteral("uuu"), QVariantList{state, before, 0u}});
}

bool TestNetworkManager::mock(const QString& path, const QString& method, const QVariantList& arguments,
                              QVariant* result)
{
    const QDBusMessage reply = bus.mock(kTemplate, path, method, arguments);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        failure = method + QStringLiteral(": ") + reply.errorMessage();
        return false;
    }
    if (result)
        *result = reply.arguments().value(0);
    return true;
}

QString TestNetworkManager::addWifiDevice(const QString& interfaceName, int state)
{
    QVariant path;
    const QString name = QStringLiteral("%1_%2").arg(interfaceName).arg(++objects);
    step();
    const int unavailable = 20;
    const bool paced = paceMs > 0 && state > unavailable;
    if (!mock(kRoot, QStringLiteral("AddWiFiDevice"), {name, interfaceName, paced ? unavailable : state}, &path))
        return QString();
    wifiDevice = path.toString();
    bool added =
        mock(wifiDevice, QStringLiteral("AddProperty"),
             {wireless, QStringLiteral("ActiveAccessPoint"), variant(QVariant::fromValue(QDBusObjectPath("/")))})
        && mock(wifiDevice, QStringLiteral("AddProperty"),
                {wireless, QStringLiteral("LastScan"), variant(QVariant::fromValue(lastScan))});
    if (added && paced) {
        step();
        added = setDeviceState(uint(state));
    }
    return added ? wifiDevice : QString();
}

QString TestNetworkManager::addAccessPoint(const QString& ssid, const QString& bssid, int strength,
                                           uint frequencyMHz, uint security)
{
    QVariant path;
    step();
    const QVariantList arguments{wifiDevice, QStringLiteral("ap%1").arg(++objects), ssid, bssid, 2u,
                                 frequencyMHz, 54000u, QVariant::fromValue(uchar(strength)), security};
    return mock(kRoot, QStringLiteral("AddAccessPoint"), arguments, &path) ? path.toString() : QString();
}

bool TestNetworkManager::removeAccessPoint(const QString& path)
{
    return mock(kRoot, QStringLiteral("RemoveAccessPoint"), {wifiDevice, path});
}

bool TestNetworkManager::connectTo(const QString& ssid, const QString& accessPointPath)
{
    QVariant connection;
    const int n = ++objects;
    if (!mock(kRoot, QStringLiteral("AddWiFiConnection"),
              {wifiDevice, QStringLiteral("connection%1").arg(n), ssid, QString()}, &connection))
        return false;
    // Prepare, config, IP config, then activated.
    for (const uint state : {40u, 50u, 70u}) {
        if (paceMs == 0)
            break;
        step();
        if (!setDeviceState(state))
            return false;
    }
    step();
    return set(wifiDevice, wireless, QStringLiteral("ActiveAccessPoint"),
                  QVariant::fromValue(QDBusObjectPath(accessPointPath)))
           && mock(kRoot, QStringLiteral("AddActiveConnection"),
                   {QStringList{wifiDevice}, connection, accessPointPath, QStringLiteral("active%1").arg(n), 2u});
}

QString TestNetworkManager::addSavedConnection(const QString& ssid)
{
    QVariant connection;
    return mock(kRoot, QStringLiteral("AddWiFiConnection"),
                {wifiDevice, QStringLiteral("connection%1").arg(++objects), ssid, QString()}, &connection)
               ? connection.toString()
               : QString();
}

bool TestNetworkManager::disconnect()
{
    return mock(kRoot, QStringLiteral("SetDeviceDisconnected"), {wifiDevice});
}

bool TestNetworkManager::set(const QString& path, const QString& interface, const QString& name,
                             const QVariant& value)
{
    return mock(kRoot, QStringLiteral("SetProperty"), {path, interface, name, variant(value)});
}

bool TestNetworkManager::setManager(const QString& name, const QVariant& value)
{
    return set(QStringLiteral("/org/freedesktop/NetworkManager"), QStringLiteral("org.freedesktop.NetworkManager"),
               name, value);
}

bool TestNetworkManager::setStrength(const QString& accessPointPath, int strength)
{
    return set(accessPointPath, accessPoint, QStringLiteral("Strength"), QVariant::fromValue(uchar(strength)));
}

bool TestNetworkManager::scanned()
{
    return set(wifiDevice, wireless, QStringLiteral("LastScan"), QVariant::fromValue(++lastScan));
}

QVariant TestNetworkManager::get(const QString& path, const QString& interface, const QString& name)
{
    const QDBusMessage reply = bus.call(TestSystemBus::templateBusName(kTemplate), path,
                                        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                                        {interface, name});
    QVariant value = reply.arguments().value(0);
    while (value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

int TestNetworkManager::calls(const QString& path, const QString& method)
{
    return bus.calls(kTemplate, path, method);
}

bool TestNetworkManager::addMethod(const QString& path, const QString& interface, const QString& name,
                                   const QString& inSignature, const QString& outSignature, const QString& code)
{
    return mock(path, QStringLiteral("AddMethod"), {interface, name, inSignature, outSignature, code});
}

bool TestNetworkManager::addProperty(const QString& path, const QString& interface, const QString& name,
                                     const QVariant& value)
{
    return mock(path, QStringLiteral("AddProperty"), {interface, name, variant(value)});
}

bool TestNetworkManager::addObject(const QString& path, const QString& interface, const QVariantMap& properties)
{
    qDBusRegisterMetaType<MockMethod>();
    qDBusRegisterMetaType<QList<MockMethod>>();
    return mock(kRoot, QStringLiteral("AddObject"),
                {path, interface, properties, QVariant::fromValue(QList<MockMethod>())});
}

QStringList TestNetworkManager::connections()
{
    QList<QDBusObjectPath> paths;
    bus.call(TestSystemBus::templateBusName(kTemplate), kSettings, QStringLiteral("org.freedesktop.NetworkManager.Settings"),
             QStringLiteral("ListConnections"))
            .arguments()
            .value(0)
            .value<QDBusArgument>()
        >> paths;
    QStringList list;
    for (const QDBusObjectPath& path : paths)
        list << path.path();
    return list;
}

QMap<QString, QVariantMap> TestNetworkManager::savedConnection(const QString& id)
{
    for (const QString& path : connections()) {
        const auto settings = settingsAt(path);
        if (settings.value(QStringLiteral("connection")).value(QStringLiteral("id")).toString() == id)
            return settings;
    }
    return {};
}

QString TestNetworkManager::addConnection(const QMap<QString, QVariantMap>& settings)
{
    qDBusRegisterMetaType<QMap<QString, QVariantMap>>();
    const QDBusMessage reply =
        bus.call(TestSystemBus::templateBusName(kTemplate), kSettings,
                 QStringLiteral("org.freedesktop.NetworkManager.Settings"), QStringLiteral("AddConnection"),
                 {QVariant::fromValue(settings)});
    if (reply.type() != QDBusMessage::ReplyMessage) {
        failure = QStringLiteral("AddConnection: ") + reply.errorMessage();
        return QString();
    }
    return reply.arguments().value(0).value<QDBusObjectPath>().path();
}

QMap<QString, QVariantMap> TestNetworkManager::settingsAt(const QString& path)
{
    const QString service = TestSystemBus::templateBusName(kTemplate);
    const QString interface = QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection");
    auto settings = qdbus_cast<QMap<QString, QVariantMap>>(
        bus.call(service, path, interface, QStringLiteral("GetSettings")).arguments().value(0));
    const QString security = QStringLiteral("802-11-wireless-security");
    if (settings.contains(security)) {
        const auto secrets = qdbus_cast<QMap<QString, QVariantMap>>(
            bus.call(service, path, interface, QStringLiteral("GetSecrets"), {security}).arguments().value(0));
        const QVariantMap found = secrets.value(security);
        for (auto it = found.cbegin(); it != found.cend(); ++it)
            settings[security][it.key()] = it.value();
    }
    return settings;
}
