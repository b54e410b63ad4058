// The real desktop portal's Screenshot on a private session bus, over a
// TestCompositor's sway: Debian's xdg-desktop-portal 1.16 with
// xdg-desktop-portal-wlr as its Screenshot backend (which takes the picture
// with grim into /tmp/out.png and needs PipeWire running) and
// xdg-desktop-portal-gtk, whose Access backend 1.16 wants before it offers
// Screenshot at all. The bus has no service folders, so nothing is started
// behind the test's back. startBus() points DBUS_SESSION_BUS_ADDRESS at it:
// call it before the session bus is first used (Qt's GUI application asks
// for it as it starts), once for the process.
#ifndef TESTPORTAL_H
#define TESTPORTAL_H

#include <QString>
#include <QTemporaryDir>

#include <memory>

#include "testprocess.h"

class TestPortal
{
public:
    // The Screenshot backend with grim (answers), without it (refuses), or
    // no Access backend (a desktop other than GNOME: the portal offers no
    // Screenshot).
    enum Backend { WithGrim, WithoutGrim, NoAccess };

    ~TestPortal() { stop(); }

    // The bus, then the services, against the compositor of XDG_RUNTIME_DIR
    // and WAYLAND_DISPLAY; false, with error() saying why, when the portal
    // does not offer what `backend` promises within a few seconds. Again
    // after stop() it keeps the bus and starts the services anew.
    bool start(Backend backend);
    // The bus alone; start() makes it when it is not there yet.
    bool startBus();
    // Ends the services, the bus stays.
    void stop();

    qint64 portalPid() const { return portal.pid(); }
    qint64 backendPid() const { return wlr.pid(); }
    const QString& error() const { return failure; }
    // Where the backend writes each picture.
    static QString pictureFile() { return QStringLiteral("/tmp/out.png"); }

private:
    QTemporaryDir dir;
    TestProcess bus;
    TestProcess pipewire;
    TestProcess wlr;
    TestProcess gtk;
    TestProcess portal;
    QString failure;
};

#endif
