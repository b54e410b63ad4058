#include "linuxpowerstatus.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>

#include "linuxattribute.h"

namespace vantel::platform {

namespace {

// What the batteries add up to in one query.
struct BatteryTotals {
    int count = 0;
    bool discharging = false;
    bool charging = false;

    // Sums over the batteries that gave the unit; `*Count` tells how many did.
    double energyNow = 0, energyFull = 0; // µWh, charge converted through the voltage
    int energyCount = 0;
    double chargeNow = 0, chargeFull = 0; // µAh
    int chargeCount = 0;
    double percentSum = 0;                // each battery's own percentage
    int percentCount = 0;
};

bool readPair(LinuxAttribute& attr, int fd, const char* nowName, const char* fullName,
              double& now, double& full)
{
    std::int64_t n = 0, f = 0;
    if (!attr.read(fd, nowName) || !attr.toInt64(n) || n < 0)
        return false;
    if (!attr.read(fd, fullName) || !attr.toInt64(f) || f <= 0)
        return false;
    now = double(n);
    full = double(f);
    return true;
}

void addBattery(int fd, LinuxAttribute& attr, BatteryTotals& totals)
{
    // Attributes the driver does not provide count as their usual value:
    // no scope is a system battery, no presence flag a present one.
    if (attr.read(fd, "scope") && !attr.is("System"))
        return;
    std::int64_t present = 1;
    if (attr.read(fd, "present") && attr.toInt64(present) && present == 0)
        return;

    ++totals.count;
    if (attr.read(fd, "status")) {
        if (attr.is("Discharging"))
            totals.discharging = true;
        else if (attr.is("Charging") || attr.is("Full") || attr.is("Not charging"))
            totals.charging = true;
    }

    double now = 0, full = 0;
    std::int64_t value = 0;
    if (readPair(attr, fd, "energy_now", "energy_full", now, full)) {
        totals.energyNow += now;
        totals.energyFull += full;
        ++totals.energyCount;
    } else if (readPair(attr, fd, "charge_now", "charge_full", now, full)) {
        totals.chargeNow += now;
        totals.chargeFull += full;
        ++totals.chargeCount;
        std::int64_t voltage = 0;
        if ((attr.read(fd, "voltage_min_design") && attr.toInt64(voltage) && voltage > 0)
            || (attr.read(fd, "voltage_now") && attr.toInt64(voltage) && voltage > 0)) {
            totals.energyNow += now * double(voltage) / 1e6;
            totals.energyFull += full * double(voltage) / 1e6;
            ++totals.energyCount;
        }
    } else if (attr.read(fd, "capacity") && attr.toInt64(value) && value >= 0) {
        totals.percentSum += double(value > 100 ? 100 : value);
        ++totals.percentCount;
        return;
    } else {
        return;
    }
    totals.percentSum += now >= full ? 100.0 : 100.0 * now / full;
    ++totals.percentCount;
}

std::uint8_t roundedPercent(double percent)
{
    if (percent >= 100.0)
        return 100;
    if (percent <= 0.0)
        return 0;
    return std::uint8_t(percent + 0.5);
}

std::uint8_t combinedPercent(const BatteryTotals& totals)
{
    if (totals.percentCount == 0)
        return BATTERY_PERCENTAGE_UNKNOWN;
    if (totals.energyCount == totals.percentCount)
        return roundedPercent(100.0 * totals.energyNow / totals.energyFull);
    if (totals.chargeCount == totals.percentCount)
        return roundedPercent(100.0 * totals.chargeNow / totals.chargeFull);
    return roundedPercent(totals.percentSum / totals.percentCount);
}

} // namespace

LinuxPowerStatus::LinuxPowerStatus(std::string sysfsRoot)
    : root(std::move(sysfsRoot)), classDir(root + "/class/power_supply")
{
}

bool LinuxPowerStatus::getSystemPowerStatus(SystemPowerStatus& status)
{
    DIR* dir = ::opendir(classDir.c_str());
    if (!dir) {
        if (::access(root.c_str(), F_OK) != 0)
            return false;
        status.acLineStatus = AC_LINE_ONLINE; // a kernel without the class: no battery
        status.batteryLifePercent = BATTERY_PERCENTAGE_UNKNOWN;
        return true;
    }

    BatteryTotals batteries;
    bool lineListed = false;
    bool lineOnline = false;
    LinuxAttribute attr;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        // A supply that vanishes between the listing and here is simply not counted.
        int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (attr.read(fd, "type")) {
            if (attr.is("Mains") || attr.startsWith("USB")) {
                lineListed = true;
                std::int64_t online = 0;
                if (attr.read(fd, "online") && attr.toInt64(online) && online != 0)
                    lineOnline = true;
            } else if (attr.is("Battery")) {
                addBattery(fd, attr, batteries);
            }
        }
        ::close(fd);
    }
    ::closedir(dir);

    if (lineListed)
        status.acLineStatus = lineOnline ? AC_LINE_ONLINE : AC_LINE_OFFLINE;
    else if (batteries.discharging)
        status.acLineStatus = AC_LINE_OFFLINE;
    else if (batteries.count == 0 || batteries.charging)
        status.acLineStatus = AC_LINE_ONLINE;
    else
        status.acLineStatus = AC_LINE_UNKNOWN;
    status.batteryLifePercent = combinedPercent(batteries);
    return true;
}

} // namespace vantel::platform
