// A small symmetric cipher for short texts (stored keys, passwords): a 64-bit
// key, optional compression, an integrity block and a random first byte, so
// that the same text enciphers differently every time. Ciphertexts are
// printable Base64 and read the same in every build of the library.
#ifndef KEYCIPHER_H
#define KEYCIPHER_H

#include <QByteArray>
#include <QString>
#include <QVector>

class KeyCipher
{
public:
    enum CompressionMode {
        CompressionAuto = 0,   // compress when that makes the payload shorter
        CompressionAlways = 1,
        CompressionNever = 2
    };
    enum IntegrityMode {
        IntegrityNone = 0,
        IntegrityChecksum = 1, // 16-bit CRC of the stored payload
        IntegrityHash = 2      // SHA-1 of the stored payload
    };
    enum Error {
        ErrorNone = 0,
        ErrorNoKeySet = 1,
        ErrorUnknownVersion = 2,
        ErrorIntegrityFailed = 3
    };

    KeyCipher();
    explicit KeyCipher(quint64 newKey);

    void setKey(quint64 newKey);
    void setCompressionMode(int mode) { compressionMode = mode; }
    void setIntegrityMode(int mode) { integrityMode = mode; }
    int lastError() const { return lastErrorCode; }

    QByteArray encipherBytes(const QByteArray& plain);
    QByteArray encipherBytes(const QString& plain);
    QString encipherText(const QString& plain);
    QString encipherText(const QByteArray& plain);

    QByteArray decipherBytes(const QByteArray& bytes);
    QByteArray decipherBytes(const QString& text);
    QString decipherText(const QString& text);
    QString decipherText(const QByteArray& bytes);

private:
    quint64 key = 0;
    QVector<char> keyParts;
    int compressionMode = CompressionAuto;
    int integrityMode = IntegrityChecksum;
    int lastErrorCode = ErrorNone;
};

#endif
