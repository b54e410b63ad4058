// One open log: its file with the numbered older files beside it, its level
// filter, and the lock that keeps its lines whole.
#ifndef TRACEL_LOGFILE_H
#define TRACEL_LOGFILE_H

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "logconfig.h"

namespace tracel {

class LogFile
{
public:
    // Creates the directory with its parents and gives its canonical path, or
    // an empty string when it cannot be made.
    static std::string prepareDirectory(const std::string& directory);

    // Null when the file cannot be opened for writing.
    static std::unique_ptr<LogFile> open(const std::string& path, const LogConfig& config);

    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    bool accepts(int mask) const { return (static_cast<unsigned>(mask) & filter_) != 0; }

    // The longest text a line may carry so that it fits in one file.
    std::size_t textLimit() const;

    // Writes header, text and line end with one system call.
    void write(int mask, const std::string& text);

private:
    LogFile(const std::string& path, const LogConfig& config, int fd, std::uint64_t size);

    bool makeRoom(std::size_t lineSize);
    void rotate();
    void reopen(bool truncate);

    const std::string path_;
    const std::uint64_t maxSize_;
    const unsigned maxFiles_;
    const unsigned filter_;

    std::mutex mutex_;
    int fd_;
    std::uint64_t size_;
    std::chrono::steady_clock::time_point nextCheck_{};
};

} // namespace tracel

#endif
