// Debian's own NetworkManager for a test, on its private system bus (start
// the TestSystemBus first) and in a network namespace of the test's own: the
// calling thread enters a fresh one, so the daemon, the veth pairs made for
// it and the code under test on that thread see the same interfaces and none
// of the machine's. The daemon runs in a mount namespace of its own too, with
// a read-only sysfs of that network namespace (which makes it take devices
// without udev, as in a container) and empty /run and /var/lib/NetworkManager,
// so that nothing it writes reaches the machine. Its keyfiles, state and
// configuration live in a temporary folder; it is ended by its process id.
#ifndef TESTREALNETWORKMANAGER_H
#define TESTREALNETWORKMANAGER_H

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantMap>

#include "testprocess.h"
#include "testsystembus.h"

class TestRealNetworkManager
{
public:
    using Settings = QMap<QString, QVariantMap>;

    explicit TestRealNetworkManager(TestSystemBus& systemBus);
    ~TestRealNetworkManager();

    // Empty when the daemon can run here; otherwise why not, for a skip
    // message: not root, or NetworkManager, unshare or ip missing.
    static QString unavailable();

    // Moves the calling thread (and what it starts later) into a new network
    // namespace with its loopback up. Call it once, before start().
    bool enterOwnNetworkNamespace();
    // A veth pair in that namespace, `peer` up; only interfaces named to
    // start() are managed, so the peer stays the daemon's "unmanaged" one.
    bool addVeth(const QString& name, const QString& peer);

    // Starts the daemon managing `managedInterfaces` (none: every device
    // unmanaged) and waits until its Settings service answers.
    bool start(const QStringList& managedInterfaces = {});
    // SIGTERM, and waits until it is gone and its name is off the bus.
    bool stop();
    bool running();

    // Its settings service, as a client sees it.
    QString addConnection(const Settings& settings);
    QStringList connections();
    Settings settings(const QString& connectionPath);
    // The secrets of one setting ("802-11-wireless-security").
    QVariantMap secrets(const QString& connectionPath, const QString& setting);
    // The connection whose connection.id is `id`; empty when none.
    QString connectionNamed(const QString& id);
    // A device property ("State", "Ip4Config") of the interface `name`.
    QVariant deviceProperty(const QString& name, const QString& property);
    // Waits until the interface's device reaches `state` (100: activated).
    bool waitForDeviceState(const QString& name, uint state, int timeoutMs = 10000);

    QString keyfileFolder() const;
    // The end of the daemon's debug log, for a failure message.
    QByteArray log();
    const QString& error() const { return failure; }

    // a{sa{sv}} as the daemon wants it.
    static QVariant settingsArgument(const Settings& settings);

private:
    QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments = {});
    bool run(const QString& program, const QStringList& arguments);
    bool writeConfiguration(const QStringList& managedInterfaces);

    TestSystemBus& bus;
    QTemporaryDir dir;
    TestProcess daemon;
    QString failure;
};

#endif
