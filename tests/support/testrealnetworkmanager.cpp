#include "testrealnetworkmanager.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <unistd.h>

namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kManagerPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kSettingsPath = QStringLiteral("/org/freedesktop/NetworkManager/Settings");
const QString kSettings = QStringLiteral("org.freedesktop.NetworkManager.Settings");
const QString kConnection = QStringLiteral("org.freedesktop.NetworkManager.Settings.Connection");
const QString kDevice = QStringLiteral("org.freedesktop.NetworkManager.Device");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// The daemon's own state folder, hidden under an empty tmpfs; it must exist
// to be mounted over, which the package sees to.
const QString kStateFolder = QStringLiteral("/var/lib/NetworkManager");

// Run by unshare in the daemon's mount namespace: a sysfs of the test's
// network namespace, read-only so that the daemon does without udev, and
// empty folders where it would write on the machine.
const QString kMounts = QStringLiteral(
    "mount -t sysfs -o ro sysfs /sys && mount -t tmpfs tmpfs /run && "
    "mount -t tmpfs -o mode=0700 tmpfs /var/lib/NetworkManager && exec \"$@\"");

QString program(const QString& name)
{
    QString found = QStandardPaths::findExecutable(name);
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    return found;
}

QVariant plain(const QVariant& value)
{
    return value.userType() == qMetaTypeId<QDBusVariant>() ? value.value<QDBusVariant>().variant() : value;
}

void registerTypes()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<TestRealNetworkManager::Settings>();
        return true;
    }();
    Q_UNUSED(registered);
}

} // namespace

TestRealNetworkManager::TestRealNetworkManager(TestSystemBus& systemBus) : bus(systemBus)
{
    registerTypes();
}

TestRealNetworkManager::~TestRealNetworkManager()
{
    stop();
}

QString TestRealNetworkManager::unavailable()
{
    if (::geteuid() != 0)
        return QStringLiteral("the real NetworkManager needs root (a network and a mount namespace of its own)");
    for (const QString& name : {QStringLiteral("NetworkManager"), QStringLiteral("unshare"), QStringLiteral("ip")})
        if (program(name).isEmpty())
            return QStringLiteral("%1 is not installed (scripts/setup.sh installs it)").arg(name);
    if (!QFileInfo(kStateFolder).isDir())
        return kStateFolder + QStringLiteral(" is missing: is the network-manager package installed?");
    return QString();
}

bool TestRealNetworkManager::run(const QString& name, const QStringList& arguments)
{
    QProcess process;
    process.start(program(name), arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        failure = QStringLiteral("%1 %2: %3").arg(name, arguments.join(QLatin1Char(' ')),
                                                  QString::fromLocal8Bit(process.readAllStandardError()).trimmed());
        return false;
    }
    return true;
}

