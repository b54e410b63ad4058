#include "logfile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include "lineheader.h"

namespace tracel {

namespace {

// O_NOFOLLOW and the regular-file test keep a planted symlink or FIFO from
// redirecting or blocking the writer; O_NONBLOCK only matters for the FIFO.
int openLogFile(const std::string& path, bool truncate, std::uint64_t& size)
{
    const int flags = O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK
        | (truncate ? O_TRUNC : 0);
    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return -1;
    struct stat info{};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    size = static_cast<std::uint64_t>(info.st_size);
    return fd;
}

// False once the file was deleted or moved away, by a person, a clean-up job
// or another process rotating the same log.
bool isStillAt(int fd, const std::string& path)
{
    struct stat open{}, named{};
    return fstat(fd, &open) == 0 && stat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev
        && open.st_ino == named.st_ino;
}

bool isDirectory(const std::string& path)
{
    struct stat info{};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

std::string LogFile::prepareDirectory(const std::string& directory)
{
    if (!isDirectory(directory)) {
        for (std::size_t slash = directory.find('/', 1); ; slash = directory.find('/', slash + 1)) {
            const std::string part = directory.substr(0, slash);
            if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
                return {};
            if (slash == std::string::npos)
                break;
        }
    }
    char resolved[PATH_MAX];
    if (!realpath(directory.c_str(), resolved) || !isDirectory(resolved))
        return {};
    return resolved;
}

std::unique_ptr<LogFile> LogFile::open(const std::string& path, const LogConfig& config)
{
    std::uint64_t size = 0;
    const int fd = openLogFile(path, false, size);
    if (fd < 0)
        return nullptr;
    return std::unique_ptr<LogFile>(new LogFile(path, config, fd, size));
}

LogFile::LogFile(const std::string& path, const LogConfig& config, int fd, std::uint64_t size)
    : path_(path), maxSize_(config.maxSize), maxFiles_(config.maxFiles), filter_(config.mask), fd_(fd), size_(size)
{
}

LogFile::~LogFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::size_t LogFile::textLimit() const
{
    return static_cast<std::size_t>(maxSize_ - kLineHeaderMax - 1);
}

void LogFile::write(int mask, const std::string& text)
{
    std::lock_guard<std::mutex> lock(mutex_);
    // The header is made under the lock so that times in the file only rise.
    char header[kLineHeaderMax];
    const std::size_t headerSize = formatLineHeader(header, mask);
    const std::size_t lineSize = headerSize + text.size() + 1;
    if (!makeRoom(lineSize))
        return;

    iovec parts[3] = {{header, headerSize},
                      {const_cast<char*>(text.data()), text.size()},
                      {const_cast<char*>("\n"), 1}};
    iovec* part = parts;
    int count = 3;
    while (count > 0) {
        const ssize_t written = writev(fd_, part, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return; // disk full or gone: the line is lost, the next one tries again
        size_ += static_cast<std::uint64_t>(written);
        // A short write only happens when the disk fills up; finish the line.
        auto left = static_cast<std::size_t>(written);
        while (count > 0 && left >= part->iov_len) {
            left -= part->iov_len;
            ++part;
            --count;
        }
        if (count > 0) {
            part->iov_base = static_cast<char*>(part->iov_base) + left;
            part->iov_len -= left;
        }
    }
}

bool LogFile::makeRoom(std::size_t lineSize)
{
    // Once a second, not per line: open again a file that failed, or one that
    // is gone (its lines would go nowhere until the next rotation).
    const auto now = std::chrono::steady_clock::now();
    if (now >= nextCheck_) {
        nextCheck_ = now + std::chrono::seconds(1);
        if (fd_ < 0 || !isStillAt(fd_, path_))
            reopen(false);
    }
    if (fd_ >= 0 && size_ > 0 && size_ + lineSize > maxSize_)
        rotate();
    return fd_ >= 0;
}

// <name>.log.(N-1) is dropped, every older file moves up by one, the current
// file becomes <name>.log.1 and a new one starts. When the current file
// cannot be moved it is emptied instead, so disk use stays bounded.
void LogFile::rotate()
{
    ::close(fd_);
    fd_ = -1;
    if (maxFiles_ > 1) {
        const auto numbered = [this](unsigned n) { return path_ + '.' + std::to_string(n); };
        ::unlink(numbered(maxFiles_ - 1).c_str());
        for (unsigned n = maxFiles_ - 1; n > 1; --n)
            ::rename(numbered(n - 1).c_str(), numbered(n).c_str());
        ::rename(path_.c_str(), numbered(1).c_str());
    }
    reopen(true);
}

void LogFile::reopen(bool truncate)
{
    if (fd_ >= 0)
        ::close(fd_);
    std::uint64_t size = 0;
    fd_ = openLogFile(path_, truncate, size);
    // The directory may have been removed; it is ours to create again.
    if (fd_ < 0 && errno == ENOENT && !prepareDirectory(path_.substr(0, path_.rfind('/'))).empty())
        fd_ = openLogFile(path_, truncate, size);
    size_ = fd_ >= 0 ? size : 0;
}

} // namespace tracel
