#include "linuxbackend.h"

#include "linuxattribute.h"

namespace vantel::platform {

LinuxBackend::LinuxBackend(const std::string& sysfsRoot, const std::string& procRoot)
    : power(sysfsRoot), volumeService(sysfsRoot, procRoot)
{
}

std::shared_ptr<Backend> createNativeBackend()
{
    return std::make_shared<LinuxBackend>(linuxRoot("VANTEL_SYSFS_ROOT", "/sys"),
                                          linuxRoot("VANTEL_PROC_ROOT", "/proc"));
}

} // namespace vantel::platform
