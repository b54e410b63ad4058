// Last input on Linux: the idle time the X server named by DISPLAY keeps
// (the MIT-SCREEN-SAVER extension), on the monotonic clock as tick count.
// The X connection is its own, opened on first use and again after the
// server went away; without an X server the last input cannot be told.
// Each call is bounded by the connection's time limit (x11connection.h).
#ifndef VANTEL_PLATFORM_LINUXLASTINPUT_H
#define VANTEL_PLATFORM_LINUXLASTINPUT_H

#include <mutex>

#include "lastinput.h"
#include "x11connection.h"

namespace vantel::platform {

class LinuxLastInput : public LastInput
{
public:
    explicit LinuxLastInput(int timeLimitMs = 2000);

    bool getLastInputInfo(std::uint32_t& tickOfLastInput) override;
    std::uint32_t getTickCount() override;

private:
    std::mutex mutex;
    X11Connection x11;
    bool hasScreenSaver = false;
};

} // namespace vantel::platform

#endif
