#include "waylandclient.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include <poll.h>
#include <wayland-client.h>

namespace vantel::platform {

namespace {

const wl_registry_listener registryListener = {&WaylandClient::onGlobal, &WaylandClient::onGlobalRemove};

void onSyncDone(void* data, wl_callback*, std::uint32_t)
{
    *static_cast<bool*>(data) = true;
}
const wl_callback_listener syncListener = {&onSyncDone};

int msUntil(WaylandClient::Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - WaylandClient::Clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, left.count()));
}

} // namespace

WaylandClient::~WaylandClient()
{
    disconnect();
}

void WaylandClient::onGlobal(void* data, wl_registry*, std::uint32_t name, const char* interface,
                             std::uint32_t version)
{
    static_cast<WaylandClient*>(data)->offered.push_back({name, interface, version});
}

void WaylandClient::onGlobalRemove(void* data, wl_registry*, std::uint32_t name)
{
    auto& offered = static_cast<WaylandClient*>(data)->offered;
    offered.erase(std::remove_if(offered.begin(), offered.end(), [name](const Global& g) { return g.name == name; }),
                  offered.end());
}

bool WaylandClient::connect(Clock::time_point deadline)
{
    disconnect();
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if (!name || !*name)
        return false;
    // Connecting to a Unix socket does not wait on the compositor: a listening
    // socket accepts from its backlog. The deadline starts with the first answer.
    display = wl_display_connect(nullptr);
    if (!display)
        return false;
    registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, this);
    if (roundtrip(deadline))
        return true;
    // A late compositor keeps its connection, so that the next call sees at
    // once whether it answered; a broken one is dropped.
    if (!late())
        disconnect();
    return false;
}

void WaylandClient::disconnect()
{
    if (!display)
        return;
    // Proxies bound through this connection belong to their users, who drop
    // them before calling here; the registry is ours.
    wl_registry_destroy(registry);
    registry = nullptr;
    if (sync)
        wl_callback_destroy(sync);
    sync = nullptr;
    broken = false;
    wl_display_disconnect(display);
    display = nullptr;
    offered.clear();
}

bool WaylandClient::readAndDispatch(int timeoutMs)
{
    while (wl_display_prepare_read(display) != 0) {
        if (wl_display_dispatch_pending(display) < 0)
            return false;
    }
    if (wl_display_flush(display) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(display);
        return false;
    }
    pollfd fd = {wl_display_get_fd(display), POLLIN, 0};
    const int ready = poll(&fd, 1, timeoutMs);
    if (ready <= 0) {
        wl_display_cancel_read(display);
        return ready == 0 || errno == EINTR;
    }
    if (wl_display_read_events(display) < 0)
        return false;
    return wl_display_dispatch_pending(display) >= 0;
}

bool WaylandClient::roundtrip(Clock::time_point deadline)
{
    if (!display)
        return false;
    // A compositor that missed a deadline is only looked at, not waited for,
    // until it has answered that round trip.
    const bool wasLate = sync != nullptr;
    if (!sync) {
        syncDone = false;
        sync = wl_display_sync(display);
        wl_callback_add_listener(sync, &syncListener, &syncDone);
    }
    bool alive = true;
    if (wasLate) {
        alive = readAndDispatch(0);
    } else {
        while (!syncDone && alive) {
            const int left = msUntil(deadline);
            alive = readAndDispatch(left) && (syncDone || left > 0);
        }
    }
    if (!syncDone) {
        if (wl_display_get_error(display) != 0 || (!alive && wasLate)) {
            wl_callback_destroy(sync);
            sync = nullptr;
            broken = true;
        }
        return false;
    }
    wl_callback_destroy(sync);
    sync = nullptr;
    // Back: what was asked while it was late has its answer too.
    return !wasLate || roundtrip(deadline);
}

bool WaylandClient::dispatch(std::chrono::milliseconds wait)
{
    if (!display)
        return false;
    return readAndDispatch(static_cast<int>(wait.count())) && wl_display_get_error(display) == 0;
}

bool WaylandClient::offers(const char* interface) const
{
    return std::any_of(offered.begin(), offered.end(), [interface](const Global& g) { return g.interface == interface; });
}

void* WaylandClient::bind(const wl_interface* interface, std::uint32_t version)
{
    for (const Global& g : offered) {
        if (g.interface == interface->name)
            return wl_registry_bind(registry, g.name, interface, std::min(version, g.version));
    }
    return nullptr;
}

std::vector<void*> WaylandClient::bindAll(const wl_interface* interface, std::uint32_t version)
{
    std::vector<void*> bound;
    for (const Global& g : offered) {
        if (g.interface == interface->name)
            bound.push_back(bindGlobal(g, interface, version));
    }
    return bound;
}

void* WaylandClient::bindGlobal(const Global& global, const wl_interface* interface, std::uint32_t version)
{
    return wl_registry_bind(registry, global.name, interface, std::min(version, global.version));
}

bool WaylandClient::sessionAnswers(int timeLimitMs)
{
    WaylandClient probe;
    return probe.connect(Clock::now() + std::chrono::milliseconds(timeLimitMs));
}

} // namespace vantel::platform
