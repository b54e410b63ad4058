#include "linuxnativewifi.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QThread>

#include <atomic>
#include <chrono>

#include "nmfollower.h"

namespace vantel::platform {

namespace {

constexpr auto kReadyWait = std::chrono::seconds(5);
constexpr int kCallTimeoutMs = 3000;

std::atomic<int> connectionCount{0};

// Runs the follower: made, started and destroyed in the thread itself, so
// that its D-Bus connection and timers belong to it.
class FollowerThread : public QThread
{
public:
    FollowerThread(QString connectionName, NmFollower::Sink handOn, std::function<void()> whenStarted)
        : name(std::move(connectionName)), sink(std::move(handOn)), started(std::move(whenStarted))
    {
    }

protected:
    void run() override
    {
        NmFollower follower(name, sink);
        follower.start();
        started();
        exec();
    }

private:
    const QString name;
    const NmFollower::Sink sink;
    const std::function<void()> started;
};

std::uint32_t windowsError(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ErrorMessage)
        return NW_SUCCESS;
    const QString name = reply.errorName();
    if (name == QDBusError::errorString(QDBusError::AccessDenied)
        || name.endsWith(QLatin1String(".PermissionDenied")) || name.endsWith(QLatin1String(".NotAuthorized")))
        return NW_ERROR_ACCESS_DENIED;
    return NW_ERROR_SERVICE_NOT_ACTIVE;
}

} // namespace

LinuxNativeWifi::LinuxNativeWifi() = default;

LinuxNativeWifi::~LinuxNativeWifi()
{
    stop();
}

void LinuxNativeWifi::follow(bool on)
{
    if (!on) {
        stop();
        return;
    }
    connectionName = QStringLiteral("vantel-nativewifi-%1").arg(++connectionCount);
    NmFollower::Sink sink;
    sink.publish = [this](WifiMachine machine, std::vector<NmDevicePath> paths) {
        {
            std::lock_guard<std::mutex> lock(pathLock);
            devicePaths = std::move(paths);
        }
        publish(std::move(machine));
    };
    sink.notify = [this](const GUID& guid, std::uint32_t code, const WLAN_CONNECTION_NOTIFICATION_DATA* data) {
        notify(guid, code, data);
    };
    {
        std::lock_guard<std::mutex> lock(readyLock);
        ready = false;
    }
    thread = std::make_unique<FollowerThread>(connectionName, sink, [this] {
        std::lock_guard<std::mutex> lock(readyLock);
        ready = true;
        readyChanged.notify_all();
    });
    thread->start();
    std::unique_lock<std::mutex> lock(readyLock);
    readyChanged.wait_for(lock, kReadyWait, [this] { return ready; });
}

void LinuxNativeWifi::stop()
{
    if (!thread)
        return;
    thread->quit();
    thread->wait();
    thread.reset();
    publish(WifiMachine());
}

QString LinuxNativeWifi::devicePath(const GUID& interfaceGuid)
{
    std::lock_guard<std::mutex> lock(pathLock);
    for (const NmDevicePath& device : devicePaths)
        if (device.guid == interfaceGuid)
            return device.path;
    return QString();
}

std::uint32_t LinuxNativeWifi::switchRadio(const GUID&, bool on)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        QString::fromLatin1(NmFollower::service), QString::fromLatin1(NmFollower::managerPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"));
    message.setArguments({QString::fromLatin1(NmFollower::service), QStringLiteral("WirelessEnabled"),
                          QVariant::fromValue(QDBusVariant(on))});
    message.setAutoStartService(false);
    return windowsError(QDBusConnection(connectionName).call(message, QDBus::Block, kCallTimeoutMs));
}

std::uint32_t LinuxNativeWifi::requestScan(const GUID& interfaceGuid)
{
    const QString path = devicePath(interfaceGuid);
    if (path.isEmpty())
        return NW_ERROR_NOT_FOUND;
    QDBusMessage message = QDBusMessage::createMethodCall(QString::fromLatin1(NmFollower::service), path,
                                                          QStringLiteral("org.freedesktop.NetworkManager.Device.Wireless"),
                                                          QStringLiteral("RequestScan"));
    message.setArguments({QVariantMap()});
    message.setAutoStartService(false);
    // Its outcome shows as a new scan, or none.
    QDBusConnection(connectionName).asyncCall(message);
    return NW_SUCCESS;
}

} // namespace vantel::platform
