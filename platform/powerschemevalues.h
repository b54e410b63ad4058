// The values of one power scheme by setting and power line: what the Linux
// store keeps in its file and the simulated tablet in memory.
#ifndef VANTEL_PLATFORM_POWERSCHEMEVALUES_H
#define VANTEL_PLATFORM_POWERSCHEMEVALUES_H

#include <map>
#include <tuple>

#include "powerscheme.h"

namespace vantel::platform {

struct PowerValueKey {
    Guid subgroup;
    Guid setting;
    PowerLine line;

    bool operator<(const PowerValueKey& other) const
    {
        return std::tie(subgroup, setting, line) < std::tie(other.subgroup, other.setting, other.line);
    }
};

using PowerSchemeValues = std::map<PowerValueKey, std::uint32_t>;

// The value of `setting` on `line`, when one was written.
inline bool findPowerValue(const PowerSchemeValues& values, PowerLine line, const Guid& subgroup,
                           const Guid& setting, std::uint32_t& value)
{
    const auto found = values.find({subgroup, setting, line});
    if (found == values.end())
        return false;
    value = found->second;
    return true;
}

} // namespace vantel::platform

#endif
