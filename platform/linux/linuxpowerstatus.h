// Power status from the kernel's power-supply class
// (<sysfs root>/class/power_supply).
#ifndef VANTEL_PLATFORM_LINUXPOWERSTATUS_H
#define VANTEL_PLATFORM_LINUXPOWERSTATUS_H

#include <mutex>
#include <string>
#include <vector>

#include "powerstatus.h"

namespace vantel::platform {

class LinuxPowerStatus : public PowerStatus
{
public:
    explicit LinuxPowerStatus(std::string sysfsRoot);
    ~LinuxPowerStatus() override;
    LinuxPowerStatus(const LinuxPowerStatus&) = delete;
    LinuxPowerStatus& operator=(const LinuxPowerStatus&) = delete;

    // A mains or USB supply online means AC online. Only batteries of scope
    // System count (a mouse's battery is not the tablet's); several combine
    // by energy, else by charge, else by the mean of their capacities. With
    // no line supply listed, the batteries' charging state decides. No
    // battery at all answers as a desktop PC: AC online, percentage unknown.
    // Fails only when the sysfs root itself is missing.
    bool getSystemPowerStatus(SystemPowerStatus& status) override;

    // What supplies add up to, and a supply listed by the last look at the
    // class folder, kept open until a look no longer lists it: a query then
    // reads each uevent with one call instead of four, and parses it only
    // when it changed.
    struct Totals;
    struct KeptSupply;

private:
    std::string root;
    std::string classDir;
    std::mutex classMutex; // the open folder's position and the kept supplies are shared
    int classFd = -1;
    std::vector<KeptSupply> kept;
};

} // namespace vantel::platform

#endif
