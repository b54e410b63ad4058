// Last input on Linux: the idle time the X server named by DISPLAY keeps
// (the MIT-SCREEN-SAVER extension), on the monotonic clock as tick count.
// The X connection is its own, opened on first use and again after the
// server went away; without an X server the last input cannot be told.
#ifndef VANTEL_PLATFORM_LINUXLASTINPUT_H
#define VANTEL_PLATFORM_LINUXLASTINPUT_H

#include <mutex>

#include "lastinput.h"

struct xcb_connection_t;

namespace vantel::platform {

class LinuxLastInput : public LastInput
{
public:
    LinuxLastInput() = default;
    LinuxLastInput(const LinuxLastInput&) = delete;
    LinuxLastInput& operator=(const LinuxLastInput&) = delete;
    ~LinuxLastInput() override;

    bool getLastInputInfo(std::uint32_t& tickOfLastInput) override;
    std::uint32_t getTickCount() override;

private:
    bool connectDisplay();
    void disconnectDisplay();

    std::mutex mutex;
    xcb_connection_t* connection = nullptr;
    std::uint32_t root = 0;
};

} // namespace vantel::platform

#endif
