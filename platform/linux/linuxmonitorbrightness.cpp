#include "linuxmonitorbrightness.h"

#include <QDBusMessage>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "linuxattribute.h"
#include "linuxlogind.h"

namespace vantel::platform {

namespace {

// Lower is better; a type the kernel does not document comes last.
int typeRank(const LinuxAttribute& type)
{
    if (type.is("firmware"))
        return 0;
    if (type.is("platform"))
        return 1;
    if (type.is("raw"))
        return 2;
    return 3;
}

bool writeSysfsBrightness(int folder, std::int64_t raw)
{
    // O_TRUNC as a shell's redirection: sysfs ignores it, a plain file needs it.
    const int fd = ::openat(folder, "brightness", O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return false;
    const std::string text = std::to_string(raw) + '\n';
    ssize_t written;
    do {
        written = ::write(fd, text.data(), text.size());
    } while (written < 0 && errno == EINTR);
    ::close(fd);
    return written == ssize_t(text.size());
}

} // namespace

LinuxMonitorBrightness::LinuxMonitorBrightness(std::string sysfsRoot)
    : classDir(std::move(sysfsRoot) + "/class/backlight")
{
}

bool LinuxMonitorBrightness::chooseDevice(Device& best) const
{
    DIR* dir = ::opendir(classDir.c_str());
    if (!dir)
        return false;
    int bestRank = 4;
    LinuxAttribute attr;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        const int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            continue;
        const int rank = attr.read(fd, "type") ? typeRank(attr) : 3;
        std::int64_t maximum = 0;
        const bool usable = attr.read(fd, "max_brightness") && attr.toInt64(maximum) && maximum > 0;
        // Equal types: the first name in order, so the choice does not depend on the listing.
        if (usable && (rank < bestRank || (rank == bestRank && best.name.compare(entry->d_name) > 0))) {
            if (best.folder >= 0)
                ::close(best.folder);
            best = {entry->d_name, maximum, fd};
            bestRank = rank;
        } else {
            ::close(fd);
        }
    }
    ::closedir(dir);
    return best.folder >= 0;
}

int LinuxMonitorBrightness::currentBrightness()
{
    Device device;
    if (!chooseDevice(device))
        return -1;
    LinuxAttribute attr;
    std::int64_t actual = 0;
    const bool read = attr.read(device.folder, "actual_brightness") && attr.toInt64(actual) && actual >= 0;
    ::close(device.folder);
    if (!read)
        return -1;
    if (actual >= device.maximum)
        return 100;
    return int((actual * 200 + device.maximum) / (device.maximum * 2));
}

bool LinuxMonitorBrightness::setBrightness(int percent)
{
    if (percent < 0 || percent > 100)
        return false;
    Device device;
    if (!chooseDevice(device))
        return false;
    const std::int64_t raw = percent * device.maximum / 100;
    const QDBusMessage reply =
        callLogind("/org/freedesktop/login1/session/auto", "Session", "SetBrightness",
                   {QStringLiteral("backlight"), QString::fromStdString(device.name), quint32(raw)});
    const bool done = reply.type() == QDBusMessage::ReplyMessage || writeSysfsBrightness(device.folder, raw);
    ::close(device.folder);
    return done;
}

} // namespace vantel::platform
