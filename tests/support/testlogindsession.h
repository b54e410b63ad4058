// The logind mock's session "auto" (the caller's own session, as the real
// logind resolves it) with Session.SetBrightness, which the template lacks,
// and the calls it received.
#ifndef TESTLOGINDSESSION_H
#define TESTLOGINDSESSION_H

#include <QDBusArgument>
#include <QVariantList>

#include "testsystembus.h"

namespace testlogind {

inline const char* sessionPath()
{
    return "/org/freedesktop/login1/session/auto";
}

// Starts the logind template with the session; `refuse` makes SetBrightness
// answer with an error, as logind does for a session that is not active.
inline bool startWithSession(TestSystemBus& bus, bool refuse = false)
{
    if (!bus.startTemplate(QStringLiteral("logind")))
        return false;
    bus.mock(QStringLiteral("logind"), QStringLiteral("/org/freedesktop/login1"), QStringLiteral("AddSession"),
             {QStringLiteral("auto"), QStringLiteral("seat0"), 1000u, QStringLiteral("tech"), true});
    const QString code = refuse ? QStringLiteral("raise dbus.exceptions.DBusException('not the active session', "
                                                 "name='org.freedesktop.DBus.Error.AccessDenied')")
                                : QString();
    const QDBusMessage added = bus.mock(QStringLiteral("logind"), QLatin1String(sessionPath()), QStringLiteral("AddMethod"),
                                        {QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("SetBrightness"),
                                         QStringLiteral("ssu"), QString(), code});
    bus.mock(QStringLiteral("logind"), QLatin1String(sessionPath()), QStringLiteral("ClearCalls"));
    return added.type() == QDBusMessage::ReplyMessage;
}

// The raw values of the SetBrightness calls so far, "NAME=raw" each.
inline QStringList setBrightnessCalls(const TestSystemBus& bus)
{
    const QDBusMessage reply = bus.mock(QStringLiteral("logind"), QLatin1String(sessionPath()),
                                        QStringLiteral("GetMethodCalls"), {QStringLiteral("SetBrightness")});
    QStringList calls;
    if (reply.type() != QDBusMessage::ReplyMessage)
        return {QStringLiteral("no call log: ") + reply.errorMessage()};
    const QDBusArgument list = reply.arguments().value(0).value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        quint64 time = 0;
        QVariantList arguments;
        list.beginStructure();
        list >> time >> arguments;
        list.endStructure();
        const QString subsystem = arguments.value(0).toString();
        calls << (subsystem == QLatin1String("backlight") ? QString() : subsystem + QLatin1Char(':'))
                     + arguments.value(1).toString() + QLatin1Char('=') + arguments.value(2).toString();
    }
    list.endArray();
    return calls;
}

} // namespace testlogind

#endif
