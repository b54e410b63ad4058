#include "nmsettings.h"

#include <QHostAddress>
#include <QtEndian>

#include "nmstate.h"

namespace vantel::platform {

namespace {

bool ipv4(const std::string& text, quint32& address)
{
    QHostAddress parsed;
    if (!parsed.setAddress(QString::fromStdString(text)) || parsed.protocol() != QAbstractSocket::IPv4Protocol)
        return false;
    address = parsed.toIPv4Address();
    return true;
}

// The prefix length of a contiguous mask; -1 for another value.
int prefixLength(quint32 mask)
{
    int length = 0;
    while (length < 32 && (mask & (0x80000000u >> length)))
        ++length;
    return (length == 32 || (mask << length) == 0) ? length : -1;
}

} // namespace

NmSettings nmProfileSettings(const WlanProfile& profile, const QString& uuid)
{
    NmSettings settings;
    settings[QStringLiteral("connection")] = {{QStringLiteral("id"), QString::fromStdString(profile.name)},
                                              {QStringLiteral("uuid"), uuid},
                                              {QStringLiteral("type"), QStringLiteral("802-11-wireless")}};
    // NetworkManager connects automatically unless told otherwise.
    if (!profile.autoConnect)
        settings[QStringLiteral("connection")][QStringLiteral("autoconnect")] = false;
    QVariantMap& wireless = settings[QStringLiteral("802-11-wireless")];
    wireless[QStringLiteral("ssid")] = QByteArray::fromStdString(profile.ssid);
    wireless[QStringLiteral("hidden")] = profile.nonBroadcast;
    if (profile.bssType == dot11_BSS_type_infrastructure)
        wireless[QStringLiteral("mode")] = QStringLiteral("infrastructure");
    else if (profile.bssType == dot11_BSS_type_independent)
        wireless[QStringLiteral("mode")] = QStringLiteral("adhoc");

    const QString key = QString::fromStdString(profile.keyMaterial);
    if (profile.cipher == DOT11_CIPHER_ALGO_WEP) {
        QVariantMap& security = settings[QStringLiteral("802-11-wireless-security")];
        security[QStringLiteral("key-mgmt")] = QStringLiteral("none");
        security[QStringLiteral("auth-alg")] = profile.auth == DOT11_AUTH_ALGO_80211_SHARED_KEY ? QStringLiteral("shared")
                                                                                                : QStringLiteral("open");
        security[QStringLiteral("wep-tx-keyidx")] = uint(profile.keyIndex);
        security[QStringLiteral("wep-key-type")] = uint(profile.passphrase ? NM_WEP_KEY_TYPE_PASSPHRASE : NM_WEP_KEY_TYPE_KEY);
        if (!key.isEmpty())
            security[QStringLiteral("wep-key%1").arg(profile.keyIndex)] = key;
    } else if (profile.cipher != DOT11_CIPHER_ALGO_NONE) {
        QVariantMap& security = settings[QStringLiteral("802-11-wireless-security")];
        security[QStringLiteral("key-mgmt")] = QStringLiteral("wpa-psk");
        if (!key.isEmpty())
            security[QStringLiteral("psk")] = key;
    }
    return settings;
}

bool nmIsProfileFor(const NmSettings& settings, const QByteArray& ssid)
{
    return nmPlain(settings.value(QStringLiteral("connection")).value(QStringLiteral("type"))).toString()
               == QLatin1String("802-11-wireless")
           && nmPlain(settings.value(QStringLiteral("802-11-wireless")).value(QStringLiteral("ssid"))).toByteArray()
                  == ssid;
}

NmSettings nmProfileOver(NmSettings existing, const WlanProfile& profile)
{
    const QString securityName = QStringLiteral("802-11-wireless-security");
    const QString uuid = nmPlain(existing.value(QStringLiteral("connection")).value(QStringLiteral("uuid"))).toString();
    const NmSettings fresh = nmProfileSettings(profile, uuid);

    QVariantMap& wireless = existing[QStringLiteral("802-11-wireless")];
    const QVariantMap freshWireless = fresh.value(QStringLiteral("802-11-wireless"));
    for (auto it = freshWireless.cbegin(); it != freshWireless.cend(); ++it)
        wireless[it.key()] = it.value();

    if (!fresh.contains(securityName)) {
        existing.remove(securityName);
        wireless.remove(QStringLiteral("security"));
        return existing;
    }
    const QVariantMap freshSecurity = fresh.value(securityName);
    const QString keyManagement = QStringLiteral("key-mgmt");
    QVariantMap security = existing.value(securityName);
    // Another kind of security: nothing of the old one applies.
    if (nmPlain(security.value(keyManagement)).toString() != freshSecurity.value(keyManagement).toString())
        security.clear();
    for (auto it = freshSecurity.cbegin(); it != freshSecurity.cend(); ++it)
        security[it.key()] = it.value();
    existing[securityName] = security;
    return existing;
}

bool nmSetIpv4(NmSettings& settings, const IpInterfaceSettings& ip)
{
    QVariantMap next = settings.value(QStringLiteral("ipv4"));
    // The old form would win over address-data and gateway.
    next.remove(QStringLiteral("addresses"));
    if (ip.dhcp) {
        next[QStringLiteral("method")] = QStringLiteral("auto");
        next[QStringLiteral("address-data")] = QVariant::fromValue(QList<QVariantMap>());
        next.remove(QStringLiteral("gateway"));
        next[QStringLiteral("dns")] = QVariant::fromValue(QList<uint>());
        next[QStringLiteral("ignore-auto-dns")] = false;
    } else {
        quint32 address = 0, mask = 0, gateway = 0, dns1 = 0, dns2 = 0;
        if (ip.dnsServers.size() < 2 || !ipv4(ip.address, address) || !ipv4(ip.mask, mask)
            || !ipv4(ip.gateway, gateway) || !ipv4(ip.dnsServers[0], dns1) || !ipv4(ip.dnsServers[1], dns2))
            return false;
        const int prefix = prefixLength(mask);
        if (prefix < 0)
            return false;
        next[QStringLiteral("method")] = QStringLiteral("manual");
        next[QStringLiteral("address-data")] = QVariant::fromValue(QList<QVariantMap>{
            {{QStringLiteral("address"), QString::fromStdString(ip.address)},
             {QStringLiteral("prefix"), uint(prefix)}}});
        next[QStringLiteral("gateway")] = QString::fromStdString(ip.gateway);
        // Network byte order, as NetworkManager keeps IPv4 addresses in integers.
        next[QStringLiteral("dns")] = QVariant::fromValue(QList<uint>{qToBigEndian(dns1), qToBigEndian(dns2)});
    }
    settings[QStringLiteral("ipv4")] = next;
    return true;
}

} // namespace vantel::platform
