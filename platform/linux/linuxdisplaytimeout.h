// The display-off timeout on the X server named by DISPLAY: its screen saver
// and, when the server has the extension, DPMS. The connection is kept from
// one change to the next, and each change is bounded by its time limit
// (x11connection.h).
#ifndef VANTEL_PLATFORM_LINUXDISPLAYTIMEOUT_H
#define VANTEL_PLATFORM_LINUXDISPLAYTIMEOUT_H

#include <cstdint>

#include "displayoff.h"
#include "x11connection.h"

namespace vantel::platform {

class LinuxDisplayTimeout : public DisplayOff
{
public:
    explicit LinuxDisplayTimeout(int timeLimitMs = 2000);

    // Blanks and powers the display off after `seconds` without input; 0
    // never. False when there is no X server to tell, or it refused.
    bool apply(std::uint32_t seconds) override;

private:
    X11Connection x11;
    bool hasDpms = false;
};

} // namespace vantel::platform

#endif
