// The desktop of a Wayland session read through zwlr_screencopy_manager_v1
// (wlroots compositors): one frame of every output into shared memory, each
// placed at its position in the compositor's space. A connection for each
// grab, which is rare, bounded by a time limit. A compositor that offers no
// screencopy is read through `withoutScreencopy` (the desktop portal), where
// there is one.
#ifndef VANTEL_PLATFORM_WAYLANDSCREENGRAB_H
#define VANTEL_PLATFORM_WAYLANDSCREENGRAB_H

#include <memory>

#include "screengrab.h"

namespace vantel::platform {

class WaylandScreenGrab : public ScreenGrab
{
public:
    explicit WaylandScreenGrab(std::unique_ptr<ScreenGrab> withoutScreencopy = nullptr, int timeLimit = 2000)
        : otherWay(std::move(withoutScreencopy)), timeLimitMs(timeLimit)
    {
    }

    GrabState grabDesktop(ScreenPicture& picture) override;
    void cancel() override;

private:
    GrabState askOtherWay(ScreenPicture& picture);

    const std::unique_ptr<ScreenGrab> otherWay;
    const int timeLimitMs;
    bool otherWayPending = false;
};

} // namespace vantel::platform

#endif
