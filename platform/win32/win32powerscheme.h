// The power scheme through powrprof: the calls whose numbers and results the
// interface keeps.
#ifndef VANTEL_PLATFORM_WIN32POWERSCHEME_H
#define VANTEL_PLATFORM_WIN32POWERSCHEME_H

#include "powerscheme.h"

namespace vantel::platform {

class Win32PowerScheme : public PowerScheme
{
public:
    std::uint32_t getActiveScheme(Guid& scheme) override;
    std::uint32_t readValueIndex(PowerLine line, const Guid& scheme, const Guid& subgroup, const Guid& setting,
                                 std::uint32_t& value) override;
    std::uint32_t writeValueIndex(PowerLine line, const Guid& scheme, const Guid& subgroup, const Guid& setting,
                                  std::uint32_t value) override;
    std::uint32_t setActiveScheme(const Guid& scheme) override;
};

} // namespace vantel::platform

#endif
