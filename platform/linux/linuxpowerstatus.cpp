#include "linuxpowerstatus.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "linuxpowersupply.h"

namespace vantel::platform {

// What the supplies listed in one look at the class folder add up to, or
// one supply's share of it.
struct LinuxPowerStatus::Totals {
    // What the batteries add up to.
    struct Batteries {
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

    int supplies = 0;
    bool lineListed = false;
    bool lineOnline = false;
    Batteries batteries;
};

struct LinuxPowerStatus::KeptSupply {
    std::string name;
    ino_t entry;       // the listing's inode: another number is another supply
    int folderFd;      // O_PATH; held, so that a folder made anew gets another inode
    int ueventFd;      // -1 while the files are read instead
    bool listed;
    std::string text;  // the uevent last read; empty while the files are read
    Totals share;      // what that text added up to, to be added again while it stays the same
};

namespace {

using BatteryTotals = LinuxPowerStatus::Totals::Batteries;
using SupplyTotals = LinuxPowerStatus::Totals;

using Supply = LinuxPowerSupply;

bool same(const char* text, const char* value)
{
    return text && std::strcmp(text, value) == 0;
}

bool readPair(Supply& supply, Supply::Attribute nowName, Supply::Attribute fullName, double& now, double& full)
{
    std::int64_t n = 0, f = 0;
    if (!supply.toInt64(nowName, n) || n < 0 || !supply.toInt64(fullName, f) || f <= 0)
        return false;
    now = double(n);
    full = double(f);
    return true;
}

void addBattery(Supply& supply, BatteryTotals& totals)
{
    // Attributes the driver does not provide count as their usual value:
    // no scope is a system battery, no presence flag a present one.
    const char* scope = supply.text(Supply::Scope);
    if (scope && !same(scope, "System"))
        return;
    std::int64_t present = 1;
    if (supply.toInt64(Supply::Present, present) && present == 0)
        return;

    ++totals.count;
    const char* state = supply.text(Supply::Status);
    if (same(state, "Discharging"))
        totals.discharging = true;
    else if (same(state, "Charging") || same(state, "Full") || same(state, "Not charging"))
        totals.charging = true;

    double now = 0, full = 0;
    std::int64_t value = 0;
    if (readPair(supply, Supply::EnergyNow, Supply::EnergyFull, now, full)) {
        totals.energyNow += now;
        totals.energyFull += full;
        ++totals.energyCount;
    } else if (readPair(supply, Supply::ChargeNow, Supply::ChargeFull, now, full)) {
        totals.chargeNow += now;
        totals.chargeFull += full;
        ++totals.chargeCount;
        std::int64_t voltage = 0;
        if ((supply.toInt64(Supply::VoltageMinDesign, voltage) && voltage > 0)
            || (supply.toInt64(Supply::VoltageNow, voltage) && voltage > 0)) {
            totals.energyNow += now * double(voltage) / 1e6;
            totals.energyFull += full * double(voltage) / 1e6;
            ++totals.energyCount;
        }
    } else if (supply.toInt64(Supply::Capacity, value) && value >= 0) {
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

void addSupply(Supply& supply, SupplyTotals& totals)
{
    const char* type = supply.text(Supply::Type);
    if (same(type, "Mains") || (type && std::strncmp(type, "USB", 3) == 0)) {
        totals.lineListed = true;
        std::int64_t online = 0;
        if (supply.toInt64(Supply::Online, online) && online != 0)
            totals.lineOnline = true;
    } else if (same(type, "Battery")) {
        addBattery(supply, totals.batteries);
    }
}

// Adds one supply's share, in the order the supplies come, as reading it adds.
void addShare(const SupplyTotals& share, SupplyTotals& totals)
{
    totals.lineListed = totals.lineListed || share.lineListed;
    totals.lineOnline = totals.lineOnline || share.lineOnline;
    const BatteryTotals& from = share.batteries;
    BatteryTotals& to = totals.batteries;
    to.count += from.count;
    to.discharging = to.discharging || from.discharging;
    to.charging = to.charging || from.charging;
    to.energyNow += from.energyNow;
    to.energyFull += from.energyFull;
    to.energyCount += from.energyCount;
    to.chargeNow += from.chargeNow;
    to.chargeFull += from.chargeFull;
    to.chargeCount += from.chargeCount;
    to.percentSum += from.percentSum;
    to.percentCount += from.percentCount;
}

using Kept = LinuxPowerStatus::KeptSupply;

void release(const Kept& supply)
{
    if (supply.ueventFd >= 0)
        ::close(supply.ueventFd);
    ::close(supply.folderFd);
}

// Supplies beyond these are opened and closed at each query instead: a
// machine lists a handful, and a folder of hundreds must not take as many
// descriptors.
constexpr std::size_t kMaxKept = 16;

// The kept supply of listing entry `name` with inode `entry` of the folder
// open as `classFd`, opened when it is new or another than the one kept
// under that name; `spare`, to be released after use, when kMaxKept are kept
// already; nullptr when it cannot be opened (it vanished since the listing).
Kept* keep(std::vector<Kept>& kept, int classFd, const char* name, ino_t entry, Kept& spare)
{
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (kept[i].name != name)
            continue;
        if (kept[i].entry == entry) {
            kept[i].listed = true;
            return &kept[i];
        }
        release(kept[i]);
        kept.erase(kept.begin() + std::ptrdiff_t(i));
        break;
    }
    const int folderFd = ::openat(classFd, name, O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return nullptr;
    if (kept.size() >= kMaxKept) {
        spare = {std::string(), entry, folderFd, -1, true, std::string(), SupplyTotals()};
        return &spare;
    }
    kept.push_back({name, entry, folderFd, -1, true, std::string(), SupplyTotals()});
    return &kept.back();
}

// Lists the folder open as `classFd` from its start with getdents64 itself
// (readdir() would want an fstat) and reads each supply; the supplies kept
// that it no longer lists are let go.
SupplyTotals readSupplies(int classFd, std::vector<Kept>& kept)
{
    for (Kept& supply : kept)
        supply.listed = false;
    SupplyTotals totals;
    alignas(dirent64) char entries[4096];
    ssize_t size;
    bool more = true;
    while (more && (size = ::getdents64(classFd, entries, sizeof(entries))) > 0) {
        // The kernel fills the buffer while the next entry fits: room left
        // for the longest entry means the folder was read to its end, and
        // the call that would say so is saved.
        more = std::size_t(size) + sizeof(dirent64) > sizeof(entries);
        for (ssize_t at = 0; at < size;) {
            const auto* entry = reinterpret_cast<const dirent64*>(entries + at);
            at += entry->d_reclen;
            if (entry->d_name[0] == '.')
                continue;
            ++totals.supplies;
            // A supply that vanishes between the listing and here is simply not counted.
            Kept spare{};
            Kept* folder = keep(kept, classFd, entry->d_name, entry->d_ino, spare);
            if (!folder)
                continue;
            // A text read before is not parsed again: its share is added again.
            Supply supply;
            if (!supply.read(folder->folderFd, folder->ueventFd, folder->text)) {
                folder->share = SupplyTotals();
                addSupply(supply, folder->share);
            }
            addShare(folder->share, totals);
            if (folder == &spare)
                release(spare);
        }
    }
    for (std::size_t i = kept.size(); i-- > 0;) {
        if (!kept[i].listed) {
            release(kept[i]);
            kept.erase(kept.begin() + std::ptrdiff_t(i));
        }
    }
    return totals;
}

} // namespace

LinuxPowerStatus::LinuxPowerStatus(std::string sysfsRoot)
    : root(std::move(sysfsRoot)), classDir(root + "/class/power_supply")
{
}

LinuxPowerStatus::~LinuxPowerStatus()
{
    for (const Kept& supply : kept)
        release(supply);
    if (classFd >= 0)
        ::close(classFd);
}

bool LinuxPowerStatus::getSystemPowerStatus(SystemPowerStatus& status)
{
    std::lock_guard<std::mutex> lock(classMutex);
    // The folder stays open between queries, which saves finding it again
    // each time. An empty look opens it anew, so a folder that was replaced
    // or went away is noticed.
    SupplyTotals totals;
    if (classFd >= 0 && ::lseek(classFd, 0, SEEK_SET) == 0)
        totals = readSupplies(classFd, kept);
    if (totals.supplies == 0) {
        if (classFd >= 0)
            ::close(classFd);
        classFd = ::open(classDir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (classFd < 0) {
            if (::access(root.c_str(), F_OK) != 0)
                return false;
            status.acLineStatus = AC_LINE_ONLINE; // a kernel without the class: no battery
            status.batteryLifePercent = BATTERY_PERCENTAGE_UNKNOWN;
            return true;
        }
        totals = readSupplies(classFd, kept);
    }

    const BatteryTotals& batteries = totals.batteries;
    if (totals.lineListed)
        status.acLineStatus = totals.lineOnline ? AC_LINE_ONLINE : AC_LINE_OFFLINE;
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
