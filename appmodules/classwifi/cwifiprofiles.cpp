// Cwifi: network keys, WLAN profile documents, connecting, disconnecting and
// deleting profiles.
#include "classwifi/cwifi.h"

#include <QDebug>
#include <QEventLoop>
#include <QXmlStreamWriter>

#include <cstring>
#include <new>

#include "classwifi/cwifi_p.h"
#include "wlanprofile.h"

namespace {

enum Tag {
    TAG_WLANPROFILE = 0, TAG_NAME, TAG_SSIDCONFIG, TAG_SSID, TAG_NONBROADCAST, TAG_CONNECTIONTYPE,
    TAG_CONNECTIONMODE, TAG_MSM, TAG_SECURITY, TAG_AUTHENCRYPTION, TAG_AUTHENTICATION, TAG_ENCRYPTION,
    TAG_USEONEX, TAG_SHAREDKEY, TAG_KEYTYPE, TAG_PROTECTED, TAG_KEYMATERIAL, TAG_DOCUMENT, TAG_ONEX,
    TAG_EAPHOSTCONFIG, TAG_EAPMETHOD, TAG_TYPE, TAG_AUTHORID, TAG_CONFIGBLOB, TAG_EAPCONFIG, TAG_KEYINDEX
};

const int kMaxKeyUnits = 1024;

bool hexDigits(const char* key, int length)
{
    for (int i = 0; i < length; ++i) {
        const char c = key[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    }
    return true;
}

// The SSID's bytes, one character each, as the document and the profile
// name write them.
QString ssidText(const DOT11_SSID& ssid)
{
    const int length = int(qMin<quint32>(ssid.uSSIDLength, sizeof(ssid.ucSSID)));
    return QString::fromLatin1(reinterpret_cast<const char*>(ssid.ucSSID), length);
}

QByteArray ssidBytes(const DOT11_SSID& ssid)
{
    const int length = int(qMin<quint32>(ssid.uSSIDLength, sizeof(ssid.ucSSID)));
    return QByteArray(reinterpret_cast<const char*>(ssid.ucSSID), length);
}

// The profile name: the SSID's bytes in the system's 8-bit code page, up to
// a NUL and 32 characters, as the service names the profile the document
// stores (nw::wlanProfileName).
QString profileName(const DOT11_SSID& ssid)
{
    return QString::fromStdString(nw::wlanProfileName(ssidBytes(ssid).toStdString()));
}

// Bytes a document's text cannot carry: the SSID is written in hex then.
bool needsHex(const QByteArray& bytes)
{
    for (const char byte : bytes)
        if (uchar(byte) < 0x20)
            return true;
    return false;
}

// The low byte of each UTF-16 unit.
QByteArray lowBytes(const QString& text)
{
    QByteArray bytes(int(text.size()), Qt::Uninitialized);
    for (int i = 0; i < int(text.size()); ++i)
        bytes[i] = char(text.at(i).unicode() & 0xff);
    return bytes;
}

QString keyText(const WifiNetworkRecord& record)
{
    int length = 0;
    while (length < kMaxKeyUnits && record.keyText[length])
        ++length;
    return QString::fromUtf16(record.keyText, length);
}

void setKeyText(WifiNetworkRecord& record, const QString& key)
{
    const int length = qMin(int(key.size()), kMaxKeyUnits);
    std::memset(record.keyText, 0, sizeof(record.keyText));
    std::memcpy(record.keyText, key.utf16(), std::size_t(length) * sizeof(char16_t));
}

} // namespace

void CwifiPrivate::fillNameTables()
{
    static const char* const tags[] = {
        "WLANProfile", "name",     "SSIDConfig", "SSID",        "nonBroadcast", "connectionType", "connectionMode",
        "MSM",         "security", "authEncryption", "authentication", "encryption", "useOneX", "sharedKey",
        "keyType",     "protected", "keyMaterial", "#document",  "OneX",        "EapHostConfig",  "EapMethod",
        "Type",        "AuthorId", "ConfigBlob",  "EAPConfig",  "keyIndex"};
    for (int key = 0; key < int(sizeof(tags) / sizeof(tags[0])); ++key)
        tagNames.insert(key, QString::fromLatin1(tags[key]));
    authNames = {{1, QStringLiteral("open")}, {2, QStringLiteral("shared")}, {3, QStringLiteral("WPA")},
                 {4, QStringLiteral("WPAPSK")}, {6, QStringLiteral("WPA2")}, {7, QStringLiteral("WPA2PSK")}};
    cipherNames = {{0, QStringLiteral("none")}, {257, QStringLiteral("WEP")}, {2, QStringLiteral("TKIP")},
                   {4, QStringLiteral("AES")}};
}

WifiNetworkRecord* CwifiPrivate::record(int index)
{
    if (!networkList || !records || index < 0 || std::size_t(index) >= networkList->Network.size()
        || quint32(index) >= records->count)
        return nullptr;
    return &records->items[std::size_t(index)];
}

bool CwifiPrivate::ValidateKey(WifiNetworkRecord& record, const char* key, int n)
{
    hexKey = 0;
    const bool passphraseKind = record.auth == nw::DOT11_AUTH_ALGO_WPA_PSK
                                || (record.auth == nw::DOT11_AUTH_ALGO_WPA_NONE && record.cipher == nw::DOT11_CIPHER_ALGO_TKIP)
                                || record.auth == nw::DOT11_AUTH_ALGO_RSNA_PSK;
    if (passphraseKind) {
        if (n >= 8 && n <= 63) {
            record.keyLength = quint32(n);
            record.flags |= RECORD_PASSPHRASE;
            return true;
        }
        if (n != 64)
            return false;
        hexKey = 1;
        // Only RSNA-PSK looks at the digits.
        return record.auth != nw::DOT11_AUTH_ALGO_RSNA_PSK || hexDigits(key, n);
    }
    if (record.auth == nw::DOT11_AUTH_ALGO_WPA_NONE && record.cipher == nw::DOT11_CIPHER_ALGO_CCMP) {
        if (n != 16 && n != 32)
            return false;
        hexKey = n == 32;
    } else {
        record.keyIndex = 0;
        if (n != 5 && n != 13 && n != 16 && n != 10 && n != 26 && n != 32)
            return false;
        hexKey = n == 10 || n == 26 || n == 32;
    }
    if (hexKey && !hexDigits(key, n))
        return false;
    record.keyLength = quint32(n);
    record.flags |= RECORD_WEP_KEY;
    return true;
}

int Cwifi::SaveWAPKeyImpl(WifiNetworkRecord* record, QString key)
{
    if (!record)
        return 0;
    const int n = int(key.size());
    std::unique_ptr<char[]> copy(new (std::nothrow) char[std::size_t(n) + 1]);
    if (!copy) {
        qDebug("Could not allocate memory for SaveWAPKeyImpl");
        return 0;
    }
    for (int i = 0; i < n; ++i)
        copy[std::size_t(i)] = char(key.at(i).unicode() & 0xff);
    copy[std::size_t(n)] = 0;
    if (!d->ValidateKey(*record, copy.get(), n)) {
        qDebug("Chiave non valida !");
        return 0;
    }
    setKeyText(*record, key);
    return 1;
}

int Cwifi::SaveNetworkKey(int index, QString key)
{
    WifiNetworkRecord* record = d->record(index);
    if (!record) {
        qDebug("SaveNetworkKey failed - Invalid argument or no network present");
        return 0;
    }
    return SaveWAPKeyImpl(record, key);
}

QString Cwifi::BuildProfileXml(WifiNetworkRecord* record)
{
    if (!record)
        return QString();
    const QMap<int, QString>& tags = d->tagNames;
    const QString ssid = ssidText(record->ssid);
    const QString key = keyText(*record);
    QString document;
    // Written into a string, the document keeps its characters: the
    // declaration names no encoding.
    QXmlStreamWriter writer(&document);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement(tags[TAG_WLANPROFILE]);
    writer.writeDefaultNamespace(QString::fromLatin1(nw::wlanProfileNamespace));
    writer.writeTextElement(tags[TAG_NAME], profileName(record->ssid));
    writer.writeStartElement(tags[TAG_SSIDCONFIG]);
    writer.writeStartElement(tags[TAG_SSID]);
    const QByteArray bytes = ssidBytes(record->ssid);
    if (needsHex(bytes))
        writer.writeTextElement(QStringLiteral("hex"), QString::fromLatin1(bytes.toHex().toUpper()));
    else
        writer.writeTextElement(tags[TAG_NAME], ssid);
    writer.writeEndElement();
    writer.writeTextElement(tags[TAG_NONBROADCAST], (record->flags & RECORD_FROM_VISIBLE_NETWORK)
                                                        ? QStringLiteral("false")
                                                        : QStringLiteral("true"));
    writer.writeEndElement();
    if (record->bssType == nw::dot11_BSS_type_infrastructure)
        writer.writeTextElement(tags[TAG_CONNECTIONTYPE], QStringLiteral("ESS"));
    else if (record->bssType == nw::dot11_BSS_type_independent)
        writer.writeTextElement(tags[TAG_CONNECTIONTYPE], QStringLiteral("IBSS"));
    writer.writeTextElement(tags[TAG_CONNECTIONMODE], QStringLiteral("auto"));
    writer.writeStartElement(tags[TAG_MSM]);
    writer.writeStartElement(tags[TAG_SECURITY]);
    writer.writeStartElement(tags[TAG_AUTHENCRYPTION]);
    writer.writeTextElement(tags[TAG_AUTHENTICATION], d->authNames.value(int(record->auth)));
    writer.writeTextElement(tags[TAG_ENCRYPTION], d->cipherNames.value(int(record->cipher)));
    writer.writeTextElement(tags[TAG_USEONEX], QStringLiteral("false"));
    writer.writeEndElement();
    // Open authentication with a key (WEP) keeps the key in a sharedKey too,
    // as a valid profile has it.
    const bool open = record->auth == nw::DOT11_AUTH_ALGO_80211_OPEN;
    if (!open || !key.isEmpty()) {
        writer.writeStartElement(tags[TAG_SHAREDKEY]);
        writer.writeTextElement(tags[TAG_KEYTYPE], (record->flags & RECORD_PASSPHRASE) ? QStringLiteral("passPhrase")
                                                                                      : QStringLiteral("networkKey"));
        writer.writeTextElement(tags[TAG_PROTECTED], QStringLiteral("false"));
        if (!key.isEmpty())
            writer.writeTextElement(tags[TAG_KEYMATERIAL], key);
        writer.writeEndElement();
    }
    if (!open && !(record->flags & RECORD_PASSPHRASE))
        writer.writeTextElement(tags[TAG_KEYINDEX], QString::number(record->keyIndex));
    writer.writeEndDocument();
    return document;
}

int Cwifi::SetProfile(WifiNetworkRecord* record)
{
    if (!record)
        return int(nw::NW_ERROR_INVALID_PARAMETER);
    const QString document = BuildProfileXml(record);
    quint32 reason = 0;
    return int(d->service().setProfile(d->clientHandle, d->interfaceGuid, 0, document.toStdString(), true, reason));
}

int Cwifi::Connect(int index, QString key)
{
    if (d->waitingHere())
        return 0;
    d->lock.lock();
    WifiNetworkRecord* record = d->record(index);
    if (!record) {
        qDebug("Connect failed - Invalid arguments or no network present");
        qDebug("Errore connessione  ");
        d->lock.unlock();
        return 0;
    }
    if (!key.isEmpty())
        SaveNetworkKey(index, key);
    if (SetProfile(record) != 0) {
        d->lock.unlock();
        qDebug("<<Exit connecction chiave non valida");
        return 0;
    }
    d->targetSsid = record->ssid;
    return d->ConnectWithProfile(*record);
}

int Cwifi::DirectConnect(WifiNetworkRecord* record)
{
    qDebug(">> DirectConnect");
    if (!record || d->waitingHere())
        return 0;
    d->lock.lock();
    return d->ConnectWithProfile(*record);
}

int CwifiPrivate::ConnectWithProfile(const WifiNetworkRecord& record)
{
    nw::WLAN_CONNECTION_PARAMETERS parameters;
    parameters.wlanConnectionMode = nw::wlan_connection_mode_profile;
    parameters.strProfile = profileName(record.ssid).toStdString();
    parameters.dot11BssType = record.bssType;
    parameters.dwFlags = 0;

    {
        std::lock_guard<std::mutex> locker(pendingLock);
        pendingProfileName = QString::fromStdString(parameters.strProfile);
        connectResult = 1;
    }
    QEventLoop loop;
    // Only the outcome counts: a loop ended otherwise (the application
    // quits, which ends every loop) is a failure.
    bool outcome = false;
    // Queued even when the outcome is told in this thread, before the loop runs.
    QObject::connect(q, &Cwifi::WifiConnection, &loop, [&outcome, &loop] {
        outcome = true;
        loop.quit();
    }, Qt::QueuedConnection);
    qDebug(">>Start connecction ");
    const quint32 result = service().connect(clientHandle, interfaceGuid, parameters);
    if (result != nw::NW_SUCCESS) {
        if (result == nw::NW_ERROR_INVALID_PARAMETER)
            qDebug("Error WlanConnect: invalid parameter");
        else if (result == nw::NW_ERROR_BAD_PROFILE)
            qDebug("Error WlanConnect: Bad profile");
        else
            qDebug("Error WlanConnect: %d", int(result));
        {
            // No outcome will come for it.
            std::lock_guard<std::mutex> locker(pendingLock);
            pendingProfileName.clear();
        }
        lock.unlock();
        qDebug("<<Exit connecction ");
        return 0;
    }
    const std::shared_ptr<std::atomic<bool>> stillThere = alive;
    waitLoop = &loop;
    waitingThread = QThread::currentThread();
    const int exitCode = loop.exec();
    if (!*stillThere) {
        // Deleted during the wait: nothing of the client may be touched.
        qDebug("<<Exit connecction ");
        return 0;
    }
    waitingThread = nullptr;
    waitLoop = nullptr;
    int connected = 0;
    {
        std::lock_guard<std::mutex> locker(pendingLock);
        if (exitCode != 0 || !outcome)
            connectResult = 0;
        connected = connectResult;
    }
    QObject::disconnect(q, &Cwifi::WifiConnection, &loop, nullptr);
    lock.unlock();
    qDebug("<<Exit connecction ");
    return connected;
}

int Cwifi::AddNetwork(QString ssid, QString key, WifiNetworkProperties* props, bool connectNow)
{
    if (!props || ssid.isEmpty() || ssid.size() > int(sizeof(DOT11_SSID::ucSSID)))
        return 0;
    WifiNetworkRecord record;
    std::memset(&record, 0, sizeof record);
    record.auth = props->auth;
    record.cipher = props->cipher;
    record.bssType = nw::dot11_BSS_type_infrastructure;
    const QByteArray bytes = lowBytes(ssid);
    record.ssid.uSSIDLength = quint32(bytes.size());
    std::memcpy(record.ssid.ucSSID, bytes.constData(), std::size_t(bytes.size()));
    record.flags = RECORD_FROM_VISIBLE_NETWORK;
    setKeyText(record, key);
    if (!key.isEmpty()) {
        const QByteArray copy = lowBytes(key);
        if (!d->ValidateKey(record, copy.constData(), int(copy.size())))
            return 0;
    }
    const int result = SetProfile(&record);
    if (result == 0 && connectNow)
        return DirectConnect(&record);
    return result == 0 ? 1 : 0;
}

int Cwifi::SetWiFiNetworkProperties(int index, WifiNetworkProperties* props)
{
    if (d->waitingHere())
        return 1;
    QMutexLocker locker(&d->lock);
    WifiNetworkRecord* record = d->record(index);
    if (!record || !props) {
        qDebug("Connect SetWiFiNetworkProperties - Invalid arguments or no network present");
        return 1;
    }
    record->bssType = props->adhoc ? nw::dot11_BSS_type_independent : nw::dot11_BSS_type_infrastructure;
    record->auth = props->auth;
    record->cipher = props->cipher;
    record->keyIndex = props->keyIndex;
    return 1;
}

int Cwifi::GetWiFiNetworkProperties(int index, WifiNetworkProperties* props)
{
    if (d->waitingHere())
        return 0;
    QMutexLocker locker(&d->lock);
    const WifiNetworkRecord* record = d->record(index);
    if (!record || !props) {
        d->backend->debugOutput().outputDebugString(
            "Connect GetWiFiNetworkProperties - Invalid arguments or no network present");
        return 0;
    }
    props->auth = record->auth;
    props->cipher = record->cipher;
    props->adhoc = record->bssType == nw::dot11_BSS_type_independent;
    props->key = keyText(*record);
    return 0;
}

int Cwifi::AuthName(int auth, QString& name)
{
    name = d->authNames.value(auth);
    return 1;
}

int Cwifi::CipherName(int cipher, QString& name)
{
    name = d->cipherNames.value(cipher);
    return 1;
}

int Cwifi::AuthFromName(QString name)
{
    return d->authNames.key(name, 0);
}

int Cwifi::CipherFromName(QString name)
{
    return d->cipherNames.key(name, 0);
}

int Cwifi::DeleteNetwork(int index)
{
    if (d->waitingHere())
        return int(nw::NW_ERROR_INVALID_STATE);
    d->lock.lock();
    const bool valid = d->record(index) != nullptr;
    d->lock.unlock();
    if (!valid)
        return int(nw::NW_ERROR_INVALID_PARAMETER);
    const std::string name = nw::wlanProfileName(NetworkSSID(index).toLatin1().toStdString());
    QMutexLocker locker(&d->lock);
    const quint32 disconnected = d->service().disconnect(d->clientHandle, d->interfaceGuid);
    if (disconnected != nw::NW_SUCCESS)
        qDebug("Errore WlanDisconnect: %d", int(disconnected));
    const quint32 deleted = d->service().deleteProfile(d->clientHandle, d->interfaceGuid, name);
    if (deleted != nw::NW_SUCCESS)
        qDebug("Errore WlanDeleteProfile: %d", int(deleted));
    return int(deleted);
}
