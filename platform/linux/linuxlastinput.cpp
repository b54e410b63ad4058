#include "linuxlastinput.h"

#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <ctime>

namespace vantel::platform {

LinuxLastInput::~LinuxLastInput()
{
    disconnectDisplay();
}

bool LinuxLastInput::connectDisplay()
{
    if (connection && !xcb_connection_has_error(connection))
        return true;
    disconnectDisplay();
    connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        disconnectDisplay();
        return false;
    }
    const xcb_query_extension_reply_t* saver = xcb_get_extension_data(connection, &xcb_screensaver_id);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!saver || !saver->present || !screen) {
        disconnectDisplay();
        return false;
    }
    root = screen->root;
    return true;
}

void LinuxLastInput::disconnectDisplay()
{
    if (connection)
        xcb_disconnect(connection);
    connection = nullptr;
}

bool LinuxLastInput::getLastInputInfo(std::uint32_t& tickOfLastInput)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!connectDisplay())
        return false;
    xcb_screensaver_query_info_reply_t* info =
        xcb_screensaver_query_info_reply(connection, xcb_screensaver_query_info(connection, root), nullptr);
    if (!info) {
        disconnectDisplay(); // the server went away; the next call connects again
        return false;
    }
    tickOfLastInput = getTickCount() - info->ms_since_user_input;
    std::free(info);
    return true;
}

std::uint32_t LinuxLastInput::getTickCount()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::uint32_t(std::uint64_t(now.tv_sec) * 1000u + std::uint64_t(now.tv_nsec) / 1000000u);
}

} // namespace vantel::platform
