#include "linuxmountmonitor.h"

#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <unistd.h>

#include "linuxfile.h"
#include "linuxmounttable.h"

namespace vantel::platform {

LinuxMountMonitor::LinuxMountMonitor(std::string mountInfoPath, bool kernelFile,
                                     std::function<void()> onChange)
    : path(std::move(mountInfoPath)), changed(std::move(onChange))
{
    if (kernelFile)
        fd = openRegularFile(AT_FDCWD, path.c_str());
    if (fd >= 0) {
        notifier = new QSocketNotifier(fd, QSocketNotifier::Exception, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] { changed(); });
        return;
    }
    lastText = LinuxMountTable::readFile(path);
    timer = new QTimer(this);
    timer->setInterval(500);
    connect(timer, &QTimer::timeout, this, &LinuxMountMonitor::compare);
    timer->start();
}

LinuxMountMonitor::~LinuxMountMonitor()
{
    delete notifier; // before its descriptor closes
    if (fd >= 0)
        ::close(fd);
}

void LinuxMountMonitor::compare()
{
    std::string text = LinuxMountTable::readFile(path);
    if (text == lastText)
        return;
    lastText = std::move(text);
    changed();
}

} // namespace vantel::platform
