#include "wlanprofile.h"

#include <QMap>
#include <QStringList>
#include <QXmlStreamReader>

namespace vantel::platform {

const char* const wlanProfileNamespace = "http://www.microsoft.com/networking/WLAN/profile/v1";

namespace {

// Each element's text by its path of local names ("WLANProfile/name"); the
// first of a path counts. Texts are kept as written: a key or an SSID may
// begin or end with blanks.
bool readElements(const std::string& document, QMap<QString, QString>& texts)
{
    QXmlStreamReader reader(QByteArray::fromStdString(document));
    QStringList path;
    QString text;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (path.isEmpty()
                && (reader.name() != QLatin1String("WLANProfile")
                    || reader.namespaceUri() != QLatin1String(wlanProfileNamespace)))
                return false;
            path << reader.name().toString();
            text.clear();
            break;
        case QXmlStreamReader::Characters:
            text += reader.text();
            break;
        case QXmlStreamReader::EndElement: {
            const QString key = path.join(QLatin1Char('/'));
            if (!texts.contains(key))
                texts.insert(key, text);
            path.removeLast();
            text.clear();
            break;
        }
        default:
            break;
        }
    }
    return !reader.hasError() && !texts.isEmpty();
}

// A keyword element's text, without the blanks around it.
QString word(const QMap<QString, QString>& texts, const QString& key, const QString& absent = QString())
{
    const auto found = texts.constFind(key);
    return found == texts.constEnd() ? absent : found->trimmed();
}

