// A private Wayland compositor for a test: Debian's cage or sway on the
// headless wlroots backend with the pixman renderer and no input devices,
// or weston on its headless backend (no screencopy), in a runtime folder of
// its own. Both refuse to run as root, so under root
// (CI) the compositor runs as nobody through setpriv; the test, root or not,
// connects to its socket. start() points XDG_RUNTIME_DIR and WAYLAND_DISPLAY
// at it; stop() ends it by its process id and removes the folder.
#ifndef TESTCOMPOSITOR_H
#define TESTCOMPOSITOR_H

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

#include "testprocess.h"

class TestCompositor
{
public:
    enum Kind { Cage, Sway, Weston };

    ~TestCompositor() { stop(); }

    // False, with error() saying why, when the compositor does not answer on
    // its socket within a few seconds. Its one output is 640x480 on sway and
    // weston, 1280x720 (the headless backend's own) on cage. With `debugLog` sway
    // writes its debug log, which log() reads.
    bool start(Kind kind, bool debugLog = false);
    void stop();

    qint64 pid() const { return server.pid(); }
    const QString& runtimeDir() const { return folder; }
    const QString& socket() const { return name; }
    const QString& error() const { return failure; }
    // All the compositor wrote to standard error so far.
    QByteArray log() { return server.errorOutput(-1); }

    // Runs a client (swaymsg, wayland-info, grim...) on this compositor to
    // its end; its exit code, or -1 when it did not run or took over
    // `timeoutMs`.
    int run(const QString& program, const QStringList& arguments, int timeoutMs = 10000,
            QByteArray* output = nullptr) const;

    // A command on sway's IPC socket; false on cage or when sway refused it.
    bool swaymsg(const QStringList& command) const;

private:
    Kind which = Cage;
    std::unique_ptr<QTemporaryDir> dir;
    TestProcess server;
    QString folder;
    QString name;
    QString failure;
};

// A client window on the current compositor (waylandpainter): an xdg
// toplevel with `appId`, filled with four quadrants (top left red, top right
// green, bottom left blue, bottom right white), 320x240. It ends by itself when asked to close.
class TestWaylandWindow
{
public:
    bool show(const QString& appId);
    void stop() { painter.stop(); }
    bool running() { return painter.running(); }
    // The size it painted at.
    QSize size() const { return painted; }
    const QString& error() const { return failure; }
    // The painter program itself, for a test that starts it another way.
    static QString program();

private:
    TestProcess painter;
    QSize painted;
    QString failure;
};

#endif
