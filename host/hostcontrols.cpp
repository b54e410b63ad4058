#include "hostcontrols.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// A charged 12 V lead-acid battery at rest.
constexpr double kDefaultVolts = 12.6;
} // namespace

HostControls::HostControls(QWidget* parent)
    : QWidget(parent)
{
    volts = new QDoubleSpinBox;
    volts->setRange(0.0, 32.0);
    volts->setDecimals(2);
    volts->setSingleStep(0.1);
    volts->setSuffix(QStringLiteral(" V"));
    volts->setValue(kDefaultVolts);
    valid = new QCheckBox(tr("valid"));
    valid->setChecked(true);
    valid->setToolTip(tr("Without a valid reading the indicator shows \"---\""));

    auto* vehicle = new QGroupBox(tr("Vehicle battery"));
    auto* vehicleLayout = new QFormLayout(vehicle);
    vehicleLayout->addRow(tr("Reading"), volts);
    vehicleLayout->addRow(QString(), valid);

    suspend = new QPushButton(tr("Suspend"));
    resume = new QPushButton(tr("Resume"));
    auto* indicators = new QGroupBox(tr("Indicators"));
    auto* indicatorLayout = new QVBoxLayout(indicators);
    indicatorLayout->addWidget(suspend);
    indicatorLayout->addWidget(resume);

    // The library leaves to the host how a capture is asked for besides a
    // click on its indicator: here a button and the Print key.
    capture = new QPushButton(tr("Capture screen"));
    capture->setShortcut(QKeySequence(Qt::Key_Print));
    capture->setToolTip(tr("Saves the screen onto the USB stick (Print)"));
    auto* screen = new QGroupBox(tr("Screen capture"));
    auto* screenLayout = new QVBoxLayout(screen);
    screenLayout->addWidget(capture);
    auto* closeKeyboard = new QPushButton(tr("Close keyboard"));
    closeKeyboard->setToolTip(tr("Asks the on-screen keyboard's window to close"));
    auto* keyboard = new QGroupBox(tr("On-screen keyboard"));
    auto* keyboardLayout = new QVBoxLayout(keyboard);
    keyboardLayout->addWidget(closeKeyboard);

    auto* screenOn = new QCheckBox(tr("Keep the screen on"));
    screenOn->setToolTip(tr("No display-off timeout and no dimming after 30 s without input"));
    auto* display = new QGroupBox(tr("Display"));
    auto* displayLayout = new QVBoxLayout(display);
    displayLayout->addWidget(screenOn);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(vehicle);
    layout->addWidget(indicators);
    layout->addWidget(screen);
    layout->addWidget(display);
    layout->addWidget(keyboard);
    layout->addStretch(1);

    connect(volts, qOverload<double>(&QDoubleSpinBox::valueChanged), this, &HostControls::readingEdited);
    connect(valid, &QCheckBox::toggled, this, &HostControls::readingEdited);
    connect(suspend, &QPushButton::clicked, this, &HostControls::suspendRequested);
    connect(resume, &QPushButton::clicked, this, &HostControls::resumeRequested);
    connect(capture, &QPushButton::clicked, this, &HostControls::captureRequested);
    connect(screenOn, &QCheckBox::toggled, this, &HostControls::keepScreenOnChanged);
    connect(closeKeyboard, &QPushButton::clicked, this, &HostControls::closeKeyboardRequested);
    setSuspended(false);
}

double HostControls::vehicleMillivolts() const
{
    return volts->value() * 1000.0;
}

bool HostControls::vehicleReadingValid() const
{
    return valid->isChecked();
}

void HostControls::setVehicleReading(double millivolts)
{
    volts->setValue(millivolts / 1000.0);
}

void HostControls::setSuspended(bool suspended)
{
    suspend->setEnabled(!suspended);
    resume->setEnabled(suspended);
}

void HostControls::readingEdited()
{
    emit vehicleReadingChanged(vehicleMillivolts(), vehicleReadingValid());
}
