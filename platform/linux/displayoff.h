// The display-off timeout of the power scheme, told to the display server
// of the session: the X server's DPMS, or the compositor's output power.
#ifndef VANTEL_PLATFORM_DISPLAYOFF_H
#define VANTEL_PLATFORM_DISPLAYOFF_H

#include <cstdint>

namespace vantel::platform {

class DisplayOff
{
public:
    virtual ~DisplayOff() = default;

    // Powers the display off after `seconds` without input and on at the
    // next input; 0 never. False when the session has no way to, or its
    // display server refused.
    virtual bool apply(std::uint32_t seconds) = 0;
};

} // namespace vantel::platform

#endif
