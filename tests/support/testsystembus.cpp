#include "testsystembus.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QElapsedTimer>
#include <QThread>

namespace {

int busCount = 0;

} // namespace

TestSystemBus::~TestSystemBus()
{
    for (auto& entry : templates)
        entry.second->stop();
    templates.clear();
    if (!connectionName.isEmpty())
        QDBusConnection::disconnectFromBus(connectionName);
    daemon.stop();
}

QString TestSystemBus::templateBusName(const QString& name)
{
    if (name == QLatin1String("networkmanager"))
        return QStringLiteral("org.freedesktop.NetworkManager");
    if (name == QLatin1String("logind"))
        return QStringLiteral("org.freedesktop.login1");
    if (name == QLatin1String("upower"))
        return QStringLiteral("org.freedesktop.UPower");
    return name.contains(QLatin1Char('.')) ? name : QString();
}

bool TestSystemBus::start()
{
    if (!dir.isValid()) {
        failure = QStringLiteral("no temporary folder for the bus socket");
        return false;
    }
    const QString socket = dir.filePath(QStringLiteral("system_bus_socket"));
    // The session configuration lets every client of this user own any name,
    // which a system bus's policy files would not.
    if (!daemon.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nosyslog"),
                       QStringLiteral("--print-address=3"), QStringLiteral("--address=unix:path=") + socket},
                      3)) {
        failure = QStringLiteral("dbus-daemon: ") + daemon.error();
        return false;
    }
    busAddress = QString::fromLocal8Bit(daemon.readLine(10000)).trimmed();
    if (busAddress.isEmpty()) {
        failure = QStringLiteral("dbus-daemon: ") + daemon.error();
        daemon.stop();
        return false;
    }
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", busAddress.toLocal8Bit());
    connectionName = QStringLiteral("vantel-test-bus-%1").arg(++busCount);
    QDBusConnection bus = QDBusConnection::connectToBus(busAddress, connectionName);
    if (!bus.isConnected()) {
        failure = QStringLiteral("cannot connect to the private bus at %1: %2")
                      .arg(busAddress, bus.lastError().message());
        return false;
    }
    return true;
}

QDBusConnection TestSystemBus::connection() const
{
    return QDBusConnection(connectionName);
}

bool TestSystemBus::waitForName(const QString& busName, bool owned, TestProcess* process, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QDBusConnectionInterface* names = connection().interface();
    while (clock.elapsed() < timeoutMs) {
        if (names && names->isServiceRegistered(busName).value() == owned)
            return true;
        if (owned && process && !process->running()) {
            failure = QStringLiteral("the %1 mock ended before it was ready: %2")
                          .arg(busName, QString::fromLocal8Bit(process->errorOutput()));
            return false;
        }
        QThread::msleep(20);
    }
    failure = QStringLiteral("%1 was still %2 on the bus after %3 ms")
                  .arg(busName, owned ? QStringLiteral("not there") : QStringLiteral("there"))
                  .arg(timeoutMs);
    if (process)
        failure += QStringLiteral(": ") + QString::fromLocal8Bit(process->errorOutput());
    return false;
}

bool TestSystemBus::startTemplate(const QString& name, const QString& parametersJson)
{
    if (templateBusName(name).isEmpty() || name.contains(QLatin1Char('.'))) {
        failure = QStringLiteral("no such dbusmock template in this harness: ") + name;
        return false;
    }
    // NetworkManager is the stock template made as strict as the daemon.
    const QString templateArgument = name == QLatin1String("networkmanager")
                                         ? QStringLiteral(VANTEL_TESTSUPPORT_DIR "/strictnetworkmanager.py")
                                         : name;
    QStringList arguments{QStringLiteral("--template"), templateArgument};
    if (!parametersJson.isEmpty())
        arguments << QStringLiteral("--parameters") << parametersJson;
    return startMock(name, arguments);
}

bool TestSystemBus::startService(const QString& busName, const QString& path, const QString& interface)
{
    return startMock(busName, {busName, path, interface});
}

bool TestSystemBus::startMock(const QString& name, const QStringList& mockArguments)
{
    auto& process = templates[name];
    if (process && process->running())
        return true;
    process = std::make_unique<TestProcess>();
    // Debian's python3-dbusmock lives with the system interpreter, which may
    // not be the python3 first on PATH.
    const QStringList arguments =
        QStringList{QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--system")} + mockArguments;
    if (!process->start(QStringLiteral("/usr/bin/python3"), arguments)) {
        failure = QStringLiteral("python3-dbusmock: ") + process->error();
        return false;
    }
    return waitForName(templateBusName(name), true, process.get(), 20000);
}

bool TestSystemBus::stopTemplate(const QString& name)
{
    auto found = templates.find(name);
    if (found == templates.end())
        return true;
    found->second->stop();
    templates.erase(found);
    return waitForName(templateBusName(name), false, nullptr, 10000);
}

qint64 TestSystemBus::templatePid(const QString& name) const
{
    auto found = templates.find(name);
    return found == templates.end() ? -1 : qint64(found->second->pid());
}

QDBusMessage TestSystemBus::call(const QString& service, const QString& path, const QString& interface,
                                 const QString& method, const QVariantList& arguments) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return connection().call(message, QDBus::Block, 10000);
}

QDBusMessage TestSystemBus::mock(const QString& name, const QString& path, const QString& method,
                                 const QVariantList& arguments) const
{
    return call(templateBusName(name), path, QStringLiteral("org.freedesktop.DBus.Mock"), method, arguments);
}

int TestSystemBus::calls(const QString& name, const QString& path, const QString& method) const
{
    const QDBusMessage reply = mock(name, path, QStringLiteral("GetMethodCalls"), {method});
    if (reply.type() != QDBusMessage::ReplyMessage)
        return -1;
    const QDBusArgument list = reply.arguments().value(0).value<QDBusArgument>();
    int count = 0;
    list.beginArray();
    for (QVariant call; !list.atEnd(); ++count)
        list >> call;
    list.endArray();
    return count;
}
