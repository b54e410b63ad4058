// The native backend on Linux: the real machine, read through sysfs and
// procfs at the roots VANTEL_SYSFS_ROOT and VANTEL_PROC_ROOT (default /sys and
// /proc), taken once when the backend is made.
#ifndef VANTEL_PLATFORM_LINUXBACKEND_H
#define VANTEL_PLATFORM_LINUXBACKEND_H

#include "linuxdebugoutput.h"
#include "linuxpowerstatus.h"
#include "linuxvolumes.h"
#include "platform.h"

namespace vantel::platform {

class LinuxBackend : public Backend
{
public:
    LinuxBackend(const std::string& sysfsRoot, const std::string& procRoot);

    const char* name() const override { return "linux"; }
    PowerStatus& powerStatus() override { return power; }
    Volumes& volumes() override { return volumeService; }
    DebugOutput& debugOutput() override { return debug; }

private:
    LinuxPowerStatus power;
    LinuxVolumes volumeService;
    LinuxDebugOutput debug;
};

} // namespace vantel::platform

#endif
