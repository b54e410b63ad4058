#ifndef XBATTERYVEHICLE_H
#define XBATTERYVEHICLE_H

/// @file
/// XBatteryVehicle, the vehicle battery indicator's provider.

#include <QObject>
#include <QString>

#include "vantel_export.h"

/// The vehicle battery indicator's provider. It measures nothing: the host hands
/// in the latest vehicle battery reading, in millivolts, and every status query
/// shows the last reading in volts (in millivolts in debug mode).
///
/// Thread: the GUI thread only; the host finds it with
/// `findChild<XBatteryVehicle*>()` on its indicator.
///
/// Without a reading (none handed in, or one marked not valid): the
/// indicator shows "---".
class VANTEL_EXPORT XBatteryVehicle : public QObject
{
    Q_OBJECT
public:
    /// A provider with no reading yet.
    explicit XBatteryVehicle(QObject* parent = nullptr);
    ~XBatteryVehicle() override;

    /// Stores the reading for the next status query; always 0.
    int xbatvhe_setParameter(double value, bool valid);
    /// One status query: the reading as "12.6V" ("12600mV" in debug mode,
    /// "---" without a valid reading), the vehicle battery icon, and always
    /// XINFORET_OK.
    int xbatvhe_getStatus(QString& value, QString& icon);

signals:
    /// Declared for the indicator to forward; the provider has nothing to tell yet.
    void sig_BatteryVehicle(int val, int par, int opt);

public slots:
    /// A click on the indicator; it changes nothing.
    void slt_InternalCommunication(int val, int par, int opt);

private:
    void formatValue(double shown, char format, int precision, QLatin1String unit);

    double lastValue = 0.0;
    QString valueText;
    /// What valueText was formatted from, so that an unchanged reading is not formatted again.
    double textValue = 0.0;
    char textFormat = 0;
    QString iconPath;
    double paramValue = 0.0;
    bool paramValid = false;
};

#endif
