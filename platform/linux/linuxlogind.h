// Calls to logind on the system bus. Each has a time limit, so that a logind
// that hangs never holds the GUI thread for long; without a bus or logind the
// call fails at once.
#ifndef VANTEL_PLATFORM_LINUXLOGIND_H
#define VANTEL_PLATFORM_LINUXLOGIND_H

#include <QDBusMessage>
#include <QVariantList>

namespace vantel::platform {

constexpr int kLogindCallTimeoutMs = 2000;

// `method` of `interface` ("Manager", "Session": org.freedesktop.login1.<interface>)
// on `path`; an error comes back as the reply.
QDBusMessage callLogind(const char* path, const char* interface, const char* method, const QVariantList& arguments);

} // namespace vantel::platform

#endif
