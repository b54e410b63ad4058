// The simulated tablet's power scheme: the Balanced scheme's values in
// memory, empty at first, and a count of its activations.
#ifndef VANTEL_PLATFORM_SIMPOWERSCHEME_H
#define VANTEL_PLATFORM_SIMPOWERSCHEME_H

#include <mutex>

#include "powerscheme.h"
#include "powerschemevalues.h"

namespace vantel::platform {

class SimPowerScheme : public PowerScheme
{
public:
    std::uint32_t getActiveScheme(Guid& scheme) override;
    std::uint32_t readValueIndex(PowerLine line, const Guid& scheme, const Guid& subgroup, const Guid& setting,
                                 std::uint32_t& value) override;
    std::uint32_t writeValueIndex(PowerLine line, const Guid& scheme, const Guid& subgroup, const Guid& setting,
                                  std::uint32_t value) override;
    std::uint32_t setActiveScheme(const Guid& scheme) override;

    // A tablet that reports no active scheme.
    void setSchemeReadable(bool readable);
    int activations() const;

private:
    mutable std::mutex mutex;
    PowerSchemeValues values;
    bool readable = true;
    int activated = 0;
};

} // namespace vantel::platform

#endif
