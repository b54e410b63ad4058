// Desktop windows on a Wayland session: the toplevels the compositor lists
// through zwlr_foreign_toplevel_manager_v1, a window's class being its app
// id and closing its `close` request, which the program answers by closing
// its own window. The connection is the service's own, opened on first use
// and again after the compositor went away; every call has a time limit.
// X11 windows of the session's Xwayland are looked for first, as on X11.
#ifndef VANTEL_PLATFORM_WAYLANDDESKTOPWINDOWS_H
#define VANTEL_PLATFORM_WAYLANDDESKTOPWINDOWS_H

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "desktopwindows.h"
#include "waylandclient.h"

struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;

namespace vantel::platform {

class WaylandDesktopWindows : public DesktopWindows
{
public:
    // `x11` answers for Xwayland's windows; null where there is none.
    explicit WaylandDesktopWindows(std::unique_ptr<DesktopWindows> x11, int timeLimitMs = 2000);
    ~WaylandDesktopWindows() override;
    WaylandDesktopWindows(const WaylandDesktopWindows&) = delete;
    WaylandDesktopWindows& operator=(const WaylandDesktopWindows&) = delete;

    WindowHandle findWindow(const std::string& className) override;
    bool closeWindow(WindowHandle window) override;
    bool seesEveryWindow() override;

    struct Toplevel {
        zwlr_foreign_toplevel_handle_v1* handle;
        std::string appId;
        bool listed; // its first `done` came
    };
    // Called by the protocol's listeners.
    void added(zwlr_foreign_toplevel_handle_v1* handle);
    Toplevel* toplevel(zwlr_foreign_toplevel_handle_v1* handle);
    void closed(zwlr_foreign_toplevel_handle_v1* handle);
    void managerFinished();

private:
    bool refresh();
    void disconnect();

    // Wayland handles are told from X11 window ids (32 bits) by this bit.
    static constexpr WindowHandle waylandBit = WindowHandle(1) << 40;

    const std::unique_ptr<DesktopWindows> x11;
    const int timeLimitMs;
    std::mutex mutex;
    WaylandClient client;
    zwlr_foreign_toplevel_manager_v1* manager = nullptr;
    // By a number of our own, never reused while the service lives.
    std::map<WindowHandle, Toplevel> toplevels;
    WindowHandle nextNumber = 1;
};

} // namespace vantel::platform

#endif
