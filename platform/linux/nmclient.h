// Calls to NetworkManager (and its neighbours on the system bus) made from
// the thread that needs the answer, for the work that must go out: storing
// a profile, starting a connection, reading or changing an adapter's
// addresses. All calls of one NmClient share one time budget of a few
// seconds, so that a peer that does not answer holds the caller no longer.
// Failures read as Windows error numbers.
#ifndef VANTEL_PLATFORM_NMCLIENT_H
#define VANTEL_PLATFORM_NMCLIENT_H

#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QVariantMap>

#include <cstdint>
#include <functional>

namespace vantel::platform {

using NmSettings = QMap<QString, QVariantMap>;

class NmClient
{
public:
    static const char* const settingsPath;
    static const char* const settingsInterface;
    static const char* const connectionInterface;
    static const char* const deviceInterface;

    explicit NmClient(const QDBusConnection& bus, int budgetMs = 3000);

    // A method of NetworkManager, or of `service`; a timeout error once the
    // budget is spent. A refusal (access denied) is logged as one line that
    // names the method and NetworkManager's error.
    QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                      const QVariantList& arguments = {}, const QString& service = QString());
    // Every property of `interface` (Properties.GetAll); empty on failure.
    QVariantMap properties(const QString& path, const QString& interface);
    // The first saved connection whose settings `matches`, with them;
    // empty when there is none. error() tells a failed search from none.
    QString findConnection(const std::function<bool(const NmSettings&)>& matches, NmSettings* settings = nullptr);
    // Adds the secrets of `setting` of the connection at `path` (GetSecrets)
    // to `settings`, which Update would otherwise lose. False, with error(),
    // when NetworkManager did not answer them.
    bool addSecrets(const QString& path, const QString& setting, NmSettings& settings);
    std::uint32_t error() const { return failure; }

    // 0 for a reply; otherwise the Windows error a failure means: 5 not
    // allowed, 87 settings NetworkManager refused, 1062 no NetworkManager,
    // 1168 no such object, 1460 no answer in time, 5023 the device is not
    // in a state that allows it.
    static std::uint32_t windowsError(const QDBusMessage& reply);
    // Marshalled as D-Bus wants a connection's settings (a{sa{sv}}).
    static QVariant settingsArgument(const NmSettings& settings);
    static NmSettings settingsOf(const QDBusMessage& reply);

private:
    QDBusConnection bus;
    QElapsedTimer clock;
    const int budget;
    std::uint32_t failure = 0;
};

} // namespace vantel::platform

#endif
