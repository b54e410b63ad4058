// The brightness provider's access to the display backlight and to the
// active power scheme's brightness, display-off and sleep values for battery
// and mains, with the power source and the time since the last input. Every
// operation answers a fixed value when its device cannot be read.
#ifndef XBACKLIGHT_H
#define XBACKLIGHT_H

#include <cstdint>
#include <memory>

namespace vantel::platform {
struct Guid;
}

// Power source codes: which of a power scheme's values apply.
enum {
    POWER_SOURCE_UNKNOWN = 0,
    POWER_SOURCE_BATTERY = 1, // DC values
    POWER_SOURCE_MAINS = 2    // AC values
};

class XBacklight
{
public:
    XBacklight();
    ~XBacklight();
    XBacklight(const XBacklight&) = delete;
    XBacklight& operator=(const XBacklight&) = delete;

    void initialize();

    int xbkl_getBrightness();
    void xbkl_setBrightness(int percent);

    int xbkl_readBrightnessSetting(int source);
    bool xbkl_writeBrightnessSetting(int percent, int source);

    int xbkl_getACLineStatus();
    int xbkl_getPowerSource();

    unsigned xbkl_readScreenOffTimeout(int source);
    bool xbkl_writeScreenOffTimeout(unsigned seconds, int source);
    unsigned xbkl_readStandbyTimeout(int source);
    bool xbkl_writeStandbyTimeout(unsigned seconds, int source);

    bool xbkl_getIdleSeconds(unsigned& seconds);

private:
    bool readSetting(int source, const vantel::platform::Guid& subgroup, const vantel::platform::Guid& setting,
                     std::uint32_t& value) const;
    bool writeSetting(int source, const vantel::platform::Guid& subgroup, const vantel::platform::Guid& setting,
                      std::uint32_t value) const;

    // The scheme active when this object was made: every read, write and
    // activation addresses it. Null when no scheme could be captured.
    std::unique_ptr<vantel::platform::Guid> schemeHolder;
};

#endif
