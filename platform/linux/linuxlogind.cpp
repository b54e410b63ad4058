#include "linuxlogind.h"

#include <QDBusConnection>

namespace vantel::platform {

QDBusMessage callLogind(const char* path, const char* interface, const char* method, const QVariantList& arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QString::fromLatin1(path),
        QStringLiteral("org.freedesktop.login1.") + QLatin1String(interface), QString::fromLatin1(method));
    call.setArguments(arguments);
    return QDBusConnection::systemBus().call(call, QDBus::Block, kLogindCallTimeoutMs);
}

} // namespace vantel::platform
