#include "vantelsimulation.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

#include "simtablet.h"

using vantel::platform::SimTablet;

namespace {

const char* const stickLabel = "VANTELSTICK";
const char* const workshopNetwork = "VANTEL-WORKSHOP";

// Plugging in the stick that is already in changes nothing.
void plugStick(VantelSimulation& tablet)
{
    tablet.plugVolume(QString::fromLatin1(stickLabel));
}

struct Step {
    const char* description;
    void (*apply)(VantelSimulation& tablet);
};

// Down through the default warning levels (10, 5, 2 %) and back; each service
// adds its own steps. The internet stays away for nine steps: long enough for
// two checks of the library to confirm it.
const Step scenario[] = {
    {"on mains, 80 %", [](VantelSimulation& t) { t.setPowerStatus(1, 80); }},
    {"on battery, 60 %", [](VantelSimulation& t) { t.setPowerStatus(0, 60); }},
    {"no input for 40 s", [](VantelSimulation& t) { t.setIdleSeconds(40); }},
    {"internet lost", [](VantelSimulation& t) { t.setInternetReachable(false); }},
    {"on battery, 30 %", [](VantelSimulation& t) { t.setPowerStatus(0, 30); }},
    {"input again", [](VantelSimulation& t) { t.setIdleSeconds(0); }},
    {"on battery, 15 %", [](VantelSimulation& t) { t.setPowerStatus(0, 15); }},
    {"on battery, 10 %", [](VantelSimulation& t) { t.setPowerStatus(0, 10); }},
    {"on battery, 5 %", [](VantelSimulation& t) { t.setPowerStatus(0, 5); }},
    {"on battery, 2 %", [](VantelSimulation& t) { t.setPowerStatus(0, 2); }},
    {"on mains, 3 %", [](VantelSimulation& t) { t.setPowerStatus(1, 3); }},
    {"USB stick plugged in", plugStick},
    // Long enough in for a click on the camera or the screen-capture
    // indicator and its outcome to be seen.
    {"USB stick in: the camera and screen-capture indicators show", plugStick},
    {"USB stick in: a click starts the camera or saves the screen", plugStick},
    {"USB stick in: a click starts the camera or saves the screen", plugStick},
    {"USB stick pulled out", [](VantelSimulation& t) { t.pullVolume(QString::fromLatin1(stickLabel)); }},
    {"internet back", [](VantelSimulation& t) { t.setInternetReachable(true); }},
    {"on mains, 100 %", [](VantelSimulation& t) { t.setPowerStatus(1, 100); }},
    {"Wi-Fi signal 90 %", [](VantelSimulation& t) { t.setWifiNetwork(QString::fromLatin1(workshopNetwork), 90); }},
    {"Wi-Fi signal 60 %", [](VantelSimulation& t) { t.setWifiNetwork(QString::fromLatin1(workshopNetwork), 60); }},
    {"Wi-Fi signal 35 %", [](VantelSimulation& t) { t.setWifiNetwork(QString::fromLatin1(workshopNetwork), 35); }},
    {"Wi-Fi signal 15 %", [](VantelSimulation& t) { t.setWifiNetwork(QString::fromLatin1(workshopNetwork), 15); }},
    {"Wi-Fi radio off", [](VantelSimulation& t) { t.setWifiRadio(false, true); }},
    {"Wi-Fi radio on, signal 80 %", [](VantelSimulation& t) {
         t.setWifiRadio(true, true);
         t.setWifiNetwork(QString::fromLatin1(workshopNetwork), 80);
     }},
};

std::uint8_t windowsByte(int value)
{
    return std::uint8_t(std::clamp(value, 0, 255));
}

} // namespace

struct VantelSimulation::Private {
    std::shared_ptr<SimTablet> tablet = std::make_shared<SimTablet>();
    QTimer* timer = nullptr;
    int step = 0;
    std::unique_ptr<QTcpServer> internet;
    quint16 internetPort = 0;

