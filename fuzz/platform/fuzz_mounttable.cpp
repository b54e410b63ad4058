// Reads arbitrary bytes as the kernel's mount table, and as the label of a
// stick mounted under /media. Every mount read has an absolute mount point
// without a trailing separator; written back the way the kernel escapes it
// (\040 for a blank, \011, \012, \134), it reads as the same mount. A label
// of any bytes but NUL, escaped so, comes back as it was.
#include "linux/linuxmounttable.h"

#include <cstdint>
#include <cstdlib>

using namespace vantel::platform;

namespace {

std::string escaped(const std::string& field)
{
    static const char digits[] = "01234567";
    std::string out;
    for (const char c : field) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\') {
            const unsigned byte = static_cast<unsigned char>(c);
            out += '\\';
            out += digits[byte >> 6];
            out += digits[(byte >> 3) & 7];
            out += digits[byte & 7];
        } else {
            out += c;
        }
    }
    return out;
}

std::string line(const LinuxMount& m)
{
    return "36 25 " + std::to_string(m.major) + ':' + std::to_string(m.minor) + ' ' + escaped(m.root) + ' '
           + escaped(m.mountPoint) + " rw,nosuid shared:1 - " + escaped(m.fsType) + ' ' + escaped(m.source)
           + " rw\n";
}

bool same(const LinuxMount& a, const LinuxMount& b)
{
    return a.major == b.major && a.minor == b.minor && a.root == b.root && a.mountPoint == b.mountPoint
           && a.fsType == b.fsType && a.source == b.source;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const LinuxMount& mount : LinuxMountTable::parse(text)) {
        const std::string& point = mount.mountPoint;
        if (point.empty() || point[0] != '/' || (point.size() > 1 && point.back() == '/'))
            std::abort();
        // Fields the kernel never leaves empty and never splits.
        if (mount.root.empty() || mount.fsType.empty() || mount.source.empty())
            continue;
        const std::vector<LinuxMount> again = LinuxMountTable::parse(line(mount));
        if (again.size() != 1 || !same(again[0], mount))
            std::abort();
    }

    std::string label = text.substr(0, text.find('\0'));
    while (!label.empty() && label.back() == '/')
        label.pop_back();
    if (label.empty())
        return 0;
    LinuxMount stick;
    stick.major = 8;
    stick.minor = 17;
    stick.root = "/";
    stick.mountPoint = "/media/user/" + label;
    stick.fsType = "vfat";
    stick.source = "/dev/sdb1";
    const std::vector<LinuxMount> read = LinuxMountTable::parse(line(stick));
    if (read.size() != 1 || !same(read[0], stick))
        std::abort();
    return 0;
}
