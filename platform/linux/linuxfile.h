// Opening and reading a file someone else wrote (a configuration file, the
// kernel's tables, a sysfs attribute): only a regular file, never a FIFO
// (opening one waits for a writer), a device (/dev/zero never ends) or a
// folder, and never more than a cap, whatever the file grew to.
#ifndef VANTEL_PLATFORM_LINUXFILE_H
#define VANTEL_PLATFORM_LINUXFILE_H

#include <fcntl.h>

#include <cstddef>
#include <string>

namespace vantel::platform {

// A descriptor of regular file `path` (relative to the folder open as
// `dirFd`, or to the current folder for AT_FDCWD) open for reading; -1 when
// it is missing, unreadable or no regular file.
int openRegularFile(int dirFd, const char* path);

// Up to `capacity` bytes of the open file into `buffer`; the count, or -1
// on an error.
long readSome(int fd, char* buffer, std::size_t capacity);

// The whole of regular file `path` into `text`; false, `text` empty, when
// it cannot be opened as one or holds more than `maxBytes`. The kernel's
// files tell no size, so the cap is checked on what is read.
bool readRegularFile(const std::string& path, std::size_t maxBytes, std::string& text);

} // namespace vantel::platform

#endif
