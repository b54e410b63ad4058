#include "nmclient.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>

#include "nativewifi.h"
#include "nmstate.h"

namespace vantel::platform {

const char* const NmClient::settingsPath = "/org/freedesktop/NetworkManager/Settings";
const char* const NmClient::settingsInterface = "org.freedesktop.NetworkManager.Settings";
const char* const NmClient::connectionInterface = "org.freedesktop.NetworkManager.Settings.Connection";
const char* const NmClient::deviceInterface = "org.freedesktop.NetworkManager.Device";

namespace {

bool endsWithAny(const QString& name, std::initializer_list<const char*> endings)
{
    for (const char* ending : endings)
        if (name.endsWith(QLatin1String(ending)))
            return true;
    return false;
}

} // namespace

NmClient::NmClient(const QDBusConnection& connection, int budgetMs) : bus(connection), budget(budgetMs)
{
    qDBusRegisterMetaType<NmSettings>();
    qDBusRegisterMetaType<QList<QVariantMap>>();
    clock.start();
}

QDBusMessage NmClient::call(const QString& path, const QString& interface, const QString& method,
                            const QVariantList& arguments, const QString& service)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        service.isEmpty() ? QStringLiteral("org.freedesktop.NetworkManager") : service, path, interface, method);
    message.setArguments(arguments);
    // A system bus may start a service on demand; only one that runs counts.
    message.setAutoStartService(false);
    const qint64 left = budget - clock.elapsed();
    if (left <= 0)
        return message.createErrorReply(QDBusError::Timeout, QStringLiteral("no time left"));
    const QDBusMessage reply = bus.call(message, QDBus::Block, int(left));
    if (windowsError(reply) == NW_ERROR_ACCESS_DENIED)
        qWarning("NetworkManager refused %s: %s: %s", qUtf8Printable(method), qUtf8Printable(reply.errorName()),
                 qUtf8Printable(reply.errorMessage()));
    return reply;
}

QVariantMap NmClient::properties(const QString& path, const QString& interface)
{
    const QDBusMessage reply =
        call(path, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"), {interface});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return qdbus_cast<QVariantMap>(reply.arguments().first());
}

QString NmClient::findConnection(const std::function<bool(const NmSettings&)>& matches, NmSettings* settings)
{
    failure = NW_SUCCESS;
    const QDBusMessage list =
        call(QLatin1String(settingsPath), QLatin1String(settingsInterface), QStringLiteral("ListConnections"));
    failure = windowsError(list);
    if (failure != NW_SUCCESS)
        return QString();
    const QStringList paths = nmPaths(list.arguments().value(0));
    for (const QString& path : paths) {
        const QDBusMessage reply = call(path, QLatin1String(connectionInterface), QStringLiteral("GetSettings"));
        const std::uint32_t result = windowsError(reply);
        if (result == NW_ERROR_TIMEOUT || result == NW_ERROR_SERVICE_NOT_ACTIVE) {
            failure = result;
            return QString();
        }
        const NmSettings found = settingsOf(reply);
        if (result == NW_SUCCESS && matches(found)) {
            if (settings)
                *settings = found;
            return path;
        }
    }
    return QString();
}

bool NmClient::addSecrets(const QString& path, const QString& setting, NmSettings& settings)
{
    const QDBusMessage reply = call(path, QLatin1String(connectionInterface), QStringLiteral("GetSecrets"), {setting});
    failure = windowsError(reply);
    if (failure != NW_SUCCESS)
        return false;
    const QVariantMap secrets = settingsOf(reply).value(setting);
    for (auto it = secrets.cbegin(); it != secrets.cend(); ++it)
        settings[setting][it.key()] = it.value();
    return true;
}

std::uint32_t NmClient::windowsError(const QDBusMessage& reply)
{
    if (reply.type() == QDBusMessage::ReplyMessage)
        return NW_SUCCESS;
    const QString name = reply.errorName();
    if (endsWithAny(name, {".AccessDenied", ".PermissionDenied", ".NotAuthorized"}))
        return NW_ERROR_ACCESS_DENIED;
    if (endsWithAny(name, {".NoReply", ".Timeout", ".TimedOut"}))
        return NW_ERROR_TIMEOUT;
    if (endsWithAny(name, {".ServiceUnknown", ".NameHasNoOwner", ".Disconnected", ".NoServer"}) || name.isEmpty())
        return NW_ERROR_SERVICE_NOT_ACTIVE;
    if (endsWithAny(name, {".UnknownObject", ".UnknownMethod", ".UnknownInterface", ".UnknownConnection",
                           ".UnknownDevice", ".DoesNotExist", ".ConnectionNotAvailable"}))
        return NW_ERROR_NOT_FOUND;
    if (endsWithAny(name, {".NotActive", ".DependencyFailed", ".NotAllowed", ".IncompatibleConnection"}))
        return NW_ERROR_INVALID_STATE;
    return NW_ERROR_INVALID_PARAMETER;
}

QVariant NmClient::settingsArgument(const NmSettings& settings)
{
    return QVariant::fromValue(settings);
}

NmSettings NmClient::settingsOf(const QDBusMessage& reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return qdbus_cast<NmSettings>(reply.arguments().first());
}

} // namespace vantel::platform
