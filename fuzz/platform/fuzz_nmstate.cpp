// Folds property maps decoded from the fuzzer's bytes into the model of
// NetworkManager, as its signals and replies would: every property of
// devices, access points, the manager, active and saved connections, with
// values of every D-Bus type (wrapped in variants or not), including the
// wrong type for the property. Taking the same map twice changes nothing the
// second time, and the model always reads in Windows' terms.
#include "linux/nmstate.h"

#include "fuzzbytes.h"

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusSignature>
#include <QDBusVariant>

#include <cstdint>
#include <cstdlib>

using namespace vantel::platform;

namespace {

void dropMessage(QtMsgType, const QMessageLogContext&, const QString&)
{
}

const char* const kNames[] = {"WirelessEnabled", "WirelessHardwareEnabled", "Interface", "PermHwAddress",
                              "HwAddress", "State", "Mode", "WirelessCapabilities", "LastScan",
                              "ActiveConnection", "ActiveAccessPoint", "AccessPoints", "AvailableConnections",
                              "Ssid", "Strength", "Frequency", "Flags", "WpaFlags", "RsnFlags", "Id",
                              "Connection", "id", "type", "ssid"};

// A few object paths, so that the objects refer to each other.
QString path(FuzzBytes& in)
{
    static const char* const paths[] = {"/", "/org/freedesktop/NetworkManager/Devices/1",
                                        "/org/freedesktop/NetworkManager/AccessPoint/1",
                                        "/org/freedesktop/NetworkManager/AccessPoint/2",
                                        "/org/freedesktop/NetworkManager/ActiveConnection/1",
                                        "/org/freedesktop/NetworkManager/Settings/1"};
    return QLatin1String(paths[in.byte() % 6]);
}

QString text(FuzzBytes& in)
{
    const std::string bytes = in.text(24);
    return in.byte() & 1 ? QString::fromUtf8(bytes.data(), int(bytes.size()))
                         : QString::fromLatin1(bytes.data(), int(bytes.size()));
}

QVariant value(FuzzBytes& in, int depth);

QVariantMap map(FuzzBytes& in, int depth)
{
    QVariantMap properties;
    for (int n = in.byte() % 8; n > 0 && !in.empty(); --n)
        properties.insert(QLatin1String(kNames[in.byte() % (sizeof(kNames) / sizeof(kNames[0]))]),
                          value(in, depth + 1));
    return properties;
}

QVariant value(FuzzBytes& in, int depth)
{
    switch (in.byte() % (depth < 3 ? 19 : 16)) {
    case 0: return QVariant(bool(in.byte() & 1));
    case 1: return QVariant::fromValue(uchar(in.byte()));
    case 2: return QVariant::fromValue(short(in.number(2)));
    case 3: return QVariant::fromValue(ushort(in.number(2)));
    case 4: return QVariant(int(in.number(4)));
    case 5: return QVariant(uint(in.number(4)));
    case 6: return QVariant(qlonglong(quint64(in.number(4)) << 32 | in.number(4)));
    case 7: return QVariant(qulonglong(quint64(in.number(4)) << 32 | in.number(4)));
    case 8: {
        const quint64 bits = quint64(in.number(4)) << 32 | in.number(4);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return QVariant(d);
    }
    case 9: return QVariant(text(in));
    case 10: return QVariant::fromValue(QDBusObjectPath(path(in)));
    case 11: return QVariant::fromValue(QDBusSignature(QLatin1String(in.byte() & 1 ? "ao" : "s")));
    case 12: {
        const std::string bytes = in.text(40);
        return QVariant(QByteArray(bytes.data(), int(bytes.size())));
    }
    case 13: {
        QStringList list;
        for (int n = in.byte() % 4; n > 0; --n)
            list << (in.byte() & 1 ? path(in) : text(in));
        return QVariant(list);
    }
    case 14: {
        QList<QDBusObjectPath> list;
        for (int n = in.byte() % 4; n > 0; --n)
            list << QDBusObjectPath(path(in));
        return QVariant::fromValue(list);
    }
    case 15: {
        // An argument as a sender builds it: not one to read from.
        QDBusArgument argument;
        argument << QDBusObjectPath(path(in));
        return QVariant::fromValue(argument);
    }
    case 16: return QVariant::fromValue(QDBusVariant(value(in, depth + 1)));
    case 17: return QVariant(map(in, depth));
    default: {
        QVariantList list;
        for (int n = in.byte() % 4; n > 0; --n)
            list << value(in, depth + 1);
        return QVariant(list);
    }
    }
}

template <class Apply>
void twice(Apply apply)
{
    QStringList changed;
    apply(changed);
    changed.clear();
    apply(changed);
    if (!changed.isEmpty())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QtMessageHandler quiet = qInstallMessageHandler(dropMessage); // QDBusArgument's complaints
    Q_UNUSED(quiet)
    FuzzBytes in(data, size);
    NmState state;
    state.present = in.byte() & 1;
    const QString device = QStringLiteral("/org/freedesktop/NetworkManager/Devices/1");
    while (!in.empty()) {
        const QVariantMap properties = map(in, 0);
        const QString object = path(in);
        switch (in.byte() % 5) {
        case 0: twice([&](QStringList& changed) { nmApplyManager(state, properties, changed); }); break;
        case 1: twice([&](QStringList& changed) { nmApplyDevice(state.devices[device], properties, changed); }); break;
        case 2: twice([&](QStringList& changed) { nmApplyAccessPoint(state.accessPoints[object], properties, changed); }); break;
        case 3: nmApplyActiveConnection(state.activeConnections[object], properties); break;
        default: {
            QMap<QString, QVariantMap> settings;
            settings.insert(QStringLiteral("connection"), properties);
            settings.insert(QStringLiteral("802-11-wireless"), map(in, 0));
            state.connections.insert(object, nmConnection(settings));
        }
        }
    }
    const WifiMachine machine = nmWifiMachine(state);
    for (const WifiInterface& wlan : machine.interfaces) {
        if (wlan.associatedAccessPoint >= int(wlan.accessPoints.size()))
            std::abort();
        for (const WifiAccessPoint& ap : wlan.accessPoints)
            if (ap.quality > 100)
                std::abort();
    }
    return 0;
}
