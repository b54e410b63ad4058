// The desktop of a Wayland session read through zwlr_screencopy_manager_v1
// (wlroots compositors): one frame of every output into shared memory, each
// placed at its position in the compositor's space. A connection for each
// grab, which is rare, bounded by a time limit.
#ifndef VANTEL_PLATFORM_WAYLANDSCREENGRAB_H
#define VANTEL_PLATFORM_WAYLANDSCREENGRAB_H

#include "screengrab.h"

namespace vantel::platform {

class WaylandScreenGrab : public ScreenGrab
{
public:
    explicit WaylandScreenGrab(int timeLimit = 2000) : timeLimitMs(timeLimit) {}

    bool grabDesktop(ScreenPicture& picture) override;

private:
    const int timeLimitMs;
};

} // namespace vantel::platform

#endif
