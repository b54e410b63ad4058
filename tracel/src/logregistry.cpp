#include "logregistry.h"

#include "logformat.h"

namespace tracel {

namespace {

// The name must stay one file inside the log directory.
bool isUsableName(const char16_t* name)
{
    const std::u16string text(name);
    if (text.empty() || text == u"." || text == u"..")
        return false;
    for (const char16_t c : text) {
        if (c == u'/' || c < 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

} // namespace

LogRegistry& LogRegistry::instance()
{
    static LogRegistry* const registry = new LogRegistry;
    return *registry;
}

std::uintptr_t LogRegistry::open(const char16_t* name)
{
    if (!isUsableName(name))
        return 0;
    const LogConfig config = LogConfig::fromEnvironment();
    if (config.directory.empty())
        return 0;

    std::string path = LogFile::prepareDirectory(config.directory);
    if (path.empty())
        return 0;
    path += '/';
    appendUtf8(path, name);
    path += ".log";

    // Held while the file opens, so that two threads cannot make two writers.
    std::lock_guard<std::mutex> lock(mutex_);

    for (auto it = files_.begin(); it != files_.end();)
        it = it->second.expired() ? files_.erase(it) : std::next(it);
    std::shared_ptr<LogFile> file = files_[path].lock();
    if (!file) {
        file = LogFile::open(path, config);
        if (!file) {
            files_.erase(path);
            return 0;
        }
        files_[path] = file;
    }
    const std::uintptr_t handle = nextHandle_++;
    handles_.emplace(handle, std::move(file));
    return handle;
}

std::shared_ptr<LogFile> LogRegistry::find(std::uintptr_t handle) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = handles_.find(handle);
    return it == handles_.end() ? nullptr : it->second;
}

void LogRegistry::close(std::uintptr_t handle)
{
    // Declared before the lock, so a last handle's file closes after the unlock.
    std::shared_ptr<LogFile> file;
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = handles_.find(handle);
    if (it == handles_.end())
        return;
    file = std::move(it->second);
    handles_.erase(it);
}

} // namespace tracel
