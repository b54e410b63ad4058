#include "win32lastinput.h"

#include <windows.h>

namespace vantel::platform {

bool Win32LastInput::getLastInputInfo(std::uint32_t& tickOfLastInput)
{
    LASTINPUTINFO info{};
    info.cbSize = sizeof info;
    if (!GetLastInputInfo(&info))
        return false;
    tickOfLastInput = info.dwTime;
    return true;
}

std::uint32_t Win32LastInput::getTickCount()
{
    return GetTickCount();
}

} // namespace vantel::platform
