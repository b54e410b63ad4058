// The desktop through the desktop portal's Screenshot (org.freedesktop.portal
// .Desktop on the session bus), for a compositor that lets no client copy
// its outputs: a request whose answer, the URI of a picture the portal
// wrote, comes later as the Response signal of its Request object. Asked
// from one thread, whose event loop brings the answer; a request that has no
// answer within the time limit is closed and failed.
#ifndef VANTEL_PLATFORM_PORTALSCREENGRAB_H
#define VANTEL_PLATFORM_PORTALSCREENGRAB_H

#include <memory>

#include "screengrab.h"

namespace vantel::platform {

class PortalRequest;

class PortalScreenGrab : public ScreenGrab
{
public:
    explicit PortalScreenGrab(int timeLimitMs = 30000);
    ~PortalScreenGrab() override;
    PortalScreenGrab(const PortalScreenGrab&) = delete;
    PortalScreenGrab& operator=(const PortalScreenGrab&) = delete;

    GrabState grabDesktop(ScreenPicture& picture) override;
    void cancel() override;

private:
    const int timeLimitMs;
    std::unique_ptr<PortalRequest> request;
};

} // namespace vantel::platform

#endif
