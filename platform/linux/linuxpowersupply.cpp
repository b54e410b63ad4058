#include "linuxpowersupply.h"

#include "linuxfile.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

#include <string>

namespace vantel::platform {

namespace {

// Attribute file names; the uevent key is POWER_SUPPLY_ and the name in capitals.
const char* const fileNames[LinuxPowerSupply::AttributeCount] = {
    "type", "online", "scope", "present", "status", "energy_now", "energy_full",
    "charge_now", "charge_full", "voltage_min_design", "voltage_now", "capacity"};
struct UeventKey {
    const char* name;
    std::size_t length;
};

template <std::size_t N>
constexpr UeventKey key(const char (&name)[N])
{
    return {name, N - 1};
}

const UeventKey ueventKeys[LinuxPowerSupply::AttributeCount] = {
    key("TYPE"), key("ONLINE"), key("SCOPE"), key("PRESENT"), key("STATUS"), key("ENERGY_NOW"),
    key("ENERGY_FULL"), key("CHARGE_NOW"), key("CHARGE_FULL"), key("VOLTAGE_MIN_DESIGN"),
    key("VOLTAGE_NOW"), key("CAPACITY")};

const char prefix[] = "POWER_SUPPLY_";
const std::size_t prefixLength = sizeof(prefix) - 1;

bool blank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

bool LinuxPowerSupply::read(int folderFd, int& ueventFd, std::string& lastText)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (ueventFd < 0)
            ueventFd = openRegularFile(folderFd, "uevent");
        if (ueventFd < 0)
            break;
        long length;
        do {
            length = long(::pread(ueventFd, uevent, sizeof(uevent), 0));
        } while (length < 0 && errno == EINTR);
        // A uevent that fills the buffer may have been cut, and one without
        // the type (older kernels, hand-made trees) may lack more: then the
        // files are read instead.
        if (length >= 0 && length < long(sizeof(uevent))) {
            // An empty uevent is never "the same": its files are read each time.
            if (length > 0 && lastText.size() == std::size_t(length) && std::memcmp(lastText.data(), uevent, lastText.size()) == 0)
                return true;
            lastText.assign(uevent, std::size_t(length));
            if (parseUevent(int(length)))
                return false;
        }
        lastText.clear();
        ::close(ueventFd);
        ueventFd = -1;
        if (length >= 0)
            break;
    }
    lastText.clear();
    dirFd = folderFd;
    return false;
}

bool LinuxPowerSupply::parseUevent(int length)
{
    uevent[length] = '\0';
    char* const stop = uevent + length;
    for (char* line = uevent; line < stop;) {
        char* end = static_cast<char*>(std::memchr(line, '\n', std::size_t(stop - line)));
        if (!end)
            end = stop;
        *end = '\0';
        char* equals = static_cast<char*>(std::memchr(line, '=', std::size_t(end - line)));
        if (equals && std::size_t(equals - line) > prefixLength && std::memcmp(line, prefix, prefixLength) == 0) {
            const char* key = line + prefixLength;
            const std::size_t keyLength = std::size_t(equals - key);
            char* value = equals + 1;
            // A NUL byte ends the value there, before blanks are dropped.
            std::size_t size = std::strlen(value);
            while (size > 0 && blank(value[size - 1]))
                value[--size] = '\0';
            // Most lines name attributes not asked for: compare lengths first.
            for (int i = 0; size > 0 && i < AttributeCount; ++i) {
                if (ueventKeys[i].length == keyLength && std::memcmp(key, ueventKeys[i].name, keyLength) == 0) {
                    values[i] = value;
                    break;
                }
            }
        }
        line = end + 1;
    }
    fromUevent = values[Type] != nullptr;
    return fromUevent;
}

const char* LinuxPowerSupply::text(Attribute which)
{
    if (fromUevent)
        return values[which];
    return attribute.read(dirFd, fileNames[which]) ? attribute.text() : nullptr;
}

bool LinuxPowerSupply::toInt64(Attribute which, std::int64_t& value)
{
    return LinuxAttribute::parseInt64(text(which), value);
}

} // namespace vantel::platform
