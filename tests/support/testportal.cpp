#include "testportal.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <csignal>

namespace {

// A session bus as dbus-daemon's own session configuration makes it, less
// the service folders.
const char busConfig[] = "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN\"\n"
                         " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                         "<busconfig>\n"
                         "  <type>session</type>\n"
                         "  <listen>unix:path=%1</listen>\n"
                         "  <policy context=\"default\">\n"
                         "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                         "    <allow eavesdrop=\"true\"/>\n"
                         "    <allow own=\"*\"/>\n"
                         "  </policy>\n"
                         "</busconfig>\n";

// The portal offers Screenshot: its version property answers.
bool offersScreenshot(const QDBusConnection& connection)
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.freedesktop.portal.Screenshot") << QStringLiteral("version");
    return connection.call(get, QDBus::Block, 1000).type() == QDBusMessage::ReplyMessage;
}

} // namespace

bool TestPortal::startBus()
{
    if (bus.running())
        return true;
    QFile config(dir.filePath(QStringLiteral("bus.conf")));
    const QString socket = dir.filePath(QStringLiteral("session_bus_socket"));
    if (!dir.isValid() || !config.open(QIODevice::WriteOnly)
        || config.write(QString::fromLatin1(busConfig).arg(socket).toUtf8()) < 0) {
        failure = QStringLiteral("cannot write the bus configuration");
        return false;
    }
    config.close();
    if (!bus.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
                    QStringLiteral("--nosyslog"), QStringLiteral("--print-address=3")},
                   3)
        || bus.readLine(10000).isEmpty()) {
        failure = QStringLiteral("dbus-daemon: ") + bus.error();
        return false;
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArray("unix:path=") + QFile::encodeName(socket));
    return true;
}

bool TestPortal::start(Backend backend)
{
    stop();
    failure.clear();
    if (!startBus())
        return false;
    // The portal picks its backends by the desktop's name; the GNOME one
    // lends Access. Without it, as with only the wlroots backend installed.
    qputenv("XDG_CURRENT_DESKTOP", "sway:GNOME");
    const QString portals = dir.filePath(QStringLiteral("portals"));
    const QString wlrPortal = QStringLiteral("/wlr.portal");
    if (backend == NoAccess) {
        QDir().mkpath(portals);
        QFile::copy(QStringLiteral("/usr/share/xdg-desktop-portal/portals") + wlrPortal, portals + wlrPortal);
        qputenv("XDG_DESKTOP_PORTAL_DIR", QFile::encodeName(portals));
    } else {
        qunsetenv("XDG_DESKTOP_PORTAL_DIR");
    }
    const QStringList replace{QStringLiteral("--replace")};
    if (!pipewire.start(QStringLiteral("pipewire"), {})) {
        failure = pipewire.error();
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    const QString pipewireSocket = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/pipewire-0");
    while (clock.elapsed() < 10000 && !QFile::exists(pipewireSocket))
        QThread::msleep(20);
    const QString wlrProgram = QStringLiteral("/usr/libexec/xdg-desktop-portal-wlr");
    const bool backends =
        backend == WithoutGrim ? wlr.start(QStringLiteral("env"), QStringList{QStringLiteral("PATH=/nonexistent"), wlrProgram} + replace)
                               : wlr.start(wlrProgram, replace);
    if (!backends || (backend != NoAccess && !gtk.start(QStringLiteral("/usr/libexec/xdg-desktop-portal-gtk"), replace))) {
        failure = wlr.error() + gtk.error();
        return false;
    }
    // The portal looks for its backends once, when it starts.
    const QDBusConnection connection = QDBusConnection::connectToBus(
        QString::fromLocal8Bit(qgetenv("DBUS_SESSION_BUS_ADDRESS")), QStringLiteral("vantel-test-portal"));
    auto owned = [&connection](const char* name) {
        return connection.interface()->isServiceRegistered(QString::fromLatin1(name)).value();
    };
    while (clock.elapsed() < 10000
           && !(owned("org.freedesktop.impl.portal.desktop.wlr")
                && (backend == NoAccess || owned("org.freedesktop.impl.portal.desktop.gtk"))))
        QThread::msleep(50);
    if (!portal.start(QStringLiteral("/usr/libexec/xdg-desktop-portal"), replace)) {
        failure = portal.error();
        return false;
    }
    while (clock.elapsed() < 10000 && !owned("org.freedesktop.portal.Desktop"))
        QThread::msleep(50);
    if (owned("org.freedesktop.portal.Desktop") && offersScreenshot(connection) == (backend != NoAccess))
        return true;
    failure = QStringLiteral("the portal did not come up as asked: ") + QString::fromLocal8Bit(portal.errorOutput())
              + QString::fromLocal8Bit(wlr.errorOutput()) + QString::fromLocal8Bit(gtk.errorOutput());
    return false;
}

void TestPortal::stop()
{
    // A test may have stopped one to make the portal wait.
    for (const TestProcess* process : {&portal, &gtk, &wlr, &pipewire})
        if (process->pid() > 0)
            ::kill(process->pid(), SIGCONT);
    portal.stop();
    gtk.stop();
    wlr.stop();
    pipewire.stop();
}
