#include "powerscheme.h"

#include <cstdio>

namespace vantel::platform {

std::string guidText(const Guid& g)
{
    char text[37];
    std::snprintf(text, sizeof(text), "%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x", unsigned(g.data1),
                  unsigned(g.data2), unsigned(g.data3), g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4],
                  g.data4[5], g.data4[6], g.data4[7]);
    return text;
}

bool parseGuid(const std::string& text, Guid& guid)
{
    if (text.size() != 36)
        return false;
    std::uint8_t bytes[16];
    std::size_t at = 0;
    for (std::uint8_t& byte : bytes) {
        if (at == 8 || at == 13 || at == 18 || at == 23) {
            if (text[at] != '-')
                return false;
            ++at;
        }
        int value = 0;
        for (int digit = 0; digit < 2; ++digit, ++at) {
            const char c = text[at];
            const int nibble = c >= '0' && c <= '9' ? c - '0'
                               : c >= 'a' && c <= 'f' ? c - 'a' + 10
                               : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                      : -1;
            if (nibble < 0)
                return false;
            value = value * 16 + nibble;
        }
        byte = std::uint8_t(value);
    }
    guid.data1 = std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 | bytes[3];
    guid.data2 = std::uint16_t(bytes[4] << 8 | bytes[5]);
    guid.data3 = std::uint16_t(bytes[6] << 8 | bytes[7]);
    std::memcpy(guid.data4, bytes + 8, 8);
    return true;
}

} // namespace vantel::platform
