// What a host does itself: it reads the vehicle battery and hands the
// reading to the library, it suspends and resumes the indicators (for
// example while a full-screen view hides the title bar), it asks for a
// screen capture from a key of its own, it keeps the screen on (for example
// while a long measurement runs) and it closes the on-screen keyboard (when
// its own input is done).
#ifndef HOSTCONTROLS_H
#define HOSTCONTROLS_H

#include <QWidget>

class QCheckBox;
class QDoubleSpinBox;
class QPushButton;

class HostControls : public QWidget
{
    Q_OBJECT
public:
    explicit HostControls(QWidget* parent = nullptr);

    double vehicleMillivolts() const;
    bool vehicleReadingValid() const;

public slots:
    // Shows a reading taken elsewhere (the simulated vehicle) and passes it on.
    void setVehicleReading(double millivolts);
    void setSuspended(bool suspended);

signals:
    void vehicleReadingChanged(double millivolts, bool valid);
    void suspendRequested();
    void resumeRequested();
    void captureRequested();
    void keepScreenOnChanged(bool on);
    void closeKeyboardRequested();

private:
    void readingEdited();

    QDoubleSpinBox* volts = nullptr;
    QCheckBox* valid = nullptr;
    QPushButton* suspend = nullptr;
    QPushButton* resume = nullptr;
    QPushButton* capture = nullptr;
};

#endif
