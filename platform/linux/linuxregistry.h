// The registry on Linux: one system configuration file, by default
// /etc/vantel/registry.ini (VANTEL_ETC_ROOT moves /etc), read at each query.
// A section is a key path, a line "name=string" one string of a value; a
// value of several strings repeats its name on several lines:
//
//   [HKEY_LOCAL_MACHINE\Loader]
//   SystemPath=/opt/loader/bin
//   SystemPath=/opt/loader/tools
//
// Lines starting with ';' or '#' are comments; blanks around names and
// strings are dropped, and an empty string is no string. A missing file
// holds no values; so does one that is no regular file (a FIFO, a device)
// or is larger than 1 MB.
#ifndef VANTEL_PLATFORM_LINUXREGISTRY_H
#define VANTEL_PLATFORM_LINUXREGISTRY_H

#include "registry.h"

namespace vantel::platform {

class LinuxRegistry : public Registry
{
public:
    explicit LinuxRegistry(std::string etcRoot);

    long readStringList(const std::string& key, const std::string& name,
                        std::vector<std::string>& strings) override;

    const std::string& fileName() const { return file; }

    // The strings of value `name` of `key` in the file's text `text`.
    static long parse(const std::string& text, const std::string& key, const std::string& name,
                      std::vector<std::string>& strings);

private:
    const std::string file;
};

} // namespace vantel::platform

#endif
