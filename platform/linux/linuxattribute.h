// Reading one sysfs attribute: a short text file the kernel ends with a
// newline. Plain system calls, because a status query reads several of them
// every two seconds and must stay cheap.
#ifndef VANTEL_PLATFORM_LINUXATTRIBUTE_H
#define VANTEL_PLATFORM_LINUXATTRIBUTE_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace vantel::platform {

class LinuxAttribute
{
public:
    // Reads attribute `name` of the directory open as `dirFd`. False when it
    // is missing, no regular file, unreadable, empty, longer than 63 bytes,
    // or not one line of text.
    bool read(int dirFd, const char* name);

    // The text without its trailing white space.
    const char* text() const { return buffer; }
    bool is(const char* value) const;
    bool startsWith(const char* prefix) const;

    // The text as a decimal number; false when it is not exactly one.
    bool toInt64(std::int64_t& value) const;
    // The same for any text; false for a null pointer.
    static bool parseInt64(const char* text, std::int64_t& value);

private:
    char buffer[64] = {};
};

// The environment variable `name`, or `fallback` when it is unset or empty.
std::string linuxRoot(const char* name, const char* fallback);

} // namespace vantel::platform

#endif
