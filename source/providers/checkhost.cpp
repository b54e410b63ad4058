#include "providers/checkhost.h"

#include <QUrl>

namespace {
// The host of the settings' default check address: a site built to answer
// connectivity checks on port 80.
const char kFallbackHost[] = "connectivitycheck.gstatic.com";
const int kHttpPort = 80;
} // namespace

CheckHost vantel_checkHost(const QString& address)
{
    CheckHost host;
    // Strict: a value with blanks or stray characters is no URL, not a guess.
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    if (url.isValid() && !url.host().isEmpty()) {
        host.name = url.host();
        host.port = quint16(url.port(kHttpPort));
    } else {
        host.name = QLatin1String(kFallbackHost);
        host.port = kHttpPort;
    }
    return host;
}
