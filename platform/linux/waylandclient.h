// A connection of the library's own to the Wayland compositor named by
// WAYLAND_DISPLAY (never Qt's, so any Qt platform the host runs on works),
// with the globals the compositor offers. Every wait on the compositor has a
// deadline: a compositor that does not answer in time counts as gone. Its
// user then destroys the objects it made and disconnects. One thread at a
// time uses an instance.
#ifndef VANTEL_PLATFORM_WAYLANDCLIENT_H
#define VANTEL_PLATFORM_WAYLANDCLIENT_H

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_interface;
struct wl_callback;

namespace vantel::platform {

class WaylandClient
{
public:
    using Clock = std::chrono::steady_clock;

    struct Global {
        std::uint32_t name;
        std::string interface;
        std::uint32_t version;
    };

    WaylandClient() = default;
    ~WaylandClient();
    WaylandClient(const WaylandClient&) = delete;
    WaylandClient& operator=(const WaylandClient&) = delete;

    // Connects and reads the globals. False when there is no compositor, or
    // it did not answer before the deadline; in that case the connection is
    // kept, late(), and a later round trip tells whether it answered since.
    bool connect(Clock::time_point deadline);
    void disconnect();
    bool connected() const { return display != nullptr; }

    // Has the compositor answer every request sent so far and runs the
    // handlers of the events it sent meanwhile. False when the compositor is
    // gone or late. Once it was late, calls return at once, false, until the
    // compositor has answered: a frozen compositor costs one time limit, not
    // one per call.
    bool roundtrip(Clock::time_point deadline);
    // The last round trip missed its deadline and the connection still
    // stands; false once it broke (the user then disconnects).
    bool late() const { return sync != nullptr && !broken; }
    // Runs the handlers of the events that arrive within `wait`, without
    // blocking longer. False when the compositor is gone.
    bool dispatch(std::chrono::milliseconds wait);

    const std::vector<Global>& globals() const { return offered; }
    bool offers(const char* interface) const;
    // Binds the first global of that interface at no more than `version`;
    // null when it is not offered.
    void* bind(const wl_interface* interface, std::uint32_t version);
    // Binds one object a global of that interface, in the order offered.
    std::vector<void*> bindAll(const wl_interface* interface, std::uint32_t version);
    // Binds that one global, at no more than `version`.
    void* bindGlobal(const Global& global, const wl_interface* interface, std::uint32_t version);

    wl_display* raw() const { return display; }

    // A compositor answers on WAYLAND_DISPLAY within `timeLimitMs`.
    static bool sessionAnswers(int timeLimitMs = 1000);

    // The registry's listener.
    static void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                         std::uint32_t version);
    static void onGlobalRemove(void* data, wl_registry* registry, std::uint32_t name);

private:
    bool readAndDispatch(int timeoutMs);

    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_callback* sync = nullptr;
    bool syncDone = false;
    bool broken = false;
    std::vector<Global> offered;
};

} // namespace vantel::platform

#endif
