// A private system bus for a test: a dbus-daemon of its own on a socket in a
// temporary folder, with python3-dbusmock's templates (networkmanager,
// logind, upower) started on it and stopped again by their process ids.
// start() points DBUS_SYSTEM_BUS_ADDRESS at it, so the code under test finds
// it through QDBusConnection::systemBus(): start it before that is first used,
// and use one bus for the whole test process.
#ifndef TESTSYSTEMBUS_H
#define TESTSYSTEMBUS_H

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QTemporaryDir>
#include <QVariantList>

#include <map>
#include <memory>

#include "testprocess.h"

class TestSystemBus
{
public:
    TestSystemBus() = default;
    ~TestSystemBus();

    // False, with error() saying why, when the daemon does not start.
    bool start();
    const QString& address() const { return busAddress; }

    // Starts `name` (a python3-dbusmock template) with its JSON parameters and
    // waits until its bus name is owned. A template already running is left.
    bool startTemplate(const QString& name, const QString& parametersJson = QString());
    // A plain dbusmock service: `busName` with one object at `path`, whose
    // main interface is `interface`; later calls name it by its bus name.
    bool startService(const QString& busName, const QString& path, const QString& interface);
    // Ends the template by its process id and waits until its name is gone.
    bool stopTemplate(const QString& name);
    qint64 templatePid(const QString& name) const;

    // The test's own connection to the bus (not the library's systemBus()).
    QDBusConnection connection() const;

    // A blocking call; an error reply comes back as the message.
    QDBusMessage call(const QString& service, const QString& path, const QString& interface,
                      const QString& method, const QVariantList& arguments = {}) const;
    // A method of dbusmock's org.freedesktop.DBus.Mock interface on `path` of
    // the template `name` (AddWiFiDevice, AddMethod, GetMethodCalls, ...).
    QDBusMessage mock(const QString& name, const QString& path, const QString& method,
                      const QVariantList& arguments = {}) const;
    // How often `method` of `path` was called, as the template's
    // GetMethodCalls tells; -1 when it does not answer.
    int calls(const QString& name, const QString& path, const QString& method) const;

    const QString& error() const { return failure; }

    // The bus name a template claims; empty for one this helper does not
    // know. A service of startService() is its own bus name.
    static QString templateBusName(const QString& name);

private:
    bool startMock(const QString& name, const QStringList& mockArguments);
    bool waitForName(const QString& busName, bool owned, TestProcess* process, int timeoutMs);

    QTemporaryDir dir;
    TestProcess daemon;
    std::map<QString, std::unique_ptr<TestProcess>> templates;
    QString busAddress;
    QString connectionName;
    QString failure;
};

#endif
