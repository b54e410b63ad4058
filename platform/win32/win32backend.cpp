#include "win32backend.h"

namespace vantel::platform {

PowerStatus& Win32Backend::powerStatus()
{
    return power.get([] { return std::make_unique<Win32PowerStatus>(); });
}

Volumes& Win32Backend::volumes()
{
    return volumeService.get([] { return std::make_unique<Win32Volumes>(); });
}

DebugOutput& Win32Backend::debugOutput()
{
    return debug.get([] { return std::make_unique<Win32DebugOutput>(); });
}

WindowsVersion& Win32Backend::windowsVersion()
{
    return version.get([] { return std::make_unique<Win32WindowsVersion>(); });
}

std::shared_ptr<Backend> createNativeBackend()
{
    return std::make_shared<Win32Backend>();
}

} // namespace vantel::platform
