// Guards the key cipher's format and failures: version 3, the flags, the
// random first byte, compression only when it pays, the 16-bit checksum or
// SHA-1, the lastError values and the two warnings, and hostile input
// (a compressed header claiming gigabytes) answered without a crash.
#include "keycipher.h"

#include <QSet>
#include <QtTest>

namespace {
const quint64 kKey = 0x0123456789ABCDEFull;
}

class TestKeyCipher : public QObject
{
    Q_OBJECT
private slots:
    void roundTripsAndVaries_data();
    void roundTripsAndVaries();
    void formatOfEmptyAndShortTexts();
    void compressesLongTexts();
    void modes();
    void failures();
    void rejectsImplausibleCompressedLength();
};

void TestKeyCipher::roundTripsAndVaries_data()
{
    QTest::addColumn<QString>("plain");
    QTest::newRow("empty") << QString();
    QTest::newRow("short") << QStringLiteral("pw");
    QTest::newRow("accents") << QStringLiteral("perché è già così");
    QTest::newRow("long") << QString(QStringLiteral("chiave ")).repeated(200);
}

void TestKeyCipher::roundTripsAndVaries()
{
    QFETCH(QString, plain);
    KeyCipher cipher(kKey);
    QSet<QString> texts;
    for (int i = 0; i < 8; ++i) {
        const QString text = cipher.encipherText(plain);
        QCOMPARE(KeyCipher(kKey).decipherText(text), plain);
        texts.insert(text);
    }
    QVERIFY(texts.size() > 1);
    QCOMPARE(cipher.lastError(), int(KeyCipher::ErrorNone));
}

void TestKeyCipher::formatOfEmptyAndShortTexts()
{
    KeyCipher cipher(kKey);
    const QByteArray empty = cipher.encipherBytes(QByteArray());
    QCOMPARE(empty.size(), 5);
    QCOMPARE(empty.at(0), char(3));
    QCOMPARE(empty.at(1), char(0x02));

    const QByteArray shortText = cipher.encipherBytes(QByteArray("abcd"));
    QCOMPARE(shortText.at(1), char(0x02)); // qCompress would make it longer
    QCOMPARE(shortText.size(), 2 + 1 + 2 + 4);
}

void TestKeyCipher::compressesLongTexts()
{
    const QByteArray plain = QByteArray("0123456789").repeated(100);
    KeyCipher cipher(kKey);
    const QByteArray bytes = cipher.encipherBytes(plain);
    QCOMPARE(bytes.at(1), char(0x03));
    QVERIFY(bytes.size() < plain.size());
    QCOMPARE(cipher.decipherBytes(bytes), plain);
}

void TestKeyCipher::modes()
{
    KeyCipher cipher(kKey);
    cipher.setIntegrityMode(KeyCipher::IntegrityHash);
    cipher.setCompressionMode(KeyCipher::CompressionAlways);
    const QByteArray hashed = cipher.encipherBytes(QByteArray("ab"));
    QCOMPARE(hashed.at(1), char(0x05));
    QCOMPARE(KeyCipher(kKey).decipherBytes(hashed), QByteArray("ab"));

    cipher.setIntegrityMode(KeyCipher::IntegrityNone);
    cipher.setCompressionMode(KeyCipher::CompressionNever);
    const QByteArray bare = cipher.encipherBytes(QByteArray("abc"));
    QCOMPARE(bare.at(1), char(0));
    QCOMPARE(bare.size(), 2 + 1 + 3);
    // Without an integrity block a wrong key goes unnoticed.
    KeyCipher wrong(~kKey);
    QVERIFY(wrong.decipherBytes(bare) != QByteArray("abc"));
    QCOMPARE(wrong.lastError(), int(KeyCipher::ErrorNone));

    // With both flags only the checksum counts: the rest is the payload.
    QByteArray both = KeyCipher(kKey).encipherBytes(QByteArray("xyz"));
    both[1] = char(both.at(1) | 0x04);
    QCOMPARE(KeyCipher(kKey).decipherBytes(both), QByteArray("xyz"));
}

void TestKeyCipher::failures()
{
    KeyCipher noKey;
    QTest::ignoreMessage(QtWarningMsg, "No key set.");
    QVERIFY(noKey.encipherText(QStringLiteral("x")).isEmpty());
    QCOMPARE(noKey.lastError(), int(KeyCipher::ErrorNoKeySet));
    QTest::ignoreMessage(QtWarningMsg, "No key set.");
    QVERIFY(noKey.decipherBytes(QByteArray("\x03\x02xyz")).isEmpty());

    KeyCipher cipher(kKey);
    const QString text = cipher.encipherText(QStringLiteral("segreto"));
    KeyCipher wrong(kKey ^ 0xFF00);
    QVERIFY(wrong.decipherText(text).isEmpty());
    QCOMPARE(wrong.lastError(), int(KeyCipher::ErrorIntegrityFailed));

    QByteArray bytes = QByteArray::fromBase64(text.toLatin1());
    bytes[0] = 4;
    QTest::ignoreMessage(QtWarningMsg, "Invalid version or not a cyphertext.");
    QVERIFY(cipher.decipherBytes(bytes).isEmpty());
    QCOMPARE(cipher.lastError(), int(KeyCipher::ErrorUnknownVersion));

    // Too short to be a ciphertext: silently empty (a failed test sees the warning).
    QVERIFY(cipher.decipherBytes(QByteArray("\x03")).isEmpty());
    QVERIFY(cipher.decipherBytes(QByteArray("\x03\x02")).isEmpty());
    QVERIFY(cipher.decipherText(QStringLiteral("not base64 at all!")).isEmpty());
}

void TestKeyCipher::rejectsImplausibleCompressedLength()
{
    // A qCompress header claiming 2 GB in front of a few bytes.
    const QByteArray payload = QByteArray("\x7F\xFF\xFF\x00", 4) + qCompress(QByteArray("x")).mid(4);
    QByteArray body = QByteArray(1, 'r') + payload;
    char prev = 0;
    for (int i = 0; i < body.size(); ++i) {
        body[i] = char(body.at(i) ^ char((kKey >> (8 * (i % 8))) & 0xFF) ^ prev);
        prev = body.at(i);
    }
    KeyCipher cipher(kKey);
    QVERIFY(cipher.decipherBytes(QByteArray("\x03\x01", 2) + body).isEmpty());
}

QTEST_APPLESS_MAIN(TestKeyCipher)
#include "tst_keycipher.moc"
