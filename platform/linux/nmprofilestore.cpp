#include "nmprofilestore.h"

#include <QUuid>

#include "nativewifi.h"
#include "nmsettings.h"
#include "nmstate.h"
#include "wlanprofile.h"

namespace vantel::platform {

NmProfileStore::NmProfileStore(const QDBusConnection& bus) : nm(bus) {}

std::uint32_t NmProfileStore::store(const std::string& profileXml, bool overwrite)
{
    WlanProfile profile;
    if (parseWlanProfile(profileXml, profile) != NW_SUCCESS)
        return NW_ERROR_BAD_PROFILE;
    NmSettings existing;
    const QString path = nm.findConnection(QString::fromStdString(profile.name), &existing);
    if (nm.error() != NW_SUCCESS)
        return nm.error();
    if (!path.isEmpty() && !overwrite)
        return NW_ERROR_ALREADY_EXISTS;
    // Overwriting keeps the connection's identity.
    const QString uuid = path.isEmpty()
                             ? QUuid::createUuid().toString(QUuid::WithoutBraces)
                             : nmPlain(existing.value(QStringLiteral("connection")).value(QStringLiteral("uuid"))).toString();
    const QVariantList settings{NmClient::settingsArgument(nmProfileSettings(profile, uuid))};
    const QDBusMessage reply =
        path.isEmpty() ? nm.call(QLatin1String(NmClient::settingsPath), QLatin1String(NmClient::settingsInterface),
                                 QStringLiteral("AddConnection"), settings)
                       : nm.call(path, QLatin1String(NmClient::connectionInterface), QStringLiteral("Update"), settings);
    const std::uint32_t result = NmClient::windowsError(reply);
    // Settings NetworkManager refuses make a profile Windows would refuse.
    return result == NW_ERROR_INVALID_PARAMETER ? NW_ERROR_BAD_PROFILE : result;
}

std::uint32_t NmProfileStore::remove(const std::string& profileName)
{
    const QString path = find(profileName);
    if (path.isEmpty())
        return nm.error() != NW_SUCCESS ? nm.error() : NW_ERROR_NOT_FOUND;
    return NmClient::windowsError(nm.call(path, QLatin1String(NmClient::connectionInterface), QStringLiteral("Delete")));
}

QString NmProfileStore::find(const std::string& profileName)
{
    return nm.findConnection(QString::fromStdString(profileName));
}

} // namespace vantel::platform
