// The logind mock's session "auto" (the caller's own session, as the real
// logind resolves it) with Session.SetBrightness, which the template lacks,
// and the calls it received.
#ifndef TESTLOGINDSESSION_H
#define TESTLOGINDSESSION_H

#include <QDBusArgument>

#include "testsystembus.h"

namespace testlogind {

// Starts the logind template with the session; `refuse` makes SetBrightness
// answer with an error, as logind does for a session that is not active.
inline bool startWithSession(TestSystemBus& bus, bool refuse = false)
{
    const QString session = QStringLiteral("/org/freedesktop/login1/session/auto");
    if (!bus.startTemplate("logind"))
        return false;
    bus.mock("logind", "/org/freedesktop/login1", "AddSession", {"auto", "seat0", 1000u, "tech", true});
    const QString refusal = refuse ? "raise dbus.exceptions.DBusException('not the active session', "
                                     "name='org.freedesktop.DBus.Error.AccessDenied')"
                                   : "";
    const QDBusMessage added =
        bus.mock("logind", session, "AddMethod", {"org.freedesktop.login1.Session", "SetBrightness", "ssu", "", refusal});
    bus.mock("logind", session, "ClearCalls");
    return added.type() == QDBusMessage::ReplyMessage;
}

// The SetBrightness calls so far, "NAME=raw" each (the subsystem "backlight" left out).
inline QStringList setBrightnessCalls(const TestSystemBus& bus)
{
    const QDBusMessage reply =
        bus.mock("logind", "/org/freedesktop/login1/session/auto", "GetMethodCalls", {"SetBrightness"});
    QStringList calls;
    const QDBusArgument list = reply.arguments().value(0).value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        quint64 time = 0;
        QVariantList args;
        list.beginStructure();
        list >> time >> args;
        list.endStructure();
        const QString subsystem = args.value(0).toString();
        calls << (subsystem == "backlight" ? "" : subsystem + ':') + args.value(1).toString() + '='
                     + args.value(2).toString();
    }
    list.endArray();
    return calls;
}

} // namespace testlogind

#endif
