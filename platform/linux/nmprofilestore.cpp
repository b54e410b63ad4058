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
    const QString path = findSsid(QByteArray::fromStdString(profile.ssid), &existing);
    if (nm.error() != NW_SUCCESS)
        return nm.error();
    if (!path.isEmpty() && !overwrite)
        return NW_ERROR_ALREADY_EXISTS;
    QDBusMessage reply;
    if (path.isEmpty()) {
        const NmSettings settings = nmProfileSettings(profile, QUuid::createUuid().toString(QUuid::WithoutBraces));
        reply = nm.call(QLatin1String(NmClient::settingsPath), QLatin1String(NmClient::settingsInterface),
                        QStringLiteral("AddConnection"), {NmClient::settingsArgument(settings)});
    } else {
        // Update replaces the whole connection, secrets included: they are
        // read first, so that what the document leaves out stays, and
        // without them nothing is changed.
        const QString security = QStringLiteral("802-11-wireless-security");
        if (existing.contains(security) && !nm.addSecrets(path, security, existing))
            return nm.error();
        reply = nm.call(path, QLatin1String(NmClient::connectionInterface), QStringLiteral("Update"),
                        {NmClient::settingsArgument(nmProfileOver(existing, profile))});
    }
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
    // Named as the SSID gives it, or by the raw SSID bytes.
    return nm.findConnection(
        [&profileName](const NmSettings& found) {
            const NmConnection connection = nmConnection(found);
            return connection.wireless
                   && (nmProfileName(connection).toStdString() == profileName
                       || connection.ssid.toStdString() == profileName);
        },
        nullptr);
}

QString NmProfileStore::findSsid(const QByteArray& ssid, NmSettings* settings)
{
    return nm.findConnection([&ssid](const NmSettings& found) { return nmIsProfileFor(found, ssid); }, settings);
}

} // namespace vantel::platform
