// Desktop windows on the X server named by DISPLAY, over a connection of the
// service's own, opened on first use and opened again after the server went
// away. A window's class is the second string of its WM_CLASS; closing is
// the WM_DELETE_WINDOW request of WM_PROTOCOLS, so the program closes its own
// window. A client is never killed.
//
// Every call is bounded by a time limit, the connecting included: a server
// that does not answer in time counts as no server until it answers again.
#ifndef VANTEL_PLATFORM_LINUXDESKTOPWINDOWS_H
#define VANTEL_PLATFORM_LINUXDESKTOPWINDOWS_H

#include <cstdint>
#include <memory>
#include <mutex>

#include "desktopwindows.h"
#include "x11connection.h"

namespace vantel::platform {

class LinuxDesktopWindows : public DesktopWindows
{
public:
    explicit LinuxDesktopWindows(int timeLimitMs = 2000);
    ~LinuxDesktopWindows() override;
    LinuxDesktopWindows(const LinuxDesktopWindows&) = delete;
    LinuxDesktopWindows& operator=(const LinuxDesktopWindows&) = delete;

    // Looks at the window manager's _NET_CLIENT_LIST, the root's children and
    // their children (a reparenting window manager puts clients one level
    // down). A mapped window wins over an unmapped one of the same class.
    WindowHandle findWindow(const std::string& className) override;
    // Only a window whose WM_PROTOCOLS holds WM_DELETE_WINDOW is asked.
    bool closeWindow(WindowHandle window) override;

private:
    // The connection with this service's atoms; null without a server.
    xcb_connection_t* connect(X11Clock::time_point deadline);
    bool internAtoms(xcb_connection_t* connection, X11Requests& requests);

    std::mutex mutex;
    X11Connection x11;
    std::uint32_t wmProtocols = 0;
    std::uint32_t wmDeleteWindow = 0;
    std::uint32_t netClientList = 0;
};

} // namespace vantel::platform

#endif