bool TestRealNetworkManager::enterOwnNetworkNamespace()
{
    if (::unshare(CLONE_NEWNET) != 0) {
        failure = QStringLiteral("unshare(CLONE_NEWNET): %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return run(QStringLiteral("ip"), {QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("lo"), QStringLiteral("up")});
}

bool TestRealNetworkManager::addVeth(const QString& name, const QString& peer)
{
    return run(QStringLiteral("ip"), {QStringLiteral("link"), QStringLiteral("add"), name, QStringLiteral("type"),
                                      QStringLiteral("veth"), QStringLiteral("peer"), QStringLiteral("name"), peer})
           && run(QStringLiteral("ip"), {QStringLiteral("link"), QStringLiteral("set"), peer, QStringLiteral("up")});
}

QString TestRealNetworkManager::keyfileFolder() const
{
    return dir.filePath(QStringLiteral("system-connections"));
}

bool TestRealNetworkManager::writeConfiguration(const QStringList& managedInterfaces)
{
    QStringList unmanaged;
    for (const QString& name : managedInterfaces)
        unmanaged << QStringLiteral("except:interface-name:") + name;
    if (unmanaged.isEmpty())
        unmanaged << QStringLiteral("*");
    // No DNS, host name or default connections: the daemon must change
    // nothing but its keyfile folder and the test's interfaces.
    const QString text = QStringLiteral("[main]\nplugins=keyfile\ndns=none\nrc-manager=unmanaged\nhostname-mode=none\n"
                                        "no-auto-default=*\nauth-polkit=false\n"
                                        "[keyfile]\npath=%1\nunmanaged-devices=%2\n"
                                        "[logging]\nlevel=DEBUG\n")
                             .arg(keyfileFolder(), unmanaged.join(QLatin1Char(';')));
    QFile file(dir.filePath(QStringLiteral("NetworkManager.conf")));
    if (!QDir(dir.path()).mkpath(QStringLiteral("system-connections")) || !QDir(dir.path()).mkpath(QStringLiteral("conf.d"))
        || !QDir(dir.path()).mkpath(QStringLiteral("system-conf.d")) || !file.open(QIODevice::WriteOnly)
        || file.write(text.toUtf8()) != text.toUtf8().size()) {
        failure = QStringLiteral("cannot write the daemon's configuration in ") + dir.path();
        return false;
    }
    return true;
}

bool TestRealNetworkManager::start(const QStringList& managedInterfaces)
{
    stop();
    failure.clear();
    if (!dir.isValid() || !writeConfiguration(managedInterfaces))
        return false;
    const QStringList daemonArguments{
        program(QStringLiteral("NetworkManager")),
        QStringLiteral("--debug"),
        QStringLiteral("--config=") + dir.filePath(QStringLiteral("NetworkManager.conf")),
        QStringLiteral("--config-dir=") + dir.filePath(QStringLiteral("conf.d")),
        QStringLiteral("--system-config-dir=") + dir.filePath(QStringLiteral("system-conf.d")),
        QStringLiteral("--state-file=") + dir.filePath(QStringLiteral("NetworkManager.state")),
        QStringLiteral("--intern-config=") + dir.filePath(QStringLiteral("NetworkManager-intern.conf")),
        QStringLiteral("--pid-file=") + dir.filePath(QStringLiteral("NetworkManager.pid"))};
    if (!daemon.start(QStringLiteral("unshare"), QStringList{QStringLiteral("--mount"), QStringLiteral("--propagation"),
                                                             QStringLiteral("private"), QStringLiteral("--"),
                                                             QStringLiteral("/bin/sh"), QStringLiteral("-c"), kMounts,
                                                             QStringLiteral("sh")}
                                                     + daemonArguments)) {
        failure = QStringLiteral("NetworkManager: ") + daemon.error();
        return false;
    }
    // Ready once its settings service answers and it says its start-up is over.
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 20000) {
        if (!daemon.running()) {
            failure = QStringLiteral("NetworkManager ended before it was ready: ") + QString::fromLocal8Bit(log());
            return false;
        }
        QDBusMessage message = QDBusMessage::createMethodCall(kService, kSettingsPath, kSettings,
                                                              QStringLiteral("ListConnections"));
        if (bus.connection().call(message, QDBus::Block, 1000).type() == QDBusMessage::ReplyMessage) {
            const QDBusMessage startup = call(kManagerPath, kProperties, QStringLiteral("Get"),
                                              {kService, QStringLiteral("Startup")});
            if (startup.type() == QDBusMessage::ReplyMessage && !plain(startup.arguments().value(0)).toBool())
                return true;
        }
        QThread::msleep(50);
    }
    failure = QStringLiteral("NetworkManager's settings did not answer within 20 s: ") + QString::fromLocal8Bit(log());
    stop();
    return false;
}

bool TestRealNetworkManager::running()
{
    return daemon.running();
}

bool TestRealNetworkManager::stop()
{
    if (daemon.pid() <= 0)
        return true;
    // It takes about two seconds to leave on SIGTERM.
    daemon.stop(8000);
    QElapsedTimer clock;
    clock.start();
    QDBusConnectionInterface* names = bus.connection().interface();
    while (names && names->isServiceRegistered(kService).value()) {
        if (clock.elapsed() > 5000) {
            failure = QStringLiteral("NetworkManager's name stayed on the bus after it ended");
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

QByteArray TestRealNetworkManager::log()
{
    return daemon.errorOutput();
}

QDBusMessage TestRealNetworkManager::call(const QString& path, const QString& interface, const QString& method,
                                          const QVariantList& arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = bus.connection().call(message, QDBus::Block, 10000);
    if (reply.type() == QDBusMessage::ErrorMessage)
        failure = QStringLiteral("%1: %2 %3").arg(method, reply.errorName(), reply.errorMessage());
    return reply;
}

QVariant TestRealNetworkManager::settingsArgument(const Settings& settings)
{
    registerTypes();
    return QVariant::fromValue(settings);
}

QString TestRealNetworkManager::addConnection(const Settings& settings)
{
    const QDBusMessage reply = call(kSettingsPath, kSettings, QStringLiteral("AddConnection"), {settingsArgument(settings)});
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0).value<QDBusObjectPath>().path()
                                                      : QString();
}

QStringList TestRealNetworkManager::connections()
{
    const QDBusMessage reply = call(kSettingsPath, kSettings, QStringLiteral("ListConnections"));
    QStringList paths;
    if (reply.type() == QDBusMessage::ReplyMessage)
        for (const QDBusObjectPath& path : qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().value(0)))
            paths << path.path();
    return paths;
}

TestRealNetworkManager::Settings TestRealNetworkManager::settings(const QString& connectionPath)
{
    const QDBusMessage reply = call(connectionPath, kConnection, QStringLiteral("GetSettings"));
    return reply.type() == QDBusMessage::ReplyMessage ? qdbus_cast<Settings>(reply.arguments().value(0)) : Settings();
}

QVariantMap TestRealNetworkManager::secrets(const QString& connectionPath, const QString& setting)
{
    const QDBusMessage reply = call(connectionPath, kConnection, QStringLiteral("GetSecrets"), {setting});
    return reply.type() == QDBusMessage::ReplyMessage ? qdbus_cast<Settings>(reply.arguments().value(0)).value(setting)
                                                      : QVariantMap();
}

QString TestRealNetworkManager::connectionNamed(const QString& id)
{
    for (const QString& path : connections())
        if (settings(path).value(QStringLiteral("connection")).value(QStringLiteral("id")).toString() == id)
            return path;
    return QString();
}

QVariant TestRealNetworkManager::deviceProperty(const QString& name, const QString& property)
{
    const QDBusMessage device = call(kManagerPath, kService, QStringLiteral("GetDeviceByIpIface"), {name});
    if (device.type() != QDBusMessage::ReplyMessage)
        return QVariant();
    const QDBusMessage reply = call(device.arguments().value(0).value<QDBusObjectPath>().path(), kProperties,
                                    QStringLiteral("Get"), {kDevice, property});
    return reply.type() == QDBusMessage::ReplyMessage ? plain(reply.arguments().value(0)) : QVariant();
}

bool TestRealNetworkManager::waitForDeviceState(const QString& name, uint state, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    uint now = 0;
    while (clock.elapsed() < timeoutMs) {
        now = deviceProperty(name, QStringLiteral("State")).toUInt();
        if (now == state)
            return true;
        QThread::msleep(50);
    }
    failure = QStringLiteral("%1 stayed in state %2, not %3: %4").arg(name).arg(now).arg(state).arg(QString::fromLocal8Bit(log()));
    return false;
}
