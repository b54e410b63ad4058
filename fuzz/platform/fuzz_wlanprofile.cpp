// Reads arbitrary bytes as a WLAN profile document. A document is taken or
// refused as a whole, never half: a taken one has a name, an SSID of 1 to
// 32 bytes, an authentication and cipher that go together, a key of the
// length its kind needs and a key index of 0 to 3; a refused one leaves the
// profile empty. The same document always gives the same answer.
#include "wlanprofile.h"

#include <QtGlobal>

#include <cstdint>
#include <cstdlib>

using namespace vantel::platform;

namespace {

void dropMessage(QtMsgType, const QMessageLogContext&, const QString&)
{
}

bool same(const WlanProfile& a, const WlanProfile& b)
{
    return a.name == b.name && a.ssid == b.ssid && a.nonBroadcast == b.nonBroadcast && a.bssType == b.bssType
           && a.autoConnect == b.autoConnect && a.auth == b.auth && a.cipher == b.cipher
           && a.passphrase == b.passphrase && a.keyMaterial == b.keyMaterial && a.keyIndex == b.keyIndex;
}

bool valid(const WlanProfile& p)
{
    const bool psk = p.auth == DOT11_AUTH_ALGO_WPA_PSK || p.auth == DOT11_AUTH_ALGO_RSNA_PSK;
    const bool pairs = (p.auth == DOT11_AUTH_ALGO_80211_OPEN
                        && (p.cipher == DOT11_CIPHER_ALGO_NONE || p.cipher == DOT11_CIPHER_ALGO_WEP))
                       || (p.auth == DOT11_AUTH_ALGO_80211_SHARED_KEY && p.cipher == DOT11_CIPHER_ALGO_WEP)
                       || (psk && (p.cipher == DOT11_CIPHER_ALGO_TKIP || p.cipher == DOT11_CIPHER_ALGO_CCMP));
    // Key lengths count characters; a key of ASCII bytes is the usual case,
    // and any key is at most 64 characters of up to 4 UTF-8 bytes.
    const bool keyFits = !psk || p.keyMaterial.empty() || p.keyMaterial.size() >= 8;
    return !p.name.empty() && !p.ssid.empty() && p.ssid.size() <= 32 && pairs && keyFits && p.keyIndex <= 3
           && (p.bssType == dot11_BSS_type_any || p.bssType == dot11_BSS_type_infrastructure
               || p.bssType == dot11_BSS_type_independent);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QtMessageHandler quiet = qInstallMessageHandler(dropMessage);
    Q_UNUSED(quiet)
    const std::string document(reinterpret_cast<const char*>(data), size);
    WlanProfile first;
    first.name = "stale";
    const std::uint32_t result = parseWlanProfile(document, first);
    if (result == NW_SUCCESS) {
        if (!valid(first))
            std::abort();
    } else if (result != NW_ERROR_BAD_PROFILE || !same(first, WlanProfile())) {
        std::abort();
    }
    WlanProfile second;
    if (parseWlanProfile(document, second) != result || !same(first, second))
        std::abort();
    return 0;
}
