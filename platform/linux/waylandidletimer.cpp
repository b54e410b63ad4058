#include "waylandidletimer.h"

#include <wayland-client.h>

#include "ext-idle-notify-v1-client-protocol.h"
#include "kde-idle-client-protocol.h"
#include "waylandclient.h"

namespace vantel::platform {

namespace {

void extIdled(void* data, ext_idle_notification_v1*)
{
    static_cast<WaylandIdleTimer*>(data)->notifyIdled();
}
void extResumed(void* data, ext_idle_notification_v1*)
{
    static_cast<WaylandIdleTimer*>(data)->notifyResumed();
}
const ext_idle_notification_v1_listener extListener = {&extIdled, &extResumed};

void kdeIdle(void* data, org_kde_kwin_idle_timeout*)
{
    static_cast<WaylandIdleTimer*>(data)->notifyIdled();
}
void kdeResumed(void* data, org_kde_kwin_idle_timeout*)
{
    static_cast<WaylandIdleTimer*>(data)->notifyResumed();
}
const org_kde_kwin_idle_timeout_listener kdeListener = {&kdeIdle, &kdeResumed};

} // namespace

WaylandIdleTimer::WaylandIdleTimer(WaylandClient& client)
    : seat(static_cast<wl_seat*>(client.bind(&wl_seat_interface, 1))),
      ext(static_cast<ext_idle_notifier_v1*>(client.bind(&ext_idle_notifier_v1_interface, 1)))
{
    if (!ext)
        kde = static_cast<org_kde_kwin_idle*>(client.bind(&org_kde_kwin_idle_interface, 1));
}

WaylandIdleTimer::~WaylandIdleTimer()
{
    stop();
    if (ext)
        ext_idle_notifier_v1_destroy(ext);
    if (kde)
        org_kde_kwin_idle_destroy(kde);
    if (seat)
        wl_seat_destroy(seat);
}

void WaylandIdleTimer::start(std::uint32_t timeoutMs, std::function<void()> onIdle, std::function<void()> onResume)
{
    stop();
    if (!offered())
        return;
    idled = std::move(onIdle);
    resumed = std::move(onResume);
    if (ext) {
        extNotice = ext_idle_notifier_v1_get_idle_notification(ext, timeoutMs, seat);
        ext_idle_notification_v1_add_listener(extNotice, &extListener, this);
    } else {
        kdeNotice = org_kde_kwin_idle_get_idle_timeout(kde, seat, timeoutMs);
        org_kde_kwin_idle_timeout_add_listener(kdeNotice, &kdeListener, this);
    }
}

void WaylandIdleTimer::stop()
{
    if (extNotice)
        ext_idle_notification_v1_destroy(extNotice);
    if (kdeNotice)
        org_kde_kwin_idle_timeout_release(kdeNotice);
    extNotice = nullptr;
    kdeNotice = nullptr;
}

void WaylandIdleTimer::notifyIdled() const
{
    if (idled)
        idled();
}

void WaylandIdleTimer::notifyResumed() const
{
    if (resumed)
        resumed();
}

} // namespace vantel::platform
