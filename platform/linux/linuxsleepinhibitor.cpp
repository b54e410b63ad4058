#include "linuxsleepinhibitor.h"

#include <QDBusUnixFileDescriptor>

#include <fcntl.h>
#include <unistd.h>

#include "linuxlogind.h"

namespace vantel::platform {

LinuxSleepInhibitor::~LinuxSleepInhibitor()
{
    release();
}

bool LinuxSleepInhibitor::hold()
{
    if (held())
        return true;
    const QDBusMessage reply =
        callLogind("/org/freedesktop/login1", "Manager", "Inhibit",
                   {QStringLiteral("idle:sleep"), QStringLiteral("Vantel"),
                    QStringLiteral("The power scheme's sleep timeout is set to never"), QStringLiteral("block")});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    const auto handle = qvariant_cast<QDBusUnixFileDescriptor>(reply.arguments().constFirst());
    // The reply's descriptor closes with it; a copy keeps the inhibitor.
    if (handle.isValid())
        descriptor = ::fcntl(handle.fileDescriptor(), F_DUPFD_CLOEXEC, 0);
    return held();
}

void LinuxSleepInhibitor::release()
{
    if (descriptor >= 0)
        ::close(descriptor);
    descriptor = -1;
}

} // namespace vantel::platform
