#include "testcompositor.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <cstdio>
#include <unistd.h>
#include <sys/stat.h>
#include <wayland-client.h>

namespace {

// The compositor answers a round trip on `socket` in `folder`.
bool answers(const QString& folder, const QString& socket)
{
    const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + socket);
    wl_display* display = wl_display_connect(path.constData());
    if (!display)
        return false;
    const bool alive = wl_display_roundtrip(display) >= 0;
    wl_display_disconnect(display);
    return alive;
}

// sway: no borders, no Xwayland, one 640x480 output.
const char swayConfig[] = "default_border none\n"
                          "default_floating_border none\n"
                          "xwayland disable\n"
                          "output * mode 640x480\n";

} // namespace

bool TestCompositor::start(Kind kind, bool debugLog)
{
    stop();
    failure.clear();
    which = kind;
    dir = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/vantel-wayland-XXXXXX"));
    if (!dir->isValid()) {
        failure = QStringLiteral("no temporary folder");
        return false;
    }
    folder = dir->path();
    const bool root = ::geteuid() == 0;
    const QByteArray path = QFile::encodeName(folder);
    if (kind == Sway) {
        QFile config(folder + QStringLiteral("/config"));
        if (!config.open(QIODevice::WriteOnly) || config.write(swayConfig) < 0) {
            failure = QStringLiteral("cannot write sway's configuration");
            return false;
        }
        config.close();
        ::chmod(QFile::encodeName(config.fileName()).constData(), 0644);
    }
    // The runtime folder belongs to the user the compositor runs as.
    if (root && ::chown(path.constData(), 65534, 65534) != 0) {
        failure = QStringLiteral("cannot give the runtime folder to nobody");
        return false;
    }
    ::chmod(path.constData(), 0700);

    QStringList arguments;
    // Changing the user clears the parent-death signal TestProcess set:
    // setpriv sets it again, so a killed test leaves no compositor behind.
    if (root)
        arguments << QStringLiteral("--reuid=nobody") << QStringLiteral("--regid=nogroup")
                  << QStringLiteral("--clear-groups") << QStringLiteral("--pdeathsig=TERM") << QStringLiteral("--");
    arguments << QStringLiteral("env") << QStringLiteral("-i")
              << QStringLiteral("PATH=/usr/local/bin:/usr/bin:/bin") << QStringLiteral("HOME=") + folder
              << QStringLiteral("XDG_RUNTIME_DIR=") + folder << QStringLiteral("WLR_BACKENDS=headless")
              << QStringLiteral("WLR_RENDERER=pixman") << QStringLiteral("WLR_LIBINPUT_NO_DEVICES=1")
              << QStringLiteral("WLR_HEADLESS_OUTPUTS=1");
    if (kind == Sway && debugLog)
        arguments << QStringLiteral("sway") << QStringLiteral("-d") << QStringLiteral("-c")
                  << folder + QStringLiteral("/config");
    else if (kind == Sway)
        arguments << QStringLiteral("sway") << QStringLiteral("-c") << folder + QStringLiteral("/config");
    else if (kind == Weston)
        arguments << QStringLiteral("weston") << QStringLiteral("--backend=headless-backend.so")
                  << QStringLiteral("--use-pixman") << QStringLiteral("--width=640") << QStringLiteral("--height=480")
                  << QStringLiteral("--idle-time=0");
    else
        arguments << QStringLiteral("cage") << QStringLiteral("--") << QStringLiteral("sleep")
                  << QStringLiteral("infinity");
    const QString program = root ? QStringLiteral("setpriv") : QStringLiteral("env");
    if (!root)
        arguments.removeFirst();
    if (!server.start(program, arguments)) {
        failure = server.error();
        return false;
    }

    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
        if (!server.running()) {
            failure = QStringLiteral("the compositor ended: ") + QString::fromLocal8Bit(server.errorOutput());
            return false;
        }
        const QStringList sockets =
            QDir(folder).entryList({QStringLiteral("wayland-*")}, QDir::System | QDir::Files);
        for (const QString& socket : sockets) {
            if (!socket.endsWith(QLatin1String(".lock")) && answers(folder, socket)) {
                name = socket;
                qputenv("XDG_RUNTIME_DIR", path);
                qputenv("WAYLAND_DISPLAY", name.toLatin1());
                return true;
            }
        }
        QThread::msleep(50);
    }
    failure = QStringLiteral("no socket within 10 s: ") + QString::fromLocal8Bit(server.errorOutput());
    server.stop();
    return false;
}

void TestCompositor::stop()
{
    server.stop();
    name.clear();
    folder.clear();
    dir.reset();
}

int TestCompositor::run(const QString& program, const QStringList& arguments, int timeoutMs,
                        QByteArray* output) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder);
    env.insert(QStringLiteral("WAYLAND_DISPLAY"), name);
    return runTestClient(program, arguments, env, timeoutMs, output);
}

bool TestCompositor::swaymsg(const QStringList& command) const
{
    if (which != Sway)
        return false;
    const QStringList ipc = QDir(folder).entryList({QStringLiteral("sway-ipc.*.sock")}, QDir::System);
    if (ipc.isEmpty())
        return false;
    return run(QStringLiteral("swaymsg"), QStringList{QStringLiteral("-s"), folder + QLatin1Char('/') + ipc.first()} + command) == 0;
}

QString TestWaylandWindow::program()
{
    return QStringLiteral(VANTEL_WAYLAND_PAINTER);
}

bool TestWaylandWindow::show(const QString& appId)
{
    failure.clear();
    if (!painter.start(program(), {appId}, 1)) {
        failure = painter.error();
        return false;
    }
    const QList<QByteArray> line = painter.readLine(10000).split(' ');
    if (line.size() != 3 || line[0] != "painted") {
        failure = QStringLiteral("the window was not painted: ") + painter.error();
        painter.stop();
        return false;
    }
    painted = QSize(line[1].toInt(), line[2].toInt());
    return true;
}
