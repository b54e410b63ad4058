// Monitor brightness service: the backlight of the built-in display in
// percent, read and set (WMI's WmiMonitorBrightness and
// WmiMonitorBrightnessMethods on Windows).
#ifndef VANTEL_PLATFORM_MONITORBRIGHTNESS_H
#define VANTEL_PLATFORM_MONITORBRIGHTNESS_H

namespace vantel::platform {

class MonitorBrightness
{
public:
    virtual ~MonitorBrightness() = default;

    // The current brightness, 0 to 100; with several monitors the last one
    // that answers. -1 when no monitor has a backlight.
    virtual int currentBrightness() = 0;

    // Sets every backlight to `percent`. False when none took it: no
    // backlight, a percentage outside 0 to 100, or no right to change it.
    virtual bool setBrightness(int percent) = 0;
};

} // namespace vantel::platform

#endif
