// The display-off timeout on a Wayland session, where no compositor has a
// setting for it: the service itself powers every output off through
// zwlr_output_power_manager_v1 once the compositor's idle notification
// says the seat had no input for the timeout, and on again at the input
// that follows. It follows the compositor on a connection and a thread of
// its own, connecting again after the compositor went away. A compositor
// without output power management or idle notification (cage, GNOME,
// KDE) has no way: the timeout is then refused, with one log line.
#ifndef VANTEL_PLATFORM_WAYLANDDISPLAYPOWER_H
#define VANTEL_PLATFORM_WAYLANDDISPLAYPOWER_H

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "displayoff.h"

namespace vantel::platform {

class WaylandClient;

class WaylandDisplayPower : public DisplayOff
{
public:
    // `timeLimitMs` bounds the wait of the first call for the compositor's
    // first answer.
    explicit WaylandDisplayPower(int timeLimitMs = 2000);
    ~WaylandDisplayPower() override;
    WaylandDisplayPower(const WaylandDisplayPower&) = delete;
    WaylandDisplayPower& operator=(const WaylandDisplayPower&) = delete;

    // False when the compositor has no way, or there is none; the timeout
    // is kept and applied once a compositor that has a way is connected.
    bool apply(std::uint32_t seconds) override;

private:
    // Gone: no compositor; None: one without a way.
    enum class Way { Unknown, Gone, None, Offered };

    void run();
    void follow(WaylandClient& client);
    void setWay(Way way);
    void pause(std::chrono::milliseconds length);

    const int timeLimitMs;
    std::mutex mutex;
    std::condition_variable answered;
    Way way = Way::Unknown;
    std::uint32_t wanted = 0;
    bool told = false; // the log line for a compositor with no way
    std::atomic<bool> stopping{false};
    std::thread worker;
};

} // namespace vantel::platform

#endif
