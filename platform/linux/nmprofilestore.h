// WLAN profiles kept as NetworkManager's saved connections. A network's
// profile is the Wi-Fi connection with its SSID bytes, whatever its id (a
// profile the user made in NetworkManager included); a profile is named as
// its SSID gives it (wlanProfileName), or by the raw SSID bytes. Connections of other types, or of other networks,
// are never changed, whatever their id.
// Every call of one store shares its client's time budget; failures read as
// Windows error numbers.
#ifndef VANTEL_PLATFORM_NMPROFILESTORE_H
#define VANTEL_PLATFORM_NMPROFILESTORE_H

#include <string>

#include "nmclient.h"

namespace vantel::platform {

class NmProfileStore
{
public:
    explicit NmProfileStore(const QDBusConnection& bus);

    // Adds a connection, or changes the saved one only where the document
    // says (nmProfileOver). NW_ERROR_BAD_PROFILE for a document that is not
    // a profile, or whose settings NetworkManager refuses;
    // NW_ERROR_ALREADY_EXISTS when the profile is saved and `overwrite` is
    // false.
    std::uint32_t store(const std::string& profileXml, bool overwrite);
    std::uint32_t remove(const std::string& profileName);
    // The saved connection of the profile; empty, with client().error()
    // telling a failed search from none, when there is none.
    QString find(const std::string& profileName);

    NmClient& client() { return nm; }

private:
    QString findSsid(const QByteArray& ssid, NmSettings* settings = nullptr);

    NmClient nm;
};

} // namespace vantel::platform

#endif
