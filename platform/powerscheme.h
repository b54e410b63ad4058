// Power scheme service: the values of the active power scheme for mains (AC)
// and battery (DC) operation, read and written by setting, and the
// activation that makes written values take effect; the powrprof calls
// PowerGetActiveScheme, PowerRead/WriteACValueIndex, PowerRead/WriteDCValueIndex
// and PowerSetActiveScheme on Windows. Results are Windows error codes.
#ifndef VANTEL_PLATFORM_POWERSCHEME_H
#define VANTEL_PLATFORM_POWERSCHEME_H

#include <cstdint>
#include <cstring>
#include <string>

#include "errorcodes.h"

namespace vantel::platform {

// A Windows GUID, laid out as Windows lays it out.
struct Guid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];

    bool operator==(const Guid& other) const { return std::memcmp(this, &other, sizeof(Guid)) == 0; }
    bool operator!=(const Guid& other) const { return !(*this == other); }
    bool operator<(const Guid& other) const { return std::memcmp(this, &other, sizeof(Guid)) < 0; }
};

// "7516b95f-f776-4464-8c53-06167f40cc99": the registry's form without braces.
std::string guidText(const Guid& guid);
// Reads that form (either case); false for anything else.
bool parseGuid(const std::string& text, Guid& guid);

// The power settings the library uses, by their published names.
constexpr Guid GUID_VIDEO_SUBGROUP{0x7516b95f, 0xf776, 0x4464, {0x8c, 0x53, 0x06, 0x16, 0x7f, 0x40, 0xcc, 0x99}};
constexpr Guid GUID_DEVICE_POWER_POLICY_VIDEO_BRIGHTNESS{
    0xaded5e82, 0xb909, 0x4619, {0x99, 0x49, 0xf5, 0xd7, 0x1d, 0xac, 0x0b, 0xcb}};
constexpr Guid GUID_VIDEO_POWERDOWN_TIMEOUT{0x3c0bc021, 0xc8a8, 0x4e07, {0xa9, 0x73, 0x6b, 0x14, 0xcb, 0xcb, 0x2b, 0x7e}};
constexpr Guid GUID_SLEEP_SUBGROUP{0x238c9fa8, 0x0aad, 0x41ed, {0x83, 0xf4, 0x97, 0xbe, 0x24, 0x2c, 0x8f, 0x20}};
constexpr Guid GUID_STANDBY_TIMEOUT{0x29f6c1db, 0x86da, 0x48c5, {0x9f, 0xdb, 0xf2, 0xb6, 0x7b, 0x1f, 0x44, 0xda}};
// The "Balanced" scheme: the one scheme a backend without schemes of its own reports.
constexpr Guid GUID_TYPICAL_POWER_SAVINGS{0x381b4222, 0xf694, 0x41f0, {0x96, 0x85, 0xff, 0x5b, 0xb2, 0x60, 0xdf, 0x2e}};

// Which of a setting's two values: on mains (AC) or on battery (DC).
enum class PowerLine { AC, DC };

class PowerScheme
{
public:
    virtual ~PowerScheme() = default;

    // The active scheme's identifier; an error code when there is none.
    virtual std::uint32_t getActiveScheme(Guid& scheme) = 0;

    // One value of `scheme`. ERROR_FILE_NOT_FOUND for a value never written
    // or a store that cannot be read: the caller's fallback applies.
    virtual std::uint32_t readValueIndex(PowerLine line, const Guid& scheme, const Guid& subgroup,
                                         const Guid& setting, std::uint32_t& value) = 0;
    // Stores one value of `scheme`; it takes effect at the next activation.
    virtual std::uint32_t writeValueIndex(PowerLine line, const Guid& scheme, const Guid& subgroup,
                                          const Guid& setting, std::uint32_t value) = 0;

    // Makes `scheme` the active one and applies its display-off and sleep
    // timeouts for the power source in use. A display or power manager that
    // is missing is left out, not an error.
    virtual std::uint32_t setActiveScheme(const Guid& scheme) = 0;
};

} // namespace vantel::platform

#endif
