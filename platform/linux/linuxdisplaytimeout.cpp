#include "linuxdisplaytimeout.h"

#include <xcb/dpms.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>

namespace vantel::platform {

bool applyDisplayOffTimeout(std::uint32_t seconds)
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    // The screen saver's own settings (cycle, blanking) stay as they are.
    xcb_get_screen_saver_reply_t* saver =
        xcb_get_screen_saver_reply(connection, xcb_get_screen_saver(connection), nullptr);
    const auto timeout = std::int16_t(std::min<std::uint32_t>(seconds, 32767));
    xcb_void_cookie_t set = xcb_set_screen_saver_checked(
        connection, timeout, saver ? std::int16_t(saver->interval) : -1,
        saver ? saver->prefer_blanking : std::uint8_t(XCB_BLANKING_DEFAULT),
        saver ? saver->allow_exposures : std::uint8_t(XCB_EXPOSURES_DEFAULT));
    std::free(saver);
    xcb_generic_error_t* error = xcb_request_check(connection, set);
    const bool ok = error == nullptr;
    std::free(error);

    // Only the "off" step: Windows knows no standby or suspend of the display.
    const xcb_query_extension_reply_t* dpms = xcb_get_extension_data(connection, &xcb_dpms_id);
    if (ok && dpms && dpms->present) {
        xcb_dpms_set_timeouts(connection, 0, 0, std::uint16_t(std::min<std::uint32_t>(seconds, 65535)));
        if (seconds > 0)
            xcb_dpms_enable(connection);
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }
    xcb_disconnect(connection);
    return ok;
}

} // namespace vantel::platform
