// Monitor brightness from the kernel's backlight class
// (<sysfs root>/class/backlight, one folder a device). Where one panel has
// several devices, one is used, chosen by type as the kernel advises:
// firmware, then platform, then raw. Writes go through logind's
// Session.SetBrightness, which lets the active session's user change the
// backlight without root; when logind is absent or refuses, the device's
// brightness file is written instead.
#ifndef VANTEL_PLATFORM_LINUXMONITORBRIGHTNESS_H
#define VANTEL_PLATFORM_LINUXMONITORBRIGHTNESS_H

#include <cstdint>
#include <string>

#include "monitorbrightness.h"

namespace vantel::platform {

class LinuxMonitorBrightness : public MonitorBrightness
{
public:
    explicit LinuxMonitorBrightness(std::string sysfsRoot);

    // actual_brightness × 100 / max_brightness, to the nearest percent.
    int currentBrightness() override;
    // Raw value percent × max_brightness / 100.
    bool setBrightness(int percent) override;

private:
    struct Device {
        std::string name;
        std::int64_t maximum = 0;
        int folder = -1; // open; the caller closes it
    };

    // Looked for on every call: a driver may come or go at any time.
    bool chooseDevice(Device& device) const;

    std::string classDir;
};

} // namespace vantel::platform

#endif
