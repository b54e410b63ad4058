#include "settings/keycipher.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QIODevice>
#include <QRandomGenerator>
#include <QtGlobal>

namespace {

const char kVersion = 3;
const char kFlagCompressed = 0x01;
const char kFlagChecksum = 0x02;
const char kFlagHash = 0x04;
const int kChecksumSize = 2;
const int kHashSize = 20;

// zlib never inflates one input byte into more than about 1032; a qCompress
// header that claims more than that is corrupt, and qUncompress would
// allocate the claimed size before finding out.
const qint64 kMaxInflateRatio = 1032;

quint16 checksum(const QByteArray& data)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return qChecksum(QByteArrayView(data));
#else
    return qChecksum(data.constData(), uint(data.size()));
#endif
}

QByteArray checksumBlock(const QByteArray& data)
{
    QByteArray block;
    QDataStream stream(&block, QIODevice::WriteOnly);
    stream << checksum(data);
    return block;
}

QByteArray sha1(const QByteArray& data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha1);
}

bool plausiblyCompressed(const QByteArray& data)
{
    if (data.size() < 4)
        return true; // qUncompress rejects it on its own
    const qint64 claimed = (qint64(uchar(data.at(0))) << 24) | (qint64(uchar(data.at(1))) << 16)
        | (qint64(uchar(data.at(2))) << 8) | qint64(uchar(data.at(3)));
    return claimed <= (qint64(data.size()) - 4) * kMaxInflateRatio + 64;
}

} // namespace

KeyCipher::KeyCipher() = default;

KeyCipher::KeyCipher(quint64 newKey)
{
    setKey(newKey);
}

void KeyCipher::setKey(quint64 newKey)
{
    key = newKey;
    keyParts.clear();
    for (int i = 0; i < 8; ++i)
        keyParts.append(char((key >> (8 * i)) & 0xFF));
}

QByteArray KeyCipher::encipherBytes(const QByteArray& plain)
{
    if (keyParts.isEmpty()) {
        qWarning("No key set.");
        lastErrorCode = ErrorNoKeySet;
        return QByteArray();
    }

    QByteArray data = plain;
    char flags = 0;
    if (compressionMode == CompressionAlways) {
        data = qCompress(data, 9);
        flags |= kFlagCompressed;
    } else if (compressionMode == CompressionAuto) {
        const QByteArray compressed = qCompress(data, 9);
        if (compressed.size() < data.size()) {
            data = compressed;
            flags |= kFlagCompressed;
        }
    }

    QByteArray block;
    if (integrityMode == IntegrityChecksum) {
        flags |= kFlagChecksum;
        block = checksumBlock(data);
    } else if (integrityMode == IntegrityHash) {
        flags |= kFlagHash;
        block = sha1(data);
    }

    QByteArray body;
    body.reserve(1 + block.size() + data.size());
    body.append(char(QRandomGenerator::global()->generate() & 0xFF));
    body.append(block);
    body.append(data);

    char prev = 0;
    for (int i = 0; i < body.size(); ++i) {
        body[i] = char(body.at(i) ^ keyParts.at(i % 8) ^ prev);
        prev = body.at(i);
    }

    QByteArray result;
    result.reserve(2 + body.size());
    result.append(kVersion);
    result.append(flags);
    result.append(body);
    lastErrorCode = ErrorNone;
    return result;
}

QByteArray KeyCipher::encipherBytes(const QString& plain)
{
    return encipherBytes(plain.toUtf8());
}

QString KeyCipher::encipherText(const QString& plain)
{
    return QString::fromLatin1(encipherBytes(plain).toBase64());
}

QString KeyCipher::encipherText(const QByteArray& plain)
{
    return QString::fromLatin1(encipherBytes(plain).toBase64());
}

QByteArray KeyCipher::decipherBytes(const QByteArray& bytes)
{
    if (keyParts.isEmpty()) {
        qWarning("No key set.");
        lastErrorCode = ErrorNoKeySet;
        return QByteArray();
    }
    // Too short to be anything of ours: no warning, as for an empty setting.
    if (bytes.size() < 3) {
        lastErrorCode = ErrorUnknownVersion;
        return QByteArray();
    }
    if (bytes.at(0) != kVersion) {
        lastErrorCode = ErrorUnknownVersion;
        qWarning("Invalid version or not a cyphertext.");
        return QByteArray();
    }

    const char flags = bytes.at(1);
    QByteArray body = bytes.mid(2);
    char prev = 0;
    for (int i = 0; i < body.size(); ++i) {
        const char c = body.at(i);
        body[i] = char(c ^ prev ^ keyParts.at(i % 8));
        prev = c;
    }
    body.remove(0, 1); // the random byte

    if (flags & kFlagChecksum) {
        if (body.size() < kChecksumSize) {
            lastErrorCode = ErrorIntegrityFailed;
            return QByteArray();
        }
        const quint16 stored = quint16((uchar(body.at(0)) << 8) | uchar(body.at(1)));
        body.remove(0, kChecksumSize);
        if (stored != checksum(body)) {
            lastErrorCode = ErrorIntegrityFailed;
            return QByteArray();
        }
    } else if (flags & kFlagHash) {
        if (body.size() < kHashSize) {
            lastErrorCode = ErrorIntegrityFailed;
            return QByteArray();
        }
        const QByteArray stored = body.left(kHashSize);
        body.remove(0, kHashSize);
        if (stored != sha1(body)) {
            lastErrorCode = ErrorIntegrityFailed;
            return QByteArray();
        }
    }

    if (flags & kFlagCompressed)
        body = plausiblyCompressed(body) ? qUncompress(body) : QByteArray();

    lastErrorCode = ErrorNone;
    return body;
}

QByteArray KeyCipher::decipherBytes(const QString& text)
{
    return decipherBytes(QByteArray::fromBase64(text.toLatin1()));
}

QString KeyCipher::decipherText(const QString& text)
{
    return QString::fromUtf8(decipherBytes(text));
}

QString KeyCipher::decipherText(const QByteArray& bytes)
{
    return QString::fromUtf8(decipherBytes(bytes));
}
