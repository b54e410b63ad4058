#include "waylandlastinput.h"

#include <ctime>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>

#include "waylandclient.h"
#include "waylandidletimer.h"

namespace vantel::platform {

using std::chrono::milliseconds;

WaylandLastInput::WaylandLastInput(std::uint32_t idleAfter)
    : idleAfterMs(idleAfter), worker([this] { run(); })
{
}

WaylandLastInput::~WaylandLastInput()
{
    stopping = true;
    worker.join();
}

std::uint32_t WaylandLastInput::getTickCount()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::uint32_t(std::uint64_t(now.tv_sec) * 1000u + std::uint64_t(now.tv_nsec) / 1000000u);
}

bool WaylandLastInput::getLastInputInfo(std::uint32_t& tickOfLastInput)
{
    std::unique_lock<std::mutex> lock(mutex);
    if (source == Source::Protocol) {
        // Busy: the last input was within the idle span, counted as now.
        tickOfLastInput = idle ? idleSince - idleAfterMs : getTickCount();
        return true;
    }
    const bool mutter = source == Source::Mutter;
    lock.unlock();
    return mutter && askMutter(tickOfLastInput);
}

bool WaylandLastInput::askMutter(std::uint32_t& tickOfLastInput)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.gnome.Mutter.IdleMonitor"),
                                                       QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"),
                                                       QStringLiteral("org.gnome.Mutter.IdleMonitor"),
                                                       QStringLiteral("GetIdletime"));
    const QDBusReply<qulonglong> reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 1000);
    if (!reply.isValid())
        return false;
    tickOfLastInput = getTickCount() - std::uint32_t(reply.value());
    return true;
}

void WaylandLastInput::idled()
{
    std::lock_guard<std::mutex> lock(mutex);
    idle = true;
    idleSince = getTickCount();
}

void WaylandLastInput::resumed()
{
    std::lock_guard<std::mutex> lock(mutex);
    idle = false;
}

void WaylandLastInput::pause(milliseconds length)
{
    for (milliseconds slept{0}; slept < length && !stopping; slept += milliseconds(100))
        std::this_thread::sleep_for(milliseconds(100));
}

void WaylandLastInput::run()
{
    while (!stopping) {
        WaylandClient client;
        if (client.connect(WaylandClient::Clock::now() + milliseconds(1000)))
            follow(client);
        {
            std::lock_guard<std::mutex> lock(mutex);
            source = Source::None;
            idle = false;
        }
        pause(milliseconds(1000));
    }
}

void WaylandLastInput::follow(WaylandClient& client)
{
    WaylandIdleTimer timer(client);
    timer.start(idleAfterMs, [this] { idled(); }, [this] { resumed(); });
    if (client.roundtrip(WaylandClient::Clock::now() + milliseconds(1000))) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            source = timer.offered() ? Source::Protocol : Source::Mutter;
            idle = false;
        }
        // The compositor's socket closing ends the connection; without a
        // protocol the connection only tells that the session lasts.
        // A compositor that stops answering counts as gone: asked every two
        // seconds, it has two seconds to answer.
        auto asked = WaylandClient::Clock::now();
        while (!stopping && client.dispatch(milliseconds(200))) {
            const auto now = WaylandClient::Clock::now();
            if (now - asked < milliseconds(2000))
                continue;
            if (!client.roundtrip(now + milliseconds(2000)))
                break;
            asked = now;
        }
    }
}

} // namespace vantel::platform
