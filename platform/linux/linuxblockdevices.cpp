#include "linuxblockdevices.h"

#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <cstdint>

#include "linuxattribute.h"

namespace vantel::platform {

namespace {

// The device's place in the sysfs device tree, e.g.
// "../../devices/pci0000:00/0000:00:14.0/usb2/2-1/.../block/sdb/sdb1".
std::string linkText(const std::string& path)
{
    char buffer[PATH_MAX];
    ssize_t n = ::readlink(path.c_str(), buffer, sizeof(buffer) - 1);
    return n > 0 ? std::string(buffer, std::size_t(n)) : std::string();
}

std::string lastComponent(const std::string& path)
{
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A path through a USB host controller has a component "usb<N>".
bool onUsb(const std::string& devicePath)
{
    for (std::size_t at = devicePath.find("/usb"); at != std::string::npos;
         at = devicePath.find("/usb", at + 1)) {
        char next = at + 4 < devicePath.size() ? devicePath[at + 4] : '\0';
        if (next >= '0' && next <= '9')
            return true;
    }
    return false;
}

} // namespace

LinuxBlockDevices::LinuxBlockDevices(std::string sysfsRoot)
    : root(std::move(sysfsRoot))
{
}

LinuxBlockDevice LinuxBlockDevices::describe(unsigned major, unsigned minor,
                                             const std::string& source) const
{
    LinuxBlockDevice device;
    std::string path;
    if (major != 0)
        path = root + "/dev/block/" + std::to_string(major) + ":" + std::to_string(minor);
    else if (source.compare(0, 5, "/dev/") == 0 && source.size() > 5)
        path = root + "/class/block/" + lastComponent(source);
    else
        return device;

    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return device;
    device.known = true;
    std::string link = linkText(path);
    device.name = lastComponent(link.empty() ? path : link);

    LinuxAttribute attr;
    int diskFd = fd;
    if (attr.read(fd, "partition")) {
        diskFd = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (diskFd < 0)
            diskFd = fd;
    }
    // The kernel does not flag SD cards as removable media; their reader is a slot all the same.
    const bool sdCard = attr.read(diskFd, "device/type") && attr.is("SD");
    std::int64_t removable = 0;
    device.removableMedia = sdCard || (attr.read(diskFd, "removable") && attr.toInt64(removable) && removable == 1);
    device.opticalDisc = device.name.compare(0, 2, "sr") == 0;
    device.hotplug = sdCard || onUsb(link);
    if (diskFd != fd)
        ::close(diskFd);
    ::close(fd);
    return device;
}

} // namespace vantel::platform
