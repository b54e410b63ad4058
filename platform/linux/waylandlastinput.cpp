#include "waylandlastinput.h"

#include <ctime>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <wayland-client.h>

#include "ext-idle-notify-v1-client-protocol.h"
#include "kde-idle-client-protocol.h"
#include "waylandclient.h"

namespace vantel::platform {

namespace {

using std::chrono::milliseconds;

void extIdled(void* data, ext_idle_notification_v1*)
{
    static_cast<WaylandLastInput*>(data)->idled();
}
void extResumed(void* data, ext_idle_notification_v1*)
{
    static_cast<WaylandLastInput*>(data)->resumed();
}
const ext_idle_notification_v1_listener extListener = {&extIdled, &extResumed};

void kdeIdle(void* data, org_kde_kwin_idle_timeout*)
{
    static_cast<WaylandLastInput*>(data)->idled();
}
void kdeResumed(void* data, org_kde_kwin_idle_timeout*)
{
    static_cast<WaylandLastInput*>(data)->resumed();
}
const org_kde_kwin_idle_timeout_listener kdeListener = {&kdeIdle, &kdeResumed};

} // namespace

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
    auto* seat = static_cast<wl_seat*>(client.bind(&wl_seat_interface, 1));
    auto* ext = static_cast<ext_idle_notifier_v1*>(client.bind(&ext_idle_notifier_v1_interface, 1));
    auto* kde = ext ? nullptr : static_cast<org_kde_kwin_idle*>(client.bind(&org_kde_kwin_idle_interface, 1));
    ext_idle_notification_v1* extNotice = nullptr;
    org_kde_kwin_idle_timeout* kdeNotice = nullptr;
    if (seat && ext) {
        extNotice = ext_idle_notifier_v1_get_idle_notification(ext, idleAfterMs, seat);
        ext_idle_notification_v1_add_listener(extNotice, &extListener, this);
    } else if (seat && kde) {
        kdeNotice = org_kde_kwin_idle_get_idle_timeout(kde, seat, idleAfterMs);
        org_kde_kwin_idle_timeout_add_listener(kdeNotice, &kdeListener, this);
    }
    if (client.roundtrip(WaylandClient::Clock::now() + milliseconds(1000))) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            source = extNotice || kdeNotice ? Source::Protocol : Source::Mutter;
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
    if (extNotice)
        ext_idle_notification_v1_destroy(extNotice);
    if (kdeNotice)
        org_kde_kwin_idle_timeout_release(kdeNotice);
    if (ext)
        ext_idle_notifier_v1_destroy(ext);
    if (kde)
        org_kde_kwin_idle_destroy(kde);
    if (seat)
        wl_seat_destroy(seat);
    client.disconnect();
}

} // namespace vantel::platform
