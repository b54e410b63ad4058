#include "linuxmounttable.h"

#include <cstdio>

#include "linuxfile.h"

namespace vantel::platform {

namespace {

// Thousands of mounts fit several times over.
constexpr std::size_t kLargestTable = 16 * 1024 * 1024;

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

// The kernel separates fields by one blank and escapes only blanks, tabs,
// line feeds and backslashes: any other byte (a carriage return from a
// stick's label) belongs to its field.
std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t blank = line.find(' ', start);
        if (blank != start)
            out.push_back(line.substr(start, blank - start));
        if (blank == std::string::npos)
            return out;
        start = blank + 1;
    }
}

bool parseLine(const std::string& line, LinuxMount& mount)
{
    const std::vector<std::string> field = fields(line);
    // id, parent, device, root, mount point, options, optional fields
    // (shared:N, master:N, ...), "-", type, source, super block options
    std::size_t dash = 6;
    while (dash < field.size() && field[dash] != "-")
        ++dash;
    if (dash + 2 >= field.size())
        return false;
    const std::string& device = field[2];
    const std::string& root = field[3];
    const std::string& point = field[4];
    mount.fsType = field[dash + 1];
    mount.source = field[dash + 2];
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
    mount.fsType = unescape(mount.fsType);
    mount.source = unescape(mount.source);
    return !mount.mountPoint.empty() && mount.mountPoint[0] == '/';
}

} // namespace

std::string LinuxMountTable::readFile(const std::string& path)
{
    std::string text;
    readRegularFile(path, kLargestTable, text);
    return text;
}

std::vector<LinuxMount> LinuxMountTable::parse(const std::string& text)
{
    std::vector<LinuxMount> mounts;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        LinuxMount mount;
        if (parseLine(text.substr(start, end - start), mount))
            mounts.push_back(std::move(mount));
        start = end + 1;
    }
    return mounts;
}

} // namespace vantel::platform
