// The settings of one log, read from the environment when its file is first
// opened, so that a program (or a test) can set them before that.
#ifndef TRACEL_LOGCONFIG_H
#define TRACEL_LOGCONFIG_H

#include <cstdint>
#include <string>

namespace tracel {

struct LogConfig
{
    std::string directory; // empty when no directory can be derived
    std::uint64_t maxSize = 4u << 20;
    unsigned maxFiles = 5;
    unsigned mask = ~0u;

    static LogConfig fromEnvironment();
};

// Decimal or 0x hexadecimal, the whole text (blanks around it allowed);
// false for anything else, including overflow.
bool parseUnsigned(const char* text, std::uint64_t& value);

} // namespace tracel

#endif