bool isHex(const QString& text)
{
    for (const QChar c : text)
        if (!c.isDigit() && !(c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f')))
            return false;
    return true;
}

// The SSID's bytes from its name (one byte a character) or its hex form.
bool ssidBytes(const QMap<QString, QString>& texts, std::string& ssid)
{
    const QString hex = word(texts, QStringLiteral("WLANProfile/SSIDConfig/SSID/hex"));
    const QString name = texts.value(QStringLiteral("WLANProfile/SSIDConfig/SSID/name"));
    QByteArray bytes;
    if (!hex.isEmpty()) {
        if (hex.size() % 2 || !isHex(hex))
            return false;
        bytes = QByteArray::fromHex(hex.toLatin1());
    } else {
        for (const QChar c : name) {
            if (c.unicode() > 0xff)
                return false;
            bytes.append(char(c.unicode()));
        }
    }
    ssid = bytes.toStdString();
    return !ssid.empty() && ssid.size() <= 32;
}

int indexOf(const char* const* names, int count, const QString& text)
{
    for (int i = 0; i < count; ++i)
        if (text == QLatin1String(names[i]))
            return i;
    return -1;
}

bool security(const QMap<QString, QString>& texts, WlanProfile& profile)
{
    const QString base = QStringLiteral("WLANProfile/MSM/security/");
    static const char* const auths[] = {"open", "shared", "WPA", "WPAPSK", "WPA2", "WPA2PSK"};
    static const std::uint32_t authIds[] = {DOT11_AUTH_ALGO_80211_OPEN, DOT11_AUTH_ALGO_80211_SHARED_KEY,
                                            DOT11_AUTH_ALGO_WPA,        DOT11_AUTH_ALGO_WPA_PSK,
                                            DOT11_AUTH_ALGO_RSNA,       DOT11_AUTH_ALGO_RSNA_PSK};
    static const char* const ciphers[] = {"none", "WEP", "TKIP", "AES"};
    static const std::uint32_t cipherIds[] = {DOT11_CIPHER_ALGO_NONE, DOT11_CIPHER_ALGO_WEP, DOT11_CIPHER_ALGO_TKIP,
                                              DOT11_CIPHER_ALGO_CCMP};
    const int auth = indexOf(auths, 6, word(texts, base + QStringLiteral("authEncryption/authentication")));
    const int cipher = indexOf(ciphers, 4, word(texts, base + QStringLiteral("authEncryption/encryption")));
    if (auth < 0 || cipher < 0)
        return false;
    profile.auth = authIds[auth];
    profile.cipher = cipherIds[cipher];
    const bool wep = profile.cipher == DOT11_CIPHER_ALGO_WEP;
    const bool psk = profile.auth == DOT11_AUTH_ALGO_WPA_PSK || profile.auth == DOT11_AUTH_ALGO_RSNA_PSK;
    const bool pairs = (profile.auth == DOT11_AUTH_ALGO_80211_OPEN && (wep || profile.cipher == DOT11_CIPHER_ALGO_NONE))
                       || (profile.auth == DOT11_AUTH_ALGO_80211_SHARED_KEY && wep)
                       || (psk && (profile.cipher == DOT11_CIPHER_ALGO_TKIP || profile.cipher == DOT11_CIPHER_ALGO_CCMP));
    if (!pairs)
        return false;

    const QString keyType = word(texts, base + QStringLiteral("sharedKey/keyType"));
    if (!keyType.isEmpty() && keyType != QLatin1String("passPhrase") && keyType != QLatin1String("networkKey"))
        return false;
    if (word(texts, base + QStringLiteral("sharedKey/protected")) == QLatin1String("true"))
        return false;
    profile.passphrase = keyType == QLatin1String("passPhrase");
    const QString key = texts.value(base + QStringLiteral("sharedKey/keyMaterial"));
    profile.keyMaterial = key.toStdString();
    if (psk && !key.isEmpty()) {
        const bool fits = profile.passphrase ? key.size() >= 8 && key.size() <= 63 : key.size() == 64 && isHex(key);
        if (!fits)
            return false;
    }
    bool number = true;
    const QString index = word(texts, base + QStringLiteral("keyIndex"), QStringLiteral("0"));
    profile.keyIndex = index.toUInt(&number);
    return number && profile.keyIndex <= 3;
}

} // namespace

std::string wlanProfileName(const std::string& ssid)
{
    QString name;
    for (std::size_t i = 0; i < ssid.size() && i < 32 && ssid[i] != '\0'; ++i)
        if (uchar(ssid[i]) >= 0x20)
            name += QChar(uchar(ssid[i]));
    if (name.isEmpty())
        return QByteArray::fromStdString(ssid.substr(0, 32)).toHex().toUpper().toStdString();
    return name.toStdString();
}

namespace {

std::uint32_t parse(const std::string& document, WlanProfile& profile)
{
    QMap<QString, QString> texts;
    if (!readElements(document, texts))
        return NW_ERROR_BAD_PROFILE;
    const QString name = texts.value(QStringLiteral("WLANProfile/name"));
    const QString type = word(texts, QStringLiteral("WLANProfile/connectionType"));
    const QString mode = word(texts, QStringLiteral("WLANProfile/connectionMode"), QStringLiteral("auto"));
    const QString hidden = word(texts, QStringLiteral("WLANProfile/SSIDConfig/nonBroadcast"), QStringLiteral("false"));
    if (name.isEmpty() || !ssidBytes(texts, profile.ssid) || !security(texts, profile))
        return NW_ERROR_BAD_PROFILE;
    if (!type.isEmpty() && type != QLatin1String("ESS") && type != QLatin1String("IBSS"))
        return NW_ERROR_BAD_PROFILE;
    if (mode != QLatin1String("auto") && mode != QLatin1String("manual"))
        return NW_ERROR_BAD_PROFILE;
    if (hidden != QLatin1String("true") && hidden != QLatin1String("false"))
        return NW_ERROR_BAD_PROFILE;
    profile.name = name.toStdString();
    profile.bssType = type.isEmpty()                    ? dot11_BSS_type_any
                      : type == QLatin1String("ESS") ? dot11_BSS_type_infrastructure
                                                     : dot11_BSS_type_independent;
    profile.autoConnect = mode == QLatin1String("auto");
    profile.nonBroadcast = hidden == QLatin1String("true");
    return NW_SUCCESS;
}

} // namespace

// A refused document leaves nothing of itself behind: a caller that looks
// at the profile anyway finds it empty.
std::uint32_t parseWlanProfile(const std::string& document, WlanProfile& profile)
{
    profile = WlanProfile();
    const std::uint32_t result = parse(document, profile);
    if (result != NW_SUCCESS)
        profile = WlanProfile();
    return result;
}

} // namespace vantel::platform
