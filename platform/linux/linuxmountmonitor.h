// Tells when the mount table may have changed. The kernel's mountinfo file
// signals every change with POLLPRI; a fake file under a moved proc root
// signals nothing, so it is compared twice a second instead.
#ifndef VANTEL_PLATFORM_LINUXMOUNTMONITOR_H
#define VANTEL_PLATFORM_LINUXMOUNTMONITOR_H

#include <QObject>

#include <functional>
#include <string>

class QSocketNotifier;
class QTimer;

namespace vantel::platform {

class LinuxMountMonitor : public QObject
{
    Q_OBJECT
public:
    LinuxMountMonitor(std::string mountInfoPath, bool kernelFile, std::function<void()> changed);
    ~LinuxMountMonitor() override;

private:
    void compare();

    std::string path;
    std::function<void()> changed;
    int fd = -1;
    QSocketNotifier* notifier = nullptr;
    QTimer* timer = nullptr;
    std::string lastText;
};

} // namespace vantel::platform

#endif
