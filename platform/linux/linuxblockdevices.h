// What sysfs tells about the block device behind a mount: its name, whether
// its disk hangs on a hot-pluggable bus and whether it takes removable media.
#ifndef VANTEL_PLATFORM_LINUXBLOCKDEVICES_H
#define VANTEL_PLATFORM_LINUXBLOCKDEVICES_H

#include <string>

namespace vantel::platform {

struct LinuxBlockDevice {
    bool known = false;    // sysfs lists it
    std::string name;      // kernel name, e.g. "sdb1"
    bool hotplug = false;  // its disk is on USB, or is an SD card
    bool removableMedia = false;
    bool opticalDisc = false;
};

class LinuxBlockDevices
{
public:
    explicit LinuxBlockDevices(std::string sysfsRoot);

    // The device numbered major:minor; for file systems that report an
    // anonymous device number (btrfs), the one named by a /dev/ source.
    LinuxBlockDevice describe(unsigned major, unsigned minor, const std::string& source) const;

private:
    std::string root;
};

} // namespace vantel::platform

#endif
