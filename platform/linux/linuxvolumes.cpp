#include "linuxvolumes.h"

#include <algorithm>

#include "linuxmountmonitor.h"
#include "linuxmounttable.h"

namespace vantel::platform {

namespace {

std::string withSeparator(const std::string& mountPoint)
{
    return mountPoint == "/" ? mountPoint : mountPoint + "/";
}

bool remoteFileSystem(const std::string& type)
{
    static const char* const remote[] = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p",
                                         "afs", "ceph", "glusterfs", "fuse.sshfs"};
    return std::find(std::begin(remote), std::end(remote), type) != std::end(remote);
}

} // namespace

LinuxVolumes::LinuxVolumes(std::string sysfsRoot, std::string procRootPath)
    : blockDevices(std::move(sysfsRoot)),
      procRoot(std::move(procRootPath)),
      mountInfoPath(procRoot + "/self/mountinfo")
{
}

LinuxVolumes::~LinuxVolumes() = default;

std::vector<Volume> LinuxVolumes::volumes()
{
    const std::vector<LinuxMount> mounts = LinuxMountTable::parse(LinuxMountTable::readFile(mountInfoPath));
    std::vector<Volume> found;
    for (const LinuxMount& mount : mounts) {
        if (mount.root != "/") // a bind mount of a directory is no volume root
            continue;
        LinuxBlockDevice device = blockDevices.describe(mount.major, mount.minor, mount.source);
        if (!device.known)
            continue;
        std::string name = "/dev/" + device.name;
        auto volume = std::find_if(found.begin(), found.end(),
                                   [&](const Volume& v) { return v.name == name; });
        if (volume == found.end()) {
            found.push_back(Volume{name, device.hotplug, {}, typeOf(mounts, mount.mountPoint)});
            volume = found.end() - 1;
        }
        volume->mountPaths.push_back(withSeparator(mount.mountPoint));
    }
    return found;
}

unsigned LinuxVolumes::driveType(const std::string& rootPath)
{
    std::string point = rootPath;
    while (point.size() > 1 && point.back() == '/')
        point.pop_back();
    if (point.empty())
        return DRIVE_NO_ROOT_DIR;
    return typeOf(LinuxMountTable::parse(LinuxMountTable::readFile(mountInfoPath)), point);
}

unsigned LinuxVolumes::typeOf(const std::vector<LinuxMount>& mounts, const std::string& point) const
{
    // The last mount on a point hides the ones before it.
    auto mount = std::find_if(mounts.rbegin(), mounts.rend(),
                              [&](const LinuxMount& m) { return m.mountPoint == point; });
    if (mount == mounts.rend())
        return DRIVE_NO_ROOT_DIR;
    LinuxBlockDevice device = blockDevices.describe(mount->major, mount->minor, mount->source);
    if (device.known) {
        if (device.opticalDisc)
            return DRIVE_CDROM;
        return device.removableMedia ? DRIVE_REMOVABLE : DRIVE_FIXED;
    }
    if (remoteFileSystem(mount->fsType))
        return DRIVE_REMOTE;
    if (mount->fsType == "tmpfs" || mount->fsType == "ramfs")
        return DRIVE_RAMDISK;
    return DRIVE_UNKNOWN;
}

void LinuxVolumes::follow(bool on)
{
    if (on)
        monitor = std::make_unique<LinuxMountMonitor>(mountInfoPath, procRoot == "/proc",
                                                      [this] { notify(); });
    else
        monitor.reset();
}

} // namespace vantel::platform
