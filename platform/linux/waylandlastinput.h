// Last input on a Wayland session. The compositor tells when the seat has
// been idle for a second and when input came back (ext_idle_notifier_v1,
// else org_kde_kwin_idle), on a connection and a thread of the service's
// own, so the moment is taken when the compositor says it and not at the
// next poll. A compositor with neither (GNOME's) is asked on the session bus
// through Mutter's IdleMonitor. Last input is then known to a second; without
// a compositor it cannot be told, and the service connects again by itself.
#ifndef VANTEL_PLATFORM_WAYLANDLASTINPUT_H
#define VANTEL_PLATFORM_WAYLANDLASTINPUT_H

#include <atomic>
#include <mutex>
#include <thread>

#include "lastinput.h"

namespace vantel::platform {

class WaylandLastInput : public LastInput
{
public:
    // `idleAfterMs` is how long without input counts as idle: the answer's
    // precision while input goes on.
    explicit WaylandLastInput(std::uint32_t idleAfterMs = 1000);
    ~WaylandLastInput() override;
    WaylandLastInput(const WaylandLastInput&) = delete;
    WaylandLastInput& operator=(const WaylandLastInput&) = delete;

    bool getLastInputInfo(std::uint32_t& tickOfLastInput) override;
    std::uint32_t getTickCount() override;

    // The seat went idle or came back; called by the protocol's listeners.
    void idled();
    void resumed();

private:
    enum class Source { None, Protocol, Mutter };

    void run();
    void follow(class WaylandClient& client);
    void pause(std::chrono::milliseconds length);
    bool askMutter(std::uint32_t& tickOfLastInput);

    const std::uint32_t idleAfterMs;
    std::mutex mutex;
    Source source = Source::None;
    bool idle = false;
    std::uint32_t idleSince = 0;
    std::atomic<bool> stopping{false};
    std::thread worker;
};

} // namespace vantel::platform

#endif
