#include "linuxfile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vantel::platform {

int openRegularFile(int dirFd, const char* path)
{
    // Without O_NONBLOCK, opening a FIFO waits for a writer; the flag means
    // nothing to a regular file, so it may stay.
    const int fd = ::openat(dirFd, path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

long readSome(int fd, char* buffer, std::size_t capacity)
{
    ssize_t n;
    do {
        n = ::read(fd, buffer, capacity);
    } while (n < 0 && errno == EINTR);
    return long(n);
}

bool readRegularFile(const std::string& path, std::size_t maxBytes, std::string& text)
{
    text.clear();
    const int fd = openRegularFile(AT_FDCWD, path.c_str());
    if (fd < 0)
        return false;
    struct stat info;
    bool fits = ::fstat(fd, &info) == 0 && std::size_t(info.st_size) <= maxBytes;
    char chunk[16384];
    while (fits) {
        const long n = readSome(fd, chunk, sizeof(chunk));
        if (n < 0)
            fits = false;
        if (n <= 0)
            break;
        fits = text.size() + std::size_t(n) <= maxBytes;
        if (fits)
            text.append(chunk, std::size_t(n));
    }
    ::close(fd);
    if (!fits)
        text.clear();
    return fits;
}

} // namespace vantel::platform
