// Desktop windows through FindWindowW and a WM_CLOSE message. The message is
// sent with a time limit: a window whose thread hangs holds up no caller.
#ifndef VANTEL_PLATFORM_WIN32DESKTOPWINDOWS_H
#define VANTEL_PLATFORM_WIN32DESKTOPWINDOWS_H

#include "desktopwindows.h"

namespace vantel::platform {

class Win32DesktopWindows : public DesktopWindows
{
public:
    explicit Win32DesktopWindows(unsigned limitMs = 2000)
        : timeLimitMs(limitMs)
    {
    }

    WindowHandle findWindow(const std::string& className) override;
    bool closeWindow(WindowHandle window) override;

private:
    const unsigned timeLimitMs;
};

} // namespace vantel::platform

#endif
