// logind's idle and sleep inhibitor in "block" mode: while it is held,
// neither logind nor a desktop's power manager puts the machine to sleep.
#ifndef VANTEL_PLATFORM_LINUXSLEEPINHIBITOR_H
#define VANTEL_PLATFORM_LINUXSLEEPINHIBITOR_H

namespace vantel::platform {

class LinuxSleepInhibitor
{
public:
    LinuxSleepInhibitor() = default;
    LinuxSleepInhibitor(const LinuxSleepInhibitor&) = delete;
    LinuxSleepInhibitor& operator=(const LinuxSleepInhibitor&) = delete;
    ~LinuxSleepInhibitor();

    // Takes the inhibitor unless it is held already. False when logind
    // gives none (no bus, no logind, refused).
    bool hold();
    void release();
    bool held() const { return descriptor >= 0; }

private:
    int descriptor = -1; // logind keeps the inhibitor while this is open
};

} // namespace vantel::platform

#endif
