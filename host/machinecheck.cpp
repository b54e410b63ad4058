#include "machinecheck.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSettings>
#include <cstring>
#include <xcb/xcb.h>

#include "xinfo.h"
#include "xinfodata.h"

namespace {

// A service that holds its name but does not answer must not hang the check.
constexpr int kBusTimeoutMs = 2000;
constexpr int kSocketTimeoutMs = 1000;

const char* const kNames[IND_TYPE_COUNT] = {
    "battery",  "bluetooth",       "wifi",           "ethernet", "vci",      "modem",      "download",
    "gps",      "vehicle battery", "screen capture", "camera",   "internet", "brightness", "keyboard"};

QString environment(const char* name, const QString& fallback)
{
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? fallback : value;
}

bool hasNetworkManager()
{
    const QDBusConnection bus = QDBusConnection::systemBus();
    return bus.isConnected() && bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.NetworkManager"));
}

// The session the library sets the brightness through: logind's "auto",
// which resolves to the caller's own session and fails without one.
bool hasLogindSession()
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1/session/auto"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    call << QStringLiteral("org.freedesktop.login1.Session") << QStringLiteral("Id");
    const QDBusConnection bus = QDBusConnection::systemBus();
    return bus.isConnected() && bus.call(call, QDBus::Block, kBusTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

// A device the library can use: one whose maximum it can read.
bool hasBacklight()
{
    const QDir devices(environment("VANTEL_SYSFS_ROOT", QStringLiteral("/sys")) + QStringLiteral("/class/backlight"));
    const QStringList names = devices.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    for (const QString& name : names) {
        QFile maximum(devices.filePath(name + QStringLiteral("/max_brightness")));
        if (maximum.open(QIODevice::ReadOnly) && maximum.readAll().trimmed().toLongLong() > 0)
            return true;
    }
    return false;
}

// The X server of DISPLAY, connected to as the library does (authorisation included).
bool hasXServer()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        return false;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool ok = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return ok;
}

// A compositor answers wl_display.sync with the callback's done event; any
// socket that merely accepts is not one. The globals its registry lists
// come before that event: the library reads the desktop through
// zwlr_screencopy_manager_v1 where it is one of them.
WaylandAnswer askWaylandCompositor()
{
    WaylandAnswer answer;
    const QString name = environment("WAYLAND_DISPLAY", QStringLiteral("wayland-0"));
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!QDir::isAbsolutePath(name) && runtime.isEmpty())
        return answer;
    QLocalSocket socket;
    socket.connectToServer(QDir::isAbsolutePath(name) ? name : runtime + QLatin1Char('/') + name);
    if (!socket.waitForConnected(kSocketTimeoutMs))
        return answer;
    // wl_display (object 1): get_registry (opcode 1) as object 2, then sync
    // (opcode 0) as callback 3; each request 12 bytes.
    const quint32 requests[6] = {1, (12u << 16) | 1, 2, 1, 12u << 16, 3};
    socket.write(reinterpret_cast<const char*>(requests), sizeof requests);
    QByteArray reply;
    int at = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < kSocketTimeoutMs) {
        quint32 header[2];
        while (reply.size() - at >= 8) {
            std::memcpy(header, reply.constData() + at, sizeof header);
            const int size = int(header[1] >> 16);
            if (size < 8 || reply.size() - at < size)
                break;
            if (header[0] == 3) { // the callback's done
                answer.compositor = (header[1] & 0xffffu) == 0;
                return answer;
            }
            // wl_registry.global: name, interface (length with its NUL, then the text), version.
            quint32 length = 0;
            if (header[0] == 2 && (header[1] & 0xffffu) == 0 && size >= 16) {
                std::memcpy(&length, reply.constData() + at + 12, sizeof length);
                if (length > 0 && 16 + int(length) <= size
                    && QByteArray(reply.constData() + at + 16, int(length) - 1) == "zwlr_screencopy_manager_v1")
                    answer.screencopy = true;
            }
            at += size;
        }
        if (!socket.waitForReadyRead(int(kSocketTimeoutMs - clock.elapsed())))
            break;
        reply += socket.readAll();
    }
    return WaylandAnswer();
}

// The desktop portal's Screenshot on the session bus, started on demand as
// the library's first capture would start it.
bool hasScreenshotPortal()
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.freedesktop.portal.Screenshot") << QStringLiteral("version");
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.call(get, QDBus::Block, kBusTimeoutMs).type() == QDBusMessage::ReplyMessage;
}

