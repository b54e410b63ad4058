// The power scheme on Linux, which has none of its own: one scheme (the
// Balanced one) whose values live in the library's store file. Activating
// it applies the display-off timeout of the power source in use to the
// session's display server, and holds a logind inhibitor while the sleep
// timeout is 0 (never).
// Values never written are left to the system at activation.
#ifndef VANTEL_PLATFORM_LINUXPOWERSCHEME_H
#define VANTEL_PLATFORM_LINUXPOWERSCHEME_H

#include <memory>
#include <mutex>
#include <string>

#include "displayoff.h"
#include "linuxpowerschemestore.h"
#include "linuxsleepinhibitor.h"
#include "powerscheme.h"
#include "powerstatus.h"

namespace vantel::platform {

class LinuxPowerScheme : public PowerScheme
{
public:
    // `power` tells, at each activation, whose timeouts apply (mains unless
    // the AC line is off). `displayOff` applies the display-off timeout; null
    // is the X server's.
    LinuxPowerScheme(std::string storePath, PowerStatus& power, std::unique_ptr<DisplayOff> displayOff = nullptr);

    std::uint32_t getActiveScheme(Guid& scheme) override;
    std::uint32_t readValueIndex(PowerLine line, const Guid& scheme, const Guid& subgroup, const Guid& setting,
                                 std::uint32_t& value) override;
    std::uint32_t writeValueIndex(PowerLine line, const Guid& scheme, const Guid& subgroup, const Guid& setting,
                                  std::uint32_t value) override;
    std::uint32_t setActiveScheme(const Guid& scheme) override;

private:
    std::mutex mutex;
    LinuxPowerSchemeStore store;
    PowerStatus& power;
    LinuxSleepInhibitor inhibitor;
    const std::unique_ptr<DisplayOff> displayTimeout;
};

} // namespace vantel::platform

#endif
