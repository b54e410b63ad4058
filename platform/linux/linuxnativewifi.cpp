#include "linuxnativewifi.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>

#include "nmclient.h"
#include "nmfollower.h"
#include "nmprofilestore.h"

namespace vantel::platform {

namespace {

// How long opening waits for the follower's first picture of the devices, so
// that the first query after it finds them. Kept short: the host's GUI thread
// waits here when NetworkManager holds its name but does not answer; its
// state then arrives as notifications.
constexpr auto kReadyWait = std::chrono::milliseconds(2000);

std::atomic<int> connectionCount{0};

// How long closing waits for the follower to end. A follower held longer
// (in a call to a NetworkManager that does not answer) is left to end by
// itself: nothing it does reaches the service any more.
constexpr unsigned long kStopWaitMs = 500;

// Followers left running; each ends within one call's limit.
class Orphans
{
public:
    ~Orphans()
    {
        for (auto& thread : threads)
            thread->wait();
    }
    void add(std::unique_ptr<QThread> thread)
    {
        std::lock_guard<std::mutex> guard(lock);
        // isFinished() is already true while the thread still runs Qt's own
        // end (finished signal, event dispatcher): only a zero wait that
        // succeeds says the object may go.
        threads.erase(std::remove_if(threads.begin(), threads.end(),
                                     [](const std::unique_ptr<QThread>& t) { return t->wait(0); }),
                      threads.end());
        threads.push_back(std::move(thread));
    }

private:
    std::mutex lock;
    std::vector<std::unique_ptr<QThread>> threads;
};

Orphans orphans;

// An attempt's time limit: 60 s unless VANTEL_WIFI_CONNECT_TIMEOUT_MS says otherwise.
int connectTimeoutMs()
{
    bool ok = false;
    const int ms = qEnvironmentVariableIntValue("VANTEL_WIFI_CONNECT_TIMEOUT_MS", &ok);
    return ok && ms > 0 ? ms : 60000;
}

} // namespace

// Runs the follower: made, started and destroyed in the thread itself, so
// that its D-Bus connection and timers belong to it.
class LinuxNativeWifi::FollowerThread : public QThread
{
public:
    FollowerThread(QString connectionName, NmFollower::Sink handOn)
        : name(std::move(connectionName)), sink(std::move(handOn))
    {
    }

    void post(std::function<void(NmFollower&)> work)
    {
        std::lock_guard<std::mutex> lock(followerLock);
        if (follower)
            follower->post(std::move(work));
    }

protected:
    void run() override
    {
        NmFollower running(name, sink);
        {
            std::lock_guard<std::mutex> lock(followerLock);
            follower = &running;
        }
        running.start();
        exec();
        std::lock_guard<std::mutex> lock(followerLock);
        follower = nullptr;
    }

private:
    const QString name;
    const NmFollower::Sink sink;
    std::mutex followerLock;
    NmFollower* follower = nullptr;
};

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
    gate = std::make_shared<Gate>();
    NmFollower::Sink sink;
    sink.publish = [this, open = gate](WifiMachine machine, std::vector<NmDevicePath> paths) {
        std::lock_guard<std::mutex> passing(open->lock);
        if (!open->open)
            return;
        {
            std::lock_guard<std::mutex> lock(pathLock);
            devicePaths = std::move(paths);
        }
        publish(std::move(machine));
    };
    sink.notify = [this, open = gate](const GUID& guid, std::uint32_t code,
                                      const WLAN_CONNECTION_NOTIFICATION_DATA* data) {
        std::lock_guard<std::mutex> passing(open->lock);
        if (open->open)
            notify(guid, code, data);
    };
    {
        std::lock_guard<std::mutex> lock(readyLock);
        ready = false;
    }
    sink.loaded = [this, open = gate] {
        std::lock_guard<std::mutex> passing(open->lock);
        if (!open->open)
            return;
        std::lock_guard<std::mutex> lock(readyLock);
        ready = true;
        readyChanged.notify_all();
    };
    thread = std::make_unique<FollowerThread>(connectionName, sink);
    thread->start();
    std::unique_lock<std::mutex> lock(readyLock);
    readyChanged.wait_for(lock, kReadyWait, [this] { return ready; });
}

