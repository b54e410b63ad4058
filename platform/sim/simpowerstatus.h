// The simulated tablet's power status: whatever the test or scenario set.
#ifndef VANTEL_PLATFORM_SIMPOWERSTATUS_H
#define VANTEL_PLATFORM_SIMPOWERSTATUS_H

#include "powerstatus.h"

namespace vantel::platform {

class SimPowerStatus : public PowerStatus
{
public:
    bool getSystemPowerStatus(SystemPowerStatus& status) override;

    void set(std::uint8_t acLineStatus, std::uint8_t batteryLifePercent);
    void setReadable(bool readable);

private:
    SystemPowerStatus current{AC_LINE_ONLINE, 100};
    bool readable = true;
};

} // namespace vantel::platform

#endif
