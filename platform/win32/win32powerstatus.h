// Power status from GetSystemPowerStatus, whose numbers the interface keeps.
#ifndef VANTEL_PLATFORM_WIN32POWERSTATUS_H
#define VANTEL_PLATFORM_WIN32POWERSTATUS_H

#include "powerstatus.h"

namespace vantel::platform {

class Win32PowerStatus : public PowerStatus
{
public:
    // Windows itself answers AC online with the percentage unknown (255) on
    // a machine without a battery.
    bool getSystemPowerStatus(SystemPowerStatus& status) override;
};

} // namespace vantel::platform

#endif
