// Guards the key cipher: a text reads back and enciphers differently every
// time (random first byte); the version byte, the flags and the size of each
// format, compression only when it pays; and every failure's lastError and
// warning; a compressed header claiming gigabytes is refused. The
// ciphertexts of both Qt builds: tst_settingsprocesses.
#include "settings/keycipher.h"
#include "settingstesting.h"

#include <QSet>
#include <QtTest>

const quint64 kKey = 0x0123456789ABCDEFull;

class TestKeyCipher : public QObject
{
    Q_OBJECT
private slots:
    void formatsAndRoundTrips()
    {
        // The size before Base64; 0: less than the text's, -1: any.
        const struct { QString plain; int compression, integrity, flags, size; } cases[] = {
            {QString(), KeyCipher::CompressionAuto, KeyCipher::IntegrityChecksum, 0x02, 5},
            {QStringLiteral("abcd"), KeyCipher::CompressionAuto, KeyCipher::IntegrityChecksum, 0x02, 2 + 1 + 2 + 4},
            {QStringLiteral("perché ").repeated(100), KeyCipher::CompressionAuto, KeyCipher::IntegrityChecksum, 0x03, 0},
            {QStringLiteral("ab"), KeyCipher::CompressionAlways, KeyCipher::IntegrityHash, 0x05, -1},
            {QStringLiteral("abc"), KeyCipher::CompressionNever, KeyCipher::IntegrityNone, 0x00, 2 + 1 + 3},
        };
        for (const auto& c : cases) {
            KeyCipher cipher(kKey);
            cipher.setCompressionMode(c.compression);
            cipher.setIntegrityMode(c.integrity);
            QSet<QString> texts;
            for (int i = 0; i < 8; ++i) {
                const QString text = cipher.encipherText(c.plain);
                const QByteArray bytes = QByteArray::fromBase64(text.toLatin1());
                QCOMPARE(bytes.at(0), char(3));
                QCOMPARE(int(bytes.at(1)), c.flags);
                if (c.size > 0)
                    QCOMPARE(bytes.size(), c.size);
                if (c.size == 0)
                    QVERIFY(bytes.size() < c.plain.toUtf8().size());
                QCOMPARE(KeyCipher(kKey).decipherText(text), c.plain);
                texts.insert(text);
            }
            QVERIFY(texts.size() > 1);
        }
    }

    void failures()
    {
        KeyCipher noKey;
        QTest::ignoreMessage(QtWarningMsg, "No key set.");
        QVERIFY(noKey.encipherText(QStringLiteral("x")).isEmpty());
        QCOMPARE(noKey.lastError(), int(KeyCipher::ErrorNoKeySet));
        QTest::ignoreMessage(QtWarningMsg, "No key set.");
        QVERIFY(noKey.decipherBytes(QByteArray("\x03\x02xyz")).isEmpty());

        KeyCipher cipher(kKey);
        const QString text = cipher.encipherText(QStringLiteral("segreto"));
        KeyCipher wrongKey(kKey ^ 0xFF00);
        QVERIFY(wrongKey.decipherText(text).isEmpty());
        QCOMPARE(wrongKey.lastError(), int(KeyCipher::ErrorIntegrityFailed));

        QByteArray bytes = QByteArray::fromBase64(text.toLatin1());
        bytes[0] = 4;
        QTest::ignoreMessage(QtWarningMsg, "Invalid version or not a cyphertext.");
        QVERIFY(cipher.decipherBytes(bytes).isEmpty());
        QCOMPARE(cipher.lastError(), int(KeyCipher::ErrorUnknownVersion));

        // Too short to be a ciphertext: empty, silently.
        const QtMessageHandler previous = qInstallMessageHandler(countMessage);
        QVERIFY(cipher.decipherBytes(QByteArray("\x03")).isEmpty());
        QVERIFY(cipher.decipherBytes(QByteArray("\x03\x02")).isEmpty());
        qInstallMessageHandler(previous);
        QCOMPARE(loggedMessages, 0);
        QCOMPARE(cipher.decipherText(text), QStringLiteral("segreto"));
        QCOMPARE(cipher.lastError(), int(KeyCipher::ErrorNone));

        // A compressed payload whose header claims 2 GB: refused before qUncompress allocates it.
        KeyCipher raw(kKey);
        raw.setCompressionMode(KeyCipher::CompressionNever);
        raw.setIntegrityMode(KeyCipher::IntegrityNone);
        QByteArray forged = raw.encipherBytes(QByteArray("\x7F\xFF\xFF\x00", 4) + qCompress(QByteArray("x")).mid(4));
        forged[1] = 0x01;
        QVERIFY(cipher.decipherBytes(forged).isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestKeyCipher)
#include "tst_keycipher.moc"
