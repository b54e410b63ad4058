// The simulated tablet's last input: a tick count that stands still, and
// the input that many seconds before it that a test or the scenario sets.
#ifndef VANTEL_PLATFORM_SIMLASTINPUT_H
#define VANTEL_PLATFORM_SIMLASTINPUT_H

#include <atomic>

#include "lastinput.h"

namespace vantel::platform {

class SimLastInput : public LastInput
{
public:
    bool getLastInputInfo(std::uint32_t& tickOfLastInput) override
    {
        if (!readable)
            return false;
        tickOfLastInput = tick.load() - idleMs.load();
        return true;
    }

    std::uint32_t getTickCount() override { return tick.load(); }

    void setIdleSeconds(std::uint32_t seconds) { idleMs = seconds * 1000u; }
    // Where the clock stands, so that a test can put it just past its wrap.
    void setTickCount(std::uint32_t value) { tick = value; }
    // A tablet with no display to ask.
    void setReadable(bool value) { readable = value; }

private:
    std::atomic<std::uint32_t> tick{3600000};
    std::atomic<std::uint32_t> idleMs{0};
    std::atomic<bool> readable{true};
};

} // namespace vantel::platform

#endif
