#include "waylanddesktopwindows.h"

#include <wayland-client.h>

#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace vantel::platform {

namespace {

using Self = WaylandDesktopWindows;

void onToplevel(void* data, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* handle)
{
    static_cast<Self*>(data)->added(handle);
}
void onFinished(void* data, zwlr_foreign_toplevel_manager_v1*)
{
    static_cast<Self*>(data)->managerFinished();
}
const zwlr_foreign_toplevel_manager_v1_listener managerListener = {&onToplevel, &onFinished};

void onTitle(void*, zwlr_foreign_toplevel_handle_v1*, const char*) {}
void onAppId(void* data, zwlr_foreign_toplevel_handle_v1* handle, const char* appId)
{
    if (Self::Toplevel* t = static_cast<Self*>(data)->toplevel(handle))
        t->appId = appId;
}
void onOutputEnter(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
void onOutputLeave(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
void onState(void*, zwlr_foreign_toplevel_handle_v1*, wl_array*) {}
void onDone(void* data, zwlr_foreign_toplevel_handle_v1* handle)
{
    if (Self::Toplevel* t = static_cast<Self*>(data)->toplevel(handle))
        t->listed = true;
}
void onClosed(void* data, zwlr_foreign_toplevel_handle_v1* handle)
{
    static_cast<Self*>(data)->closed(handle);
}
void onParent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}
const zwlr_foreign_toplevel_handle_v1_listener handleListener = {&onTitle, &onAppId, &onOutputEnter, &onOutputLeave,
                                                                 &onState, &onDone, &onClosed, &onParent};

} // namespace

WaylandDesktopWindows::WaylandDesktopWindows(std::unique_ptr<DesktopWindows> x11Windows, int timeLimit)
    : x11(std::move(x11Windows)), timeLimitMs(timeLimit)
{
}

WaylandDesktopWindows::~WaylandDesktopWindows()
{
    disconnect();
}

void WaylandDesktopWindows::added(zwlr_foreign_toplevel_handle_v1* handle)
{
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &handleListener, this);
    toplevels[nextNumber++] = Toplevel{handle, std::string(), false};
}

WaylandDesktopWindows::Toplevel* WaylandDesktopWindows::toplevel(zwlr_foreign_toplevel_handle_v1* handle)
{
    for (auto& entry : toplevels) {
        if (entry.second.handle == handle)
            return &entry.second;
    }
    return nullptr;
}

void WaylandDesktopWindows::closed(zwlr_foreign_toplevel_handle_v1* handle)
{
    for (auto it = toplevels.begin(); it != toplevels.end(); ++it) {
        if (it->second.handle == handle) {
            zwlr_foreign_toplevel_handle_v1_destroy(handle);
            toplevels.erase(it);
            return;
        }
    }
}

void WaylandDesktopWindows::managerFinished()
{
    // The compositor sends no more toplevels; the manager may only be destroyed.
    zwlr_foreign_toplevel_manager_v1_destroy(manager);
    manager = nullptr;
}

void WaylandDesktopWindows::disconnect()
{
    for (auto& entry : toplevels)
        zwlr_foreign_toplevel_handle_v1_destroy(entry.second.handle);
    toplevels.clear();
    if (manager)
        zwlr_foreign_toplevel_manager_v1_destroy(manager);
    manager = nullptr;
    client.disconnect();
}

bool WaylandDesktopWindows::refresh()
{
    const auto deadline = WaylandClient::Clock::now() + std::chrono::milliseconds(timeLimitMs);
    const bool answered = client.connected() ? client.roundtrip(deadline) : client.connect(deadline);
    if (!answered) {
        // Late: kept, to be looked at again without waiting; gone: dropped.
        if (!client.late())
            disconnect();
        return false;
    }
    if (manager)
        return true;
    manager = static_cast<zwlr_foreign_toplevel_manager_v1*>(
        client.bind(&zwlr_foreign_toplevel_manager_v1_interface, 3));
    if (!manager)
        return false;
    zwlr_foreign_toplevel_manager_v1_add_listener(manager, &managerListener, this);
    // The toplevels come after the bind, their app ids after that.
    if (client.roundtrip(deadline) && client.roundtrip(deadline))
        return true;
    if (!client.late())
        disconnect();
    return false;
}

WindowHandle WaylandDesktopWindows::findWindow(const std::string& className)
{
    if (x11) {
        if (const WindowHandle window = x11->findWindow(className))
            return window;
    }
    std::lock_guard<std::mutex> lock(mutex);
    if (!refresh())
        return 0;
    for (const auto& entry : toplevels) {
        if (entry.second.listed && entry.second.appId == className)
            return waylandBit | entry.first;
    }
    return 0;
}

bool WaylandDesktopWindows::seesEveryWindow()
{
    std::lock_guard<std::mutex> lock(mutex);
    return refresh();
}

bool WaylandDesktopWindows::closeWindow(WindowHandle window)
{
    if (!(window & waylandBit))
        return x11 && x11->closeWindow(window);
    std::lock_guard<std::mutex> lock(mutex);
    if (!refresh())
        return false;
    const auto it = toplevels.find(window & ~waylandBit);
    if (it == toplevels.end())
        return false;
    zwlr_foreign_toplevel_handle_v1_close(it->second.handle);
    if (client.roundtrip(WaylandClient::Clock::now() + std::chrono::milliseconds(timeLimitMs)))
        return true;
    if (!client.late())
        disconnect();
    return false;
}

} // namespace vantel::platform
