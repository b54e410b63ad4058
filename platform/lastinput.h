// Last-input service: when the user last touched the tablet, on the clock of
// the tick count (GetLastInputInfo and GetTickCount on Windows).
#ifndef VANTEL_PLATFORM_LASTINPUT_H
#define VANTEL_PLATFORM_LASTINPUT_H

#include <cstdint>

namespace vantel::platform {

class LastInput
{
public:
    virtual ~LastInput() = default;

    // The tick count at the last keyboard, mouse or touch input. False when
    // it cannot be told (no display to ask).
    virtual bool getLastInputInfo(std::uint32_t& tickOfLastInput) = 0;

    // Milliseconds on a clock that never goes back, in 32 bits: it wraps to
    // 0 after about 49.7 days, so durations are differences taken modulo 2^32.
    virtual std::uint32_t getTickCount() = 0;
};

} // namespace vantel::platform

#endif
