// The mount table of this process, as the kernel lists it in
// <proc root>/self/mountinfo.
#ifndef VANTEL_PLATFORM_LINUXMOUNTTABLE_H
#define VANTEL_PLATFORM_LINUXMOUNTTABLE_H

#include <string>
#include <vector>

namespace vantel::platform {

struct LinuxMount {
    unsigned major = 0;
    unsigned minor = 0;
    std::string root;       // the directory of the file system mounted here, "/" for all of it
    std::string mountPoint; // without a trailing separator, except "/"
    std::string fsType;
    std::string source;
};

class LinuxMountTable
{
public:
    // The whole file; empty when it cannot be read, is no regular
    // file or holds more than 16 MB.
    static std::string readFile(const std::string& path);

    // One entry per well-formed line, in file order (the order of mounting);
    // malformed lines are skipped.
    static std::vector<LinuxMount> parse(const std::string& text);
};

} // namespace vantel::platform

#endif
