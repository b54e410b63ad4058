#include "linuxdisplaytimeout.h"

#include <xcb/dpms.h>
#include <xcb/xcb.h>

#include <algorithm>

namespace vantel::platform {

LinuxDisplayTimeout::LinuxDisplayTimeout(int timeLimitMs)
    : x11(timeLimitMs)
{
}

bool LinuxDisplayTimeout::apply(std::uint32_t seconds)
{
    const auto deadline = x11.deadline();
    bool opened = false;
    xcb_connection_t* connection = x11.get(deadline, &opened);
    if (!connection)
        return false;
    X11Requests requests(connection, deadline);
    if (opened)
        hasDpms = requests.hasExtension(&xcb_dpms_id);

    // The screen saver's own settings (cycle, blanking) stay as they are.
    auto saver = requests.reply<xcb_get_screen_saver_reply_t>(xcb_get_screen_saver(connection).sequence);
    const auto timeout = std::int16_t(std::min<std::uint32_t>(seconds, 32767));
    const unsigned set = xcb_set_screen_saver_checked(
                             connection, timeout, saver ? std::int16_t(saver->interval) : -1,
                             saver ? saver->prefer_blanking : std::uint8_t(XCB_BLANKING_DEFAULT),
                             saver ? saver->allow_exposures : std::uint8_t(XCB_EXPOSURES_DEFAULT))
                             .sequence;
    // Only the "off" step: Windows knows no standby or suspend of the display.
    if (hasDpms) {
        xcb_dpms_set_timeouts(connection, 0, 0, std::uint16_t(std::min<std::uint32_t>(seconds, 65535)));
        if (seconds > 0)
            xcb_dpms_enable(connection);
    }
    const bool ok = requests.sync() && requests.succeeded(set);
    if (requests.lost())
        x11.drop(requests.late());
    return ok;
}

} // namespace vantel::platform
