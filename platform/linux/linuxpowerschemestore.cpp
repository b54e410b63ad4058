#include "linuxpowerschemestore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace vantel::platform {

namespace {

// Far more than the few values the library writes; a bigger file is not ours.
constexpr std::size_t kLargestStore = 64 * 1024;

const char kHeader[] =
    "# Vantel power scheme: the values of the active scheme by subgroup, setting\n"
    "# and power line (AC on mains, DC on battery). Written by libvantel.\n";

bool parseLine(const std::string& line, PowerValueKey& key, std::uint32_t& value)
{
    std::istringstream words(line);
    std::string subgroup, setting, lineName, number, extra;
    if (!(words >> subgroup >> setting >> lineName >> number) || (words >> extra))
        return false;
    if (!parseGuid(subgroup, key.subgroup) || !parseGuid(setting, key.setting))
        return false;
    if (lineName == "AC")
        key.line = PowerLine::AC;
    else if (lineName == "DC")
        key.line = PowerLine::DC;
    else
        return false;
    if (number.find_first_not_of("0123456789") != std::string::npos || number.size() > 10)
        return false;
    const unsigned long long parsed = std::strtoull(number.c_str(), nullptr, 10);
    if (parsed > 0xffffffffull)
        return false;
    value = std::uint32_t(parsed);
    return true;
}

bool makeFolders(const std::string& folder)
{
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool writeAll(int fd, const std::string& text)
{
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        left -= std::size_t(n);
    }
    return true;
}

} // namespace

PowerSchemeValues LinuxPowerSchemeStore::parse(const std::string& text)
{
    PowerSchemeValues values;
    std::istringstream lines(text);
    std::string line;
    PowerValueKey key{};
    std::uint32_t value = 0;
    while (std::getline(lines, line)) {
        if (!line.empty() && line[0] != '#' && parseLine(line, key, value))
            values[key] = value;
    }
    return values;
}

std::string LinuxPowerSchemeStore::format(const PowerSchemeValues& values)
{
    std::string text = kHeader;
    for (const auto& [key, value] : values) {
        text += guidText(key.subgroup) + ' ' + guidText(key.setting) + (key.line == PowerLine::AC ? " AC " : " DC ")
                + std::to_string(value) + '\n';
    }
    return text;
}

bool LinuxPowerSchemeStore::Stamp::operator==(const Stamp& other) const
{
    return device == other.device && inode == other.inode && size == other.size
           && modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
}

LinuxPowerSchemeStore::LinuxPowerSchemeStore(std::string filePath)
    : file(std::move(filePath))
{
}

std::string LinuxPowerSchemeStore::defaultPath()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config && config[0] == '/') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::string(home ? home : "") + "/.config";
    }
    return folder + "/vantel/powerscheme.conf";
}

const PowerSchemeValues& LinuxPowerSchemeStore::values()
{
    struct stat now;
    if (::stat(file.c_str(), &now) != 0) {
        cache.clear();
        stamped = false;
        return cache;
    }
    const Stamp seen{now.st_dev, now.st_ino, now.st_size, now.st_mtim};
    if (!stamped || !(seen == stamp))
        load();
    return cache;
}

void LinuxPowerSchemeStore::load()
{
    cache.clear();
    stamped = false;
    // Not blocking: opening a FIFO would wait for a writer. A regular file
    // reads as ever; anything else is turned down below.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat opened;
    if (::fstat(fd, &opened) != 0) {
        ::close(fd);
        return;
    }
    std::string text;
    bool complete = S_ISREG(opened.st_mode) && std::size_t(opened.st_size) <= kLargestStore;
    if (complete) {
        text.resize(std::size_t(opened.st_size));
        std::size_t got = 0;
        while (got < text.size()) {
            const ssize_t n = ::read(fd, &text[got], text.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += std::size_t(n);
        }
        complete = got == text.size();
    }
    ::close(fd);
    // A file too big, or not a file, reads as no values, but is still
    // remembered, so that it is not read again on every poll.
    stamp = {opened.st_dev, opened.st_ino, opened.st_size, opened.st_mtim};
    stamped = true;
    if (complete)
        cache = parse(text);
}

bool LinuxPowerSchemeStore::write(const PowerValueKey& key, std::uint32_t value)
{
    PowerSchemeValues next = values();
    next[key] = value;

    const std::size_t slash = file.rfind('/');
    if (slash != std::string::npos && slash > 0 && !makeFolders(file.substr(0, slash)))
        return false;
    std::string temporary = file + ".XXXXXX";
    const int fd = ::mkostemp(&temporary[0], O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat written;
    const bool ok = writeAll(fd, format(next)) && ::fsync(fd) == 0 && ::fstat(fd, &written) == 0;
    ::close(fd);
    if (!ok || ::rename(temporary.c_str(), file.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    cache = std::move(next);
    stamp = {written.st_dev, written.st_ino, written.st_size, written.st_mtim};
    stamped = true;
    return true;
}

} // namespace vantel::platform
