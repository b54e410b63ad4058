// Monitor brightness through WMI (namespace "root\wmi"): WmiMonitorBrightness
// to read, WmiMonitorBrightnessMethods.WmiSetBrightness to set. Each call is
// one WMI session of its own, COM initialised and uninitialised around it.
#ifndef VANTEL_PLATFORM_WIN32MONITORBRIGHTNESS_H
#define VANTEL_PLATFORM_WIN32MONITORBRIGHTNESS_H

#include "monitorbrightness.h"

namespace vantel::platform {

class Win32MonitorBrightness : public MonitorBrightness
{
public:
    // CurrentBrightness of the last monitor that answers.
    int currentBrightness() override;
    // Every monitor in turn, until one refuses; the percentage goes to WMI as
    // given, which judges it.
    bool setBrightness(int percent) override;
};

} // namespace vantel::platform

#endif
