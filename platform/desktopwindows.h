// Desktop windows service: the top-level windows of the desktop, as
// FindWindowW finds one by its class and as SendMessageW(WM_CLOSE) asks one to
// close. The on-screen keyboard is looked for and closed through it.
#ifndef VANTEL_PLATFORM_DESKTOPWINDOWS_H
#define VANTEL_PLATFORM_DESKTOPWINDOWS_H

#include <cstdint>
#include <memory>
#include <string>

namespace vantel::platform {

// An HWND; 0 is no window.
using WindowHandle = std::uintptr_t;

class DesktopWindows
{
public:
    virtual ~DesktopWindows() = default;

    // FindWindowW(className, no title): a top-level window of that class; 0
    // when there is none, and when there is no desktop to look on (no X
    // server).
    virtual WindowHandle findWindow(const std::string& className) = 0;

    // SendMessageW(window, WM_CLOSE, 0, 0): asks the window's program to close
    // it. False, with nothing done, when the window is gone, does not take
    // such a request, or there is no desktop.
    virtual bool closeWindow(WindowHandle window) = 0;

    // Whether findWindow sees every window of the desktop. False where the
    // display server shows no windows to its clients (a Wayland compositor
    // without a toplevel list), or there is none: a window found nowhere may
    // still be open there.
    virtual bool seesEveryWindow() { return true; }
};

// The desktop of the machine the process runs on; defined by each backend folder.
std::unique_ptr<DesktopWindows> createNativeDesktopWindows();

} // namespace vantel::platform

#endif
