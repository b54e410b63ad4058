// A compositor's idle notification for one seat: told when the seat has
// had no input for a given time and when input came back, through
// ext_idle_notifier_v1 where offered, else org_kde_kwin_idle. Made and used
// on the thread that dispatches its client's events.
#ifndef VANTEL_PLATFORM_WAYLANDIDLETIMER_H
#define VANTEL_PLATFORM_WAYLANDIDLETIMER_H

#include <cstdint>
#include <functional>

struct wl_seat;
struct ext_idle_notifier_v1;
struct ext_idle_notification_v1;
struct org_kde_kwin_idle;
struct org_kde_kwin_idle_timeout;

namespace vantel::platform {

class WaylandClient;

class WaylandIdleTimer
{
public:
    // Binds the seat and a notifier of `client`; offered() tells whether
    // the compositor has both.
    explicit WaylandIdleTimer(WaylandClient& client);
    ~WaylandIdleTimer();
    WaylandIdleTimer(const WaylandIdleTimer&) = delete;
    WaylandIdleTimer& operator=(const WaylandIdleTimer&) = delete;

    bool offered() const { return seat && (ext || kde); }
    // Calls `idled` after `timeoutMs` without input and `resumed` at the
    // input that follows, until stopped or started again. Needs offered().
    void start(std::uint32_t timeoutMs, std::function<void()> idled, std::function<void()> resumed);
    void stop();

    // Called by the protocols' listeners.
    void notifyIdled() const;
    void notifyResumed() const;

private:
    wl_seat* seat = nullptr;
    ext_idle_notifier_v1* ext = nullptr;
    org_kde_kwin_idle* kde = nullptr;
    ext_idle_notification_v1* extNotice = nullptr;
    org_kde_kwin_idle_timeout* kdeNotice = nullptr;
    std::function<void()> idled;
    std::function<void()> resumed;
};

} // namespace vantel::platform

#endif
