#include "waylanddisplaypower.h"

#include <QtGlobal>

#include <algorithm>
#include <vector>

#include <wayland-client.h>

#include "waylandclient.h"
#include "waylandidletimer.h"
#include "wlr-output-power-management-unstable-v1-client-protocol.h"

namespace vantel::platform {

using std::chrono::milliseconds;

namespace {

// Every output of the compositor, an output plugged in later among them
// from the next switch on. An output has one controller at a time, so its
// power object is held only for the switch: other clients (a tool of the
// user's, a test) may read or switch it meanwhile, and the mode set stays.
class Outputs
{
public:
    explicit Outputs(WaylandClient& connection)
        : client(connection),
          manager(static_cast<zwlr_output_power_manager_v1*>(
              connection.bind(&zwlr_output_power_manager_v1_interface, 1)))
    {
        follow();
    }
    ~Outputs()
    {
        for (const Output& output : outputs)
            wl_output_destroy(output.proxy);
        if (manager)
            zwlr_output_power_manager_v1_destroy(manager);
    }
    Outputs(const Outputs&) = delete;
    Outputs& operator=(const Outputs&) = delete;

    bool offered() const { return manager && !outputs.empty(); }
    void power(bool on)
    {
        follow();
        for (const Output& output : outputs) {
            zwlr_output_power_v1* power = zwlr_output_power_manager_v1_get_output_power(manager, output.proxy);
            zwlr_output_power_v1_set_mode(power, on ? ZWLR_OUTPUT_POWER_V1_MODE_ON : ZWLR_OUTPUT_POWER_V1_MODE_OFF);
            zwlr_output_power_v1_destroy(power);
        }
        off = !on;
    }
    bool poweredOff() const { return off; }

private:
    struct Output {
        std::uint32_t name;
        wl_output* proxy;
    };

    // Binds the outputs the compositor has added since, lets go of those it removed.
    void follow()
    {
        const auto& globals = client.globals();
        auto gone = [&globals](const Output& output) {
            return std::none_of(globals.begin(), globals.end(),
                                [&output](const WaylandClient::Global& g) { return g.name == output.name; });
        };
        for (const Output& output : outputs) {
            if (gone(output))
                wl_output_destroy(output.proxy);
        }
        outputs.erase(std::remove_if(outputs.begin(), outputs.end(), gone), outputs.end());
        for (const WaylandClient::Global& g : globals) {
            if (g.interface != wl_output_interface.name)
                continue;
            if (std::none_of(outputs.begin(), outputs.end(), [&g](const Output& output) { return output.name == g.name; }))
                outputs.push_back({g.name, static_cast<wl_output*>(client.bindGlobal(g, &wl_output_interface, 1))});
        }
    }

    WaylandClient& client;
    zwlr_output_power_manager_v1* manager;
    std::vector<Output> outputs;
    bool off = false;
};

} // namespace

WaylandDisplayPower::WaylandDisplayPower(int timeLimit)
    : timeLimitMs(timeLimit), worker([this] { run(); })
{
}

WaylandDisplayPower::~WaylandDisplayPower()
{
    stopping = true;
    worker.join();
}

bool WaylandDisplayPower::apply(std::uint32_t seconds)
{
    std::unique_lock<std::mutex> lock(mutex);
    wanted = seconds;
    answered.wait_for(lock, milliseconds(timeLimitMs), [this] { return way != Way::Unknown; });
    if (way == Way::None && !told) {
        told = true;
        qWarning("Wayland: the compositor has no output power management; the display-off timeout is not applied");
    }
    return way == Way::Offered;
}

void WaylandDisplayPower::setWay(Way found)
{
    std::lock_guard<std::mutex> lock(mutex);
    way = found;
    answered.notify_all();
}

void WaylandDisplayPower::pause(milliseconds length)
{
    for (milliseconds slept{0}; slept < length && !stopping; slept += milliseconds(100))
        std::this_thread::sleep_for(milliseconds(100));
}

void WaylandDisplayPower::run()
{
    while (!stopping) {
        WaylandClient client;
        if (client.connect(WaylandClient::Clock::now() + milliseconds(timeLimitMs)))
            follow(client);
        setWay(Way::Gone);
        pause(milliseconds(1000));
    }
}

void WaylandDisplayPower::follow(WaylandClient& client)
{
    Outputs outputs(client);
    WaylandIdleTimer timer(client);
    if (!client.roundtrip(WaylandClient::Clock::now() + milliseconds(timeLimitMs)))
        return;
    setWay(outputs.offered() && timer.offered() ? Way::Offered : Way::None);
    if (!outputs.offered() || !timer.offered()) {
        // Nothing to do but notice the compositor going.
        while (!stopping && client.dispatch(milliseconds(200))) {
        }
        return;
    }

    // The timeout in force; a new one starts counting from when it came.
    std::uint32_t applied = 0;
    auto asked = WaylandClient::Clock::now();
    while (!stopping) {
        std::uint32_t seconds;
        {
            std::lock_guard<std::mutex> lock(mutex);
            seconds = wanted;
        }
        if (seconds != applied) {
            applied = seconds;
            timer.stop();
            if (outputs.poweredOff())
                outputs.power(true);
            if (seconds > 0) {
                const auto ms = std::uint32_t(std::min<std::uint64_t>(std::uint64_t(seconds) * 1000u, UINT32_MAX));
                timer.start(ms, [&outputs] { outputs.power(false); }, [&outputs] { outputs.power(true); });
            }
            wl_display_flush(client.raw());
        }
        if (!client.dispatch(milliseconds(200)))
            return;
        // A compositor that stops answering counts as gone, as for last input.
        const auto now = WaylandClient::Clock::now();
        if (now - asked >= milliseconds(2000)) {
            if (!client.roundtrip(now + milliseconds(2000)))
                return;
            asked = now;
        }
    }
    // The library closing leaves no screen dark.
    timer.stop();
    if (outputs.poweredOff()) {
        outputs.power(true);
        client.roundtrip(WaylandClient::Clock::now() + milliseconds(timeLimitMs));
    }
}

} // namespace vantel::platform
