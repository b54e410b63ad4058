// Volumes from the mount table and the sysfs block devices. A volume on a
// hot-pluggable disk (USB, SD card) qualifies as hot-pluggable; it is
// DRIVE_REMOVABLE when its disk reports removable media or is an SD card.
#ifndef VANTEL_PLATFORM_LINUXVOLUMES_H
#define VANTEL_PLATFORM_LINUXVOLUMES_H

#include <memory>

#include "linuxblockdevices.h"
#include "linuxmounttable.h"
#include "volumes.h"

namespace vantel::platform {

class LinuxMountMonitor;

class LinuxVolumes : public Volumes
{
public:
    LinuxVolumes(std::string sysfsRoot, std::string procRoot);
    ~LinuxVolumes() override;

    std::vector<Volume> volumes() override;
    unsigned driveType(const std::string& rootPath) override;

protected:
    void follow(bool on) override;

private:
    // The drive type of mount point `point` (no trailing separator) in `mounts`.
    unsigned typeOf(const std::vector<LinuxMount>& mounts, const std::string& point) const;

    LinuxBlockDevices blockDevices;
    std::string procRoot;
    std::string mountInfoPath;
    std::unique_ptr<LinuxMountMonitor> monitor;
};

} // namespace vantel::platform

#endif
