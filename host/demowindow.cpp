#include "demowindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "capturefolders.h"
#include "demoapplication.h"
#include "hostcontrols.h"
#include "informationpanel.h"
#include "librarysession.h"
#include "vantelapi.h"
#include "vantelsimulation.h"
#include "xbartitle.h"

namespace {

// The simulated vehicle's battery runs down a little with every step of the
// tablet's day, so that the indicator's text changes as it is polled.
double simulatedVehicleMillivolts(int step)
{
    return 12700.0 - 100.0 * step;
}

QString libraryVersion()
{
    unsigned long v[5] = {};
    VANTEL_GetLibVer(&v[0], &v[1], &v[2], &v[3], &v[4]);
    return QStringLiteral("libvantel %1.%2.%3.%4").arg(v[0]).arg(v[1]).arg(v[2]).arg(v[3]);
}

} // namespace

DemoWindow::DemoWindow(DemoApplication& app, LibrarySession& session, VantelSimulation* simulation,
                       QWidget* parent)
    : QWidget(parent), library(session)
{
    setWindowTitle(tr("Vantel demo"));
    bar = new XBarTitle;
    bar->xbtle_setTitle(tr("Vantel demo"));
    panel = new InformationPanel;
    controls = new HostControls;
    status = new QLabel;
    auto* version = new QLabel(libraryVersion());
    version->setEnabled(false);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(8, 8, 8, 0);
    body->addWidget(panel, 1);
    body->addWidget(controls);
    auto* statusLine = new QHBoxLayout;
    statusLine->setContentsMargins(8, 4, 8, 6);
    statusLine->addWidget(status, 1);
    statusLine->addWidget(version);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addLayout(body, 1);
    layout->addLayout(statusLine);

    connect(&library, &LibrarySession::information, panel, &InformationPanel::addInformation);
    connect(&library, &LibrarySession::internetStatus, panel, &InformationPanel::addInternetStatus);
    connect(&app, &DemoApplication::AddUsbDisk, panel, &InformationPanel::addUsbDiskAdded);
    connect(&app, &DemoApplication::RemoveUsbDisk, panel, &InformationPanel::addUsbDiskRemoved);
    // The pictures the capture indicator saves, listed as they appear.
    captures = new CaptureFolders(this);
    for (const QString& root : app.driveRoots())
        captures->follow(root);
    connect(&app, &DemoApplication::AddUsbDisk, captures,
            [this, &app](int idVolume) { captures->follow(app.driveRoot(idVolume)); });
    connect(&app, &DemoApplication::RemoveUsbDisk, captures,
            [this, &app](int idVolume) { captures->forget(app.driveRoot(idVolume)); });
    connect(captures, &CaptureFolders::pictureSaved, panel, &InformationPanel::addScreenshot);
    connect(controls, &HostControls::captureRequested, &library, &LibrarySession::captureScreen);
    connect(controls, &HostControls::vehicleReadingChanged, &library, &LibrarySession::setVehicleReading);
    connect(controls, &HostControls::keepScreenOnChanged, &library, &LibrarySession::keepScreenOn);
    connect(controls, &HostControls::suspendRequested, this, [this] {
        library.suspend();
        controls->setSuspended(true);
    });
    connect(controls, &HostControls::resumeRequested, this, [this] {
        library.resume();
        controls->setSuspended(false);
    });
    connect(controls, &HostControls::closeKeyboardRequested, &library, &LibrarySession::closeKeyboard);

    if (simulation) {
        status->setText(tr("Simulated tablet"));
        connect(simulation, &VantelSimulation::scenarioStep, this, &DemoWindow::showScenarioStep);
    } else {
        status->setText(tr("This machine's battery, backlight and removable disks"));
    }

    // A reading before the first poll, so the vehicle battery never starts at "---".
    library.setVehicleReading(controls->vehicleMillivolts(), controls->vehicleReadingValid());
    library.attach(bar);
    resize(760, 320);
    // The list, not the reading's editor, starts with the keyboard.
    panel->setFocus();
}

void DemoWindow::showScenarioStep(int step, const QString& description)
{
    status->setText(tr("Simulated tablet, step %1: %2").arg(step + 1).arg(description));
    controls->setVehicleReading(simulatedVehicleMillivolts(step));
}