    // Made on first use, listening on a port of its own choice.
    QTcpServer& internetPeer()
    {
        if (!internet) {
            internet = std::make_unique<QTcpServer>();
            QTcpServer* server = internet.get();
            QObject::connect(server, &QTcpServer::newConnection, server, [server] {
                while (QTcpSocket* socket = server->nextPendingConnection()) {
                    socket->close();
                    socket->deleteLater();
                }
            });
            if (server->listen(QHostAddress::LocalHost, 0))
                internetPort = server->serverPort();
        }
        return *internet;
    }
};

VantelSimulation::VantelSimulation(QObject* parent)
    : QObject(parent), d(std::make_unique<Private>())
{
    vantel::platform::installBackend(d->tablet);
    d->timer = new QTimer(this);
    connect(d->timer, &QTimer::timeout, this, &VantelSimulation::nextStep);
}

VantelSimulation::~VantelSimulation() = default;

void VantelSimulation::setPowerStatus(int acLineStatus, int batteryLifePercent)
{
    d->tablet->simPower().set(windowsByte(acLineStatus), windowsByte(batteryLifePercent));
}

void VantelSimulation::setPowerStatusReadable(bool readable)
{
    d->tablet->simPower().setReadable(readable);
}

void VantelSimulation::setBacklight(int percent)
{
    d->tablet->simBacklight().set(percent);
}

int VantelSimulation::backlight() const
{
    return d->tablet->simBacklight().currentBrightness();
}

void VantelSimulation::setIdleSeconds(int seconds)
{
    d->tablet->simInput().setIdleSeconds(std::uint32_t(std::max(seconds, 0)));
}

QString VantelSimulation::plugVolume(const QString& label, bool removableMedia)
{
    return QString::fromStdString(d->tablet->simVolumes().plug(label.toStdString(), removableMedia));
}

bool VantelSimulation::pullVolume(const QString& label)
{
    return d->tablet->simVolumes().pull(label.toStdString());
}

void VantelSimulation::setWifiRadio(bool softwareOn, bool hardwareOn)
{
    d->tablet->simWifi().setRadio(softwareOn, hardwareOn);
}

void VantelSimulation::setWifiNetwork(const QString& ssid, int signalQuality)
{
    d->tablet->simWifi().setNetwork(ssid.toStdString(), signalQuality);
}

bool VantelSimulation::setWifiConnected(const QString& ssid)
{
    return d->tablet->simWifi().setConnected(ssid.toStdString());
}

void VantelSimulation::setWifiNetworkKey(const QString& ssid, const QString& key)
{
    d->tablet->simWifi().setNetworkKey(ssid.toStdString(), key.toStdString());
}

void VantelSimulation::setKeyboardProgram(const QString& program, const QString& windowClass)
{
    d->tablet->simKeyboard().set({program.toStdString(), windowClass.toStdString(), std::string()});
}

QString VantelSimulation::internetAddress()
{
    d->internetPeer();
    return QStringLiteral("http://127.0.0.1:%1/").arg(d->internetPort);
}

bool VantelSimulation::setInternetReachable(bool reachable)
{
    QTcpServer& peer = d->internetPeer();
    if (!reachable) {
        peer.close();
        return true;
    }
    return peer.isListening() || peer.listen(QHostAddress::LocalHost, d->internetPort);
}

void VantelSimulation::setRegistryValue(const QString& key, const QString& name, const QStringList& strings)
{
    std::vector<std::string> values;
    for (const QString& string : strings)
        values.push_back(string.toStdString());
    d->tablet->simRegistry().set(key.toStdString(), name.toStdString(), std::move(values));
}

QStringList VantelSimulation::debugOutput() const
{
    QStringList lines;
    for (const std::string& line : d->tablet->simDebug().lines())
        lines << QString::fromStdString(line);
    return lines;
}

void VantelSimulation::startScenario(int intervalMs)
{
    d->step = 0;
    d->timer->start(std::max(intervalMs, 1));
    nextStep();
}

void VantelSimulation::stopScenario()
{
    d->timer->stop();
}

void VantelSimulation::nextStep()
{
    const int count = int(sizeof(scenario) / sizeof(scenario[0]));
    const Step& step = scenario[d->step];
    step.apply(*this);
    emit scenarioStep(d->step, QString::fromUtf8(step.description));
    d->step = (d->step + 1) % count;
}
