// The handles of the process and the files behind them. Opening a file that is
// already open shares it, so one writer alone rotates it.
#ifndef TRACEL_LOGREGISTRY_H
#define TRACEL_LOGREGISTRY_H

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "logfile.h"

namespace tracel {

class LogRegistry
{
public:
    // Lives until the process ends, so that logging from static destructors
    // or late threads stays safe.
    static LogRegistry& instance();

    // 0 when the name is not usable as a file name or the file cannot be opened.
    std::uintptr_t open(const char16_t* name);

    // Keeps the file alive while a print uses it, even if the handle is closed meanwhile.
    std::shared_ptr<LogFile> find(std::uintptr_t handle) const;

    void close(std::uintptr_t handle);

private:
    LogRegistry() = default;

    mutable std::mutex mutex_;
    std::unordered_map<std::uintptr_t, std::shared_ptr<LogFile>> handles_;
    std::map<std::string, std::weak_ptr<LogFile>> files_; // by canonical path
    std::uintptr_t nextHandle_ = 1;
};

} // namespace tracel

#endif
