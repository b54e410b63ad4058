#include "linuxlastinput.h"

#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <ctime>

namespace vantel::platform {

LinuxLastInput::LinuxLastInput(int timeLimitMs)
    : x11(timeLimitMs)
{
}

bool LinuxLastInput::getLastInputInfo(std::uint32_t& tickOfLastInput)
{
    std::lock_guard<std::mutex> lock(mutex);
    const auto deadline = x11.deadline();
    bool opened = false;
    xcb_connection_t* connection = x11.get(deadline, &opened);
    if (!connection)
        return false;
    X11Requests requests(connection, deadline);
    // Asked before the extension's first request, whose opcode xcb would
    // otherwise look up without a limit.
    if (opened)
        hasScreenSaver = requests.hasExtension(&xcb_screensaver_id);
    auto info = hasScreenSaver ? requests.reply<xcb_screensaver_query_info_reply_t>(
                                     xcb_screensaver_query_info(connection, x11.root()).sequence)
                               : nullptr;
    if (requests.lost())
        x11.drop(requests.late());
    if (!info)
        return false;
    tickOfLastInput = getTickCount() - info->ms_since_user_input;
    return true;
}

std::uint32_t LinuxLastInput::getTickCount()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::uint32_t(std::uint64_t(now.tv_sec) * 1000u + std::uint64_t(now.tv_nsec) / 1000000u);
}

} // namespace vantel::platform
