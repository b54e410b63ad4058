// Deciphers arbitrary bytes, and arbitrary text as Base64: no crash, no leak,
// no hang, no allocation beyond what the input justifies. Enciphering the
// input in any mode and deciphering it gives the input back.
#include "settings/keycipher.h"

#include <QtGlobal>

#include <cstdint>
#include <cstdlib>

namespace {

const quint64 kKey = 0x0F1E2D3C4B5A6978ull;

void dropMessage(QtMsgType, const QMessageLogContext&, const QString&)
{
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QtMessageHandler quiet = qInstallMessageHandler(dropMessage); // cipher warnings
    Q_UNUSED(quiet)
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));

    KeyCipher cipher(kKey);
    cipher.decipherBytes(bytes);
    cipher.decipherText(QString::fromLatin1(bytes));

    const int modes = size > 0 ? data[0] : 0;
    cipher.setCompressionMode(modes % 4);
    cipher.setIntegrityMode((modes / 4) % 4);
    if (KeyCipher(kKey).decipherBytes(cipher.encipherBytes(bytes)) != bytes)
        std::abort();
    return 0;
}
