// The simulated tablet's backlight: at 80 % until the library or a test
// sets it; -1 is a tablet without one.
#ifndef VANTEL_PLATFORM_SIMMONITORBRIGHTNESS_H
#define VANTEL_PLATFORM_SIMMONITORBRIGHTNESS_H

#include <atomic>

#include "monitorbrightness.h"

namespace vantel::platform {

class SimMonitorBrightness : public MonitorBrightness
{
public:
    int currentBrightness() override { return percent.load(); }

    bool setBrightness(int value) override
    {
        if (value < 0 || value > 100 || percent.load() < 0)
            return false;
        percent = value;
        return true;
    }

    // -1: no backlight.
    void set(int value) { percent = value < 0 ? -1 : value > 100 ? 100 : value; }

private:
    std::atomic<int> percent{80};
};

} // namespace vantel::platform

#endif
