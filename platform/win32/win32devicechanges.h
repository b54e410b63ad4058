// Hears the system's volume arrivals and removals (WM_DEVICECHANGE,
// DBT_DEVICEARRIVAL / DBT_DEVICEREMOVECOMPLETE of a DBT_DEVTYP_VOLUME). The
// system broadcasts them to top-level windows only, so this is a hidden
// top-level window: a message-only one would hear nothing. It belongs to the
// thread that makes it, and `changed` runs there, from that thread's message
// loop (a Qt thread's event loop is one). Make and destroy it in one thread.
#ifndef VANTEL_PLATFORM_WIN32DEVICECHANGES_H
#define VANTEL_PLATFORM_WIN32DEVICECHANGES_H

#include <functional>

namespace vantel::platform {

class Win32DeviceChanges
{
public:
    explicit Win32DeviceChanges(std::function<void()> changed);
    ~Win32DeviceChanges();

    Win32DeviceChanges(const Win32DeviceChanges&) = delete;
    Win32DeviceChanges& operator=(const Win32DeviceChanges&) = delete;

    // False when no window could be made (a process without a desktop, such
    // as a service): then nothing is ever heard.
    bool listening() const { return window != nullptr; }

private:
    std::function<void()> changed;
    void* window = nullptr; // HWND
};

} // namespace vantel::platform

#endif
