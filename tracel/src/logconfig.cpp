#include "logconfig.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace tracel {

namespace {

constexpr std::uint64_t kMinSize = 4096;
constexpr unsigned kMaxFiles = 1000;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

int digitValue(char c, unsigned base)
{
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v >= 0 && static_cast<unsigned>(v) < base ? v : -1;
}

const char* nonEmptyEnv(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

// HOME can be missing for services; the password database still knows.
std::string homeDirectory()
{
    if (const char* home = nonEmptyEnv("HOME"))
        return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return {};
}

std::string logDirectory()
{
    if (const char* dir = nonEmptyEnv("TRACEL_LOG_DIR"))
        return dir;
    // Relative XDG paths are invalid by the base-directory rules and ignored.
    const char* state = nonEmptyEnv("XDG_STATE_HOME");
    if (state && state[0] == '/')
        return std::string(state) + "/tracel";
    const std::string home = homeDirectory();
    return home.empty() ? std::string() : home + "/.local/state/tracel";
}

} // namespace

bool parseUnsigned(const char* text, std::uint64_t& value)
{
    if (!text)
        return false;
    while (isBlank(*text))
        ++text;
    unsigned base = 10;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text += 2;
    }
    std::uint64_t result = 0;
    const char* start = text;
    for (int d; (d = digitValue(*text, base)) >= 0; ++text) {
        if (result > (UINT64_MAX - static_cast<unsigned>(d)) / base)
            return false;
        result = result * base + static_cast<unsigned>(d);
    }
    if (text == start)
        return false;
    while (isBlank(*text))
        ++text;
    if (*text)
        return false;
    value = result;
    return true;
}

LogConfig LogConfig::fromEnvironment()
{
    LogConfig config;
    config.directory = logDirectory();
    std::uint64_t value = 0;
    if (parseUnsigned(std::getenv("TRACEL_MAX_SIZE"), value) && value > 0)
        config.maxSize = value < kMinSize ? kMinSize : value;
    if (parseUnsigned(std::getenv("TRACEL_MAX_FILES"), value) && value > 0)
        config.maxFiles = static_cast<unsigned>(value < kMaxFiles ? value : kMaxFiles);
    if (parseUnsigned(std::getenv("TRACEL_MASK"), value) && value <= UINT32_MAX)
        config.mask = static_cast<unsigned>(value);
    return config;
}

} // namespace tracel
