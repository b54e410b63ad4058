#include "linuxattribute.h"

#include "linuxfile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace vantel::platform {

bool LinuxAttribute::read(int dirFd, const char* name)
{
    buffer[0] = '\0';
    const int fd = openRegularFile(dirFd, name);
    if (fd < 0)
        return false;
    long length = readSome(fd, buffer, sizeof(buffer));
    ::close(fd);
    // A value that fills the buffer may go on: a cut value is no value.
    if (length <= 0 || length >= long(sizeof(buffer))) {
        buffer[0] = '\0';
        return false;
    }
    while (length > 0 && (buffer[length - 1] == '\n' || buffer[length - 1] == ' '
                          || buffer[length - 1] == '\t' || buffer[length - 1] == '\r'))
        --length;
    buffer[length] = '\0';
    // The kernel writes one line of text: a file with a line break or a
    // NUL byte inside is no attribute.
    if (std::memchr(buffer, '\n', std::size_t(length)) || std::memchr(buffer, '\0', std::size_t(length))) {
        buffer[0] = '\0';
        return false;
    }
    return length > 0;
}

bool LinuxAttribute::is(const char* value) const
{
    return std::strcmp(buffer, value) == 0;
}

bool LinuxAttribute::startsWith(const char* prefix) const
{
    return std::strncmp(buffer, prefix, std::strlen(prefix)) == 0;
}

bool LinuxAttribute::toInt64(std::int64_t& value) const
{
    return parseInt64(buffer, value);
}

bool LinuxAttribute::parseInt64(const char* text, std::int64_t& value)
{
    if (!text || text[0] == '\0')
        return false;
    char* end = nullptr;
    errno = 0;
    long long parsed = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0')
        return false;
    value = parsed;
    return true;
}

std::string linuxRoot(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::string(value) : std::string(fallback);
}

} // namespace vantel::platform
