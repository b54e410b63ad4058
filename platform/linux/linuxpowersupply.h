// The attributes of one power supply in <sysfs>/class/power_supply: read in
// one go from its uevent file (POWER_SUPPLY_<NAME>=value lines), or one file
// at a time from a folder whose uevent is missing or lacks the type, as
// hand-made test trees and older kernels have it. Both ways give the same texts.
#ifndef VANTEL_PLATFORM_LINUXPOWERSUPPLY_H
#define VANTEL_PLATFORM_LINUXPOWERSUPPLY_H

#include <cstdint>
#include <string>

#include "linuxattribute.h"

namespace vantel::platform {

class LinuxPowerSupply
{
public:
    enum Attribute {
        Type,
        Online,
        Scope,
        Present,
        Status,
        EnergyNow,
        EnergyFull,
        ChargeNow,
        ChargeFull,
        VoltageMinDesign,
        VoltageNow,
        Capacity,
        AttributeCount
    };

    LinuxPowerSupply() = default;
    LinuxPowerSupply(const LinuxPowerSupply&) = delete;
    LinuxPowerSupply& operator=(const LinuxPowerSupply&) = delete;

    // Reads the supply whose folder is open as `folderFd` (O_PATH will do),
    // which must stay open while its attributes are asked for. `ueventFd`
    // is its uevent file kept open between reads (-1: none yet): read again
    // from its start, as sysfs makes the text anew on each read from there;
    // opened anew once when that read fails (a supply that went and came
    // back under the same name), and left -1 when the files are read
    // instead. `lastText` is the uevent text of the read before: true, with
    // nothing parsed and no attribute to ask for, when the text is the same
    // again; else it becomes this read's text (empty when the files are read).
    bool read(int folderFd, int& ueventFd, std::string& lastText);

    // The attribute's text without trailing white space; nullptr when it is
    // missing, unreadable or empty. Valid until the next call.
    const char* text(Attribute attribute);
    bool toInt64(Attribute attribute, std::int64_t& value);

private:
    bool parseUevent(int length);

    int dirFd = -1;          // attribute-file mode only; not ours
    bool fromUevent = false;
    const char* values[AttributeCount] = {};
    // A uevent is small (well under a kilobyte); sysfs never gives more than a page.
    char uevent[4096];
    LinuxAttribute attribute;
};

} // namespace vantel::platform

#endif
