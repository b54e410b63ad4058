#include "vantelsimulation.h"

#include <QTimer>

#include <algorithm>

#include "simtablet.h"

using vantel::platform::SimTablet;

namespace {

const char* const stickLabel = "VANTELSTICK";

struct Step {
    int acLine;   // -1: leave the power status
    int percent;
    int stick;    // 1 plug, 0 pull, -1 leave
    const char* description;
};

// Down through the default warning levels (10, 5, 2 %) and back.
const Step scenario[] = {
    {1, 80, -1, "on mains, 80 %"},
    {0, 60, -1, "on battery, 60 %"},
    {0, 30, -1, "on battery, 30 %"},
    {0, 15, -1, "on battery, 15 %"},
    {0, 10, -1, "on battery, 10 %"},
    {0, 5, -1, "on battery, 5 %"},
    {0, 2, -1, "on battery, 2 %"},
    {1, 3, -1, "on mains, 3 %"},
    {-1, 0, 1, "USB stick plugged in"},
    {-1, 0, 0, "USB stick pulled out"},
    {1, 100, -1, "on mains, 100 %"},
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

QString VantelSimulation::plugVolume(const QString& label, bool removableMedia)
{
    return QString::fromStdString(d->tablet->simVolumes().plug(label.toStdString(), removableMedia));
}

bool VantelSimulation::pullVolume(const QString& label)
{
    return d->tablet->simVolumes().pull(label.toStdString());
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
    if (step.acLine >= 0)
        setPowerStatus(step.acLine, step.percent);
    if (step.stick == 1)
        plugVolume(QString::fromLatin1(stickLabel));
    else if (step.stick == 0)
        pullVolume(QString::fromLatin1(stickLabel));
    emit scenarioStep(d->step, QString::fromUtf8(step.description));
    d->step = (d->step + 1) % count;
}
