// The display-off timeout on the X server named by DISPLAY: its screen saver
// and, when the server has the extension, DPMS. A connection of its own for
// each change, which is rare.
#ifndef VANTEL_PLATFORM_LINUXDISPLAYTIMEOUT_H
#define VANTEL_PLATFORM_LINUXDISPLAYTIMEOUT_H

#include <cstdint>

namespace vantel::platform {

// Blanks and powers the display off after `seconds` without input; 0 never.
// False when there is no X server to tell.
bool applyDisplayOffTimeout(std::uint32_t seconds);

} // namespace vantel::platform

#endif