void LinuxNativeWifi::stop()
{
    if (!thread)
        return;
    thread->quit();
    if (!thread->wait(kStopWaitMs)) {
        {
            std::lock_guard<std::mutex> closing(gate->lock);
            gate->open = false;
        }
        orphans.add(std::move(thread));
    }
    thread.reset();
    gate.reset();
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

void LinuxNativeWifi::onFollower(std::function<void(NmFollower&)> work)
{
    if (thread)
        thread->post(std::move(work));
}

std::uint32_t LinuxNativeWifi::switchRadio(const GUID&, bool on)
{
    NmClient nm{QDBusConnection(connectionName)};
    return NmClient::windowsError(nm.call(QString::fromLatin1(NmFollower::managerPath),
                                          QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
                                          {QString::fromLatin1(NmFollower::service), QStringLiteral("WirelessEnabled"),
                                           QVariant::fromValue(QDBusVariant(on))}));
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

std::uint32_t LinuxNativeWifi::storeProfile(const GUID&, const std::string& profileXml, bool overwrite,
                                           std::uint32_t& reasonCode)
{
    const std::uint32_t result = NmProfileStore(QDBusConnection(connectionName)).store(profileXml, overwrite);
    if (result == NW_SUCCESS)
        reasonCode = NW_SUCCESS;
    return result;
}

std::uint32_t LinuxNativeWifi::removeProfile(const GUID&, const std::string& profileName)
{
    return NmProfileStore(QDBusConnection(connectionName)).remove(profileName);
}

std::uint32_t LinuxNativeWifi::startConnection(const GUID& interfaceGuid, const std::string& profileName)
{
    const QString device = devicePath(interfaceGuid);
    if (device.isEmpty())
        return NW_ERROR_NOT_FOUND;
    const QString profile = QString::fromStdString(profileName);
    NmProfileStore profiles{QDBusConnection(connectionName)};
    NmClient& nm = profiles.client();
    const QString path = profiles.find(profileName);
    if (path.isEmpty())
        return nm.error() != NW_SUCCESS ? nm.error() : NW_ERROR_NOT_FOUND;
    // Told before NetworkManager is asked, so that no outcome can pass unseen.
    const int timeoutMs = connectTimeoutMs();
    onFollower([device, profile, path, timeoutMs](NmFollower& follower) {
        follower.expect(device, profile, path, timeoutMs);
    });
    const QDBusMessage reply = nm.call(QString::fromLatin1(NmFollower::managerPath),
                                       QString::fromLatin1(NmFollower::service), QStringLiteral("ActivateConnection"),
                                       {QVariant::fromValue(QDBusObjectPath(path)), QVariant::fromValue(QDBusObjectPath(device)),
                                        QVariant::fromValue(QDBusObjectPath(QStringLiteral("/")))});
    const std::uint32_t result = NmClient::windowsError(reply);
    if (result != NW_SUCCESS)
        onFollower([device, profile](NmFollower& follower) { follower.forget(device, profile); });
    return result == NW_ERROR_INVALID_PARAMETER ? NW_ERROR_BAD_PROFILE : result;
}

std::uint32_t LinuxNativeWifi::endConnection(const GUID& interfaceGuid)
{
    const QString device = devicePath(interfaceGuid);
    if (device.isEmpty())
        return NW_ERROR_NOT_FOUND;
    NmClient nm{QDBusConnection(connectionName)};
    const std::uint32_t result =
        NmClient::windowsError(nm.call(device, QLatin1String(NmClient::deviceInterface), QStringLiteral("Disconnect")));
    // Not connected: nothing to end, as Windows sees it.
    return result == NW_ERROR_INVALID_STATE ? NW_SUCCESS : result;
}

} // namespace vantel::platform
