// The Linux power scheme's values in a small text file, one value a line:
//   <subgroup GUID> <setting GUID> <AC|DC> <decimal value>
// Lines starting with '#' and lines that do not read so are skipped. The
// file is read again only when it changed (another process, a person's
// editor) and replaced as a whole on each write, so a reader never sees
// half of one.
#ifndef VANTEL_PLATFORM_LINUXPOWERSCHEMESTORE_H
#define VANTEL_PLATFORM_LINUXPOWERSCHEMESTORE_H

#include <sys/types.h>

#include <ctime>
#include <string>

#include "powerschemevalues.h"

namespace vantel::platform {

class LinuxPowerSchemeStore
{
public:
    explicit LinuxPowerSchemeStore(std::string filePath);

    // "$XDG_CONFIG_HOME/vantel/powerscheme.conf", ~/.config when XDG_CONFIG_HOME is unset.
    static std::string defaultPath();

    // The values the file holds now; none when it is missing or unreadable.
    const PowerSchemeValues& values();

    // Stores `value` with the other values of the file, making the folder
    // when needed. False, the file left as it was, when it cannot be written.
    bool write(const PowerValueKey& key, std::uint32_t value);

    const std::string& path() const { return file; }

    // The values of a store's text, and the text of values: what parse()
    // reads back from format() is what format() was given.
    static PowerSchemeValues parse(const std::string& text);
    static std::string format(const PowerSchemeValues& values);

private:
    // What tells one version of the file from another.
    struct Stamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1;
        timespec modified{};
        bool operator==(const Stamp& other) const;
    };

    void load();

    std::string file;
    PowerSchemeValues cache;
    Stamp stamp;
    bool stamped = false; // false: nothing read yet, or the file was missing
};

} // namespace vantel::platform

#endif
