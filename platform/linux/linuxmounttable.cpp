#include "linuxmounttable.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <sstream>

namespace vantel::platform {

namespace {

// Undoes the kernel's octal escapes (\040 for a blank, \011, \012, \134).
std::string unescape(const std::string& field)
{
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3'
            && field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0' && field[i + 3] <= '7') {
            out += char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

bool parseLine(const std::string& line, LinuxMount& mount)
{
    std::istringstream in(line);
    std::string id, parent, device, root, point, options, field;
    if (!(in >> id >> parent >> device >> root >> point >> options))
        return false;
    while (in >> field && field != "-") {
        // optional fields (shared:N, master:N, ...)
    }
    if (field != "-" || !(in >> mount.fsType >> mount.source))
        return false;
    unsigned major = 0, minor = 0;
    char colon = 0, rest = 0;
    if (std::sscanf(device.c_str(), "%u%c%u%c", &major, &colon, &minor, &rest) != 3 || colon != ':')
        return false;
    mount.major = major;
    mount.minor = minor;
    mount.root = unescape(root);
    mount.mountPoint = unescape(point);
    while (mount.mountPoint.size() > 1 && mount.mountPoint.back() == '/')
        mount.mountPoint.pop_back();
    mount.source = unescape(mount.source);
    return !mount.mountPoint.empty() && mount.mountPoint[0] == '/';
}

} // namespace

std::string LinuxMountTable::readFile(const std::string& path)
{
    std::string text;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return text;
    char chunk[4096];
    for (;;) {
        ssize_t n = ::read(fd, chunk, sizeof(chunk));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        text.append(chunk, std::size_t(n));
    }
    ::close(fd);
    return text;
}

std::vector<LinuxMount> LinuxMountTable::parse(const std::string& text)
{
    std::vector<LinuxMount> mounts;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        LinuxMount mount;
        if (parseLine(line, mount))
            mounts.push_back(std::move(mount));
    }
    return mounts;
}

} // namespace vantel::platform