// Indicators that ask nothing of the machine say so, lest "ok" promise a reading.
const char* note(int type)
{
    switch (type) {
    case IND_TYPE_BLUETOOTH:
    case IND_TYPE_ETHERNET:
    case IND_TYPE_VCI:
    case IND_TYPE_MODEM:
    case IND_TYPE_DOWNLOAD:
    case IND_TYPE_GPS:
        return " (reads no device)";
    case IND_TYPE_BATTERYVEHICLE:
        return " (the host hands in the readings)";
    default:
        return "";
    }
}

} // namespace

MachineCheck::MachineCheck(const QVector<XInfo*>& infos, const QString& settingsPath)
    : indicators(infos),
      iniPath(settingsPath),
      networkManager(hasNetworkManager()),
      xServer(hasXServer()),
      wayland(askWaylandCompositor()),
      screenshotPortal(wayland.compositor && !wayland.screencopy && hasScreenshotPortal())
{
}

int MachineCheck::run(std::FILE* out) const
{
    int missing = 0;
    for (int type = 0; type < IND_TYPE_COUNT; ++type) {
        const XInfo* indicator = indicators.value(type);
        if (!indicator || !indicator->xinfo_getEnable()) {
            std::fprintf(out, "%s: off\n", kNames[type]);
            continue;
        }
        const QString lack = missingFor(type);
        if (lack.isEmpty()) {
            const QString way = type == IND_TYPE_SCREENCAPTURE ? captureWay() : QString::fromLatin1(note(type));
            std::fprintf(out, "%s: ok%s\n", kNames[type], qPrintable(way));
        } else {
            std::fprintf(out, "%s: %s\n", kNames[type], qPrintable(lack));
            ++missing;
        }
    }
    if (missing == 0)
        std::fprintf(out, "every indicator that is on can work on this machine\n");
    else
        std::fprintf(out, "%d indicators that are on cannot work on this machine\n", missing);
    return missing == 0 ? 0 : 1;
}

QString MachineCheck::missingFor(int type) const
{
    switch (type) {
    case IND_TYPE_WIFI:
        return networkManager ? QString() : QStringLiteral("no NetworkManager on the system bus");
    case IND_TYPE_SCREENCAPTURE:
        // A Wayland desktop the library reads itself, even where Xwayland
        // gives an X server too; Qt reads an X server's.
        if (wayland.compositor)
            return wayland.screencopy || screenshotPortal
                       ? QString()
                       : QStringLiteral("no way to read the Wayland desktop (no screencopy from the compositor, no "
                                        "Screenshot portal on the session bus)");
        return xServer ? QString() : QStringLiteral("no X server or Wayland compositor");
    case IND_TYPE_CAMERA:
        return missingForCamera();
    case IND_TYPE_BRIGHTNESS:
        return missingForBrightness();
    case IND_TYPE_KEYBOARD:
        return missingForKeyboard();
    default:
        return QString();
    }
}

QString MachineCheck::captureWay() const
{
    if (!wayland.compositor)
        return QString();
    return wayland.screencopy ? QStringLiteral(" (Wayland: the compositor's screencopy)")
                              : QStringLiteral(" (Wayland: the desktop portal's Screenshot)");
}

QString MachineCheck::missingForBrightness() const
{
    if (!hasBacklight())
        return QStringLiteral("no backlight device");
    if (!hasLogindSession())
        return QStringLiteral("no logind session for this process");
    return QString();
}

QString MachineCheck::missingForKeyboard() const
{
    const QString program = qEnvironmentVariable("VANTEL_KEYBOARD_PROGRAM");
    if (program.isEmpty() && !QFileInfo(QStringLiteral("/usr/bin/onboard")).isExecutable())
        return QStringLiteral("onboard not installed");
    if (!program.isEmpty() && !QFileInfo(program).isExecutable())
        return QStringLiteral("the keyboard program %1 not installed").arg(program);
    // The keyboard's window is found, and closed, on the X display.
    if (!xServer)
        return wayland.compositor ? QStringLiteral("no X server (the keyboard's window is looked for on X11)")
                                 : QStringLiteral("no X server or Wayland compositor");
    return QString();
}

QString MachineCheck::missingForCamera() const
{
    const QString program =
        QSettings(iniPath, QSettings::IniFormat).value(QStringLiteral("Data/DATA_CAMERA_APP")).toString();
    if (program.isEmpty())
        return QStringLiteral("no camera program named in the settings (DATA_CAMERA_APP)");
    if (!QFileInfo(program).isExecutable())
        return QStringLiteral("the camera program named in the settings not found: %1").arg(program);
    return QString();
}
